// The page in Debian's Chromium, headless, on its real clock: what it shows, checked by
// its pixels and its own elements, and how it answers keys and clicks.
//   TILERUSH_WEB_BUILD=build-web node --test tests/web/page.test.mjs
import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
  GREEN,
  RED,
  RIGHT_WALL,
  address,
  bluish,
  brickEdgeFaults,
  browser,
  count,
  channels,
  dark,
  gameArea,
  grab,
  holdKey,
  look,
  nextFrame,
  openGame,
  paddleUntil,
  reddish,
  savedReplayLines,
} from './browser.mjs';

const MAP1 = [
  '11111111111111111111',
  '10000000000000000001',
  '10222222222222222201',
  '10200000000000000201',
  '10203333333333330201',
  '10203333333333330201',
  '10200000000000000201',
  '10222222222222222201',
  '10000000000000000001',
  '11111111111111111111',
];
const BRICK_COLOURS = [GREEN, 0xff0000, 0xc04000, 0x808000];

// Phones both ways up, a small phone, a tablet, a small window, a laptop, a desktop
// zoomed to 125% and a 4K desktop: the view in CSS pixels, and device pixels a CSS pixel.
const VIEWS = [
  ['a phone upright', 390, 844, 3],
  ['a phone sideways', 844, 390, 3],
  ['a small phone', 320, 480, 2],
  ['a tablet', 768, 1024, 2],
  ['a small window', 800, 700, 1],
  ['a laptop', 1366, 768, 1],
  ['a desktop zoomed to 125%', 1536, 864, 1.25],
  ['a 4K desktop', 3840, 2160, 1],
];

// The game area in view, centred across it, in its own proportions and as large as
// the view allows but for its controls, its canvas one pixel a device pixel, and no
// scrolling sideways.
async function checkFit(page, [name, width, height, ratio]) {
  const { frame, canvas, backing } = await gameArea(page);
  assert.deepEqual(canvas, frame, `${name}: the canvas fills the game area`);
  assert.ok(
    frame.x >= 0 && frame.y >= 0 && frame.x + frame.width <= width && frame.y + frame.height <= height,
    `${name}: the game area ${JSON.stringify(frame)} is in the view`,
  );
  // Places are whole CSS pixels that are whole device pixels too: 4 CSS pixels apart at 1.25.
  assert.ok(Math.abs(frame.x - (width - frame.x - frame.width)) <= 4, `${name}: centred across the view`);
  const largest = Math.min(width / 568, height / 489);
  assert.ok(
    frame.width / 568 >= 0.8 * largest,
    `${name}: at ${(frame.width / 568).toFixed(3)} of ${largest.toFixed(3)}`,
  );
  // Exact lengths in CSS pixels may cost a device pixel or two of either side.
  assert.ok(Math.abs(backing[1] / backing[0] / (489 / 568) - 1) < 0.005, `${name}: in proportion, ${backing}`);
  assert.deepEqual(backing, [frame.width * ratio, frame.height * ratio].map(Math.round), `${name}: device pixels`);
  assert.ok(Math.abs(backing[0] - frame.width * ratio) < 0.01, `${name}: whole device pixels`);
  assert.deepEqual(
    await page.evaluate(() => [scrollX, document.documentElement.scrollWidth]),
    [0, width],
    `${name}: nothing to scroll sideways`,
  );
}

