// The game's key codes from KeyboardEvent.code: where a key sits, not what it types,
// so that every keyboard layout steers the same way.
import { KEYS } from './layout.js';

const NAMED_KEYS = new Map([
  ['Backspace', 8], ['Tab', 9], ['Enter', 13], ['NumpadEnter', 13],
  ['ShiftLeft', 16], ['ShiftRight', 16], ['ControlLeft', 17], ['ControlRight', 17],
  ['AltLeft', 18], ['AltRight', 18], ['Pause', 19], ['CapsLock', 20], ['Escape', 27],
  ['Space', 32], ['PageUp', 33], ['PageDown', 34], ['End', 35], ['Home', 36],
  ['ArrowLeft', KEYS.left], ['ArrowUp', 38], ['ArrowRight', KEYS.right], ['ArrowDown', 40],
  ['PrintScreen', 44], ['Insert', 45], ['Delete', 46], ['MetaLeft', 91], ['MetaRight', 91],
  ['ContextMenu', 93], ['NumpadMultiply', 106], ['NumpadAdd', 107], ['NumpadSubtract', 109],
  ['NumpadDecimal', 110], ['NumpadDivide', 111], ['NumLock', 144], ['ScrollLock', 145],
  // Punctuation takes the number of the key it sits on, so that a quote (39 as a
  // character) or a percent sign (37) never steers the paddle.
  ['Semicolon', 186], ['Equal', 187], ['Comma', 188], ['Minus', 189], ['Period', 190],
  ['Slash', 191], ['Backquote', 192], ['BracketLeft', 219], ['Backslash', 220],
  ['BracketRight', 221], ['Quote', 222],
]);

// The arrows as the game's steering keys, letters and digits as their upper-case character code; a key
// unknown here is 0, which still stops the paddle when released.
export function tilerushKeyCode(code) {
  const named = NAMED_KEYS.get(code);
  if (named !== undefined) return named;
  let m = /^Key([A-Z])$/.exec(code);
  if (m) return m[1].charCodeAt(0);
  m = /^Digit([0-9])$/.exec(code);
  if (m) return m[1].charCodeAt(0);
  m = /^Numpad([0-9])$/.exec(code);
  if (m) return 96 + Number(m[1]);
  m = /^F([0-9]{1,2})$/.exec(code);
  if (m && Number(m[1]) >= 1 && Number(m[1]) <= 24) return 111 + Number(m[1]);
  return 0;
}

// Keys whose default action scrolls the page: kept from it while the game has focus.
export const SCROLLING_KEYS = new Set([
  'ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Space', 'PageUp', 'PageDown', 'Home', 'End',
]);
