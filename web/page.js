// The page around the game: starts the game's side (web/start.js), and hands it keys,
// the mouse, fingers, pads, clicks, the player leaving and the page being hidden; fits
// the game area to the view, or to the screen in full screen, and shows the game's
// push buttons at its scale; saves and watches replays; plays the game's sound; says
// the game's counters and moments aloud; keeps itself for playing offline.
import { KEYS, AREA } from './layout.js';
import { SCROLLING_KEYS, tilerushKeyCode } from './keys.js';
import { looksLikeReplayLink, replayOfLink } from './links.js';
import { keepForOffline } from './offline.js';
import { Readouts } from './readouts.js';
import { TilerushReplays } from './replays.js';
import { TilerushSound } from './sound.js';
import { GameSide, failureSentence } from './start.js';
import { TilerushTheatre } from './theatre.js';

const root = document.getElementById('tilerush');
const area = root.querySelector('.tilerush-area');
const canvas = area.querySelector('canvas');
const message = document.getElementById('tilerush-message');
const note = document.getElementById('tilerush-note');

// One sentence in the game area, read out as an alert; the detail for whoever looks
// in the console.
function fail(kind, detail) {
  console.error(`Tilerush: ${detail}`);
  message.textContent = failureSentence(kind);
  message.hidden = false;
  root.dataset.state = 'failed';
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
  tell('This browser keeps nothing for Tilerush: the sound setting lasts this visit only, ' +
    'and the game needs the network each time.');
}

// The game area in pixels of its layout; the page shows it at a scale that fits.
const WIDTH = AREA.width;
const HEIGHT = AREA.height;

let game = null;
const send = (m) => game?.send(m);

// The game's push buttons: real buttons of the page, over the canvas, placed and
// lettered at the game area's scale (`placeButton`) from where the layout puts them.
const buttons = [];
const places = new Map();
function showButton(button) {
  let b = buttons[button.id];
  if (!b) {
    b = document.createElement('button');
    b.type = 'button';
    b.className = 'tilerush-button';
    b.addEventListener('click', () => {
      send({ type: 'click', id: button.id });
      // The button may be gone now; the keys must still reach the game.
      root.focus({ preventScroll: true });
    });
    area.appendChild(b);
    buttons[button.id] = b;
  }
  places.set(b, button);
  placeButton(b);
  if (b.textContent !== button.caption) b.textContent = button.caption;
  b.hidden = !button.visible;
}

// The game area's size and scale: `device` pixels of the canvas across and down, and
// how many device and CSS pixels make one pixel of the layout.
let shown = null;
function placeButton(b) {
  const { x, y, width, height, font } = places.get(b);
  const { ratio, acrossPerPixel, downPerPixel, scale } = shown;
  // On whole device pixels, as the canvas's own edges are.
  const across = (v) => Math.round(v * acrossPerPixel) / ratio;
  const down = (v) => Math.round(v * downPerPixel) / ratio;
  b.style.left = `${across(x)}px`;
  b.style.top = `${down(y)}px`;
  b.style.width = `${across(x + width) - across(x)}px`;
  b.style.height = `${down(y + height) - down(y)}px`;
  b.style.borderWidth = `${Math.max(1, Math.round(acrossPerPixel)) / ratio}px`;
  b.style.borderRadius = `${3 * scale}px`;
  b.style.font = font.replace(/([\d.]+)px/, (all, size) => `${size * scale}px`);
}

// The game area's lengths and places are whole CSS pixels that are whole device
// pixels too: a canvas a fraction of a device pixel off its size or place is drawn
// resampled, blurred, and browsers emulating a device pixel ratio (as tests do) round
// places to whole CSS pixels. The smallest such count of CSS pixels: 1 at a ratio of 1,
// 2 or 3, 4 at 1.25 (zoomed to 125%), 2 at 1.5.
function cssUnit(ratio) {
  for (let unit = 1; unit <= 64; ++unit) {
    if (Math.abs(unit * ratio - Math.round(unit * ratio)) < 1e-3) return unit;
  }
  return 1;
}

