// The page steered as players steer it, in Debian's Chromium on its real clock: the
// mouse and a finger take the paddle to them, a gamepad steers and pauses, and the
// game pauses when the player leaves; each game, saved, holds in the native tilerush-sim
// and was given only the arrows, P and clicks.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/cli/tilerush-sim node --test tests/web/controls.test.mjs
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { deflateSync } from 'node:zlib';

import {
  RIGHT_WALL,
  address,
  gameArea,
  grab,
  look,
  nextFrame,
  openGame,
  savedReplay,
  savedReplayLines,
} from './browser.mjs';

const needsSim = { skip: !process.env.TILERUSH_SIM && 'needs TILERUSH_SIM, the native tilerush-sim' };
// Within half a paddle step (6.9 pixels of the layout) of the pointer, give or take a
// device pixel of finding it.
const NEAR = 8;
const PAUSE = { name: 'Pause' };

// Points of the layout, in CSS pixels of the view, through the game area as it is now.
async function layoutToView(page) {
  const { canvas } = await gameArea(page);
  const scale = canvas.width / 568;
  return (x, y) => [canvas.x + x * scale, canvas.y + y * scale];
}

// The paddle once it has stood still for a moment.
async function stillPaddle(page) {
  let before = look(await grab(page));
  for (let tries = 0; tries < 20; ++tries) {
    await page.waitForTimeout(150);
    const now = look(await grab(page));
    if (now.paddleCentre === before.paddleCentre) return now;
    before = now;
  }
  assert.fail(`the paddle never stood still (at ${before.paddleCentre})`);
}
// Waits until the paddle is as `done` wants it, clicking a lost game or a cleared level
// away meanwhile, without moving the mouse.
async function steerUntil(page, done, ms = 6000) {
  const end = Date.now() + ms;
  for (;;) {
    const sight = look(await grab(page));
    if (done(sight) || Date.now() > end) return sight;
    await clickAway(page);
    await page.waitForTimeout(50);
  }
}
// A lost game or a cleared level clicked away, without moving the mouse. A game lost
// starts a replay of its own: the page counts them, as window.gamesOver.
async function clickAway(page) {
  for (const name of ['Game Over', 'Level:']) {
    const button = page.getByRole('button', { name, exact: false });
    if (!(await button.isVisible())) continue;
    await button.dispatchEvent('click');
    if (name === 'Game Over') await page.evaluate(() => (window.gamesOver = (window.gamesOver ?? 0) + 1));
  }
}
const paddleNear = (page, x) => steerUntil(page, (s) => Math.abs(s.paddleCentre - x) <= NEAR);

// A worker that a busy machine kept from hearing an input at once may have run the game
// past the input's instant by then: it takes effect that much later.
const TIMELY = 100;

// Steered from near the left wall towards the right one, then let go as soon as it
// moves: it stops then and there. However busy the machine, the game's own record
// (its replay) holds the paddle steered right no longer than the page saw between
// the steering and the letting go, by the instants stamped on what the page sent. It
// may hold it for less: a ball lost meanwhile (a slow machine drags slowly) makes the
// keys wait for the end of its pause.
async function stopsShort(page, name, steerFromLeft, steerRight, letGo) {
  const sentSoFar = () => page.evaluate(() => window.steering.length);
  await steerFromLeft();
  await steerUntil(page, (s) => s.paddleCentre < 60);
  const steered = await sentSoFar();
  await steerRight();
  await steerUntil(page, (s) => s.paddleCentre > 100);
  const lettingGo = await sentSoFar();
  await letGo();
  const stopped = await stillPaddle(page);
  assert.ok(stopped.paddleCentre > 100, `${name}: stopped at ${stopped.paddleCentre}`);

  const steering = await page.evaluate(() => window.steering);
  const rightFrom = steering.slice(steered, lettingGo).find((m) => m.right);
  const letGoAt = steering[lettingGo];
  assert.ok(rightFrom && letGoAt, `${name}: steered right, then let go`);
  const lines = await savedReplayLines(page, name);
  let now = 0;
  const timed = lines.map((line) => ({ line, at: (now += Number(/^advance (\d+)$/.exec(line)?.[1] ?? 0)) }));
  const up = timed.findLastIndex((l) => l.line === 'key up 39');
  const fromLeft = timed.findLastIndex((l, i) => i < up && l.line === 'key up 37');
  const down = timed.findIndex((l, i) => i > fromLeft && l.line === 'key down 39');
  assert.ok(down >= 0 && down < up, `${name}: ${lines.join('; ')}`);
  const held = timed[up].at - timed[down].at;
  const apart = letGoAt.stamp - rightFrom.stamp;
  assert.ok(held - apart <= TIMELY, `${name}: held right ${held} ms of game time, let go ${apart} ms later`);
}

