// Starts the game's side (web/game.js), in a module worker that draws on the page's
// canvas where the browser can hand it over, else on this thread; carries messages
// both ways, keeping those sent before the game has started until it has; and turns
// every way of failing to start into a kind the page has words for.
// The page's head runs this module on its own, ahead of page.js and the modules that
// one imports, so that the game's worker starts, and the fonts and the WebAssembly the
// first frame needs are asked for, while the rest of the page is still on its way.
import { TO_GAME, message } from './crossing.js';

// One sentence each: what happened, and what the player can do about it.
const sentences = {
  missing:
    'Tilerush could not start because a file of the game did not arrive or arrived damaged; ' +
    'reloading the page usually mends this, or else try again later.',
  wasm:
    "Tilerush could not start because this browser could not run the game's WebAssembly; " +
    'reloading the page may mend this, or else try another browser.',
  worker:
    'Tilerush could not start its game in this browser; reloading the page may mend this, or else try another browser.',
  stopped: 'Tilerush stopped with an error; reloading the page starts a new game.',
  'no-wasm':
    'Tilerush needs a browser that runs WebAssembly, which this one does not, ' +
    'so try any current Firefox, Chrome, Edge or Safari.',
};
export const failureSentence = (kind) => sentences[kind] || sentences.worker;

// The desktop window's stand-in faces, cut down to the characters the game shows in
// them: [family, file, weight].
const TILERUSH_FONTS = [
  ['Open Sans Condensed', 'open-sans-condensed-bold', '700'],
  ['Liberation Sans', 'liberation-sans-bold', '700'],
  ['Liberation Serif', 'liberation-serif-regular', '400'],
  ['Liberation Serif', 'liberation-serif-bold', '700'],
  ['Dancing Script', 'dancing-script-bold', '700'],
  // Only a regular face: bold is made from it, as on the desktop.
  ['AR PL UMing CN', 'ar-pl-uming-cn', '400'],
];

// A failure of loading, of one of the kinds the page has words for.
class LoadFailure extends Error {
  constructor(kind, detail) {
    super(detail);
    this.kind = kind;
  }
}
const here = (file) => new URL(file, import.meta.url);

// The player's program, compiled as it streams in (off this thread, where browsers
// compile WebAssembly), to be handed to whichever side runs the game: a compiled module
// crosses to a worker as it is. A file that did not come is told by its status, never
// by what its body fails to compile to. The same request as the page's preload, which
// it takes up.
async function compileWasm(file) {
  const response = await fetch(here(file));
  if (!response.ok) throw new LoadFailure('missing', `${file}: HTTP ${response.status} ${response.statusText}`);
  try {
    // Streaming needs the file served as WebAssembly; any other type is read whole.
    const streams =
      typeof WebAssembly.compileStreaming === 'function' &&
      /^application\/wasm\b/.test(response.headers.get('Content-Type') || '');
    return await (streams ? WebAssembly.compileStreaming(response) : WebAssembly.compile(await response.arrayBuffer()));
  } catch (error) {
    throw new LoadFailure('wasm', `${file}: ${error.message}`);
  }
}

// Each face's bytes, fetched here and handed over: the side that draws makes its
// FontFaces of them, never of a url(), which Firefox loads past the service worker
// (offline the game never started).
const fetchFonts = () =>
  Promise.all(
    TILERUSH_FONTS.map(async ([family, file, weight]) => {
      const response = await fetch(here(`fonts/${file}.woff`));
      if (!response.ok) throw new Error(`fonts/${file}.woff: HTTP ${response.status}`);
      return { family, weight, bytes: await response.arrayBuffer() };
    }),
  ).catch((error) => {
    throw new LoadFailure('missing', `the game's fonts: ${error.message || error}`);
  });

// What the first frame needs, asked for as this module runs; a browser without
// WebAssembly gets nothing, and the page tells it so.
const loading = typeof WebAssembly === 'object' ? { fonts: fetchFonts(), wasm: compileWasm('tilerush.wasm') } : null;
// A failure is the page's to tell, once it listens; until then it is no unhandled one.
for (const promise of Object.values(loading || {})) promise.catch(() => {});

