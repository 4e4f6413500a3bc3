// The page in Debian's Chromium, headless, on its real clock: what it shows, checked by
// its pixels and its own elements, and how it answers keys, clicks and touches.
//   TILERUSH_WEB_BUILD=build-web node --test tests/web/page.test.mjs
import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
  BLUE, GREEN, ORANGE, RED, RIGHT_WALL, address, bluish, browser, count, channels, dark, grab, holdKey, look, nextFrame,
  openGame, paddleUntil, reddish,
} from './browser.mjs';

const MAP1 = ['11111111111111111111', '10000000000000000001', '10222222222222222201', '10200000000000000201',
  '10203333333333330201', '10203333333333330201', '10200000000000000201', '10222222222222222201',
  '10000000000000000001', '11111111111111111111'];
const BRICK_COLOURS = [GREEN, 0xff0000, 0xc04000, 0x808000];

test('map 1 is laid out as the window lays it out: bricks, paddle, ball, lives, labels and captions', async () => {
  const { context, page, errors } = await openGame();
  const frame = await grab(page);
  assert.deepEqual([frame.width, frame.height], [568, 489]);
  assert.equal(frame.at(284, 333), GREEN, 'board');
  for (let row = 0; row < 10; ++row) {
    for (let column = 0; column < 20; ++column) {
      const value = MAP1[row][column] - 0;
      const left = (120 + column * 414.75) / 15;
      const top = (1560 + (row + 2) * 226.2) / 15;
      const where = `column ${column + 1}, row ${row + 3}`;
      assert.equal(frame.at(Math.floor(left + 27.65 * 0.2), Math.floor(top + 7.5)), BRICK_COLOURS[value], where);
      // Each brick shows its value in the middle, in black; an empty cell shows nothing.
      const ink = count(frame, Math.ceil(left + 8), Math.ceil(top + 3), 11, 9, dark);
      assert.ok(value ? ink >= 4 : ink === 0, `${where}: ${ink} dark pixels`);
    }
  }
  const sight = look(frame);
  assert.ok(Math.abs(sight.paddleCentre - 284) <= 1, `paddle at ${sight.paddleCentre}`);
  assert.ok(Math.abs(sight.ball[0] - 284) <= 1 && Math.abs(sight.ball[1] - 447) <= 1, `ball at ${sight.ball}`);
  const lives = [136, 224, 312].map((x) => [frame.at(x, 60), frame.at(x, 76)]);
  assert.deepEqual(lives, [[RED, 0xf0f0f0], [RED, 0xf0f0f0], [RED, 0xf0f0f0]], 'three markers, row 2 empty');
  // The bordered boxes, their captions and the red counters, where the layout puts them.
  assert.equal(frame.at(100, 0), 0, 'top border of the score box');
  assert.equal(frame.at(100, 40), 0, 'bottom border of the score box');
  assert.ok(count(frame, 4, 4, 70, 34, bluish) > 60, '"Score" in dark blue');
  assert.ok(count(frame, 400, 4, 70, 34, bluish) > 60, '"High" in dark blue');
  assert.ok(count(frame, 28, 52, 70, 36, dark) > 60, '"Lives" in black');
  assert.ok(count(frame, 380, 52, 90, 36, dark) > 60, '"Bricks" in black');
  assert.ok(count(frame, 100, 8, 95, 30, reddish) > 150, 'score digits in red');
  assert.ok(count(frame, 470, 8, 90, 30, reddish) > 150, 'best score digits in red');
  assert.ok(count(frame, 490, 60, 60, 24, reddish) > 60, 'bricks left, 120, in red');
  assert.ok(count(frame, 232, 12, 120, 26, (p) => { const [r, g, b] = channels(p); return b > 90 && r < 60 && g < 60; }) > 40,
    '"TILE-RUSH" in navy');
  // The push buttons are real buttons, all hidden at the start.
  assert.deepEqual(await page.locator('#tilerush button').evaluateAll((all) => all.map((b) => [b.textContent, b.hidden])),
    [['Pause', true], ['Game Over', true], ['Level: 1', true]]);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'tilerush', 'the game has the keyboard');
  assert.deepEqual(errors, []);
  await context.close();
});

test('a held ArrowRight runs the paddle to the right wall, and focus loss releases it', async () => {
  const { context, page } = await openGame();
  await holdKey(page, 'ArrowRight', 700);
  const atWall = await paddleUntil(page, (s) => Math.abs(s.paddleRight - RIGHT_WALL) <= 2);
  await page.keyboard.up('ArrowRight');
  assert.ok(Math.abs(atWall.paddleRight - RIGHT_WALL) <= 2, `paddle's right end at ${atWall.paddleRight}`);

  // Left held, then the keyboard goes elsewhere: the release never comes, yet the paddle stops.
  await page.keyboard.down('ArrowLeft');
  await page.waitForTimeout(60);
  await page.evaluate(() => document.getElementById('tilerush').blur());
  const stopped = look(await grab(page));
  await page.waitForTimeout(300);
  const later = look(await grab(page));
  await page.keyboard.up('ArrowLeft');
  assert.ok(stopped.paddleRight < RIGHT_WALL - 2, 'the paddle moved left first');
  assert.equal(later.paddleCentre, stopped.paddleCentre, 'the paddle stopped when the focus left');
  await context.close();
});

