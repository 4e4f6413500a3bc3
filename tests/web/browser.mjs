// What the page's tests share: the served build, one Chromium, and ways to look at the
// game area's pixels and to press keys as a person holds them.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before } from 'node:test';

import { launchChromium } from '../../tools/chromium.mjs';
import { serve } from '../../tools/serve.mjs';
import { decodePng } from './png.mjs';

export const ORANGE = 0xff8000;
export const BLUE = 0x0000ff;
export const RED = 0xff0000;
export const GREEN = 0x80ff80;
export const PADDLE_ROW = 456; // (6762.6 + 169 / 2) / 15
export const RIGHT_WALL = 561; // 8415 / 15

let server;
export let browser;
export let address;

before(async () => {
  server = await serve(join(process.env.TILERUSH_WEB_BUILD || 'build-web', 'site'), 0);
  address = `http://127.0.0.1:${server.address().port}/`;
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// `prepare` runs in the page before any of its own scripts, as on every reload.
export async function openGame(options = {}, prepare = null) {
  const context = await browser.newContext({ viewport: { width: 800, height: 700 }, ...options });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  if (prepare) await page.addInitScript(prepare);
  await page.goto(address);
  await page.waitForSelector('#tilerush[data-state=playing]', { timeout: 10000 });
  await drawnAtItsSize(page);
  return { context, page, errors };
}

// The game's worker sizes the canvas it was handed, and the page's canvas shows that size
// once the worker's frame reaches it, a moment after the game has said it started: a
// busy machine can make that moment long.
export async function drawnAtItsSize(page) {
  await page.waitForFunction(() => {
    const canvas = document.querySelector('#tilerush canvas');
    const box = canvas.getBoundingClientRect();
    const ratio = devicePixelRatio;
    return canvas.width === Math.round(box.width * ratio) && canvas.height === Math.round(box.height * ratio);
  });
  await nextFrame(page);
}

export function nextFrame(page) {
  return page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

// Where the game area is: its frame (#tilerush) and its canvas in CSS pixels of the
// view, the canvas's own pixels, and the device pixel ratio.
export function gameArea(page) {
  return page.evaluate(() => {
    const box = (e) => {
      const r = e.getBoundingClientRect();
      return { x: r.x, y: r.y, width: r.width, height: r.height };
    };
    const canvas = document.querySelector('#tilerush canvas');
    return {
      frame: box(document.getElementById('tilerush')),
      canvas: box(canvas),
      backing: [canvas.width, canvas.height],
      ratio: devicePixelRatio,
    };
  });
}

// A picture of the game area at the device's resolution: `device` is the picture of the
// frame, `left`, `top`, `width` and `height` where the canvas lies on it in device pixels,
// and `at(x, y)` reads pixel (x, y) of the 568 x 489 layout at its middle, whatever the
// scale, so that what the layout puts where can be checked at any scale. With `cdp`, a
// DevTools session that has changed the view itself, the picture is taken through it.
export async function grab(page, cdp = null) {
  const { frame, canvas, ratio } = await gameArea(page);
  // The picture starts at the whole CSS pixel at or before the frame's corner, as
  // Playwright takes it.
  const [x, y] = [Math.floor(frame.x + 1e-3), Math.floor(frame.y + 1e-3)];
  const clip = {
    x,
    y,
    width: Math.ceil(frame.x + frame.width - 1e-3) - x,
    height: Math.ceil(frame.y + frame.height - 1e-3) - y,
  };
  const png = cdp
    ? Buffer.from(
        (await cdp.send('Page.captureScreenshot', { format: 'png', clip: { ...clip, scale: 1 } })).data,
        'base64',
      )
    : await page.locator('#tilerush').screenshot();
  const device = decodePng(png);
  const left = Math.round((canvas.x - x) * ratio);
  const top = Math.round((canvas.y - y) * ratio);
  const width = Math.round(canvas.width * ratio);
  const height = Math.round(canvas.height * ratio);
  return {
    device,
    left,
    top,
    deviceWidth: width,
    deviceHeight: height,
    width: 568,
    height: 489,
    at: (x, y) => device.at(left + Math.floor(((x + 0.5) * width) / 568), top + Math.floor(((y + 0.5) * height) / 489)),
  };
}

// Where the paddle and the ball are, in layout pixels, in a picture from grab: found
// among its device pixels, at whatever scale.
export function look(frame) {
  const { device, left, top } = frame;
  const [kx, ky] = [frame.deviceWidth / 568, frame.deviceHeight / 489];
  const row = top + Math.floor((PADDLE_ROW + 0.5) * ky);
  let first = -1;
  let last = -1;
  for (let x = left; x < left + frame.deviceWidth; ++x) {
    if (device.at(x, row) !== ORANGE) continue;
    if (first < 0) first = x;
    last = x;
  }
  let sumX = 0;
  let sumY = 0;
  let count = 0;
  for (let y = top + Math.floor(104 * ky); y < top + Math.ceil(482 * ky); ++y) {
    for (let x = left + Math.floor(8 * kx); x < left + Math.ceil(561 * kx); ++x) {
      // The ball's blue, its antialiased rim included, the same on every side of it.
      const p = device.at(x, y);
      if (p >> 8 !== 0 || p < 0x80) continue;
      sumX += x - left;
      sumY += y - top;
      ++count;
    }
  }
  return {
    paddleLeft: (first - left) / kx,
    paddleRight: (last + 1 - left) / kx,
    paddleCentre: ((first + last) / 2 - left) / kx,
    ball: count ? [sumX / count / kx, sumY / count / ky] : null,
  };
}

// What is wrong with the top row of map 1's bricks, across, at the device pixels of a
// picture from grab: anything but their black borders and red (a picture scaled up
// would blend them at every brick's edge), and borders not where the layout puts them
// at the picture's scale. None on a crisp picture of a fresh game.
export function brickEdgeFaults(frame) {
  const [kx, ky] = [frame.deviceWidth / 568, frame.deviceHeight / 489];
  const y = frame.top + Math.floor(((1560 + 2 * 226.2) / 15 + 2) * ky);
  const faults = [];
  const runs = [];
  for (let x = frame.left + Math.floor(4 * kx); x < frame.left + Math.ceil(564 * kx); ++x) {
    const p = frame.device.at(x, y);
    const inside = x >= frame.left + Math.ceil(8 * kx) && x < frame.left + Math.floor(561 * kx);
    if (inside && p !== 0 && p !== RED) faults.push(`a blended ${p.toString(16)} at device pixel ${x - frame.left}`);
    if (p === 0 && frame.device.at(x - 1, y) !== 0) runs.push(x - frame.left);
  }
  if (runs.length !== 21) faults.push(`${runs.length} borders, not those of 20 bricks: ${runs}`);
  runs.forEach((x, i) => {
    const edge = (8 + i * 27.65 - (i ? 1 : 0)) * kx;
    if (Math.abs(x - edge) > 1) faults.push(`border ${i} at device pixel ${x}, not ${edge.toFixed(1)}`);
  });
  return faults.slice(0, 5);
}

// Pixels of the layout in a rectangle that pass a test of their colour: in a picture
// from grab, its device pixels there counted, in layout pixels' worth (thin strokes of
// text can fall between the middles of the layout's pixels).
export function count(frame, left, top, width, height, wanted) {
  if (frame.device) {
    const [kx, ky] = [frame.deviceWidth / 568, frame.deviceHeight / 489];
    const n = count(
      frame.device,
      frame.left + Math.round(left * kx),
      frame.top + Math.round(top * ky),
      Math.round(width * kx),
      Math.round(height * ky),
      wanted,
    );
    return n / (kx * ky);
  }
  let n = 0;
  for (let y = top; y < top + height; ++y) {
    for (let x = left; x < left + width; ++x) n += wanted(frame.at(x, y)) ? 1 : 0;
  }
  return n;
}
export const channels = (p) => [(p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff];
export const dark = (p) => channels(p).every((c) => c < 90);
export const reddish = (p) => {
  const [r, g, b] = channels(p);
  return r > 180 && g < 90 && b < 90;
};
export const bluish = (p) => {
  const [r, g, b] = channels(p);
  return b > 40 && r < 50 && g < 50;
};

export async function holdKey(page, key, ms) {
  // Repeated keydowns, as a held key sends them.
  const end = Date.now() + ms;
  while (Date.now() < end) {
    await page.keyboard.down(key);
    await page.waitForTimeout(33);
  }
}

export async function paddleUntil(page, done, ms = 3000) {
  const end = Date.now() + ms;
  let sight = look(await grab(page));
  while (!done(sight) && Date.now() < end) {
    await page.waitForTimeout(50);
    sight = look(await grab(page));
  }
  return sight;
}

// A click on "Game Over" starts a new game, and so a new replay. Once the click's own
// sound has had time to play, and before any key starts the new game's, the page's
// window.tilerushLastGameFrom marks where that game's sounds begin.
async function newGameFrom(page) {
  await page.waitForTimeout(300);
  await page.evaluate(() => (window.tilerushLastGameFrom = performance.now()));
  return 1;
}

// Plays for `seconds` as a person would: the arrows held in turn, P now and then and
// the Pause button clicked to go on, and a lost game or a cleared level clicked away.
// Returns how many games it clicked away at "Game Over".
export async function playFor(page, seconds) {
  const end = Date.now() + seconds * 1000;
  const shown = (name) => page.getByRole('button', { name, exact: false }).isVisible();
  let turn = 0;
  let gamesOver = 0;
  while (Date.now() < end) {
    const key = turn % 2 ? 'ArrowLeft' : 'ArrowRight';
    await holdKey(page, key, 300 + ((turn * 137) % 500));
    await page.keyboard.up(key);
    await page.waitForTimeout((turn * 71) % 200);
    for (const name of ['Game Over', 'Level:']) {
      if (!(await shown(name))) continue;
      await page.getByRole('button', { name, exact: false }).click();
      if (name === 'Game Over') gamesOver += await newGameFrom(page);
    }
    if (turn % 7 === 3) {
      await page.keyboard.press('KeyP');
      await page.waitForTimeout(250);
      if ((await shown('Pause')) && !(await shown('Game Over')))
        await page.getByRole('button', { name: 'Pause' }).click();
    }
    ++turn;
  }
  return gamesOver;
}

// Stops the game where it stands: a lost game or a cleared level clicked away, then P.
export async function pauseGame(page) {
  for (const name of ['Game Over', 'Level:']) {
    const button = page.getByRole('button', { name, exact: false });
    if (!(await button.isVisible())) continue;
    await button.click();
    if (name === 'Game Over') await newGameFrom(page);
  }
  await page.keyboard.press('KeyP');
  await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
}

// The game so far, saved with "Save replay" and run through the native tilerush-sim
// (TILERUSH_SIM), which must hold every expectation. Returns the replay's lines.
export async function savedReplayLines(page, name) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
  const replay = await readFile(await download.path(), 'utf8');
  const file = join(await mkdtemp(join(tmpdir(), 'tilerush-')), `${name}.tilerush`);
  await writeFile(file, replay);
  const sim = spawnSync(process.env.TILERUSH_SIM, [file], { encoding: 'utf8' });
  assert.deepEqual([sim.status, sim.stderr], [0, ''], `${name}: tilerush-sim holds every expectation`);
  return replay.split('\n');
}

// The same, and the game must have been given no key but `keys` (the arrows and P) and
// clicks. Returns the replay's inputs, in order.
export async function savedReplay(page, name, keys = [37, 39, 80]) {
  const inputs = (await savedReplayLines(page, name)).filter((l) => /^(key|click) /.test(l));
  for (const input of inputs) {
    assert.ok(/^click \w+$/.test(input) || keys.includes(Number(input.split(' ')[2])), `${name}: given ${input}`);
  }
  return inputs;
}

// Loses every ball: the pointer on the board, always on the side away from the ball.
export async function loseTheGame(page) {
  const { canvas } = await gameArea(page);
  const to = (x) => [canvas.x + (x * canvas.width) / 568, canvas.y + (300 * canvas.height) / 489];
  const over = page.getByRole('button', { name: 'Game Over' });
  const end = Date.now() + 90000;
  while (!(await over.isVisible()) && Date.now() < end) {
    const { ball } = look(await grab(page));
    await page.mouse.move(...to(ball && ball[0] < 284 ? 540 : 28));
    await page.waitForTimeout(100);
  }
  assert.ok(await over.isVisible(), 'the game was lost');
}
