// The game's side of the page: loads the game's fonts and WebAssembly, and once the
// page has handed over its canvas, starts the host (web/game-host.js) that answers the
// page's messages with the stage in the game's WebAssembly.
// It runs in a worker that draws on the page's canvas handed over as an OffscreenCanvas,
// so that the frames the game draws cost the page's main thread nothing; a browser that
// cannot do that runs it on the main thread, through a message channel all the same.
// What fails on the way is posted to the page as { type: 'failed', kind, detail }: the
// page says it in words, `kind` telling which words (web/start.js).
import { FROM_GAME, message } from './crossing.js';
import { GameHost } from './game-host.js';
import { TilerushPainter } from './painter.js';
import { compileResponse, instantiateFrom } from './wasm-load.js';

// The desktop window's stand-in faces, cut down to the characters the game shows in them.
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

// The WebAssembly, compiled once it is all in (web/wasm-load.js). A file that did not
// come is told by its status, never by what its body fails to compile to.
async function compileWasm(file) {
  const response = await fetch(here(file));
  if (!response.ok) throw new LoadFailure('missing', `${file}: HTTP ${response.status} ${response.statusText}`);
  try {
    return await compileResponse(response);
  } catch (error) {
    throw new LoadFailure('wasm', `${file}: ${error.message}`);
  }
}

// Asks for the fonts (into `fonts`, the FontFaceSet the canvas draws with), the game's
// WebAssembly and its script at once, side by side.
export function tilerushLoad(fonts) {
  const fontsLoaded = Promise.all(
    // Each face's bytes are fetched and handed over, never a url(): Firefox loads a
    // FontFace's url() past the service worker, and offline the game never started.
    TILERUSH_FONTS.map(async ([family, file, weight]) => {
      const response = await fetch(here(`fonts/${file}.woff`));
      if (!response.ok) throw new Error(`fonts/${file}.woff: HTTP ${response.status}`);
      const face = new FontFace(family, await response.arrayBuffer(), { weight });
      fonts.add(face);
      return face.load();
    }),
  ).catch((error) => {
    throw new LoadFailure('missing', `the game's fonts: ${error.message || error}`);
  });
  const wasm = compileWasm('tilerush.wasm');
  const program = import('./tilerush.js').then(
    (m) => m.default,
    (error) => {
      throw new LoadFailure('missing', `tilerush.js: ${error.message}`);
    },
  );
  return { fontsLoaded, wasm, program };
}

// `port` carries the page's messages both ways; `loading` is what tilerushLoad asked
// for; `canvas` is the page's own canvas when there is no worker.
export function tilerushHost(port, loading, canvas) {
  const { fontsLoaded, wasm, program } = loading;
  const tell = (type, fields) => port.postMessage(message(FROM_GAME, type, fields));
  let wasmFailed = null;
  const wasmFailure = new Promise((resolve, reject) => {
    wasmFailed = reject;
  });
  const gameLoaded = Promise.race([
    wasmFailure,
    program.then((createTilerush) =>
      createTilerush({
        // The WebAssembly compiled from the request made first of all.
        instantiateWasm: instantiateFrom(wasm, wasmFailed),
      }),
    ),
  ]);

  // The first message brings the canvas and its size; the game opens once the fonts
  // and the WebAssembly are in too, so that the first frame is drawn in the right faces.
  port.onmessage = (event) => {
    const m = event.data;
    if (m.type !== 'open') return;
    const painter = new TilerushPainter(m.canvas || canvas, (button) => tell('button', { button }));
    painter.resize(m.width, m.height);
    Promise.all([gameLoaded, fontsLoaded]).then(
      ([module]) => {
        const host = new GameHost(module, painter, tell, m);
        port.onmessage = (e) => host.hear(e.data);
        tell('started', { stickDeadZone: host.game.stickDeadZone() });
      },
      (error) => tell('failed', { kind: error.kind || 'wasm', detail: String(error?.message || error) }),
    );
  };
}

// In a worker, the host starts at once and talks to the page through the worker's port.
if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  tilerushHost(self, tilerushLoad(self.fonts), null);
}
