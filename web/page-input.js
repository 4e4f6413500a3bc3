// What the player does over the game, as the game's side hears it: keys by the
// game's codes as they go down (repeating while held) and up, the mouse and fingers
// over the game area, the player leaving (another window, tab or program, the keyboard
// moved away, the page hidden). Which of them reaches what, and the keys held, are
// the game's side's to know: this only tells.
import { KEYS, SHIFT } from './layout.js';
import { SCROLLING_KEYS, tilerushKeyCode } from './keys.js';

// The shift state as the game's side takes it.
const shiftOf = (event) =>
  (event.shiftKey ? SHIFT.shift : 0) | (event.ctrlKey ? SHIFT.control : 0) | (event.altKey ? SHIFT.alt : 0);

// `root` is the game's frame, which holds the keyboard; `panel` the controls beside
// it; `send(type, fields)` goes to the game's side; `layout` is web/page-layout.js's;
// `pads` web/pads.js's; `fullScreen` web/full-screen.js's, or null.
export function listenToInput({ root, panel, send, layout, pads, fullScreen }) {
  const key = (down, code, event = null) =>
    send('key', { down, code, shift: event ? shiftOf(event) : 0, repeat: event?.repeat === true });

  // The player went elsewhere: another window or tab, the address bar, or the keyboard
  // given to something outside the game area. The game's side lets go of what is held
  // and pauses a game in play at one instant; coming back, the player goes on with
  // the Pause button. A pad's direction is sent again at its next reading.
  const playerLeft = () => {
    send('left');
    pads.forget();
  };

  root.addEventListener('keydown', (event) => {
    const onButton = event.target !== root && (event.code === 'Space' || event.code === 'Enter');
    if (SCROLLING_KEYS.has(event.code) && !onButton) event.preventDefault();
    const code = tilerushKeyCode(event.code);
    // Full screen by the keys is the page's own, not the browser's.
    if (fullScreen && (code === KEYS.f11 || (code === KEYS.enter && event.altKey))) event.preventDefault();
    key(true, code, event);
  });
  root.addEventListener('keyup', (event) => key(false, tilerushKeyCode(event.code), event));
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
    if (
      event.target instanceof Element &&
      event.target.closest('button, label, input:not([type=range]):not([type=text])')
    ) {
      event.preventDefault();
    }
  });

  // Where the mouse or a finger is, for the game's side, which steers the paddle to it
  // over the board: sent when it changes.
  let pointedAt = 'none';
  const pointAt = (at) => {
    const where = at ? `${at.x} ${at.y}` : 'none';
    if (where === pointedAt) return;
    pointedAt = where;
    send('pointer', { at });
  };

  // The mouse (or a pen) steers wherever it moves on the page: off the game area it is
  // none. Only a move counts. The game area moving under a still pointer (a resize, a
  // turned screen, full screen) gives no input, though the browser then sends a
  // pointerleave with the pointer where it was.
  let pointerScreen = '';
  const pointerMoved = (event) => {
    if (event.pointerType === 'touch') return;
    const screen = `${event.screenX} ${event.screenY}`;
    if (screen === pointerScreen) return;
    pointerScreen = screen;
    pointAt(event.type === 'pointermove' ? layout.layoutPoint(event) : null);
  };
  document.addEventListener('pointermove', pointerMoved);
  document.documentElement.addEventListener('pointerleave', pointerMoved);

  // A finger on the board steers as the mouse does, the paddle following it; a second
  // finger is a press of P, and steering waits until every finger is lifted.
  let twoFingers = false;
  // Touches on the page's own buttons over the game are theirs, not steering.
  const steeringTouches = (list) =>
    [...list].filter((t) => !(t.target instanceof Element && t.target.closest('button')));
  const touchesChanged = (event) => {
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
      pointAt(layout.layoutPoint(touches[0]));
    }
  };
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
    root.addEventListener(type, touchesChanged, { passive: false });
  }
  root.addEventListener('touchstart', () => root.focus({ preventScroll: true }));

  // A hidden page's game pauses and stands still, and goes on from there when it shows
  // again: the time it was hidden is no game time.
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) playerLeft();
    send('visibility', { hidden: document.hidden });
  });
}