// The game area at `scale` CSS pixels a layout pixel, or a little less: whole units
// across and down, and its canvas one pixel for each device pixel it covers.
function sized(scale, ratio) {
  const unit = cssUnit(ratio);
  const width = Math.max(1, Math.floor((WIDTH * scale) / unit)) * unit;
  const height = Math.max(1, Math.floor((HEIGHT * scale) / unit)) * unit;
  const across = Math.round(width * ratio);
  const down = Math.round(height * ratio);
  return {
    device: { width: across, height: down },
    width,
    height,
    ratio,
    acrossPerPixel: across / WIDTH,
    downPerPixel: down / HEIGHT,
    scale: width / WIDTH,
  };
}

// Shows the game area as `size` says, at `left`, `top` (CSS pixels, in its frame); the
// game's side redraws everything when the canvas's device pixels change.
let deviceSize = '';
let canvasBox = null;
function showArea(size, left, top) {
  shown = size;
  canvasBox = null;
  area.style.left = `${left}px`;
  area.style.top = `${top}px`;
  area.style.width = `${size.width}px`;
  area.style.height = `${size.height}px`;
  for (const b of buttons) if (b) placeButton(b);
  const { width, height } = size.device;
  if (`${width}x${height}` !== deviceSize) {
    deviceSize = `${width}x${height}`;
    send({ type: 'resize', width, height });
  }
}

const page = document.querySelector('main');
const panel = document.getElementById('tilerush-panel');
const controlRow = document.getElementById('tilerush-controls');
// CSS pixels round the page and between the game and its controls; the controls'
// narrowest and widest when they stand beside the game.
const MARGIN = 8;
const GAP = 12;
const PANEL_NARROWEST = 160;
const PANEL_WIDEST = 240;
// The controls stay in view only while that leaves the game area at least this share
// of the largest scale it could have alone; otherwise they go below the fold.
const CONTROLS_IN_VIEW_AT = 0.82;
const fitScale = (width, height) => Math.max(0, Math.min(width / WIDTH, height / HEIGHT));
const snap = (css, ratio) => Math.round(css / cssUnit(ratio)) * cssUnit(ratio);

// The height of the whole panel, and of its controls alone (the help under them),
// when laid out as `layout` at `width` CSS pixels.
function panelHeights(layout, width) {
  page.dataset.layout = layout;
  panel.style.width = `${width}px`;
  return { whole: panel.offsetHeight, controls: controlRow.offsetTop + controlRow.offsetHeight };
}

// Where the controls may go in a view `width` x `height`, and the game area's scale
// with them there. Beside the game they take the margin it leaves, or make one.
function candidates(width, height) {
  const alone = fitScale(width - 2 * MARGIN, height - 2 * MARGIN);
  const margin = (width - WIDTH * alone) / 2 - GAP - MARGIN;
  const besideWidth = Math.min(PANEL_WIDEST, Math.max(PANEL_NARROWEST, margin));
  const beside = panelHeights('beside', besideWidth);
  const besideScale = fitScale(width - 2 * (MARGIN + GAP + besideWidth), height - 2 * MARGIN);
  const underWidth = Math.min(width - 2 * MARGIN, WIDTH);
  const under = panelHeights('under', underWidth);
  const underScale = (inView) => fitScale(width - 2 * MARGIN, height - 2 * MARGIN - GAP - inView);
  const fits = (inView) => inView <= height - 2 * MARGIN;
  const choice = (layout, panelWidth, inView, whole, scale) => ({ layout, panelWidth, inView, whole, scale });
  return {
    alone: choice('alone', underWidth, 0, under.whole, alone),
    // Every control and the help in view, then the controls alone with the help below the fold.
    tiers: [
      [fits(beside.whole) && choice('beside', besideWidth, beside.whole, beside.whole, besideScale),
        choice('under', underWidth, under.whole, under.whole, underScale(under.whole))],
      [fits(beside.controls) && choice('beside', besideWidth, beside.controls, beside.whole, besideScale),
        choice('under', underWidth, under.controls, under.whole, underScale(under.controls))],
    ],
  };
}

