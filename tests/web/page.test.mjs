// The page in Debian's Chromium, headless, on its real clock: what it shows, checked by
// its pixels and its own elements, how it answers keys, clicks and touches, and its
// replays, saved and watched.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/sim/tilerush-sim node --test tests/web/page.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { chromium } from 'playwright-core';

import { serve } from '../../tools/serve.mjs';
import { decodePng } from './png.mjs';

const ORANGE = 0xff8000;
const BLUE = 0x0000ff;
const RED = 0xff0000;
const GREEN = 0x80ff80;
const PADDLE_ROW = 456; // (6762.6 + 169 / 2) / 15
const RIGHT_WALL = 561; // 8415 / 15

let server;
let browser;
let address;

before(async () => {
  server = await serve(process.env.TILERUSH_WEB_BUILD || 'build-web', 0);
  address = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function openGame(options = {}) {
  const context = await browser.newContext({ viewport: { width: 800, height: 700 }, ...options });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(address);
  await page.waitForSelector('#tilerush[data-state=playing]', { timeout: 10000 });
  await nextFrame(page);
  return { context, page, errors };
}

function nextFrame(page) {
  return page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

async function grab(page) {
  return decodePng(await page.locator('#tilerush').screenshot());
}

// Where the paddle and the ball are in a picture at `scale` device pixels a pixel.
function look(frame, scale = 1) {
  let first = -1;
  let last = -1;
  for (let x = 0; x < frame.width; ++x) {
    if (frame.at(x, PADDLE_ROW * scale) !== ORANGE) continue;
    if (first < 0) first = x;
    last = x;
  }
  let sumX = 0;
  let sumY = 0;
  let count = 0;
  for (let y = 104 * scale; y < 482 * scale; ++y) {
    for (let x = 8 * scale; x < 561 * scale; ++x) {
      if (frame.at(x, y) !== BLUE) continue;
      sumX += x;
      sumY += y;
      ++count;
    }
  }
  return {
    paddleLeft: first / scale,
    paddleRight: (last + 1) / scale,
    paddleCentre: (first + last) / 2 / scale,
    ball: count ? [sumX / count / scale, sumY / count / scale] : null,
  };
}

// Pixels in a rectangle that pass a test of their colour.
function count(frame, left, top, width, height, wanted) {
  let n = 0;
  for (let y = top; y < top + height; ++y) {
    for (let x = left; x < left + width; ++x) n += wanted(frame.at(x, y)) ? 1 : 0;
  }
  return n;
}
const channels = (p) => [(p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff];
const dark = (p) => channels(p).every((c) => c < 90);
const reddish = (p) => { const [r, g, b] = channels(p); return r > 180 && g < 90 && b < 90; };
const bluish = (p) => { const [r, g, b] = channels(p); return b > 40 && r < 50 && g < 50; };

async function holdKey(page, key, ms) {
  // Repeated keydowns, as a held key sends them.
  const end = Date.now() + ms;
  while (Date.now() < end) {
    await page.keyboard.down(key);
    await page.waitForTimeout(33);
  }
}

async function paddleUntil(page, done, ms = 3000) {
  const end = Date.now() + ms;
  let sight = look(await grab(page));
  while (!done(sight) && Date.now() < end) {
    await page.waitForTimeout(50);
    sight = look(await grab(page));
  }
  return sight;
}

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

// Plays for `seconds` as a person would: the arrows held in turn, P now and then and
// the Pause button clicked to go on, and a lost game or a cleared level clicked away.
async function playFor(page, seconds) {
  const end = Date.now() + seconds * 1000;
  const shown = (name) => page.getByRole('button', { name, exact: false }).isVisible();
  let turn = 0;
  while (Date.now() < end) {
    const key = turn % 2 ? 'ArrowLeft' : 'ArrowRight';
    await holdKey(page, key, 300 + (turn * 137) % 500);
    await page.keyboard.up(key);
    await page.waitForTimeout((turn * 71) % 200);
    for (const name of ['Game Over', 'Level:']) {
      if (await shown(name)) await page.getByRole('button', { name, exact: false }).click();
    }
    if (turn % 7 === 3) {
      await page.keyboard.press('KeyP');
      await page.waitForTimeout(250);
      if ((await shown('Pause')) && !(await shown('Game Over'))) await page.getByRole('button', { name: 'Pause' }).click();
    }
    ++turn;
  }
}

async function chooseReplay(page, file) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#tilerush-watch')]);
  await chooser.setFiles(file);
}

const status = (page) => page.locator('#tilerush-replay-status');

test('a game played for 20 s, saved with "Save replay", holds in tilerush-sim and when watched in the page', {
  skip: !process.env.TILERUSH_SIM && 'needs TILERUSH_SIM, the native tilerush-sim',
}, async () => {
  const { context, page, errors } = await openGame({ acceptDownloads: true });
  await playFor(page, 20);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
  assert.match(download.suggestedFilename(), /^tilerush-.*\.tilerush$/);
  const replay = await readFile(await download.path(), 'utf8');
  const lines = replay.trimEnd().split('\n');
  assert.equal(lines[0], '# Tilerush replay');
  assert.match(lines[1], /^# Tilerush \d+\.\d+\.\d+, recorded \d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$/);
  assert.ok(lines.includes('open') && lines.some((l) => /^seed \d+$/.test(l)), 'seed and open');
  assert.ok(lines.includes('key down 39') && lines.includes('key up 37') && lines.includes('key down 80'),
    'the keys');
  const expected = lines.filter((l) => l.startsWith('expect '));
  assert.ok(expected.length >= 11, `${expected.length} expectations`);
  const played = lines.filter((l) => l.startsWith('advance ')).reduce((t, l) => t + Number(l.split(' ')[1]), 0);
  assert.ok(played > 15000 && played < 25000, `${played} ms of game time`);
  for (const word of ['set', 'tick', 'draws', 'dump']) {
    assert.ok(!lines.some((l) => l.startsWith(`${word} `)), `no ${word} lines`);
  }

  const file = join(await mkdtemp(join(tmpdir(), 'tilerush-')), 'game.tilerush');
  await writeFile(file, replay);
  const sim = spawnSync(process.env.TILERUSH_SIM, [file], { encoding: 'utf8' });
  assert.deepEqual([sim.status, sim.stderr], [0, ''], 'tilerush-sim holds every expectation');

  // The player's game paused, so that its board stands still while the replay plays.
  for (const name of ['Game Over', 'Level:']) {
    const button = page.getByRole('button', { name, exact: false });
    if (await button.isVisible()) await button.click();
  }
  await page.keyboard.press('KeyP');
  await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
  const left = await grab(page);

  // Watched in the page, the player's keys do nothing to it.
  await chooseReplay(page, file);
  await page.waitForSelector('#tilerush[data-state=watching]');
  assert.equal(await page.locator('#tilerush-back').isVisible(), true);
  await holdKey(page, 'ArrowLeft', 400);
  await page.keyboard.up('ArrowLeft');
  await page.keyboard.press('KeyP');
  await status(page).filter({ hasText: 'replay:' }).waitFor({ timeout: 40000 });
  assert.equal(await status(page).textContent(), `game.tilerush: replay: all ${expected.length} expectations held`);

  // Back to the player's game, where it was: below the title, every pixel as it was.
  await page.click('#tilerush-back');
  await page.waitForSelector('#tilerush[data-state=playing]');
  assert.equal(await page.locator('#tilerush-back').isVisible(), false);
  await nextFrame(page);
  const back = await grab(page);
  let moved = 0;
  for (let y = 100; y < back.height; ++y) {
    for (let x = 0; x < back.width; ++x) moved += back.at(x, y) !== left.at(x, y) ? 1 : 0;
  }
  assert.equal(moved, 0, 'pixels of the board changed');
  assert.deepEqual(errors, []);
  await context.close();
});

test('a bad replay file gets one clear message, and the game in progress goes on', async () => {
  const { context, page, errors } = await openGame();
  const folder = await mkdtemp(join(tmpdir(), 'tilerush-'));
  const binary = Buffer.alloc(3000);
  for (let i = 0; i < binary.length; ++i) binary[i] = (i * 151 + 7) % 256;
  const cases = [
    ['notes.tilerush', 'Dear diary,\nmy best game so far\n', /^Cannot watch notes\.tilerush: line 1: unknown command 'Dear'\.$/],
    ['empty.tilerush', '', /^Cannot watch empty\.tilerush: the file is empty\.$/],
    ['photo.tilerush', binary, /^Cannot watch photo\.tilerush: not a replay: it is not a text file\.$/],
    ['huge.tilerush', Buffer.alloc(17 * 1024 * 1024, '# a comment\n'), /^Cannot watch huge\.tilerush: the file is 17\.0 MiB, and a replay is at most 16 MiB\.$/],
    ['closed.tilerush', '# Tilerush replay\nseed 4\n', /^Cannot watch closed\.tilerush: not a replay: it never opens the window\.$/],
    ['broken.tilerush', 'seed 4\nopen\nadvance 200\nclick nextlevel\n', /^Cannot watch broken\.tilerush: line 4: .*hidden.*\.$/],
    ['endless.tilerush', 'seed 4\nopen\nadvance 1\nadvance 86400000\n', /^Cannot watch endless\.tilerush: line 4: longer than 24 hours/],
  ];
  // Paused, so that no ball is lost meanwhile; the title balls move all the same.
  await holdKey(page, 'ArrowRight', 200);
  await page.keyboard.up('ArrowRight');
  await page.keyboard.press('KeyP');
  const pause = page.getByRole('button', { name: 'Pause' });
  await pause.waitFor({ state: 'visible' });
  const differs = (a, b) => {
    for (let y = 0; y < a.height; y += 2) {
      for (let x = 0; x < a.width; x += 2) if (a.at(x, y) !== b.at(x, y)) return true;
    }
    return false;
  };
  for (const [name, content, message] of cases) {
    const before = await grab(page);
    const file = join(folder, name);
    await writeFile(file, content);
    await chooseReplay(page, file);
    await status(page).filter({ hasText: 'Cannot watch' }).filter({ hasText: name }).waitFor({ timeout: 30000 });
    assert.match(await status(page).textContent(), message);
    assert.equal(await page.getAttribute('#tilerush', 'data-state'), 'playing', name);
    assert.equal(await page.locator('#tilerush-back').isVisible(), false, name);
    await page.waitForTimeout(100);
    assert.ok(differs(before, await grab(page)), `${name}: the game goes on`);
    assert.equal(await pause.isVisible(), true, `${name}: still paused`);
  }
  await pause.click();
  const sight = look(await grab(page));
  await holdKey(page, 'ArrowLeft', 300);
  await page.keyboard.up('ArrowLeft');
  assert.ok(look(await grab(page)).paddleCentre < sight.paddleCentre, 'the paddle answers the keys again');

  // A replay whose expectation fails is watched to the end, and the page says which.
  const wrong = join(folder, 'wrong.tilerush');
  await writeFile(wrong, 'seed 4\nopen\nadvance 300\nexpect lives 3\nexpect bricksleft 99\n');
  await chooseReplay(page, wrong);
  await status(page).filter({ hasText: 'replay:' }).waitFor({ timeout: 10000 });
  assert.equal(await status(page).textContent(), 'wrong.tilerush: replay: line 5: expected bricksleft 99, found 120');
  assert.deepEqual(errors, []);
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
