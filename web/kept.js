// "Your best games": the section beside the game that shows the player's ten best
// games, kept by the player's program (src/web/page_kept.cpp), and keeps the list's
// text in IndexedDB, written each time it changes (a game ends, the page is hidden).
// Each game can be watched, linked, saved, raced or forgotten; the whole list can be
// exported as one file and imported back. Nothing is sent anywhere, unless the page's
// origin has a board and the player sends a game to it (web/board.js).
import { REPLAYS } from './layout.js';
import { canMakeLinks, replayCarriesSet } from './links.js';

const DB = 'tilerush';
const STORE = 'kept';
const KEY = 'list';

// The page's IndexedDB, opened once; rejected where the browser keeps nothing.
function openStore() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
    request.onblocked = () => reject(new Error('the database is held by another tab'));
  });
}

function inStore(db, mode, act) {
  return new Promise((resolve, reject) => {
    const done = db.transaction(STORE, mode);
    const request = act(done.objectStore(STORE));
    done.oncomplete = () => resolve(request.result);
    done.onerror = () => reject(done.error);
    done.onabort = () => reject(done.error);
  });
}

const clock = (ms) => {
  const seconds = Math.floor(ms / 1000);
  return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
};
const kindText = (g) => (g.kind === 'challenge' ? `challenge of ${g.day}` : g.kind === 'race' ? 'race' : '');
const fileDate = (g) => g.date.slice(0, 19).replace(/:/g, '-');

// A section of the panel beside the game, headed `title`, as the best games and the
// board have.
export function panelSection(id, title) {
  const section = document.createElement('section');
  section.id = id;
  section.className = 'tilerush-kept';
  section.setAttribute('aria-labelledby', `${id}-heading`);
  const heading = document.createElement('h2');
  heading.id = `${id}-heading`;
  heading.textContent = title;
  section.appendChild(heading);
  return section;
}

// A button of those sections, named for a screen reader by `label`.
export function pageButton(parent, caption, label, act) {
  const b = document.createElement('button');
  b.type = 'button';
  b.className = 'tilerush-control';
  b.textContent = caption;
  b.setAttribute('aria-label', label);
  b.addEventListener('click', act);
  parent.appendChild(b);
  return b;
}

export class TilerushKept {
  // `panel` gets the section; `send(type, fields)` goes to the game's side; `replays`
  // watches, links and saves a replay as its own controls do; `refused(error)` is told
  // when the browser keeps nothing.
  constructor(panel, game, send, replays, refused) {
    this.game = game;
    this.send = send;
    this.replays = replays;
    this.refused = refused;
    this.text = '';
    this.games = [];
    this.saying = '';
    this.stored = '';
    this.section = panelSection('tilerush-kept', 'Your best games');
    this.list = document.createElement('ol');
    this.list.className = 'tilerush-kept-list';
    this.empty = document.createElement('p');
    this.empty.className = 'tilerush-kept-empty';
    this.empty.textContent = 'Every game you play to Game Over is kept here, your ten best.';
    const row = document.createElement('div');
    row.className = 'tilerush-controls';
    this.exporter = this.button(row, 'Export list', 'Export list of your best games as one file', () =>
      this.exportList(),
    );
    this.importer = this.button(row, 'Import list', 'Import list of best games from a file', () => this.picker.click());
    this.picker = document.createElement('input');
    this.picker.type = 'file';
    this.picker.accept = '.txt,text/plain';
    this.picker.hidden = true;
    this.picker.addEventListener('change', () => this.chosen());
    row.appendChild(this.picker);
    this.status = document.createElement('output');
    this.status.id = 'tilerush-kept-status';
    this.status.className = 'tilerush-status';
    this.status.setAttribute('role', 'status');
    row.appendChild(this.status);
    this.section.append(this.empty, this.list, row);
    panel.appendChild(this.section);
    this.db = null;
    this.board = null;
  }

  // A board found at the page's origin: each game can be sent to it, and a game that
  // enters the list at "Game Over" is offered to it.
  sendTo(board) {
    this.board = board;
    this.show();
  }

  // Each gives the keyboard back to the game once it has done its part.
  button(parent, caption, label, act) {
    return pageButton(parent, caption, label, () => {
      act();
      this.game.focus({ preventScroll: true });
    });
  }

  // "Today's challenge", in the page's controls: a game on the seed of today's date in
  // UTC, the same for everyone who plays it today.
  challengeButton(controls) {
    const b = this.button(controls, "Today's challenge", "Today's challenge", () => {
      const day = new Date().toISOString().slice(0, 10);
      this.send('challenge', { day });
      this.saying = `Today's challenge, ${day}: the same draws for everyone who plays it today.`;
    });
    b.id = 'tilerush-challenge';
    b.disabled = true;
    return b;
  }

