// The player's best games in the page, in Debian's Chromium: kept across a reload and
// offline, watched from the list, exported and imported into a fresh browser, a
// tampered list refused; and the day's challenge on the seed every program agrees on.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { test } from 'node:test';

import { address, browser, loseTheGame, openGame, playFor, savedReplayLines } from './browser.mjs';

const playing = (page) => page.waitForSelector('#tilerush[data-state=playing]', { timeout: 15000 });
const entries = (page) => page.locator('#tilerush-kept li .tilerush-kept-line').allTextContents();
const status = (page) => page.locator('#tilerush-kept-status');

async function exported(page) {
  const [download] = await Promise.all([
    page.waitForEvent('download'),
    page.getByRole('button', { name: 'Export list of your best games as one file' }).click(),
  ]);
  return readFile(await download.path(), 'utf8');
}

async function imported(page, text) {
  await page
    .locator('#tilerush-kept input[type=file]')
    .setInputFiles({ name: 'best.txt', mimeType: 'text/plain', buffer: Buffer.from(text) });
}

test('a game lost is kept across a reload offline, watched from the list, exported and imported whole, a tampered list refused', async () => {
  const { context, page, errors } = await openGame({ acceptDownloads: true });
  try {
    await page.waitForFunction(() => navigator.serviceWorker.controller, null, { timeout: 15000 });
    await loseTheGame(page);
    await page.locator('#tilerush-kept li').first().waitFor({ timeout: 10000 });
    const kept = await entries(page);
    assert.equal(kept.length, 1);
    assert.match(kept[0], /^\d+ points, level 1, \d+ bricks left, \d+:\d\d, \d{4}-\d\d-\d\d$/);

    await context.setOffline(true);
    await page.reload();
    await playing(page);
    await page.locator('#tilerush-kept li').first().waitFor({ timeout: 10000 });
    assert.deepEqual(await entries(page), kept, 'the same list after a reload, offline');
    await page.getByRole('button', { name: 'Watch game 1' }).click();
    await page.waitForSelector('#tilerush[data-state=watching]');
    // At the fastest speed, to its end.
    const speeds = page.getByRole('combobox', { name: 'Speed' });
    await speeds.selectOption(await speeds.locator('option').last().getAttribute('value'));
    await page.waitForFunction(
      () => /expectations held/.test(document.getElementById('tilerush-replay-status').textContent),
      null,
      { timeout: 120000 },
    );
    assert.match(await page.locator('#tilerush-replay-status').textContent(), /: replay: all \d+ expectations held$/);
    await context.setOffline(false);
    const text = await exported(page);
    assert.match(text, /^tilerush kept games 1\ngame id=[0-9a-f]{16} score=\d+ /);

    // A browser of its own, which has never seen the page: the list comes in whole.
    const fresh = await browser.newContext({ viewport: { width: 800, height: 700 }, acceptDownloads: true });
    try {
      const other = await fresh.newPage();
      await other.goto(address);
      await playing(other);
      assert.deepEqual(await entries(other), []);
      // A list whose line says more than its replay shows is refused whole, in a sentence.
      await imported(
        other,
        text.replace(/ score=(\d+) /, (all, n) => ` score=${Number(n) + 1000} `),
      );
      await other.waitForFunction(() =>
        /^Cannot import/.test(document.getElementById('tilerush-kept-status').textContent),
      );
      assert.match(await status(other).textContent(), /^Cannot import best\.txt: .+\.$/);
      assert.deepEqual(await entries(other), []);
      await imported(other, text);
      await other.waitForFunction(() => document.querySelectorAll('#tilerush-kept li').length === 1);
      assert.equal(await status(other).textContent(), 'Imported best.txt: 1 game new to the list.');
      assert.deepEqual(await entries(other), kept);
      assert.equal(await exported(other), text, 'export then import gives the same list');
    } finally {
      await fresh.close();
    }
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test("today's challenge is a game on the seed of the UTC date that the table of days gives", async () => {
  const table = await readFile(new URL('../support/challenge_days.txt', import.meta.url), 'utf8');
  const days = table
    .split('\n')
    .filter((line) => /^\d{4}-/.test(line))
    .map((line) => line.split(' '));
  const { context, page } = await openGame({ acceptDownloads: true });
  try {
    for (const [day, seed] of [days[1], days[4], days.at(-1)]) {
      // Just before midnight, UTC: the day is UTC's, wherever the player is.
      await page.clock.setFixedTime(new Date(`${day}T23:59:00Z`));
      await page.getByRole('button', { name: "Today's challenge" }).click();
      const lines = await savedReplayLines(page, `challenge-${day}`);
      assert.ok(lines.includes(`seed ${seed}`), `${day}: seed ${seed}`);
      assert.ok(lines.includes(`# challenge ${day}`), `${day}: its replay says it is that day's challenge`);
    }
  } finally {
    await context.close();
  }
});

const setHidden = (page, hidden) =>
  page.evaluate((on) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => on });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);

test('a game that scored is kept as the page is hidden, holds one place however often, and gives it to the whole game', async () => {
  const { context, page, errors } = await openGame();
  try {
    // Played until a game in progress has scored (a game lost meanwhile is clicked away).
    const over = page.getByRole('button', { name: 'Game Over' });
    const scored = async () =>
      !(await over.isVisible()) &&
      (await page.evaluate(() => /Score [1-9]/.test(document.getElementById('tilerush-readout').textContent)));
    for (let tries = 0; tries < 60 && !(await scored()); ++tries) await playFor(page, 1);
    assert.ok(await scored(), await page.locator('#tilerush-readout').textContent());
    const scores = [];
    for (let time = 0; time < 2; ++time) {
      await setHidden(page, true);
      await page.locator('#tilerush-kept li').first().waitFor({ timeout: 10000 });
      await page.waitForTimeout(300);
      const kept = await entries(page);
      assert.equal(kept.length, 1, `hidden ${time + 1} times`);
      scores.push(Number(kept[0].split(' ')[0]));
      await setHidden(page, false);
      await page.getByRole('button', { name: 'Pause' }).click();
      await page.waitForTimeout(1500);
    }
    await loseTheGame(page);
    // The whole game is written as it ends: the reload finds it.
    await page.waitForTimeout(1000);
    await page.reload();
    await playing(page);
    await page.locator('#tilerush-kept li').first().waitFor({ timeout: 10000 });
    const kept = await entries(page);
    assert.equal(kept.length, 1, 'the whole game in the place of the game so far');
    assert.ok(Number(kept[0].split(' ')[0]) >= scores[1] && scores[1] >= scores[0], `${scores} then ${kept[0]}`);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