// The first way of showing the controls that leaves the game area large enough, the
// larger of beside and under where both do; below the fold if none does.
function chooseLayout(width, height) {
  const enough = CONTROLS_IN_VIEW_AT * fitScale(width, height);
  const { alone, tiers } = candidates(width, height);
  for (const tier of tiers) {
    const best = tier.filter((c) => c && c.scale >= enough).sort((a, b) => b.scale - a.scale)[0];
    if (best) return best;
  }
  return alone;
}

// The game area centred across the view, and down it where the controls under it
// leave room; the controls beside it in the margin on its right, or under it.
function layOutPage() {
  const ratio = window.devicePixelRatio || 1;
  const width = document.documentElement.clientWidth;
  const height = document.documentElement.clientHeight;
  const choice = chooseLayout(width, height);
  const size = sized(choice.scale, ratio);
  page.dataset.layout = choice.layout;
  panel.style.width = `${choice.panelWidth}px`;
  const left = snap((width - size.width) / 2, ratio);
  let top = (height - size.height) / 2;
  let panelLeft = (width - choice.panelWidth) / 2;
  let panelTop = top + size.height + GAP;
  if (choice.layout === 'beside') {
    panelLeft = left + size.width + GAP;
    // Level with the game's middle when it all fits, else from the game's top down.
    panelTop = top + Math.max(0, (size.height - choice.whole) / 2);
  } else if (choice.layout === 'under') {
    top = Math.max(MARGIN, Math.min(top, height - MARGIN - choice.inView - GAP - size.height));
    panelTop = top + size.height + GAP;
  }
  top = snap(top, ratio);
  root.style.left = `${left}px`;
  root.style.top = `${top}px`;
  root.style.width = `${size.width}px`;
  root.style.height = `${size.height}px`;
  panel.style.left = `${snap(panelLeft, ratio)}px`;
  panel.style.top = `${snap(panelTop, ratio)}px`;
  page.style.height = `${Math.max(height, Math.ceil(panel.offsetTop + panel.offsetHeight + MARGIN))}px`;
  showArea(size, 0, 0);
}

// In full screen the game area has the whole screen, at the largest scale that fits,
// in the middle of its frame, which shows the desktop window's face colour round it.
function layOutFullScreen() {
  const ratio = window.devicePixelRatio || 1;
  const width = root.clientWidth;
  const height = root.clientHeight;
  const size = sized(fitScale(width, height), ratio);
  showArea(size, snap((width - size.width) / 2, ratio), snap((height - size.height) / 2, ratio));
  fullScreen?.placeWayOut(width, height, size);
}

// Follows the view at once: a rotation or a resize of the window, a zoom (which
// changes the device pixel ratio as well as the view), a scroll bar coming or going,
// full screen, and the controls growing or shrinking.
function fitToView() {
  if (document.fullscreenElement === root) layOutFullScreen();
  else layOutPage();
}
function followTheView() {
  window.addEventListener('resize', fitToView);
  document.addEventListener('fullscreenchange', fitToView);
  const watch = () => {
    const ratio = window.devicePixelRatio || 1;
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', () => {
      fitToView();
      watch();
    }, { once: true });
  };
  watch();
  if (typeof ResizeObserver === 'function') {
    // Only when a size really changed, so that laying out again cannot go on forever.
    const seen = new WeakMap();
    const observer = new ResizeObserver((entries) => {
      let changed = false;
      for (const entry of entries) {
        const now = `${entry.contentRect.width}x${entry.contentRect.height}`;
        changed ||= seen.get(entry.target) !== now;
        seen.set(entry.target, now);
      }
      if (changed) fitToView();
    });
    observer.observe(document.documentElement);
    observer.observe(controlRow);
  }
}

// Keys held down, by game code, so that their release can be delivered when the
// keyboard goes elsewhere and the real release would never arrive.
const held = new Set();
function key(down, code) {
  if (down) held.add(code);
  else held.delete(code);
  send({ type: 'key', down, code });
}
function releaseHeldKeys() {
  for (const code of [...held]) key(false, code);
}

