// The page served by the real tilerush-board, in Debian's Chromium: the board found at
// the page's own origin, a game lost and sent from the offer at Game Over under the
// player's name, ranked with the score the page kept for it, and watched from the
// board; and served without a board, the page says nothing of boards.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { address, browser, loseTheGame, nextFrame } from './browser.mjs';

const site = join(process.env.TILERUSH_WEB_BUILD || 'build-web', 'site');
let board;
let boardAddress;
let data;

// The server says where it serves on its first line.
before(async () => {
  data = await mkdtemp(join(tmpdir(), 'tilerush-board-'));
  board = spawn(process.env.TILERUSH_BOARD, ['--site', site, '--data', data, '--port', '0'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  boardAddress = await new Promise((found, failed) => {
    let said = '';
    board.stdout.on('data', (bytes) => {
      said += bytes;
      const at = said.match(/serving (http:\/\/\S+\/)/);
      if (at) found(at[1]);
    });
    board.on('exit', (status) => failed(new Error(`tilerush-board ended with status ${status}: ${said}`)));
  });
});

after(async () => {
  board?.kill('SIGTERM');
  await rm(data, { recursive: true, force: true });
});

async function pageAt(url) {
  const context = await browser.newContext({ viewport: { width: 1000, height: 800 } });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const asked = page.waitForEvent('requestfinished', { predicate: (r) => r.url().endsWith('/api/v1/') });
  await page.goto(url);
  await page.waitForSelector('#tilerush[data-state=playing]', { timeout: 15000 });
  await asked;
  await nextFrame(page);
  return { context, page, errors };
}

test('with a board at its origin, a lost game is sent under the chosen name, ranked and watched', async () => {
  const { context, page, errors } = await pageAt(boardAddress);
  try {
    const section = page.locator('#tilerush-board');
    await section.getByText('No game is on this board yet.').waitFor({ timeout: 10000 });
    await loseTheGame(page);
    const kept = page.locator('#tilerush-kept li .tilerush-kept-line').first();
    await kept.waitFor({ timeout: 10000 });
    const score = Number((await kept.textContent()).match(/^(\d+) points/)[1]);
    // Asked for a name only to send; typing it takes the keyboard from the game.
    await page.getByRole('button', { name: `Send your game of ${score} points to the board` }).click();
    await page.locator('#tilerush-board-status', { hasText: 'Choose your name on the board first' }).waitFor();
    await page.getByRole('textbox', { name: 'Your name on the board' }).fill('Ada');
    await page.getByRole('textbox', { name: 'Your name on the board' }).press('Tab');
    await page.getByRole('button', { name: `Send your game of ${score} points to the board` }).click();
    await page
      .locator('#tilerush-board-status', { hasText: `Your game of ${score} points is number 1 on the all-time board.` })
      .waitFor({ timeout: 15000 });
    const entry = section.locator('li .tilerush-kept-line').first();
    await entry.waitFor();
    assert.match(
      await entry.textContent(),
      new RegExp(`^Ada: ${score} points, level 1, \\d+:\\d\\d, \\d{4}-\\d\\d-\\d\\d$`),
    );

    // Sent again from the list, it is the same entry, still the first.
    await page.getByRole('button', { name: 'Send game 1 to the board' }).click();
    await page.locator('#tilerush-board-status', { hasText: 'is number 1 on the all-time board' }).waitFor();
    assert.equal(await section.locator('li').count(), 1);

    await page.getByRole('button', { name: `Watch Ada's game of ${score} points` }).click();
    await page.waitForSelector('#tilerush[data-state=watching]', { timeout: 15000 });
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('served without a board, the page shows no board', async () => {
  const { context, page, errors } = await pageAt(address);
  try {
    assert.equal(await page.locator('#tilerush-board').count(), 0);
    assert.equal(await page.getByRole('button', { name: /to the board/ }).count(), 0);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