  // What to say of the new game once it shows: the challenge or the race just asked for.
  sayingOfNewGame() {
    const said = this.saying;
    this.saying = '';
    return said;
  }

  // Reads the stored list and hands it to the game's side to merge with what it kept
  // meanwhile; asks the browser to keep the page's storage.
  async load() {
    navigator.storage?.persist?.().catch(() => {});
    try {
      this.db = await openStore();
      const text = await inStore(this.db, 'readonly', (store) => store.get(KEY));
      if (text) this.send('keptMerge', { text, imported: false });
      this.stored = text;
    } catch (error) {
      this.db = null;
      this.refused(error);
    }
  }

  // The game's side's list, after any change: shown, and stored.
  changed({ games, text, why, imported, entered, ended }) {
    if (why) {
      if (imported) this.tell(`Cannot import ${this.name}: ${why}.`);
      else if (this.stored) this.setAside(why);
      else console.warn(`Tilerush: the kept games: ${why}`);
      return;
    }
    this.stored = '';
    if (imported) this.tell(`Imported ${this.name}: ${entered} ${entered === 1 ? 'game' : 'games'} new to the list.`);
    this.games = games;
    this.text = text;
    this.show();
    const justEnded = ended && games.find((g) => g.id === ended);
    if (justEnded) this.board?.offer(justEnded);
    if (this.db) inStore(this.db, 'readwrite', (store) => store.put(text, KEY)).catch(this.refused);
  }

  // A stored list this page cannot read (a later version's, or damaged) is kept under a
  // key of its own rather than written over by the next game kept.
  setAside(why) {
    const text = this.stored;
    this.stored = '';
    console.warn(`Tilerush: the stored best games: ${why}`);
    this.tell(`Your stored best games could not be read (${why}); they are set aside and a new list begins.`);
    if (this.db)
      inStore(this.db, 'readwrite', (store) => store.put(text, `unread ${new Date().toISOString()}`)).catch(
        this.refused,
      );
  }

  show() {
    this.empty.hidden = this.games.length > 0;
    this.list.replaceChildren(...this.games.map((g, i) => this.entry(g, i + 1)));
  }

  entry(g, place) {
    const item = document.createElement('li');
    const line = document.createElement('span');
    line.className = 'tilerush-kept-line';
    const kind = kindText(g);
    line.textContent =
      `${g.score} points, level ${g.level}, ${g.bricks} bricks left, ${clock(g.timeMs)}, ` +
      `${g.date.slice(0, 10)}${kind ? `, ${kind}` : ''}`;
    const row = document.createElement('span');
    row.className = 'tilerush-kept-actions';
    const bytes = () => new TextEncoder().encode(g.replay);
    const name = `tilerush-${fileDate(g)}-${g.score}.tilerush`;
    this.button(row, 'Watch', `Watch game ${place}`, () =>
      this.replays.openBytes(bytes(), `your game of ${g.score} points`),
    );
    if (canMakeLinks())
      this.button(row, 'Link', `Link to game ${place}, copied`, () => this.replays.linked(bytes(), false));
    this.button(row, 'Save', `Save game ${place} as a file`, () => this.replays.download(g.replay, name));
    this.button(row, 'Race', `Race game ${place} on its draws`, () => {
      this.send('keptRace', { id: g.id });
      this.saying = `A new game of your own on the same draws as your game of ${g.score} points.`;
    });
    // The board ranks games on the game's own maps only.
    if (this.board && !replayCarriesSet(g.replay))
      this.button(row, 'Send', `Send game ${place} to the board`, () => this.board.send(g));
    this.button(row, 'Forget', `Forget game ${place}`, () => this.send('keptForget', { id: g.id }));
    item.append(line, row);
    return item;
  }

  exportList() {
    if (!this.games.length) return this.tell('There are no games to export yet.');
    this.replays.download(this.text, `tilerush-best-games-${new Date().toISOString().slice(0, 10)}.txt`);
  }

  chosen() {
    const file = this.picker.files[0];
    this.picker.value = '';
    if (!file) return;
    this.name = file.name;
    // A list holds ten games, each at most as long as a replay may be.
    if (file.size > 10 * REPLAYS.longestBytes) return this.tell(`Cannot import ${file.name}: the file is too large.`);
    this.tell(`Checking ${file.name}…`);
    file.text().then(
      (text) => this.send('keptMerge', { text, imported: true }),
      () => this.tell(`Cannot import ${file.name}: the file cannot be read.`),
    );
  }

  tell(text) {
    this.status.textContent = text;
  }
}
