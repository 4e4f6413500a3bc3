// The game's side of the page: loads the game's fonts and WebAssembly, pumps its clock
// with real time, draws it, and answers the page's messages (keys, the pointer, a
// finger, pads, the player leaving, clicks, replays, sound); the cues the game asks for
// go back to the page, which plays them.
// It runs in a worker that draws on the page's canvas handed over as an OffscreenCanvas,
// so that the frames the game draws cost the page's main thread nothing; a browser that
// cannot do that runs it on the main thread, through a message channel all the same.
// What fails on the way is posted to the page as { type: 'failed', kind, detail }: the
// page says it in words, `kind` telling which words (web/start.js).
import { TilerushPainter } from './painter.js';

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

// The WebAssembly, compiled as it streams in; a host that does not serve it as
// application/wasm gets it compiled once it is all in. A file that did not come is
// told by its status, never by what its body fails to compile to.
async function compileWasm(file) {
  const response = await fetch(here(file));
  if (!response.ok) throw new LoadFailure('missing', `${file}: HTTP ${response.status} ${response.statusText}`);
  try {
    if (response.headers.get('Content-Type') === 'application/wasm') return await WebAssembly.compileStreaming(response);
    return await WebAssembly.compile(await response.arrayBuffer());
  } catch (error) {
    throw new LoadFailure('wasm', `${file}: ${error.message}`);
  }
}

// Asks for the fonts (into `fonts`, the FontFaceSet the canvas draws with), the game's
// WebAssembly and its script at once, side by side.
export function tilerushLoad(fonts) {
  const fontsLoaded = Promise.all(TILERUSH_FONTS.map(([family, file, weight]) => {
    const face = new FontFace(family, `url(${here(`fonts/${file}.woff`)})`, { weight });
    fonts.add(face);
    return face.load();
  })).catch((error) => { throw new LoadFailure('missing', `the game's fonts: ${error.message || error}`); });
  const wasm = compileWasm('tilerush.wasm');
  const program = import('./tilerush.js').then(
    (m) => m.default,
    (error) => { throw new LoadFailure('missing', `tilerush.js: ${error.message}`); },
  );
  return { fontsLoaded, wasm, program };
}

