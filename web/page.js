// Starts the game in the page: its fonts and its WebAssembly load side by side, and
// the first frame is drawn once both are in. Then this script pumps the game's clock
// with real time, and hands it keys, touches, clicks and the loss of focus.
'use strict';

(function () {
  const root = document.getElementById('tilerush');
  const canvas = root.querySelector('canvas');
  const message = document.getElementById('tilerush-message');

  function say(text) {
    message.textContent = text;
    message.hidden = false;
    canvas.hidden = true;
  }

  // The page has said why already (index.html).
  if (typeof WebAssembly !== 'object') return;

  // The window's stand-in faces, cut down to the characters the game shows in them.
  const FONTS = [
    ['Open Sans Condensed', 'open-sans-condensed-bold', '700'],
    ['Liberation Sans', 'liberation-sans-bold', '700'],
    ['Liberation Serif', 'liberation-serif-regular', '400'],
    ['Liberation Serif', 'liberation-serif-bold', '700'],
    ['Dancing Script', 'dancing-script-bold', '700'],
    // Only a regular face: bold is made from it, as on the desktop.
    ['AR PL UMing CN', 'ar-pl-uming-cn', '400'],
  ];
  const fontsLoaded = Promise.all(FONTS.map(([family, file, weight]) => {
    const face = new FontFace(family, `url(fonts/${file}.woff)`, { weight });
    document.fonts.add(face);
    return face.load();
  }));

  let game = null;
  const painter = new TilerushPainter(root, canvas, (id) => {
    if (!game) return;
    schedule(game._tilerush_click(id, performance.now()));
    // The button may be gone now; the keys must still reach the game.
    root.focus({ preventScroll: true });
  });

  // One wake-up at the instant the clock next needs pumping, none while hidden.
  let wakeUp = 0;
  function schedule(wait) {
    clearTimeout(wakeUp);
    wakeUp = 0;
    if (wait >= 0 && !document.hidden) wakeUp = setTimeout(pump, Math.ceil(wait));
  }
  function pump() {
    wakeUp = 0;
    schedule(game._tilerush_pump(performance.now()));
  }

  // Keys held down, by game code, so that their release can be delivered when the
  // keyboard goes elsewhere and the real release would never arrive.
  const held = new Map();
  function key(down, code, shift) {
    if (down) held.set(code, shift);
    else held.delete(code);
    schedule(game._tilerush_key(down ? 1 : 0, code, shift, performance.now()));
  }
  function releaseHeldKeys() {
    for (const [code, shift] of [...held]) key(false, code, shift);
  }

  function listenToKeys() {
    root.addEventListener('keydown', (event) => {
      const onButton = event.target !== root && (event.code === 'Space' || event.code === 'Enter');
      if (TILERUSH_SCROLLING_KEYS.has(event.code) && !onButton) event.preventDefault();
      // A held key repeats its keydown: the game sees repeated key-downs, as it should.
      key(true, tilerushKeyCode(event.code), tilerushShiftState(event));
    });
    root.addEventListener('keyup', (event) => {
      key(false, tilerushKeyCode(event.code), tilerushShiftState(event));
    });
    root.addEventListener('focusout', (event) => {
      if (!root.contains(event.relatedTarget)) releaseHeldKeys();
    });
    window.addEventListener('blur', releaseHeldKeys);
    root.addEventListener('pointerdown', () => root.focus({ preventScroll: true }));
  }

  // Holding the left or right half of the board is the Left or Right key held; a
  // second finger is a press of P, and steering waits until every finger is lifted.
  const BOARD_MIDDLE = (120 + 8295 / 2) / 15;
  let steering = 0;
  let twoFingers = false;
  function steer(code) {
    if (code === steering) return;
    if (steering) key(false, steering, 0);
    steering = code;
    if (code) key(true, code, 0);
  }
  function touchesChanged(event) {
    event.preventDefault();
    const touches = event.touches;
    if (touches.length === 0) {
      twoFingers = false;
      steer(0);
    } else if (touches.length >= 2) {
      if (twoFingers) return;
      twoFingers = true;
      steer(0);
      key(true, 80, 0);
      key(false, 80, 0);
    } else if (!twoFingers) {
      const box = canvas.getBoundingClientRect();
      const x = ((touches[0].clientX - box.left) * TILERUSH_WIDTH) / box.width;
      steer(x < BOARD_MIDDLE ? 37 : 39);
    }
  }
  function listenToTouches() {
    for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
      canvas.addEventListener(type, touchesChanged, { passive: false });
    }
    canvas.addEventListener('touchstart', () => root.focus({ preventScroll: true }));
  }

  // A hidden page's game stands still, and goes on from there when it shows again:
  // the time it was hidden is no game time.
  function listenToVisibility() {
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) {
        releaseHeldKeys();
        schedule(-1);
      } else {
        schedule(game._tilerush_resume(performance.now()));
      }
    });
  }

  // One canvas pixel for each device pixel, at any device pixel ratio and zoom (zooming
  // changes the ratio): the canvas is sized anew whenever the ratio changes.
  function followDeviceSize() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(TILERUSH_WIDTH * ratio);
    const height = Math.round(TILERUSH_HEIGHT * ratio);
    if (width !== canvas.width || height !== canvas.height) {
      painter.resize(width, height);
      if (game) game._tilerush_repaint();
    }
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', followDeviceSize, { once: true });
  }

  function start(module) {
    followDeviceSize();
    game = module;
    schedule(game._tilerush_open(performance.now()));
    root.dataset.state = 'playing';
    requestAnimationFrame(() => performance.mark('tilerush-first-frame'));
    listenToKeys();
    listenToTouches();
    listenToVisibility();
    root.focus({ preventScroll: true });
  }

  Promise.all([createTilerush({ page: painter }), fontsLoaded]).then(
    ([module]) => start(module),
    (error) => say(`Tilerush could not be loaded: ${error && error.message ? error.message : error}`),
  );
})();