// The player went elsewhere: another window or tab, the address bar, or the keyboard
// given to something outside the game area. The game's side releases the keys held
// and pauses a game in play in one message, so that no tick comes between; coming
// back, the player goes on with the Pause button. A pad's direction is sent again at
// its next reading, since the game's side lets go of it too.
function playerLeft() {
  send({ type: 'left', released: [...held] });
  held.clear();
  padDirection = 0;
}

function listenToKeys() {
  root.addEventListener('keydown', (event) => {
    const onButton = event.target !== root && (event.code === 'Space' || event.code === 'Enter');
    if (SCROLLING_KEYS.has(event.code) && !onButton) event.preventDefault();
    // M and Escape reach the game as every key does; the game ignores them.
    sound.keyDown(event);
    fullScreen?.keyDown(event);
    // A held key repeats its keydown: the game sees repeated key-downs, as it should.
    key(true, tilerushKeyCode(event.code));
  });
  root.addEventListener('keyup', (event) => key(false, tilerushKeyCode(event.code)));
  // The push buttons over the game are inside it; the window's own blur comes with
  // a focusout too, and a second "left" finds the game paused already.
  root.addEventListener('focusout', (event) => {
    if (!root.contains(event.relatedTarget)) playerLeft();
  });
  window.addEventListener('blur', playerLeft);
  root.addEventListener('pointerdown', () => root.focus({ preventScroll: true }));
  // A click or tap on one of the page's controls leaves the keyboard with the game
  // (each control hands it back at once anyway), so using one is not leaving; moving
  // to one with Tab is.
  panel.addEventListener('mousedown', (event) => {
    // The timeline's slider and speed take the keyboard: they have keys of their own.
    if (event.target instanceof Element && event.target.closest('button, label, input:not([type=range]):not([type=text])')) {
      event.preventDefault();
    }
  });
}

// The game area's layout pixel under a point of the view, through the canvas as it
// is shown, at whatever scale and wherever it is; none outside it. Where the canvas
// lies is asked again only once it may have moved: asked at every move of the mouse,
// it would lay the page out again each time, to no end.
function layoutPoint({ clientX, clientY }) {
  canvasBox ??= canvas.getBoundingClientRect();
  const box = canvasBox;
  const x = ((clientX - box.left) * WIDTH) / box.width;
  const y = ((clientY - box.top) * HEIGHT) / box.height;
  return x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT ? { x, y } : null;
}
// Where the mouse or a finger is, for the game's side, which steers the paddle to it
// over the board: sent when it changes.
let pointedAt = 'none';
function pointAt(at) {
  const where = at ? `${at.x} ${at.y}` : 'none';
  if (where === pointedAt) return;
  pointedAt = where;
  send({ type: 'pointer', at });
}

// The mouse (or a pen) steers wherever it moves on the page: off the game area it is
// none. Only a move counts. The game area moving under a still pointer (a resize, a
// turned screen, full screen) gives no input, though the browser then sends a
// pointerleave with the pointer where it was.
let pointerScreen = '';
function pointerMoved(event) {
  if (event.pointerType === 'touch') return;
  const screen = `${event.screenX} ${event.screenY}`;
  if (screen === pointerScreen) return;
  pointerScreen = screen;
  pointAt(event.type === 'pointermove' ? layoutPoint(event) : null);
}
function listenToThePointer() {
  window.addEventListener('scroll', () => { canvasBox = null; }, { passive: true });
  document.addEventListener('pointermove', pointerMoved);
  document.documentElement.addEventListener('pointerleave', pointerMoved);
}

// A finger on the board steers as the mouse does, the paddle following it; a second
// finger is a press of P, and steering waits until every finger is lifted.
let twoFingers = false;
// Touches on the page's own buttons over the game are theirs, not steering.
const steeringTouches = (list) => [...list].filter((t) => !(t.target instanceof Element && t.target.closest('button')));
function touchesChanged(event) {
  if (steeringTouches(event.changedTouches).length === 0) return;
  // Neither a scroll nor a zoom of the page under a finger on the game.
  event.preventDefault();
  const touches = steeringTouches(event.touches);
  if (touches.length === 0) {
    twoFingers = false;
    pointAt(null);
  } else if (touches.length >= 2) {
    if (twoFingers) return;
    twoFingers = true;
    pointAt(null);
    key(true, KEYS.pause);
    key(false, KEYS.pause);
  } else if (!twoFingers) {
    pointAt(layoutPoint(touches[0]));
  }
}
function listenToTouches() {
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
    root.addEventListener(type, touchesChanged, { passive: false });
  }
  root.addEventListener('touchstart', () => root.focus({ preventScroll: true }));
}

