// The page around the game: starts the game's side (web/game.js, in a worker where the
// browser can hand it the canvas), and hands it keys, touches, clicks, the loss of
// focus and the page being hidden; shows the game's push buttons; saves and watches
// replays; plays the game's sound.
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

  // The game area in CSS pixels.
  const WIDTH = 568;
  const HEIGHT = 489;

  function loadScript(src) {
    return new Promise((done, fail) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = done;
      script.onerror = () => fail(new Error(`${src} did not load`));
      document.head.appendChild(script);
    });
  }

  // The game's side, and the port its messages go through.
  function startGame() {
    if (window.tilerushWorker && typeof canvas.transferControlToOffscreen === 'function') {
      const worker = window.tilerushWorker;
      worker.onerror = (event) => say(`Tilerush could not be loaded: ${event.message || 'its worker failed'}`);
      const offscreen = canvas.transferControlToOffscreen();
      return { port: worker, first: { canvas: offscreen }, transfer: [offscreen] };
    }
    // No OffscreenCanvas: the same game side, on this thread.
    const channel = new MessageChannel();
    Promise.all([loadScript('painter.js'), loadScript('tilerush.js'), loadScript('game.js')]).then(
      () => tilerushHost(channel.port2, tilerushLoad(document.fonts), canvas, () => loadScript('tilerush-watch.js')),
      (error) => say(`Tilerush could not be loaded: ${error.message}`),
    );
    return { port: channel.port1, first: {}, transfer: [] };
  }

  const { port, first, transfer } = startGame();
  let started = false;
  function send(m) {
    if (started) port.postMessage(m);
  }

  // One canvas pixel for each device pixel, at any device pixel ratio and zoom (zooming
  // changes the ratio): the canvas is sized anew whenever the ratio changes.
  let deviceSize = '';
  function devicePixels() {
    const ratio = window.devicePixelRatio || 1;
    return { width: Math.round(WIDTH * ratio), height: Math.round(HEIGHT * ratio), ratio };
  }
  function followDeviceSize() {
    const { width, height, ratio } = devicePixels();
    if (`${width}x${height}` !== deviceSize) {
      deviceSize = `${width}x${height}`;
      send({ type: 'resize', width, height });
    }
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', followDeviceSize, { once: true });
  }

  // The game's push buttons: real buttons of the page, over the canvas.
  const buttons = [];
  function showButton({ id, x, y, width, height, visible, caption, font }) {
    let b = buttons[id];
    if (!b) {
      b = document.createElement('button');
      b.type = 'button';
      b.className = 'tilerush-button';
      b.addEventListener('click', () => {
        send({ type: 'click', id });
        // The button may be gone now; the keys must still reach the game.
        root.focus({ preventScroll: true });
      });
      root.appendChild(b);
      buttons[id] = b;
    }
    b.style.left = x + 'px';
    b.style.top = y + 'px';
    b.style.width = width + 'px';
    b.style.height = height + 'px';
    b.style.font = font;
    if (b.textContent !== caption) b.textContent = caption;
    b.hidden = !visible;
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

  function listenToKeys() {
    root.addEventListener('keydown', (event) => {
      const onButton = event.target !== root && (event.code === 'Space' || event.code === 'Enter');
      if (TILERUSH_SCROLLING_KEYS.has(event.code) && !onButton) event.preventDefault();
      // M reaches the game as every key does; the game ignores it.
      sound.keyDown(event);
      // A held key repeats its keydown: the game sees repeated key-downs, as it should.
      key(true, tilerushKeyCode(event.code));
    });
    root.addEventListener('keyup', (event) => key(false, tilerushKeyCode(event.code)));
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
    if (steering) key(false, steering);
    steering = code;
    if (code) key(true, code);
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
      key(true, 80);
      key(false, 80);
    } else if (!twoFingers) {
      const box = canvas.getBoundingClientRect();
      const x = ((touches[0].clientX - box.left) * WIDTH) / box.width;
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
      if (document.hidden) releaseHeldKeys();
      send({ type: 'visibility', hidden: document.hidden });
    });
  }

  const controls = document.getElementById('tilerush-controls');
  const replays = new TilerushReplays(controls, root, send);
  const sound = new TilerushSound(controls, root, send);
  // The page's sound may start on any key press, tap or click on it, and only then.
  function listenForTheFirstTouch() {
    for (const type of ['keydown', 'pointerdown', 'touchend']) {
      document.addEventListener(type, () => sound.wake(), { capture: true });
    }
  }
  const fromGame = {
    started() {
      started = true;
      // The page may have been hidden or shown while the game was loading.
      if (document.hidden !== openedHidden) send({ type: 'visibility', hidden: document.hidden });
      root.dataset.state = 'playing';
      requestAnimationFrame(() => performance.mark('tilerush-first-frame'));
      followDeviceSize();
      listenToKeys();
      listenToTouches();
      listenToVisibility();
      listenForTheFirstTouch();
      replays.enable();
      root.focus({ preventScroll: true });
    },
    failed(m) {
      say(`Tilerush could not be loaded: ${m.text}`);
    },
    button(m) {
      showButton(m.button);
    },
    saved(m) {
      replays.download(m.text, m.name);
    },
    watching() {
      root.dataset.state = 'watching';
      releaseHeldKeys();
      replays.watching();
    },
    refused(m) {
      replays.refused(m.text);
    },
    over(m) {
      replays.over(m.text);
    },
    playing() {
      root.dataset.state = 'playing';
      replays.playing();
    },
    cue(m) {
      sound.play(m.number);
    },
  };
  port.onmessage = (event) => fromGame[event.data.type]?.(event.data);

  const { width, height } = devicePixels();
  deviceSize = `${width}x${height}`;
  const openedHidden = document.hidden;
  port.postMessage({ type: 'open', width, height, hidden: openedHidden, ...first }, transfer);
})();