// Map 1's bricks, paddle, ball, lives, boxes and captions where the layout puts them,
// read at the middle of each layout pixel.
function checkMap1(frame, name) {
  assert.equal(frame.at(284, 333), GREEN, `${name}: board`);
  for (let row = 0; row < 10; ++row) {
    for (let column = 0; column < 20; ++column) {
      const value = MAP1[row][column] - 0;
      const left = (120 + column * 414.75) / 15;
      const top = (1560 + (row + 2) * 226.2) / 15;
      const where = `${name}: column ${column + 1}, row ${row + 3}`;
      assert.equal(frame.at(Math.floor(left + 27.65 * 0.2), Math.floor(top + 7.5)), BRICK_COLOURS[value], where);
      // Each brick shows its value in the middle, in black; an empty cell shows nothing.
      const ink = count(frame, Math.ceil(left + 8), Math.ceil(top + 3), 11, 9, dark);
      assert.ok(value ? ink >= 4 : ink === 0, `${where}: ${ink} dark pixels`);
    }
  }
  const sight = look(frame);
  assert.ok(Math.abs(sight.paddleCentre - 284) <= 1, `${name}: paddle at ${sight.paddleCentre}`);
  assert.ok(Math.abs(sight.ball[0] - 284) <= 1 && Math.abs(sight.ball[1] - 447) <= 1, `${name}: ball at ${sight.ball}`);
  const lives = [136, 224, 312].map((x) => [frame.at(x, 60), frame.at(x, 76)]);
  assert.deepEqual(
    lives,
    [
      [RED, 0xf0f0f0],
      [RED, 0xf0f0f0],
      [RED, 0xf0f0f0],
    ],
    `${name}: three markers, row 2 empty`,
  );
  // The bordered boxes, their captions and the red counters, where the layout puts them.
  assert.equal(frame.at(100, 0), 0, `${name}: top border of the score box`);
  assert.equal(frame.at(100, 40), 0, `${name}: bottom border of the score box`);
  assert.ok(count(frame, 4, 4, 70, 34, bluish) > 60, `${name}: "Score" in dark blue`);
  assert.ok(count(frame, 400, 4, 70, 34, bluish) > 60, `${name}: "High" in dark blue`);
  assert.ok(count(frame, 28, 52, 70, 36, dark) > 60, `${name}: "Lives" in black`);
  assert.ok(count(frame, 380, 52, 90, 36, dark) > 60, `${name}: "Bricks" in black`);
  assert.ok(count(frame, 100, 8, 95, 30, reddish) > 150, `${name}: score digits in red`);
  assert.ok(count(frame, 470, 8, 90, 30, reddish) > 150, `${name}: best score digits in red`);
  assert.ok(count(frame, 490, 60, 60, 24, reddish) > 60, `${name}: bricks left, 120, in red`);
  assert.ok(
    count(frame, 232, 12, 120, 26, (p) => {
      const [r, g, b] = channels(p);
      return b > 90 && r < 60 && g < 60;
    }) > 40,
    `${name}: "TILE-RUSH" in navy`,
  );
}

test('at every size of view the whole game area is in it, at its scale, laid out by its pixels and crisp', async () => {
  for (const view of VIEWS) {
    const [name, width, height, ratio] = view;
    const { context, page, errors } = await openGame({ viewport: { width, height }, deviceScaleFactor: ratio });
    await checkFit(page, view);
    const frame = await grab(page);
    checkMap1(frame, name);
    assert.deepEqual(brickEdgeFaults(frame), [], name);
    // The push buttons are real buttons, all hidden at the start.
    assert.deepEqual(
      await page.locator('#tilerush button').evaluateAll((all) => all.map((b) => [b.textContent, b.hidden])),
      [
        ['Pause', true],
        ['Game Over', true],
        ['Level: 1', true],
      ],
      name,
    );
    assert.equal(
      await page.evaluate(() => document.activeElement.id),
      'tilerush',
      `${name}: the game has the keyboard`,
    );
    assert.deepEqual(errors, [], name);
    await context.close();
  }
});

test('a held ArrowRight runs the paddle to the right wall, and focus loss releases it', async () => {
  const { context, page } = await openGame({ acceptDownloads: true });
  await holdKey(page, 'ArrowRight', 700);
  const atWall = await paddleUntil(page, (s) => Math.abs(s.paddleRight - RIGHT_WALL) <= 2);
  await page.keyboard.up('ArrowRight');
  assert.ok(Math.abs(atWall.paddleRight - RIGHT_WALL) <= 2, `paddle's right end at ${atWall.paddleRight}`);

  // Left held, then the keyboard goes elsewhere: the release never comes, yet the paddle stops.
  await page.keyboard.down('ArrowLeft');
  const movedLeft = await paddleUntil(page, (s) => s.paddleRight < RIGHT_WALL - 2);
  await page.evaluate(() => document.getElementById('tilerush').blur());
  await page.keyboard.up('ArrowLeft');
  assert.ok(movedLeft.paddleRight < RIGHT_WALL - 2, 'the paddle moved left first');
  // The game's own record: the arrow let go when the focus left, then P (at once, or
  // at the end of a lost ball's pause), whatever a busy machine did to the pixels.
  const lines = await savedReplayLines(page, 'focus');
  const after = lines.slice(lines.lastIndexOf('key down 37') + 1).filter((l) => l.startsWith('key '));
  assert.deepEqual(after.slice(0, 2), ['key up 37', 'key down 80'], lines.join('; '));
  await context.close();
});