// `port` carries the page's messages both ways; `loading` is what tilerushLoad asked
// for; `canvas` is the page's own canvas when there is no worker.
export function tilerushHost(port, loading, canvas) {
  const { fontsLoaded, wasm, program } = loading;
  let painter = null;
  const host = {
    replayOver(verdict) {
      port.postMessage({ type: 'over', text: verdict });
      // Told from within a seek too: the timeline hears how things stand after it.
      timelineSoon();
    },
    cue(number) {
      port.postMessage({ type: 'cue', number });
    },
  };
  const showButton = (button) => port.postMessage({ type: 'button', button });
  let wasmFailed = null;
  const wasmFailure = new Promise((resolve, reject) => { wasmFailed = reject; });
  const gameLoaded = Promise.race([wasmFailure, program.then((createTilerush) => createTilerush({
    host,
    // The WebAssembly compiled from the request made first of all.
    instantiateWasm(imports, done) {
      wasm.then((module) => WebAssembly.instantiate(module, imports).then((instance) => done(instance, module)))
        .catch(wasmFailed);
      return {};
    },
  }))]);
  // The replay watcher is a program of its own, loaded the first time it is needed.
  let watcher = null;
  let watcherLoaded = null;
  function watcherProgram() {
    if (!watcherLoaded) {
      watcherLoaded = import('./tilerush-watch.js').then((m) => m.default({ page: painter, host })).then((w) => {
        watcher = w;
        w._tilerush_hear(hearing ? 1 : 0);
        return w;
      });
    }
    return watcherLoaded;
  }

  let game = null;
  // The program whose game is on the canvas: the player's, or a replay's.
  let shown = null;
  let hidden = false;
  // Whether the page plays the cues that the games ask for.
  let hearing = false;

  // One wake-up at the instant the shown game's clock next needs pumping, none while
  // the page is hidden.
  let wakeUp = 0;
  function schedule(wait) {
    tellReadouts();
    clearTimeout(wakeUp);
    wakeUp = 0;
    if (wait >= 0 && !hidden) wakeUp = setTimeout(pump, Math.ceil(wait));
  }
  function pump() {
    wakeUp = 0;
    schedule(shown._tilerush_pump(performance.now()));
    if (shown === watcher) followTimeline();
  }

  // The counters the page says aloud, when they changed: the shown game's, the
  // player's or a watched replay's.
  let readouts = '';
  function tellReadouts() {
    if (!opened && shown === game) return;
    const now = shown.UTF8ToString(shown._tilerush_readouts());
    if (now === readouts) return;
    readouts = now;
    port.postMessage({ type: 'readouts', text: now });
  }

  // Where the watched replay stands, for the timeline: at once after each of the
  // viewer's acts, and every so often while it plays.
  const FOLLOW_EVERY_MS = 100;
  let toldTimelineAt = -Infinity;
  function tellTimeline() {
    toldTimelineAt = performance.now();
    const [now, length, playing, speed, over] = watcher.UTF8ToString(watcher._tilerush_timeline()).split('\t').map(Number);
    port.postMessage({ type: 'timeline', now, length, playing: playing === 1, speed, over: over === 1 });
  }
  function followTimeline() {
    if (performance.now() - toldTimelineAt >= FOLLOW_EVERY_MS) tellTimeline();
  }
  function timelineSoon() {
    setTimeout(() => { if (shown === watcher) tellTimeline(); }, 0);
  }
  function marksOf(text) {
    const kinds = { L: 'lost-ball', C: 'level-cleared', G: 'game-over' };
    return text.split('\n').filter(Boolean).map((line) => ({ kind: kinds[line[0]], at: Number(line.slice(2)) }));
  }

  // The player's game opens at once, or, for a page opened on a link, once the
  // replay it holds has been watched or refused. Keys it holds are known here, so
  // that watching can let go of them and pause it at one instant.
  let opened = false;
  const gameHeld = new Set();
  function openOwnGame(now) {
    opened = true;
    return game._tilerush_open(now);
  }
  function pauseOwnGame(now) {
    if (!opened) return;
    for (const code of gameHeld) game._tilerush_key(0, code, now);
    gameHeld.clear();
    game._tilerush_left(now);
  }
  // The bytes of the replay being checked, then of the one watched, for a link.
  let checkedBytes = null;
  let watchedBytes = null;

  // A replay is checked a few milliseconds at a time between the player's beats; a
  // newer choice replaces one being checked.
  let checking = 0;
  function checkOn(token) {
    if (token !== checking) return;
    const state = watcher._tilerush_check_on();
    if (state === 1) {
      setTimeout(() => checkOn(token), 0);
    } else if (state === 2) {
      const now = performance.now();
      if (shown === game) pauseOwnGame(now);
      shown = watcher;
      watchedBytes = checkedBytes;
      schedule(watcher._tilerush_watch(now));
      const raceable = watcher.UTF8ToString(watcher._tilerush_first_seed()) !== '';
      port.postMessage({ type: 'watching', marks: marksOf(watcher.UTF8ToString(watcher._tilerush_marks())), raceable });
      tellTimeline();
    } else {
      port.postMessage({ type: 'refused', text: watcher.UTF8ToString(watcher._tilerush_refusal()) });
    }
  }
  function check(bytes) {
    const token = ++checking;
    watcherProgram().then(
      (w) => {
        if (token !== checking) return;
        checkedBytes = bytes;
        w.HEAPU8.set(bytes, w._tilerush_buffer(bytes.length));
        w._tilerush_check();
        checkOn(token);
      },
      () => port.postMessage({ type: 'refused', text: 'the replay watcher could not be loaded' }),
    );
  }

  const handlers = {
    key(m) {
      // While a replay is watched, the keys are the viewer's, and reach no game.
      if (shown === watcher) {
        schedule(watcher._tilerush_view_key(m.down ? 1 : 0, m.code, performance.now()));
        if (m.down) tellTimeline();
        return;
      }
      if (!opened) return;
      if (m.down) gameHeld.add(m.code);
      else gameHeld.delete(m.code);
      schedule(game._tilerush_key(m.down ? 1 : 0, m.code, performance.now()));
    },
    click(m) {
      if (shown === game && opened) schedule(game._tilerush_click(m.id, performance.now()));
    },
    pointer(m) {
      if (shown === game && opened) schedule(game._tilerush_pointer(m.at ? 1 : 0, m.at?.x ?? 0, m.at?.y ?? 0, performance.now()));
    },
    pad(m) {
      if (shown === game && opened) schedule(game._tilerush_pad(m.direction, performance.now()));
    },
    padStart() {
      if (shown === game && opened) schedule(game._tilerush_pad_start(performance.now()));
    },
    padA() {
      if (shown === game && opened) schedule(game._tilerush_pad_a(performance.now()));
    },
    // The keys the page held are released and the game told the player left, at one
    // instant and in one go, so that no wake-up of the game's clock comes between.
    left(m) {
      if (shown !== game || !opened) return;
      const now = performance.now();
      for (const code of m.released) game._tilerush_key(0, code, now);
      gameHeld.clear();
      schedule(game._tilerush_left(now));
    },
    visibility(m) {
      hidden = m.hidden;
      schedule(hidden ? -1 : shown._tilerush_resume(performance.now()));
    },
    resize(m) {
      painter.resize(m.width, m.height);
      shown._tilerush_repaint();
    },
    // The timeline's controls, while a replay is watched.
    seek(m) {
      if (shown !== watcher) return;
      schedule(watcher._tilerush_seek(m.at, performance.now()));
      tellTimeline();
    },
    speed(m) {
      if (shown !== watcher) return;
      schedule(watcher._tilerush_speed(m.index, performance.now()));
      tellTimeline();
    },
    playOrPause() {
      if (shown !== watcher) return;
      schedule(watcher._tilerush_play_or_pause(performance.now()));
      tellTimeline();
    },
    // What a link holds: the replay watched, or the player's game so far, exactly as
    // "Save replay" saves it.
    link(m) {
      if (shown === watcher) {
        port.postMessage({ type: 'linkBytes', bytes: watchedBytes.slice(), share: m.share });
        return;
      }
      const text = game.UTF8ToString(game._tilerush_save(1, performance.now()));
      port.postMessage({ type: 'linkBytes', bytes: new TextEncoder().encode(text), share: m.share });
    },
    // "Play this game": a new run of the player's own on the watched replay's first
    // draws, in place of the game before.
    race() {
      if (shown !== watcher) return;
      const seed = watcher.UTF8ToString(watcher._tilerush_first_seed());
      if (seed === '') return;
      const draws = BigInt(seed);
      ++checking;
      watcher._tilerush_close();
      shown = game;
      opened = true;
      gameHeld.clear();
      schedule(game._tilerush_race(Number(draws >> 32n), Number(draws & 0xffffffffn), performance.now()));
      port.postMessage({ type: 'playing', raced: true });
    },
    save(m) {
      const text = game.UTF8ToString(game._tilerush_save(shown === game ? 1 : 0, performance.now()));
      port.postMessage({ type: 'saved', text, name: m.name });
    },
    watch(m) {
      check(new Uint8Array(m.bytes));
    },
    hear(m) {
      hearing = m.on;
      game._tilerush_hear(hearing ? 1 : 0);
      watcher?._tilerush_hear(hearing ? 1 : 0);
    },
    back() {
      ++checking;
      if (shown === game && opened) return;
      watcher?._tilerush_close();
      shown = game;
      const now = performance.now();
      schedule(opened ? game._tilerush_show(now) : openOwnGame(now));
      port.postMessage({ type: 'playing' });
    },
  };

  // The first message brings the canvas and its size; the game opens once the fonts
  // and the WebAssembly are in too, so that the first frame is drawn in the right faces.
  port.onmessage = (event) => {
    const m = event.data;
    if (m.type !== 'open') return;
    painter = new TilerushPainter(m.canvas || canvas, showButton);
    painter.resize(m.width, m.height);
    Promise.all([gameLoaded, fontsLoaded]).then(([module]) => {
      module.page = painter;
      game = module;
      shown = game;
      hidden = m.hidden;
      if (!m.replayFirst) schedule(openOwnGame(performance.now()));
      port.onmessage = (e) => handlers[e.data.type]?.(e.data);
      port.postMessage({ type: 'started', stickDeadZone: game._tilerush_stick_dead_zone() });
    }, (error) => port.postMessage({ type: 'failed', kind: error.kind || 'wasm', detail: String(error?.message || error) }));
  };
}

// In a worker, the host starts at once and talks to the page through the worker's port.
if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  tilerushHost(self, tilerushLoad(self.fonts), null);
}
