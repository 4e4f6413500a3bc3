// The game's side of the page: once the page has handed over its canvas, and its fonts
// and the compiled WebAssembly have come (web/start.js asks for them as the page opens),
// starts the host (web/game-host.js) that answers the page's messages with the stage in
// the game's WebAssembly.
// It runs in a worker that draws on the page's canvas handed over as an OffscreenCanvas,
// so that the frames the game draws cost the page's main thread nothing; a browser that
// cannot do that runs it on the main thread, through a message channel all the same.
// What fails on the way is posted to the page as { type: 'failed', kind, detail }: the
// page says it in words, `kind` telling which words (web/start.js).

// A failure of loading, of one of the kinds the page has words for.
class LoadFailure extends Error {
  constructor(kind, detail) {
    super(detail);
    this.kind = kind;
  }
}
const missing = (file) => (error) => {
  throw new LoadFailure('missing', `${file}: ${error.message}`);
};

// Every module the game's side runs, asked for at once, side by side: imported one by
// one, each would wait for the one that names it (a worker has no modulepreload). The
// two that only others import are asked for here too, so that they are on their way
// as early; they arrive once, whoever asks.
const parts = Promise.all([
  import('./crossing.js').catch(missing('crossing.js')),
  import('./game-host.js').catch(missing('game-host.js')),
  import('./painter.js').catch(missing('painter.js')),
  import('./wasm-load.js').catch(missing('wasm-load.js')),
]);
for (const deeper of ['./game-watcher.js', './layout.js']) import(deeper).catch(() => {});
const program = import('./tilerush.js').then((m) => m.default, missing('tilerush.js'));
// Failures are told once the page has opened the game; until then they are no unhandled ones.
parts.catch(() => {});
program.catch(() => {});

// `port` carries the page's messages both ways; `canvas` is the page's own canvas when
// there is no worker. The page's first messages are, in any order, the fonts, the
// compiled program and `open` with the canvas and its size; the game opens once all
// three are in, so that the first frame is drawn in the right faces.
export function tilerushHost(port, canvas) {
  const fontSet = canvas ? document.fonts : self.fonts;
  const given = {};
  const arrived = (type) => new Promise((resolve) => (given[type] = resolve));
  const fonts = arrived('fonts').then(({ faces }) =>
    Promise.all(
      faces.map(({ family, weight, bytes }) => {
        const face = new FontFace(family, bytes, { weight });
        fontSet.add(face);
        return face.load();
      }),
    ).catch((error) => {
      throw new LoadFailure('missing', `the game's fonts: ${error.message || error}`);
    }),
  );
  const wasm = arrived('wasm').then(({ module }) => module);
  const open = arrived('open');
  port.onmessage = (event) => given[event.data.type]?.(event.data);

  // The program is started as soon as it is in, whether or not the page has opened the game.
  let instantiateFailed = null;
  const gameLoaded = Promise.race([
    new Promise((resolve, reject) => (instantiateFailed = reject)),
    Promise.all([parts, program]).then(([[, , , { instantiateFrom }], createTilerush]) =>
      // The module web/start.js compiled as it streamed in.
      createTilerush({ instantiateWasm: instantiateFrom(wasm, instantiateFailed) }),
    ),
  ]);
  // Failures are told below, once the page has opened the game.
  for (const promise of [fonts, gameLoaded]) promise.catch(() => {});

  // The canvas takes its size as soon as it is handed over, as the program and the faces
  // may still be on their way: the page's canvas shows that size from the next frame.
  Promise.all([parts, open])
    .then(([[{ FROM_GAME, message }, { GameHost }, { TilerushPainter }], m]) => {
      const tell = (type, fields) => port.postMessage(message(FROM_GAME, type, fields));
      const painter = new TilerushPainter(m.canvas || canvas, (button) => tell('button', { button }));
      painter.resize(m.width, m.height);
      return Promise.all([gameLoaded, fonts]).then(([module]) => {
        const host = new GameHost(module, painter, tell, m);
        port.onmessage = (e) => host.hear(e.data);
        tell('started', { stickDeadZone: host.game.stickDeadZone() });
      });
    })
    .catch((error) =>
      port.postMessage({ type: 'failed', kind: error.kind || 'wasm', detail: String(error?.message || error) }),
    );
}

// In a worker, the host starts at once and talks to the page through the worker's port.
if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  tilerushHost(self, null);
}