// Pads with the standard mapping: the d-pad is buttons 12 to 15, the left stick axes
// 0 and 1, Start button 9 and A, the bottom face button, 0. The Gamepad API tells
// what a pad holds only when asked, so they are read once a frame while one is
// connected, and not at all while none is. The game's side hears of what changed:
// where they steer, and a press of Start or A.
const PAD = { a: 0, start: 9, left: 14, right: 15 };
// The game's own, given when it starts.
let stickDeadZone = 1;
let padFrame = 0;
let padDirection = 0;
const padsPressed = new Map();
function padDirectionOf(pad) {
  const pressed = (button) => pad.buttons[button]?.pressed === true;
  if (pressed(PAD.left) !== pressed(PAD.right)) return pressed(PAD.left) ? -1 : 1;
  // As the game's stick rule has it: from the dead zone on, either way.
  const axis = pad.axes[0] ?? 0;
  if (axis <= -stickDeadZone) return -1;
  return axis >= stickDeadZone ? 1 : 0;
}
function readPads() {
  padFrame = 0;
  const pads = [...navigator.getGamepads()].filter((pad) => pad && pad.connected);
  const before = new Map(padsPressed);
  padsPressed.clear();
  let direction = 0;
  for (const pad of pads.filter((p) => p.mapping === 'standard')) {
    direction ||= padDirectionOf(pad);
    const pressed = { start: pad.buttons[PAD.start]?.pressed === true, a: pad.buttons[PAD.a]?.pressed === true };
    const was = before.get(pad.index);
    if (pressed.start && !was?.start) send({ type: 'padStart' });
    if (pressed.a && !was?.a) send({ type: 'padA' });
    padsPressed.set(pad.index, pressed);
  }
  if (direction !== padDirection) {
    padDirection = direction;
    send({ type: 'pad', direction });
  }
  if (pads.length > 0) padFrame = requestAnimationFrame(readPads);
}
function readPadsSoon() {
  if (!padFrame) padFrame = requestAnimationFrame(readPads);
}
function listenToPads() {
  if (typeof navigator.getGamepads !== 'function') return;
  window.addEventListener('gamepadconnected', readPadsSoon);
  window.addEventListener('gamepaddisconnected', readPadsSoon);
  // Once, for a pad connected before the page listened.
  readPadsSoon();
}

// A hidden page's game pauses and stands still, and goes on from there when it shows
// again: the time it was hidden is no game time.
function listenToVisibility() {
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) playerLeft();
    send({ type: 'visibility', hidden: document.hidden });
  });
}

const replays = new TilerushReplays(controlRow, root, send);
const theatre = new TilerushTheatre(controlRow, root, send);
const sound = new TilerushSound(controlRow, root, send, storageRefused);
const readouts = new Readouts(document.getElementById('tilerush-readout'));

