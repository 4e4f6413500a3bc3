// What the page's tests share: the served build, one Chromium, and ways to look at the
// game area's pixels and to press keys as a person holds them.
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

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

// `prepare` runs in the page before any of its own scripts, as on every reload.
export async function openGame(options = {}, prepare = null) {
  const context = await browser.newContext({ viewport: { width: 800, height: 700 }, ...options });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  if (prepare) await page.addInitScript(prepare);
  await page.goto(address);
  await page.waitForSelector('#tilerush[data-state=playing]', { timeout: 10000 });
  await nextFrame(page);
  return { context, page, errors };
}

export function nextFrame(page) {
  return page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

export async function grab(page) {
  return decodePng(await page.locator('#tilerush').screenshot());
}

// Where the paddle and the ball are in a picture at `scale` device pixels a pixel.
export function look(frame, scale = 1) {
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
export function count(frame, left, top, width, height, wanted) {
  let n = 0;
  for (let y = top; y < top + height; ++y) {
    for (let x = left; x < left + width; ++x) n += wanted(frame.at(x, y)) ? 1 : 0;
  }
  return n;
}
export const channels = (p) => [(p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff];
export const dark = (p) => channels(p).every((c) => c < 90);
export const reddish = (p) => { const [r, g, b] = channels(p); return r > 180 && g < 90 && b < 90; };
export const bluish = (p) => { const [r, g, b] = channels(p); return b > 40 && r < 50 && g < 50; };

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

// Plays for `seconds` as a person would: the arrows held in turn, P now and then and
// the Pause button clicked to go on, and a lost game or a cleared level clicked away.
export async function playFor(page, seconds) {
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

// Stops the game where it stands: a lost game or a cleared level clicked away, then P.
export async function pauseGame(page) {
  for (const name of ['Game Over', 'Level:']) {
    const button = page.getByRole('button', { name, exact: false });
    if (await button.isVisible()) await button.click();
  }
  await page.keyboard.press('KeyP');
  await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
}
