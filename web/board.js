// The public board beside the game, where the page's own origin serves one
// (tilerush-board): today's challenge and the all-time board, the player's own place on
// each, and finished games sent under a name the player chooses once. What is sent is
// the game's replay, never a score: the board plays it through the same core and ranks
// it by the score it finds itself. A page served anywhere else (a static host, a file,
// offline) finds no board and says nothing of boards.
import { pageButton, panelSection } from './kept.js';
import { replayCarriesSet } from './links.js';

const API = '/api/v1/';
const NAME = 'tilerush.board.name';
const KEY = 'tilerush.board.key';
const BOARDS = [
  ['today', "Today's challenge"],
  ['all-time', 'All time'],
];

// Whether the page's own origin answers as a board does; anything else (a 404, a static
// host's page, no network) is no board.
export async function boardAtOrigin(origin = location.origin) {
  try {
    const answer = await fetch(new URL(API, origin), { cache: 'no-store', headers: { Accept: 'application/json' } });
    if (!answer.ok) return false;
    const body = await answer.json();
    return body?.service === 'tilerush-board' && body?.api === 1;
  } catch {
    return false;
  }
}

const clock = (ms) => {
  const seconds = Math.floor(ms / 1000);
  return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
};
const entryText = (e) => `${e.name}: ${e.score} points, level ${e.level}, ${clock(e.time_ms)}, ${e.date.slice(0, 10)}`;
// A board's name in the board's answers: 'all-time' or 'day/YYYY-MM-DD'.
const boardText = (board) => (board === 'all-time' ? 'the all-time board' : `the board of ${board.slice(4)}`);
const todayInUtc = () => new Date().toISOString().slice(0, 10);

// The browser may refuse the page any storage: the name and key then last the visit.
const kept = new Map();
function stored(name) {
  try {
    return localStorage.getItem(name) ?? kept.get(name) ?? null;
  } catch {
    return kept.get(name) ?? null;
  }
}
function store(name, value) {
  kept.set(name, value);
  try {
    localStorage.setItem(name, value);
  } catch {
    // Kept for this visit only.
  }
}

// The player's key: a random secret made once and kept, which binds their name to them.
function playerKey() {
  let key = stored(KEY);
  if (!key) {
    const bytes = crypto.getRandomValues(new Uint8Array(32));
    key = btoa(String.fromCharCode(...bytes))
      .replace(/\+/g, '-')
      .replace(/\//g, '_')
      .replace(/=+$/, '');
    store(KEY, key);
  }
  return key;
}

// The answer's own sentence where it gives one.
async function errorOf(answer) {
  try {
    const body = await answer.json();
    if (typeof body?.error === 'string') return body.error;
  } catch {
    // A proxy's page rather than the board's answer.
  }
  return `The board answered ${answer.status}.`;
}

export class TilerushBoard {
  // `panel` gets the section; `replays` watches an entry as any replay; `kept` offers
  // its games to send.
  constructor(panel, game, replays) {
    this.game = game;
    this.replays = replays;
    this.shown = 'today';
    this.section = panelSection('tilerush-board', 'The board');
    this.section.classList.add('tilerush-board');
    const tabs = document.createElement('div');
    tabs.className = 'tilerush-controls';
    this.tabs = BOARDS.map(([which, caption]) => {
      const b = this.button(
        tabs,
        caption,
        `Show ${caption === 'All time' ? 'the all-time board' : "today's board"}`,
        () => this.show(which),
      );
      b.dataset.board = which;
      return b;
    });
    this.list = document.createElement('ol');
    this.list.className = 'tilerush-kept-list';
    this.place = document.createElement('p');
    this.place.className = 'tilerush-kept-empty';
    const naming = document.createElement('label');
    naming.className = 'tilerush-board-name';
    naming.textContent = 'Your name on the board ';
    this.name = document.createElement('input');
    this.name.maxLength = 24;
    this.name.autocomplete = 'nickname';
    this.name.value = stored(NAME) ?? '';
    this.name.addEventListener('change', () => this.named());
    naming.appendChild(this.name);
    this.offered = document.createElement('div');
    this.offered.className = 'tilerush-controls';
    this.status = document.createElement('output');
    this.status.id = 'tilerush-board-status';
    this.status.className = 'tilerush-status';
    this.status.setAttribute('role', 'status');
    this.section.append(tabs, this.list, this.place, naming, this.offered, this.status);
    panel.appendChild(this.section);
  }

  button(parent, caption, label, act) {
    return pageButton(parent, caption, label, act);
  }

  named() {
    const name = this.name.value.trim();
    this.name.value = name;
    store(NAME, name);
    this.show(this.shown);
  }

  async show(which) {
    this.shown = which;
    for (const tab of this.tabs) tab.setAttribute('aria-pressed', String(tab.dataset.board === which));
    const name = this.name.value.trim();
    const query = name ? `?name=${encodeURIComponent(name)}` : '';
    try {
      const answer = await fetch(`${API}boards/${which}${query}`);
      if (!answer.ok) return this.tell(await errorOf(answer));
      const board = await answer.json();
      if (this.shown !== which) return;
      this.list.replaceChildren(...board.entries.map((e) => this.entry(e)));
      const own = board.player;
      this.place.textContent = !board.entries.length
        ? 'No game is on this board yet.'
        : own
          ? `Your place: ${own.rank}, ${own.score} points.`
          : '';
    } catch {
      this.tell('The board cannot be reached just now.');
    }
  }

  entry(e) {
    const item = document.createElement('li');
    item.value = e.rank;
    const line = document.createElement('span');
    line.className = 'tilerush-kept-line';
    line.textContent = entryText(e);
    const row = document.createElement('span');
    row.className = 'tilerush-kept-actions';
    this.button(row, 'Watch', `Watch ${e.name}'s game of ${e.score} points`, () => this.watch(e));
    item.append(line, row);
    return item;
  }

  // An entry's replay, watched as any replay; from there "Play this game" races it.
  async watch(e) {
    try {
      const answer = await fetch(`${API}games/${e.id}`);
      if (!answer.ok) return this.tell(await errorOf(answer));
      const game = await answer.json();
      this.replays.openBytes(new TextEncoder().encode(game.replay), `${e.name}'s game of ${e.score} points`);
    } catch {
      this.tell('The board cannot be reached just now.');
    }
  }

  // A game just kept at its end, offered to the board until another comes; a game on a
  // level set of the player's own is for no board.
  offer(g) {
    if (replayCarriesSet(g.replay)) return;
    this.offered.replaceChildren();
    this.button(this.offered, `Send ${g.score} points`, `Send your game of ${g.score} points to the board`, () =>
      this.send(g),
    );
  }

  async send(g) {
    const name = this.name.value.trim();
    if (!name) {
      this.tell('Choose your name on the board first, then send the game.');
      this.name.focus();
      return;
    }
    this.tell(`Sending your game of ${g.score} points…`);
    try {
      const answer = await fetch(`${API}games`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ name, key: playerKey(), replay: g.replay }),
      });
      if (!answer.ok) return this.tell(await errorOf(answer));
      const sent = await answer.json();
      this.offered.replaceChildren();
      this.tell(`Your game of ${sent.score} points is number ${sent.rank} on ${boardText(sent.board)}.`);
      this.show(sent.board === `day/${todayInUtc()}` ? 'today' : sent.board);
    } catch {
      this.tell('The board cannot be reached just now; your game stays kept here.');
    }
    this.game.focus({ preventScroll: true });
  }

  tell(text) {
    this.status.textContent = text;
  }
}