// "Full screen": the game area alone on the whole screen. In full screen the same
// button, as "Leave full screen", sits in a corner of the screen beside the game area
// where the margin round it holds the button; Escape leaves full screen as well.
function fullScreenControl() {
  if (!document.fullscreenEnabled || typeof root.requestFullscreen !== 'function') return null;
  const b = document.createElement('button');
  b.type = 'button';
  b.id = 'tilerush-full-screen';
  b.className = 'tilerush-control';
  b.textContent = 'Full screen';
  const next = controlRow.querySelector('.tilerush-sound');
  controlRow.insertBefore(b, next);
  b.addEventListener('click', () => {
    if (document.fullscreenElement === root) document.exitFullscreen().catch(() => {});
    else root.requestFullscreen().catch(() => {}); // refused: the page stays as it is
    root.focus({ preventScroll: true });
  });
  // Registered before the layout's own listener: the button is in its place first.
  document.addEventListener('fullscreenchange', () => {
    const full = document.fullscreenElement === root;
    b.classList.toggle('tilerush-leave', full);
    b.textContent = full ? 'Leave full screen' : 'Full screen';
    if (full) {
      root.appendChild(b);
    } else {
      controlRow.insertBefore(b, next);
      b.style.left = b.style.top = '';
      b.hidden = false;
    }
  });
  const PAD = 8;
  return {
    // Browsers leave full screen on Escape themselves, mostly before the page hears
    // of it; one that hands the key to the page leaves it here.
    keyDown(event) {
      if (event.code === 'Escape' && document.fullscreenElement === root) document.exitFullscreen().catch(() => {});
    },
    placeWayOut(width, height, size) {
      const side = (width - size.width) / 2;
      const below = (height - size.height) / 2;
      b.hidden = false;
      const [w, h] = [b.offsetWidth, b.offsetHeight];
      b.hidden = side < w + 2 * PAD && below < h + 2 * PAD;
      b.style.left = `${width - PAD - w}px`;
      b.style.top = `${side >= w + 2 * PAD ? PAD : height - PAD - h}px`;
    },
  };
}
const fullScreen = fullScreenControl();
// The page's sound may start on any key press, tap or click on it, and only then.
function listenForTheFirstTouch() {
  for (const type of ['keydown', 'pointerdown', 'touchend']) {
    document.addEventListener(type, () => sound.wake(), { capture: true });
  }
}
const fromGame = {
  // Whatever was sent while the game was loading (a resize, the sound turned on) has
  // gone to it just before this.
  started(m) {
    // The page may have been hidden or shown while the game was loading.
    if (document.hidden !== openedHidden) send({ type: 'visibility', hidden: document.hidden });
    root.dataset.state = 'playing';
    requestAnimationFrame(() => performance.mark('tilerush-first-frame'));
    stickDeadZone = m.stickDeadZone;
    listenToKeys();
    listenToThePointer();
    listenToTouches();
    listenToPads();
    listenToVisibility();
    listenForTheFirstTouch();
    replays.enable();
    root.focus({ preventScroll: true });
    if (waitingForLink) openLink();
    window.addEventListener('hashchange', () => {
      if (looksLikeReplayLink(location.hash)) openLink();
    });
  },
  button(m) {
    showButton(m.button);
    readouts.button(m.button);
  },
  readouts(m) {
    readouts.changed(m.text);
  },
  saved(m) {
    replays.download(m.text, m.name);
  },
  watching(m) {
    root.dataset.state = 'watching';
    waitingForLink = false;
    releaseHeldKeys();
    replays.watching();
    theatre.opened(m);
  },
  timeline(m) {
    theatre.update(m);
  },
  refused(m) {
    replays.refused(m.text);
    ownGameAfterLink();
  },
  linkBytes(m) {
    replays.linked(m.bytes, m.share);
  },
  over(m) {
    replays.over(m.text);
  },
  playing(m) {
    root.dataset.state = 'playing';
    theatre.closed();
    replays.playing();
    if (m.raced) replays.tell('A new game of your own on the same draws as the replay.');
  },
  cue(m) {
    sound.play(m.number);
  },
};

// A page opened on a replay link watches the replay first, and the visitor's own game
// starts once they go back to it; a link that cannot be watched says why in one
// sentence, and the visitor's game starts as it would have without it.
let waitingForLink = looksLikeReplayLink(location.hash);
function ownGameAfterLink() {
  if (!waitingForLink) return;
  waitingForLink = false;
  send({ type: 'back' });
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

function startTheGame() {
  fitToView();
  followTheView();
  // A browser this old reads no module either; one that does may still lack it.
  if (typeof WebAssembly !== 'object') {
    fail('no-wasm', 'this browser has no WebAssembly');
    return;
  }
  try {
    game = new GameSide(canvas, (m) => fromGame[m.type]?.(m), fail);
  } catch (error) {
    fail('worker', `the game's side did not start: ${error.message}`);
    return;
  }
  game.open({ ...shown.device, hidden: openedHidden, replayFirst: waitingForLink });
}

const openedHidden = document.hidden;
startTheGame();
keepForOffline(tell, storageRefused);