// Counts the messages of each type that the page sends the game's side, and keeps
// those that steer, with their stamps and whether they may steer right.
function countMessages() {
  window.sent = {};
  window.steering = [];
  const post = Worker.prototype.postMessage;
  Worker.prototype.postMessage = function (m, ...rest) {
    window.sent[m?.type] = (window.sent[m?.type] ?? 0) + 1;
    if (m?.type === 'pointer' || m?.type === 'pad') {
      window.steering.push({ stamp: m.stamp, right: m.type === 'pad' ? m.direction === 1 : m.at !== null });
    }
    return post.call(this, m, ...rest);
  };
}
const sent = (page, type) => page.evaluate((t) => window.sent[t] ?? 0, type);

test(
  'the paddle goes to the mouse over the board at two scales, lets go off it and to a key, and ignores a resize',
  needsSim,
  async () => {
    for (const [name, width, height] of [
      ['an 800 x 700 view', 800, 700],
      ['scale 2', 1600, 994],
    ]) {
      const { context, page, errors } = await openGame(
        { viewport: { width, height }, acceptDownloads: true },
        countMessages,
      );
      let to = await layoutToView(page);
      for (const x of [450, 150, 300]) {
        await page.mouse.move(...to(x, 300), { steps: 4 });
        const sight = await paddleNear(page, x);
        assert.ok(
          Math.abs(sight.paddleCentre - x) <= NEAR,
          `${name}: paddle at ${sight.paddleCentre} for the mouse at ${x}`,
        );
      }
      await stopsShort(
        page,
        `${name}, the mouse off the board`,
        () => page.mouse.move(...to(20, 300)),
        () => page.mouse.move(...to(540, 300)),
        () => page.mouse.move(...to(540, 60)),
      );

      // A key takes over until the mouse moves again.
      await page.mouse.move(...to(150, 300));
      await paddleNear(page, 150);
      // Held until it has carried the paddle well away, however slowly a busy machine plays.
      await page.keyboard.down('ArrowRight');
      await steerUntil(page, (s) => s.paddleCentre > 150 + 5 * NEAR);
      await page.keyboard.up('ArrowRight');
      await page.waitForTimeout(500);
      const afterKey = await stillPaddle(page);
      assert.ok(
        afterKey.paddleCentre > 150 + 5 * NEAR,
        `${name}: the mouse pulled the paddle back to ${afterKey.paddleCentre}`,
      );
      await page.mouse.move(...to(151, 300));
      assert.ok(Math.abs((await paddleNear(page, 151)).paddleCentre - 151) <= NEAR, `${name}: the mouse steers again`);

      // The game area shrunk from under the still mouse (the browser tells of the mouse
      // leaving it): nothing reaches the game, and the mouse then steers at the new scale.
      const still = to(540, 440);
      await page.mouse.move(...still);
      await paddleNear(page, 528);
      const pointed = await sent(page, 'pointer');
      await page.setViewportSize({ width: Math.round(width * 0.7), height: Math.round(height * 0.7) });
      await nextFrame(page);
      const { canvas } = await gameArea(page);
      assert.ok(
        still[0] >= canvas.x + canvas.width || still[1] >= canvas.y + canvas.height,
        `${name}: still on the game`,
      );
      to = await layoutToView(page);
      await page.waitForTimeout(300);
      assert.equal(await sent(page, 'pointer'), pointed, `${name}: a resize sent the pointer`);
      await page.mouse.move(...to(400, 300));
      assert.ok(
        Math.abs((await paddleNear(page, 400)).paddleCentre - 400) <= NEAR,
        `${name}: steered after the resize`,
      );

      const inputs = await savedReplay(page, 'mouse');
      // Only the game in play is saved: one lost meanwhile took its steering with it.
      const steered = ['key down 37', 'key down 39'].filter((k) => inputs.includes(k));
      const lost = await page.evaluate(() => window.gamesOver ?? 0);
      assert.ok(steered.length === 2 || (lost > 0 && steered.length > 0), `${name}: both ways steered`);
      assert.deepEqual(errors, [], name);
      await context.close();
    }
  },
);

