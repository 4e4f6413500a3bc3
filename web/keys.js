// The game's key codes from KeyboardEvent.code: where a key sits, not what it types,
// so that every keyboard layout steers the same way.
import { KEYS } from './layout.js';

// Every key by its name in the game's own table (layout.js, written from it), so that
// no key code is written twice. Laid out by hand: a few keys a line.
// prettier-ignore
const NAMED_KEYS = new Map([
  ['Backspace', KEYS.backspace], ['Tab', KEYS.tab], ['Enter', KEYS.enter], ['NumpadEnter', KEYS.enter],
  ['ShiftLeft', KEYS.shift], ['ShiftRight', KEYS.shift], ['ControlLeft', KEYS.control], ['ControlRight', KEYS.control],
  ['AltLeft', KEYS.alt], ['AltRight', KEYS.alt], ['Pause', KEYS.pauseBreak], ['CapsLock', KEYS.capsLock],
  ['Escape', KEYS.escape], ['Space', KEYS.space], ['PageUp', KEYS.pageUp], ['PageDown', KEYS.pageDown],
  ['End', KEYS.end], ['Home', KEYS.home], ['ArrowLeft', KEYS.left], ['ArrowUp', KEYS.up],
  ['ArrowRight', KEYS.right], ['ArrowDown', KEYS.down], ['PrintScreen', KEYS.printScreen],
  ['Insert', KEYS.insert], ['Delete', KEYS.delete], ['MetaLeft', KEYS.meta], ['MetaRight', KEYS.meta],
  ['ContextMenu', KEYS.menu], ['NumpadMultiply', KEYS.padMultiply], ['NumpadAdd', KEYS.padPlus],
  ['NumpadSubtract', KEYS.padMinus], ['NumpadDecimal', KEYS.padDecimal], ['NumpadDivide', KEYS.padDivide],
  ['NumLock', KEYS.numLock], ['ScrollLock', KEYS.scrollLock],
  ['KeyM', KEYS.sound], ['KeyP', KEYS.pause], ['F11', KEYS.f11],
  // Punctuation takes the number of the key it sits on, so that a quote (39 as a
  // character) or a percent sign (37) never steers the paddle.
  ['Semicolon', KEYS.semicolon], ['Equal', KEYS.equals], ['Comma', KEYS.comma], ['Minus', KEYS.minus],
  ['Period', KEYS.period], ['Slash', KEYS.slash], ['Backquote', KEYS.backquote],
  ['BracketLeft', KEYS.bracketLeft], ['Backslash', KEYS.backslash], ['BracketRight', KEYS.bracketRight],
  ['Quote', KEYS.quote],
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
  if (m) return KEYS.pad0 + Number(m[1]);
  m = /^F([0-9]{1,2})$/.exec(code);
  if (m && Number(m[1]) >= 1 && Number(m[1]) <= 24) return KEYS.f1 + Number(m[1]) - 1;
  return 0;
}

// Keys whose default action scrolls the page: kept from it while the game has focus.
export const SCROLLING_KEYS = new Set([
  'ArrowLeft',
  'ArrowRight',
  'ArrowUp',
  'ArrowDown',
  'Space',
  'PageUp',
  'PageDown',
  'Home',
  'End',
]);
