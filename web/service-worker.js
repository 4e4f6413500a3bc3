// Keeps one version of the page, whole, so that it loads and plays with no network.
// The build writes the version and the list of its files in here; a change to any
// file of the page changes the version, and so this file, which is how the browser
// hears of a new version. A new version is fetched whole into a cache of its own
// before it serves anything; until then the old one serves, and only whole versions
// are ever served: the versioned files live under v/VERSION/, so no two versions
// share a name. The page told that a new version is in tells the player, who gets
// it on the next load.
'use strict';

const VERSION = '@VERSION@';
const FILES = [
@FILES@];
const PREFIX = 'tilerush-';
const CACHE = PREFIX + VERSION;

// The cache is filled from the network, never from the browser's own HTTP cache, and
// a page that does not name this version is refused (a server changing versions half
// way through): the install fails and the version before goes on serving.
async function precache() {
  const cache = await caches.open(CACHE);
  const responses = await Promise.all(FILES.map(async (file) => {
    const response = await fetch(new Request(file, { cache: 'no-cache' }));
    if (!response.ok) throw new Error(`${file}: HTTP ${response.status}`);
    return [file, response];
  }));
  const page = await responses[0][1].clone().text();
  if (!page.includes(`v/${VERSION}/`)) throw new Error(`the page is not of version ${VERSION}`);
  await Promise.all(responses.map(([file, response]) => cache.put(file, response)));
}

self.addEventListener('install', (event) => {
  // Taken at once: the versions' files do not clash, and a page that is open goes on
  // with its own files, kept until the next version comes.
  event.waitUntil(precache().then(() => self.skipWaiting()));
});

// Kept: this version and the one before it, which a page opened before this version
// came may still be reading (the replay watcher and the sound load when first used).
self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    const ours = (await caches.keys()).filter((name) => name.startsWith(PREFIX) && name !== CACHE);
    await Promise.all(ours.slice(0, -1).map((name) => caches.delete(name)));
    await self.clients.claim();
  })());
});

// A page asks which version this is, to tell the player when a new one came in.
self.addEventListener('message', (event) => {
  if (event.data?.type === 'version') event.source?.postMessage({ type: 'version', version: VERSION });
});

// The page itself comes from this version's cache, whatever its address's query; every
// other file from whichever version holds it; anything else from the network.
const pageAddresses = new Set(['./', './index.html'].map((a) => new URL(a, self.registration.scope).pathname));
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  // The board's answers are never kept: they go to the network as if no worker were
  // here, and a failure offline is the page's to hear, not this worker's.
  if (new URL(request.url).pathname.startsWith('/api/')) return;
  if (request.mode === 'navigate' && pageAddresses.has(new URL(request.url).pathname)) {
    event.respondWith(caches.open(CACHE).then((cache) => cache.match('./', { ignoreSearch: true }))
      .then((page) => page || fetch(request)));
    return;
  }
  event.respondWith(fromCache(request));
});

// This version's own files from its cache, opened once for them all: looking in every
// cache opens each of them for each file, and a page starting asks for some forty
// files at once, one after another through this worker. A file of the version before
// (a page opened before this version came) is looked for in every cache.
let ownCache = null;
async function fromCache(request) {
  ownCache ??= caches.open(CACHE);
  const kept = (await (await ownCache).match(request)) || (await caches.match(request));
  return kept || fetch(request);
}