test(
  'a finger dragged on the board takes the paddle with it without scrolling the page, and two fingers pause',
  needsSim,
  async () => {
    const { context, page, errors } = await openGame(
      {
        viewport: { width: 390, height: 844 },
        deviceScaleFactor: 3,
        hasTouch: true,
        isMobile: true,
        acceptDownloads: true,
      },
      countMessages,
    );
    const cdp = await context.newCDPSession(page);
    const to = await layoutToView(page);
    const touch = (type, points) =>
      cdp.send('Input.dispatchTouchEvent', {
        type,
        touchPoints: points.map(([x, y], id) => {
          const [vx, vy] = to(x, y);
          return { x: vx, y: vy, id };
        }),
      });
    await touch('touchStart', [[300, 350]]);
    await paddleNear(page, 300);
    // Across and up the board, as a thumb drags.
    for (const [x, y] of [
      [100, 300],
      [480, 200],
    ]) {
      for (const share of [0.2, 0.4, 0.6, 0.8, 1])
        await touch('touchMove', [[300 + (x - 300) * share, 350 + (y - 350) * share]]);
      const sight = await paddleNear(page, x);
      assert.ok(Math.abs(sight.paddleCentre - x) <= NEAR, `paddle at ${sight.paddleCentre} for a finger at ${x}`);
      await touch('touchMove', [[300, 350]]);
      await paddleNear(page, 300);
    }
    assert.deepEqual(await page.evaluate(() => [scrollX, scrollY, visualViewport.scale]), [0, 0, 1], 'the page moved');
    await stopsShort(
      page,
      'the finger lifted',
      () => touch('touchMove', [[20, 300]]),
      () => touch('touchMove', [[540, 300]]),
      () => touch('touchEnd', []),
    );

    await clickAway(page);
    await touch('touchStart', [
      [200, 300],
      [380, 300],
    ]);
    await touch('touchEnd', []);
    await page.getByRole('button', PAUSE).waitFor({ state: 'visible' });
    const inputs = await savedReplay(page, 'touch');
    assert.ok(inputs.includes('key down 80'), 'the two-finger tap is a P');
    assert.deepEqual(errors, []);
    await context.close();
  },
);

test('after "Play this game" the paddle stops under a still mouse, as in the first game', needsSim, async () => {
  const { context, page, errors } = await openGame({ acceptDownloads: true });
  const replay = 'seed 7\nopen\nadvance 400\n';
  await page.goto(`${address}#r=1.${deflateSync(Buffer.from(replay)).toString('base64url')}`);
  await page.waitForSelector('#tilerush[data-state=watching]', { timeout: 20000 });
  await page.click('#tilerush-race');
  await page.waitForSelector('#tilerush[data-state=playing]');
  const to = await layoutToView(page);
  // Each time the mouse is held still, far from where the paddle stood: the paddle
  // used to run on past it to the wall.
  for (const x of [150, 450, 200]) {
    await page.mouse.move(...to(x, 300));
    await paddleNear(page, x);
    const still = await stillPaddle(page);
    assert.ok(
      Math.abs(still.paddleCentre - x) <= NEAR && still.paddleRight < RIGHT_WALL - 20,
      `the paddle stopped at ${still.paddleCentre} for the mouse at ${x}`,
    );
  }
  const inputs = await savedReplay(page, 'raced');
  assert.ok(inputs.length > 0, 'the raced game was recorded');
  assert.deepEqual(errors, []);
  await context.close();
});

// Runs in the page before its scripts: a pad with the standard mapping that the test
// plugs in, pulls out, and whose buttons and stick it moves; and a count of how often
// the page asks the Gamepad API.
function presentAPad() {
  const pad = {
    index: 0,
    id: 'Test pad (STANDARD GAMEPAD)',
    mapping: 'standard',
    connected: false,
    timestamp: 0,
    axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
  };
  const test = { asked: 0 };
  window.testPad = test;
  Object.defineProperty(Navigator.prototype, 'getGamepads', {
    configurable: true,
    value: () => {
      test.asked += 1;
      return [pad.connected ? { ...pad } : null, null, null, null];
    },
  });
  test.plug = (on) => {
    pad.connected = on;
    const event = new Event(on ? 'gamepadconnected' : 'gamepaddisconnected');
    event.gamepad = pad;
    window.dispatchEvent(event);
  };
  test.button = (number, down) => {
    pad.buttons = pad.buttons.map((b, i) => (i === number ? { pressed: down, touched: down, value: down ? 1 : 0 } : b));
  };
  test.stick = (x) => {
    pad.axes = [x, 0, 0, 0];
  };
}