test('P shows Pause where the layout puts it, play stands still, and a click on it goes on', async () => {
  const { context, page } = await openGame();
  await page.keyboard.press('KeyP');
  const pause = page.getByRole('button', { name: 'Pause' });
  await pause.waitFor({ state: 'visible' });
  // Where the layout puts it at the game area's scale, to a device pixel, its caption in proportion.
  const { canvas, ratio } = await gameArea(page);
  const scale = canvas.width / 568;
  const box = await pause.boundingBox();
  const place = [box.x - canvas.x, box.y - canvas.y, box.width, box.height];
  [224, 192, 161, 97].forEach((length, i) =>
    assert.ok(
      Math.abs(place[i] - length * scale) <= 1 / ratio + 1e-6,
      `Pause at ${place}, not ${[224, 192, 161, 97].map((v) => v * scale)}`,
    ),
  );
  const fontSize = await pause.evaluate((b) => parseFloat(getComputedStyle(b).fontSize));
  assert.ok(Math.abs(fontSize / scale - 32) < 0.05, `caption at ${fontSize} px at scale ${scale}`);
  const frame = await grab(page);
  const [r, g, b] = channels(frame.at(304, 215));
  assert.ok(Math.abs(r - g) < 12 && Math.abs(g - b) < 12 && r > 190, 'the button face covers the bricks');

  await holdKey(page, 'ArrowLeft', 300);
  await page.keyboard.up('ArrowLeft');
  assert.ok(Math.abs(look(await grab(page)).paddleCentre - 284) <= 1, 'no paddle move while paused');

  await pause.click();
  await pause.waitFor({ state: 'hidden' });
  assert.equal(await page.evaluate(() => document.activeElement.id), 'tilerush', 'keys reach the game again');
  await holdKey(page, 'ArrowLeft', 300);
  const moved = await paddleUntil(page, (s) => s.paddleCentre < 250);
  await page.keyboard.up('ArrowLeft');
  assert.ok(moved.paddleCentre < 250, `the paddle moves once play goes on (at ${moved.paddleCentre})`);
  await context.close();
});

test('arrow keys never scroll a page too small for the game and its controls while the game has the keyboard', async () => {
  const { context, page } = await openGame({ viewport: { width: 360, height: 300 } });
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowRight', 'ArrowRight', 'PageDown', 'Space', 'End']) {
    await page.keyboard.press(key);
  }
  await nextFrame(page);
  assert.deepEqual(await page.evaluate(() => [scrollX, scrollY]), [0, 0]);
  // The same keys scroll it once the game has let the keyboard go.
  await page.evaluate(() => document.getElementById('tilerush').blur());
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('PageDown');
  await page.waitForFunction(() => scrollY > 0);
  await context.close();
});

test('the page at scale 2 and a pixel ratio of 1 shows what it shows at scale 1 and a ratio of 2, on the finer grid', async () => {
  // Views where the game area comes out at exactly those scales, paused at the start.
  const shots = [];
  for (const [width, height, ratio, scale] of [
    [1600, 994, 1, 2],
    [800, 505, 2, 1],
  ]) {
    const { context, page } = await openGame({ viewport: { width, height }, deviceScaleFactor: ratio });
    assert.equal((await gameArea(page)).canvas.width, 568 * scale, `scale ${scale} in ${width} x ${height}`);
    await page.keyboard.press('KeyP');
    await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
    await nextFrame(page);
    shots.push(await grab(page));
    await context.close();
  }
  const [big, fine] = shots;
  assert.deepEqual([big.deviceWidth, big.deviceHeight, fine.deviceWidth, fine.deviceHeight], [1136, 978, 1136, 978]);
  // The title box's balls go on moving during a pause; everything else stands still.
  const title = (x, y) => x >= 2 * 205 && x < 2 * 380 && y < 2 * 46;
  // The Pause button is the browser's own, and the browser lays its caption out in CSS
  // pixels: from a 64 px font once and from a 32 px font at a ratio of 2 once, its glyphs
  // may come out a device pixel apart (here about 1,500 pixels of the caption's edges).
  // So inside the caption's box (the button less 8 device pixels all round) at most 4%
  // of the button's pixels may differ; its border and face, and every pixel of the
  // canvas, must be the same.
  const caption = (x, y) => x >= 2 * 224 + 8 && x < 2 * 385 - 8 && y >= 2 * 192 + 8 && y < 2 * 289 - 8;
  let canvasDiffers = 0;
  let captionDiffers = 0;
  for (let y = 0; y < 978; ++y) {
    for (let x = 0; x < 1136; ++x) {
      if (title(x, y)) continue;
      const p = big.device.at(big.left + x, big.top + y);
      const q = fine.device.at(fine.left + x, fine.top + y);
      if (p === q) continue;
      if (caption(x, y)) ++captionDiffers;
      else ++canvasDiffers;
    }
  }
  assert.equal(canvasDiffers, 0, "pixels of the canvas or of the button's border and face differ");
  assert.ok(captionDiffers <= 0.04 * 322 * 194, `${captionDiffers} pixels of the Pause button's caption differ`);

  // Drawn at the device's resolution, not a small picture doubled: 2 x 2 blocks of more
  // than one colour where there are curves and text, and brick edges on odd device pixels.
  const mixed = (left, top, width, height) => {
    let n = 0;
    for (let y = top & ~1; y < top + height; y += 2) {
      for (let x = left & ~1; x < left + width; x += 2) {
        const p = big.device.at(x, y);
        n +=
          big.device.at(x + 1, y) !== p || big.device.at(x, y + 1) !== p || big.device.at(x + 1, y + 1) !== p ? 1 : 0;
      }
    }
    return n;
  };
  assert.ok(mixed(558, 884, 20, 20) > 4, 'ball');
  assert.ok(mixed(416, 0, 16, 16) > 2, 'rounded corner of the title box');
  assert.ok(mixed(8, 8, 140, 60) > 20, '"Score"');
  const y = Math.round(((1560 + 2 * 226.2) / 15 + 3) * 2);
  let oddEdges = 0;
  for (let x = 20; x < 1120; ++x) {
    if (big.device.at(x, y) === 0 && big.device.at(x - 1, y) !== 0 && x % 2 === 1) ++oddEdges;
  }
  assert.ok(oddEdges > 0, 'brick borders start on odd device pixels');
});

