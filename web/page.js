// The page around the game: starts the game's side (web/start.js), lays the game area
// and its controls out (web/page-layout.js), hands the game's side what the player
// does (web/page-input.js, web/pads.js), and shows, plays and says what it hears back:
// the game's push buttons, the mode and its buttons, a watched replay's timeline,
// saved replays and links, the game's sound, its counters and moments aloud, full
// screen. It keeps itself for playing offline.
import { FROM_GAME, TO_GAME, message } from './crossing.js';
import { fullScreenControl } from './full-screen.js';
import { TilerushEditor } from './editor.js';
import { levelsOfLink, looksLikeLevelsLink, looksLikeReplayLink, replayOfLink } from './links.js';
import { TilerushBoard, boardAtOrigin } from './board.js';
import { TilerushKept } from './kept.js';
import { keepForOffline } from './offline.js';
import { Pads } from './pads.js';
import { listenToInput } from './page-input.js';
import { pageLayout } from './page-layout.js';
import { Readouts } from './readouts.js';
import { TilerushReplays } from './replays.js';
import { TilerushSound } from './sound.js';
import { GameSide, failureSentence } from './start.js';
import { TilerushTheatre } from './theatre.js';

const root = document.getElementById('tilerush');
const canvas = root.querySelector('canvas');
const failure = document.getElementById('tilerush-message');
const note = document.getElementById('tilerush-note');
const panel = document.getElementById('tilerush-panel');
const controlRow = document.getElementById('tilerush-controls');

// One sentence in the game area, read out as an alert; the detail for whoever looks
// in the console.
function fail(kind, detail) {
  console.error(`Tilerush: ${detail}`);
  failure.textContent = failureSentence(kind);
  failure.hidden = false;
  root.dataset.state = 'failed';
  keepThisVersion();
}

// A line under the controls, for what the player may want to know but which stops
// nothing: storage refused, a new version in.
function tell(text) {
  note.textContent = text;
}
let toldOfStorage = false;
function storageRefused(error) {
  console.warn(`Tilerush: storage refused: ${error?.message || error}`);
  if (toldOfStorage) return;
  toldOfStorage = true;
  tell(
    'This browser keeps nothing for Tilerush: your best games and the sound setting last ' +
      'this visit only, and the game needs the network each time.',
  );
}

let game = null;
// Every message to the game's side is one crossing.js declares.
const send = (type, fields) => game?.send(message(TO_GAME, type, fields));

const replays = new TilerushReplays(controlRow, root, send);
const kept = new TilerushKept(panel, root, send, replays, storageRefused);
const challenge = kept.challengeButton(controlRow);
const theatre = new TilerushTheatre(controlRow, root, send);
const sound = new TilerushSound(controlRow, root, send, storageRefused);
const readouts = new Readouts(document.getElementById('tilerush-readout'));
const fullScreen = fullScreenControl(root, controlRow);
const layout = pageLayout({ root, canvas, send, fullScreen });
const pads = new Pads(send);
const editor = new TilerushEditor({
  main: document.querySelector('main'),
  controls: controlRow,
  game: root,
  send,
  storageRefused,
});

// The page's sound may start on any key press, tap or click on it, and only then.
function listenForTheFirstTouch() {
  for (const type of ['keydown', 'pointerdown', 'touchend']) {
    document.addEventListener(type, () => sound.wake(), { capture: true });
  }
}