test(
  'a pad steers with its d-pad and stick, Start pauses and A goes on, and it is read only while plugged in',
  needsSim,
  async () => {
    const { context, page, errors } = await openGame(
      { acceptDownloads: true },
      `${presentAPad}\n${countMessages}\npresentAPad();\ncountMessages();`,
    );
    const pad = (call, ...args) => page.evaluate(([c, a]) => window.testPad[c](...a), [call, args]);
    const asked = () => page.evaluate(() => window.testPad.asked);
    // Down and up again, each for a frame or two: the page reads the pad once a frame.
    const press = async (button) => {
      await pad('button', button, true);
      await nextFrame(page);
      await pad('button', button, false);
      await nextFrame(page);
    };
    const unplugged = await asked();
    await page.waitForTimeout(300);
    assert.equal(await asked(), unplugged, 'the page asks for pads while none is plugged in');

    await pad('plug', true);
    await stopsShort(
      page,
      'the d-pad let go',
      () => pad('button', 14, true),
      async () => {
        await pad('button', 14, false);
        await pad('button', 15, true);
      },
      () => pad('button', 15, false),
    );
    // Inside the dead zone the stick steers nothing; beyond it, it does.
    const before = await stillPaddle(page);
    const steered = await sent(page, 'pad');
    await pad('stick', -0.2);
    await nextFrame(page);
    await pad('stick', 0.25);
    await nextFrame(page);
    assert.equal(await sent(page, 'pad'), steered, 'the stick steered inside its dead zone');
    await pad('stick', -0.9);
    const moved = await steerUntil(page, (s) => s.paddleCentre < before.paddleCentre - 40);
    assert.ok(moved.paddleCentre < before.paddleCentre - 40, `the stick steered the paddle to ${moved.paddleCentre}`);
    await pad('stick', 0);

    // Start pauses; A clicks "Pause" to go on; so does Start.
    const pause = page.getByRole('button', PAUSE);
    for (const goOn of [0, 9]) {
      await press(9);
      await pause.waitFor({ state: 'visible' });
      await press(goOn);
      await pause.waitFor({ state: 'hidden' });
    }

    // Pulled out while it steers: the paddle stops, and the page stops asking.
    await stopsShort(
      page,
      'the pad pulled out',
      () => pad('button', 14, true),
      async () => {
        await pad('button', 14, false);
        await pad('button', 15, true);
      },
      () => pad('plug', false),
    );
    const pulledOut = await asked();
    await page.waitForTimeout(300);
    assert.equal(await asked(), pulledOut, 'the page asks for pads after the last was pulled out');

    const inputs = await savedReplay(page, 'pad');
    assert.ok(inputs.includes('key down 80') && inputs.includes('click pause'), 'Start and A as P and a click');
    assert.deepEqual(errors, []);
    await context.close();
  },
);

test(
  'the game pauses at once when the window loses the focus, the page is hidden or the keyboard goes elsewhere',
  needsSim,
  async () => {
    const { context, page, errors } = await openGame({ acceptDownloads: true });
    // Playwright tells every page that it has the focus, whatever else is in front.
    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setFocusEmulationEnabled', { enabled: false });
    const pause = page.getByRole('button', PAUSE);
    const to = await layoutToView(page);
    const other = await context.newPage();
    const setHidden = (hidden) =>
      page.evaluate((h) => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => h });
        document.dispatchEvent(new Event('visibilitychange'));
      }, hidden);
    const ways = [
      ['another window in front', () => other.bringToFront(), () => page.bringToFront()],
      ['the page hidden', () => setHidden(true), () => setHidden(false)],
      ['Tab to the controls', () => page.keyboard.press('Tab'), () => page.focus('#tilerush')],
    ];
    for (const [name, leave, comeBack] of ways) {
      // In play, with the mouse steering and an arrow held.
      await page.mouse.move(...to(500, 300));
      await page.keyboard.down('ArrowLeft');
      await steerUntil(page, (s) => s.ball && s.ball[1] < 440);
      await leave();
      await pause.waitFor({ state: 'visible' });
      const left = look(await grab(page));
      await page.waitForTimeout(400);
      const later = look(await grab(page));
      assert.deepEqual([later.paddleCentre, later.ball], [left.paddleCentre, left.ball], `${name}: play went on`);
      await page.keyboard.up('ArrowLeft');
      await comeBack();
      // The player goes on with the Pause button, from where play stood.
      await pause.click();
      await pause.waitFor({ state: 'hidden' });
      const goneOn = await steerUntil(page, (s) => s.ball && String(s.ball) !== String(left.ball));
      assert.notDeepEqual(goneOn.ball, left.ball, `${name}: play goes on`);
    }
    // The page's own controls, clicked, leave the keyboard with the game: no pause.
    await page.click('#tilerush-sound');
    await page.click('#tilerush-sound');
    await page.waitForTimeout(200);
    assert.equal(await pause.isVisible(), false, 'a click on the sound control paused the game');
    // Tab is given to the game as every key is.
    const inputs = await savedReplay(page, 'left', [9, 37, 39, 80]);
    assert.ok(inputs.filter((l) => l === 'key down 80').length >= 3, 'each leaving is a P');
    assert.deepEqual(errors, []);
    await context.close();
  },
);
