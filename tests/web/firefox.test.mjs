// The page in Debian's Firefox ESR, headless, through WebDriver BiDi: laid out at a
// desktop and a phone size, played with keys and the mouse, paused, its replays saved,
// linked and watched, heard once a key is pressed, and played offline after one visit.
//   TILERUSH_WEB_BUILD=build-web node --test tests/web/firefox.test.mjs
import assert from 'node:assert/strict';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { drawn, firefox, holdKey, look, playing, serveSite, startSoundServer, until } from './engine_drivers.mjs';
import { assertClean, checkLayout, checkPlay, checkReplays } from './engine_flows.mjs';

let server;
let sound;
let session;

before(async () => {
  server = await serveSite();
  sound = await startSoundServer();
  session = await firefox({ sound });
});

after(async () => {
  await session?.close();
  await sound?.stop();
  await server?.stop();
});

test('at a desktop and a phone size the page loads clean and lays the game out', { timeout: 60000 }, async () => {
  await checkLayout(session, server, ['a laptop', 1366, 768, 1]);
  await checkLayout(session, server, ['a phone upright', 390, 844, 3]);
});

test(
  'the arrows launch and steer, P pauses, the mouse steers, and the first key starts the sound',
  { timeout: 60000 },
  async (t) => {
    if (!sound) t.diagnostic('no PulseAudio server could be started here, so the sound is not listened to');
    await session.resize(800, 700);
    await checkPlay(session, server, sound);
  },
);

test('a saved replay, a copied link, and the link watched to its end', { timeout: 90000 }, async () => {
  await session.resize(800, 700);
  await checkReplays(session, server);
});

test('after one visit the page plays offline, in a new session on the same profile', { timeout: 90000 }, async () => {
  const profile = await mkdtemp(join(tmpdir(), 'tilerush-firefox-'));
  const own = await serveSite();
  let browser = await firefox({ profile });
  try {
    await browser.goto(own.address);
    await playing(browser);
    await browser.evaluate(async () => {
      await navigator.serviceWorker.ready;
      // The worker keeps every file of its version before it takes the page.
      while (!navigator.serviceWorker.controller) await new Promise((done) => setTimeout(done, 50));
    });
    await browser.close();
    await own.stop();

    browser = await firefox({ profile });
    await browser.goto(own.address);
    await playing(browser, 20000);
    const start = await drawn(browser);
    await holdKey(browser, 'ArrowRight', 400);
    const moved = await until(
      async () => ((await look(browser)).paddleCentre > start.paddleCentre + 20 ? true : null),
      3000,
      'the paddle moves offline',
    );
    assert.ok(moved);
    await assertClean(browser, own, 'offline');
  } finally {
    await browser.close();
    await rm(profile, { recursive: true, force: true });
  }
});
