// The replay watcher on the game's side: its program (tilerush-watch.wasm), loaded the
// first time a replay is chosen or a game is kept (it holds the kept games too), checks a replay a few milliseconds at a time between
// the player's beats, and then shows it as the stage's watched replay: the player's
// program calls it through `watched`, synchronously, both being in this worker.
import { exportsOf } from './crossing.js';
import { startProgram } from './wasm-load.js';

// How a game came to be kept, in the order of PageKept::Ending (src/web/page_kept.h).
const ENDINGS = ['over', 'cutShort', 'soFar'];

export class Watcher {
  // `painter` draws on the page's canvas; `host` hears the watcher's messages (tell).
  constructor(painter, host) {
    this.painter = painter;
    this.host = host;
    this.module = null;
    this.calls = null;
    this.loading = null;
    this.hearing = false;
    // The newest choice: a newer one, or leaving, drops a check under way.
    this.checking = 0;
    this.checkedBytes = null;
    // The bytes of the replay being watched, for a link.
    this.bytes = null;
    // The stage's calls of the watched replay (src/web/remote_watched.cpp).
    const calls = () => this.calls;
    this.watched = {
      start: (now) => calls().start(now),
      key: (code, repeat, now) => calls().key(code, repeat, now),
      playOrPause: (now) => calls().playOrPause(now),
      speed: (index, now) => calls().speed(index, now),
      seek: (t, now) => calls().seek(t, now),
      catchUp: (now) => calls().catchUp(now),
      restartClock: (now) => calls().restartClock(now),
      wakeDelay: () => calls().wakeDelay(),
      close: () => calls().close(),
    };
  }

  load() {
    this.loading ??= import('./tilerush-watch.js')
      .then((m) =>
        startProgram(m.default, new URL('./tilerush-watch.wasm', import.meta.url), {
          page: this.painter,
          host: this.host,
        }),
      )
      .then((module) => {
        this.module = module;
        this.calls = exportsOf(module, 'tilerush-watch');
        this.calls.hear(this.hearing ? 1 : 0);
      });
    return this.loading;
  }

  // Checks `bytes`, a replay; then `ready(firstSeed)` or `refused(why)`, unless a
  // newer choice or leaving came first.
  check(bytes, ready, refused) {
    const token = ++this.checking;
    this.load().then(
      () => {
        if (token !== this.checking) return;
        this.checkedBytes = bytes;
        this.module.HEAPU8.set(bytes, this.calls.buffer(bytes.length));
        this.calls.check();
        this.checkOn(token, ready, refused);
      },
      () => refused('the replay watcher could not be loaded'),
    );
  }

  checkOn(token, ready, refused) {
    if (token !== this.checking) return;
    const { state, firstSeed, levels, why } = this.calls.checkOn();
    if (state === 'checking') {
      setTimeout(() => this.checkOn(token, ready, refused), 0);
    } else if (state === 'ready') {
      this.bytes = this.checkedBytes;
      ready(firstSeed, levels);
    } else {
      refused(why);
    }
  }

  // The player's kept games (src/web/page_kept.h), which this program holds: each act
  // waits for it to load, and they follow one another in the order asked.
  kept(act) {
    this.load().then(act, (error) => console.error(`Tilerush: the kept games: ${error?.message || error}`));
  }

  put(text) {
    const bytes = new TextEncoder().encode(text);
    this.module.HEAPU8.set(bytes, this.calls.keptBuffer(bytes.length));
  }

  // A game of the player's, ended at Game Over ('over'), cut short by a race or a
  // challenge ('cutShort'), or so far as the page is hidden ('soFar').
  keep(replay, ending) {
    this.kept(() => {
      this.put(replay);
      this.calls.keptKeep(ENDINGS.indexOf(ending));
    });
  }

  // A list's text: the page's stored list, or a file imported.
  merge(text, imported) {
    this.kept(() => {
      this.put(text);
      this.calls.keptMerge(imported ? 1 : 0);
    });
  }

  // `then({ why, set })`: a level set's text read by the one reader of sets, which this
  // program holds, so that the player's program stays small.
  readLevels(text, then) {
    this.kept(() => then(this.calls.readLevels(text)));
  }

  forget(id) {
    this.kept(() => this.calls.keptForget(id));
  }

  // `then(seed)` with the kept game's first seed in decimal digits, or null.
  seedOf(id, then) {
    this.kept(() => {
      const { seed, levels } = this.calls.keptSeed(id);
      then(seed, levels);
    });
  }

  // A check under way is dropped.
  cancel() {
    ++this.checking;
  }

  repaint() {
    this.calls?.repaint();
  }

  hear(on) {
    this.hearing = on;
    this.calls?.hear(on ? 1 : 0);
  }
}