test('a hidden page pauses at the instant it is hidden, stands still, and goes on with the Pause button', async () => {
  const { context, page } = await openGame({ acceptDownloads: true });
  await holdKey(page, 'ArrowRight', 100);
  await page.evaluate(() => {
    document.addEventListener('keyup', () => (window.releasedAt = performance.now()), { once: true, capture: true });
  });
  await page.keyboard.up('ArrowRight');
  // Hidden 300 ms after the release, by the page's own clock.
  const apart = await page.evaluate(async () => {
    while (window.releasedAt === undefined) await new Promise((r) => setTimeout(r, 5));
    await new Promise((r) => setTimeout(r, 300));
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
    const hiddenAt = performance.now();
    document.dispatchEvent(new Event('visibilitychange'));
    return hiddenAt - window.releasedAt;
  });
  const pause = page.getByRole('button', { name: 'Pause' });
  await pause.waitFor({ state: 'visible' });
  const hidden = look(await grab(page));
  await page.waitForTimeout(1500);
  assert.deepEqual(look(await grab(page)).ball, hidden.ball, 'no game time while hidden');
  await page.evaluate(() => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => false });
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await page.waitForTimeout(300);
  assert.deepEqual(look(await grab(page)).ball, hidden.ball, 'shown again, still paused where it was');

  // The game's own record: the pause came as many milliseconds of game time after the
  // release as the page saw pass, however long the game's side took to hear of it.
  const lines = await savedReplayLines(page, 'hidden');
  const released = lines.indexOf('key up 39');
  const paused = lines.indexOf('key down 80', released);
  assert.ok(released >= 0 && paused > released, lines.join('; '));
  const between = lines
    .slice(released, paused)
    .reduce((ms, l) => ms + (Number(/^advance (\d+)$/.exec(l)?.[1]) || 0), 0);
  assert.ok(Math.abs(between - apart) <= 100, `paused ${between} ms of game time after the release, ${apart} ms apart`);

  await pause.click();
  await page.waitForTimeout(200);
  assert.notDeepEqual(look(await grab(page)).ball, hidden.ball, 'and play goes on');
  await context.close();
});

test('a browser without WebAssembly gets a plain sentence', async () => {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(() => {
    delete window.WebAssembly;
  });
  await page.goto(address);
  const message = page.locator('#tilerush-message');
  await message.waitFor({ state: 'visible' });
  assert.match(await message.textContent(), /needs a browser that runs WebAssembly/);
  assert.equal(await page.locator('#tilerush canvas').isVisible(), false);
  await context.close();
});

test('a browser without OffscreenCanvas plays the same game on the main thread', async () => {
  const context = await browser.newContext({ viewport: { width: 800, height: 700 } });
  const page = await context.newPage();
  await page.addInitScript(() => {
    delete HTMLCanvasElement.prototype.transferControlToOffscreen;
  });
  await page.goto(address);
  await page.waitForSelector('#tilerush[data-state=playing]', { timeout: 10000 });
  await nextFrame(page);
  assert.equal(page.workers().length, 0, 'no worker');
  const start = look(await grab(page));
  assert.ok(Math.abs(start.paddleCentre - 284) <= 1 && start.ball, 'paddle and ball drawn');
  await holdKey(page, 'ArrowRight', 700);
  const atWall = await paddleUntil(page, (s) => Math.abs(s.paddleRight - RIGHT_WALL) <= 2);
  await page.keyboard.up('ArrowRight');
  assert.ok(Math.abs(atWall.paddleRight - RIGHT_WALL) <= 2, `paddle's right end at ${atWall.paddleRight}`);
  await context.close();
});