// "Play this game" was just clicked: the new game says what it is.
let racing = false;
const fromGame = {
  // Whatever was sent while the game was loading (a resize, the sound turned on) has
  // gone to it just before this.
  started(m) {
    // The page may have been hidden or shown while the game was loading.
    if (document.hidden !== openedHidden) send('visibility', { hidden: document.hidden });
    root.dataset.state = 'playing';
    requestAnimationFrame(() => performance.mark('tilerush-first-frame'));
    keepThisVersion();
    listenToInput({ root, panel, send, layout, pads, fullScreen });
    pads.listen(m.stickDeadZone);
    listenForTheFirstTouch();
    replays.enable();
    challenge.disabled = false;
    root.focus({ preventScroll: true });
    if (waitingForLink) openLink();
    if (looksLikeLevelsLink(location.hash)) openLevelsLink();
    findTheBoard();
    window.addEventListener('hashchange', () => {
      if (looksLikeReplayLink(location.hash)) openLink();
      if (looksLikeLevelsLink(location.hash)) openLevelsLink();
    });
  },
  button(m) {
    layout.showButton(m.button);
    readouts.button(m.button);
  },
  readouts(m) {
    readouts.changed(m.counters);
  },
  saved(m) {
    replays.download(m.text, m.name);
  },
  mode(m) {
    root.dataset.state = m.mode;
    replays.showButtons(m.buttons);
    theatre.showButtons(m.buttons);
    if (m.mode === 'watching') {
      waitingForLink = false;
      replays.watching();
      theatre.opened();
      return;
    }
    theatre.closed();
    replays.playing();
    if (racing && m.raced) replays.tell('A new game of your own on the same draws as the replay.');
    racing = false;
    const said = kept.sayingOfNewGame();
    if (said) replays.tell(said);
  },
  timeline(m) {
    theatre.update(m);
  },
  refused(m) {
    replays.refused(m.why);
    ownGameAfterLink();
  },
  levelsRead(m) {
    editor.levelsRead(m);
  },
  linkBytes(m) {
    replays.linked(m.bytes, m.share);
  },
  over(m) {
    replays.over(m.text);
  },
  cue(m) {
    sound.play(m.number);
  },
  kept(m) {
    kept.changed(m);
  },
  asked(m) {
    if (m.request === 'toggleSound') sound.turn(!sound.on);
    else if (m.request === 'toggleFullScreen') fullScreen?.toggle();
    else if (m.request === 'leaveFullScreen') fullScreen?.leave();
  },
};
theatre.onRace(() => {
  racing = true;
});

// A page opened on a replay link watches the replay first, and the visitor's own game
// starts once they go back to it; a link that cannot be watched says why in one
// sentence, and the visitor's game starts as it would have without it.
let waitingForLink = looksLikeReplayLink(location.hash);
function ownGameAfterLink() {
  if (!waitingForLink) return;
  waitingForLink = false;
  send('back');
}
async function openLink() {
  const { bytes, why } = await replayOfLink(location.hash);
  if (why) {
    replays.tell(why);
    ownGameAfterLink();
    return;
  }
  replays.openLink(bytes);
}

// A page opened on a level set's link offers it, with Play and Edit; the visitor's own
// game goes on meanwhile, untouched by a link that cannot be read.
async function openLevelsLink() {
  const { text, why } = await levelsOfLink(location.hash);
  if (why) {
    replays.tell(why);
    return;
  }
  editor.offerShared(text, controlRow, (sentence) => replays.tell(sentence));
}

function startTheGame() {
  layout.fitToView();
  layout.followTheView();
  // A browser this old reads no module either; one that does may still lack it.
  if (typeof WebAssembly !== 'object') {
    fail('no-wasm', 'this browser has no WebAssembly');
    return;
  }
  const hear = (m) => {
    const { type, ...fields } = m;
    fromGame[type]?.(message(FROM_GAME, type, fields));
  };
  try {
    game = new GameSide(canvas, hear, fail);
  } catch (error) {
    fail('worker', `the game's side did not start: ${error.message}`);
    return;
  }
  game.open({ ...layout.device(), hidden: openedHidden, replayFirst: waitingForLink });
}

const openedHidden = document.hidden;
// The board, where the page's origin has one, once the game has its first frame: the
// question must never hold the game up, and without an answer the page says nothing of boards.
async function findTheBoard() {
  if (!(await boardAtOrigin())) return;
  const board = new TilerushBoard(panel, root, replays);
  kept.sendTo(board);
  board.show('today');
}

// The service worker fetches the whole version, the replay watcher's program among it,
// as it installs: once the game has drawn its first frame (or could not start), so that
// on a first visit none of that stands in the way of what the first frame needs.
let keeping = false;
function keepThisVersion() {
  if (keeping) return;
  keeping = true;
  keepForOffline(tell, storageRefused);
}

startTheGame();
kept.load();
