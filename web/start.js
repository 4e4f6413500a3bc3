// Starts the game's side (web/game.js), in a module worker that draws on the page's
// canvas where the browser can hand it over, else on this thread; carries messages
// both ways, keeping those sent before the game has started until it has; and turns
// every way of failing to start into a kind the page has words for.
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
    if (typeof canvas.transferControlToOffscreen === 'function' && typeof Worker === 'function') {
      const script = new URL('./game.js', import.meta.url);
      const worker = new Worker(script, { type: 'module' });
      // A worker whose script did not load says nothing more than that it failed: its
      // file is asked for again, to tell a file missing or mistyped from a browser
      // that cannot run it.
      worker.onerror = (event) => {
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
      const offscreen = canvas.transferControlToOffscreen();
      this.port = worker;
      this.first = { canvas: offscreen };
      this.transfer = [offscreen];
    } else {
      const channel = new MessageChannel();
      import('./game.js').then(
        ({ tilerushLoad, tilerushHost }) => tilerushHost(channel.port2, tilerushLoad(document.fonts), canvas),
        (error) => failOnce('missing', `game.js: ${error.message}`),
      );
      this.port = channel.port1;
      this.first = {};
      this.transfer = [];
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

  // The first message: the canvas's size and whether the page is hidden.
  open(message) {
    this.port.postMessage({ type: 'open', ...message, ...this.first }, this.transfer);
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