test('P shows Pause where the layout puts it, play stands still, and a click on it goes on', async () => {
  const { context, page } = await openGame();
  await page.keyboard.press('KeyP');
  const pause = page.getByRole('button', { name: 'Pause' });
  await pause.waitFor({ state: 'visible' });
  const area = await page.locator('#tilerush').boundingBox();
  const box = await pause.boundingBox();
  assert.deepEqual([box.x - area.x, box.y - area.y, box.width, box.height], [224, 192, 161, 97]);
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

test('arrow keys never scroll a page too small for the game while the game has the keyboard', async () => {
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

test('at two device pixels a pixel the game is drawn on the finer grid', async () => {
  const { context, page } = await openGame({ deviceScaleFactor: 2 });
  assert.deepEqual(await page.evaluate(() => { const c = document.querySelector('#tilerush canvas'); return [c.width, c.height]; }),
    [1136, 978]);
  const frame = await grab(page);
  assert.deepEqual([frame.width, frame.height], [1136, 978]);
  assert.equal(frame.at(568, 666), GREEN, 'board');
  assert.equal(frame.at(568, 913), ORANGE, 'paddle');
  assert.equal(frame.at(568, 894), BLUE, 'ball');
  // 2 x 2 blocks of more than one colour: curves and text are drawn at this resolution.
  const mixed = (left, top, width, height) => {
    let n = 0;
    for (let y = top & ~1; y < top + height; y += 2) {
      for (let x = left & ~1; x < left + width; x += 2) {
        const p = frame.at(x, y);
        n += frame.at(x + 1, y) !== p || frame.at(x, y + 1) !== p || frame.at(x + 1, y + 1) !== p ? 1 : 0;
      }
    }
    return n;
  };
  assert.ok(mixed(558, 884, 20, 20) > 4, 'ball');
  assert.ok(mixed(416, 0, 16, 16) > 2, 'rounded corner of the title box');
  assert.ok(mixed(8, 8, 140, 60) > 20, '"Score"');
  // Brick edges land on odd device pixels too: a doubled small picture has none there.
  const y = Math.round(((1560 + 2 * 226.2) / 15 + 3) * 2);
  let oddEdges = 0;
  for (let x = 20; x < 1120; ++x) {
    if (frame.at(x, y) === 0 && frame.at(x - 1, y) !== 0 && x % 2 === 1) ++oddEdges;
  }
  assert.ok(oddEdges > 0, 'brick borders start on odd device pixels');
  await context.close();
});

test('holding a half of the board steers, and a two-finger tap pauses', async () => {
  const { context, page } = await openGame({ hasTouch: true });
  const cdp = await context.newCDPSession(page);
  const area = await page.locator('#tilerush').boundingBox();
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', {
    type, touchPoints: points.map(([x, y], id) => ({ x: area.x + x, y: area.y + y, id })),
  });
  await touch('touchStart', [[450, 300]]);
  const right = await paddleUntil(page, (s) => Math.abs(s.paddleRight - RIGHT_WALL) <= 2);
  await touch('touchEnd', []);
  assert.ok(Math.abs(right.paddleRight - RIGHT_WALL) <= 2, `right half held: paddle's right end at ${right.paddleRight}`);

  await touch('touchStart', [[100, 300]]);
  const left = await paddleUntil(page, (s) => s.paddleRight < RIGHT_WALL - 60);
  await touch('touchEnd', []);
  assert.ok(left.paddleRight < RIGHT_WALL - 60, `left half held: paddle's right end at ${left.paddleRight}`);

  await touch('touchStart', [[200, 300], [380, 300]]);
  await touch('touchEnd', []);
  await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
  await context.close();
});

test('a hidden page stands still, and goes on from where it was when it shows again', async () => {
  const { context, page } = await openGame();
  await holdKey(page, 'ArrowRight', 100);
  await page.keyboard.up('ArrowRight');
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => h });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await page.waitForTimeout(300);
  await setHidden(true);
  const hidden = look(await grab(page));
  await page.waitForTimeout(1500);
  const stillHidden = look(await grab(page));
  assert.deepEqual(stillHidden.ball, hidden.ball, 'no game time while hidden');
  await setHidden(false);
  const shown = look(await grab(page));
  // A burst of the 1.5 s hidden would have carried the ball hundreds of pixels.
  const moved = Math.hypot(shown.ball[0] - hidden.ball[0], shown.ball[1] - hidden.ball[1]);
  assert.ok(moved < 60, `the ball went on from where it was (moved ${moved.toFixed(1)} px)`);
  await page.waitForTimeout(200);
  const later = look(await grab(page));
  assert.notDeepEqual(later.ball, shown.ball, 'and play goes on');
  await context.close();
});

test('a browser without WebAssembly gets a plain sentence', async () => {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(() => { delete window.WebAssembly; });
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
  await page.addInitScript(() => { delete HTMLCanvasElement.prototype.transferControlToOffscreen; });
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