// Hands the fonts and the program to the game's side as each comes in.
function handOver(port) {
  loading.fonts.then((faces) =>
    port.postMessage(
      message(TO_GAME, 'fonts', { faces }),
      faces.map((face) => face.bytes),
    ),
  );
  loading.wasm.then((module) => port.postMessage(message(TO_GAME, 'wasm', { module })));
}

// The game's worker, started as this module runs, where the page's canvas can be
// handed to one (and WebAssembly runs at all). What goes wrong before the page listens
// is kept for it.
function startWorker() {
  const handsOver =
    typeof HTMLCanvasElement === 'function' &&
    typeof HTMLCanvasElement.prototype.transferControlToOffscreen === 'function' &&
    typeof Worker === 'function';
  if (!handsOver || !loading) return null;
  const early = { worker: null, error: null, failedEvent: null };
  try {
    early.worker = new Worker(here('game.js'), { type: 'module' });
  } catch (error) {
    early.error = error;
    return early;
  }
  early.worker.onerror = (event) => {
    event.preventDefault();
    early.failedEvent ??= event;
  };
  handOver(early.worker);
  return early;
}
const early = startWorker();

// Messages that only say how things stand now: of these, one waiting replaces another.
const STANDING = new Set(['resize', 'visibility', 'hear', 'pointer', 'pad']);

export class GameSide {
  // `hear(message)` gets the game side's messages; `fail(kind, detail)` is told once
  // why it could not start or went on no further.
  constructor(canvas, hear, fail) {
    this.started = false;
    this.waiting = [];
    this.failed = false;
    const failOnce = (kind, detail) => {
      if (this.failed) return;
      this.failed = true;
      fail(kind, detail);
    };
    if (early) {
      // The worker this module started, or why it could not.
      if (early.error) throw early.error;
      const worker = early.worker;
      const script = here('game.js');
      // A worker whose script did not load says nothing more than that it failed: its
      // file is asked for again, to tell a file missing or mistyped from a browser
      // that cannot run it.
      const failed = (event) => {
        event.preventDefault();
        if (this.started) {
          failOnce('stopped', `the game's worker: ${event.message || 'it stopped'}`);
          return;
        }
        fetch(script, { method: 'HEAD', cache: 'no-store' }).then(
          (response) => {
            const type = response.headers.get('Content-Type') || '';
            if (!response.ok) failOnce('missing', `game.js: HTTP ${response.status} ${response.statusText}`);
            else if (!/javascript/.test(type)) failOnce('missing', `game.js: served as ${type || 'no type'}`);
            else failOnce('worker', `the game's worker did not start: ${event.message || 'no reason given'}`);
          },
          () => failOnce('worker', `the game's worker did not start: ${event.message || 'no reason given'}`),
        );
      };
      worker.onerror = failed;
      if (early.failedEvent) failed(early.failedEvent);
      const offscreen = canvas.transferControlToOffscreen();
      this.port = worker;
      this.first = { canvas: offscreen };
      this.transfer = [offscreen];
    } else {
      const channel = new MessageChannel();
      import('./game.js').then(
        ({ tilerushHost }) => tilerushHost(channel.port2, canvas),
        (error) => failOnce('missing', `game.js: ${error.message}`),
      );
      if (loading) handOver(channel.port1);
      this.port = channel.port1;
      this.first = {};
      this.transfer = [];
    }
    // What the first frame needs failed to come, or to compile.
    if (loading) {
      for (const promise of Object.values(loading)) promise.catch((error) => failOnce(error.kind, error.message));
    }
    this.port.onmessage = (event) => {
      const m = event.data;
      if (m.type === 'failed') {
        failOnce(m.kind, m.detail);
        return;
      }
      if (m.type === 'started') {
        this.started = true;
        for (const waiting of this.waiting.splice(0)) this.port.postMessage(waiting);
      }
      hear(m);
    };
  }

  // The canvas, its size and whether the page is hidden.
  open(fields) {
    this.port.postMessage({ type: 'open', ...fields, ...this.first }, this.transfer);
  }

  send(m) {
    if (this.started) {
      this.port.postMessage(m);
      return;
    }
    if (STANDING.has(m.type)) this.waiting = this.waiting.filter((w) => w.type !== m.type);
    this.waiting.push(m);
  }
}
