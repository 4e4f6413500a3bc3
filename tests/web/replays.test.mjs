// Replays in the page, in Debian's Chromium on its real clock: a game saved with "Save
// replay" and checked by the native tilerush-sim, then watched with "Watch a replay";
// and the files "Watch a replay" must refuse.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/cli/tilerush-sim node --test tests/web/replays.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { channels, grab, holdKey, look, nextFrame, openGame, pauseGame, playFor } from './browser.mjs';

async function chooseReplay(page, file) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#tilerush-watch')]);
  await chooser.setFiles(file);
}

const status = (page) => page.locator('#tilerush-replay-status');
const alike = (p, q) => channels(p).every((c, i) => Math.abs(c - channels(q)[i]) <= 3);

test(
  'a game played for 20 s, saved with "Save replay", holds in tilerush-sim and when watched in the page',
  {
    skip: !process.env.TILERUSH_SIM && 'needs TILERUSH_SIM, the native tilerush-sim',
  },
  async () => {
    const { context, page, errors } = await openGame({ acceptDownloads: true });
    const gamesOver = await playFor(page, 20);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
    assert.match(download.suggestedFilename(), /^tilerush-.*\.tilerush$/);
    const replay = await readFile(await download.path(), 'utf8');
    const lines = replay.trimEnd().split('\n');
    assert.equal(lines[0], '# Tilerush replay');
    assert.match(lines[1], /^# Tilerush \d+\.\d+\.\d+, recorded \d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$/);
    assert.ok(lines.includes('open') && lines.some((l) => /^seed \d+$/.test(l)), 'seed and open');
    // A game lost meanwhile leaves the replay the game after it, which may be short.
    const keys = ['key down 39', 'key up 37', 'key down 80'];
    assert.ok(gamesOver > 0 ? keys.some((k) => lines.includes(k)) : keys.every((k) => lines.includes(k)), 'the keys');
    const expected = lines.filter((l) => l.startsWith('expect '));
    assert.ok(expected.length >= 11, `${expected.length} expectations`);
    const played = lines.filter((l) => l.startsWith('advance ')).reduce((t, l) => t + Number(l.split(' ')[1]), 0);
    // A replay is one game: the one in play, however many ended before it.
    assert.equal(lines.filter((l) => l === 'open').length, 1, 'one game');
    assert.ok(played < 25000 && (gamesOver > 0 || played > 15000), `${played} ms of game time`);
    for (const word of ['set', 'tick', 'draws', 'dump']) {
      assert.ok(!lines.some((l) => l.startsWith(`${word} `)), `no ${word} lines`);
    }

    const file = join(await mkdtemp(join(tmpdir(), 'tilerush-')), 'game.tilerush');
    await writeFile(file, replay);
    const sim = spawnSync(process.env.TILERUSH_SIM, [file], { encoding: 'utf8' });
    assert.deepEqual([sim.status, sim.stderr], [0, ''], 'tilerush-sim holds every expectation');

    // The player's game paused, so that its board stands still while the replay plays.
    // The mouse, left on a button the game had shown, goes off the game: a button that
    // appears under a still mouse takes its hover colour only when the browser gets to
    // it, which a busy machine makes late, and the pictures must not differ by that.
    await pauseGame(page);
    await page.mouse.move(0, 0);
    await nextFrame(page);
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
    // The page's own Pause button is drawn again meanwhile, and the edges of its rounded
    // corners may come out a level or two lighter or darker: that is not a change.
    await page.click('#tilerush-back');
    await page.mouse.move(0, 0);
    await page.waitForSelector('#tilerush[data-state=playing]');
    assert.equal(await page.locator('#tilerush-back').isVisible(), false);
    // The game's worker draws the player's game again a moment after the page is back; a
    // busy machine makes that moment long, so pictures are taken until it comes or time is up.
    const changed = (back) => {
      let moved = 0;
      for (let y = 100; y < back.height; ++y) {
        for (let x = 0; x < back.width; ++x) moved += alike(back.at(x, y), left.at(x, y)) ? 0 : 1;
      }
      return moved;
    };
    let moved = changed(await grab(page));
    for (const end = Date.now() + 10000; moved > 0 && Date.now() < end;) {
      await nextFrame(page);
      moved = changed(await grab(page));
    }
    assert.equal(moved, 0, 'pixels of the board changed');
    assert.deepEqual(errors, []);
    await context.close();
  },
);

test('a bad replay file gets one clear message, and the game in progress goes on', async () => {
  const { context, page, errors } = await openGame();
  const folder = await mkdtemp(join(tmpdir(), 'tilerush-'));
  const binary = Buffer.alloc(3000);
  for (let i = 0; i < binary.length; ++i) binary[i] = (i * 151 + 7) % 256;
  const cases = [
    [
      'notes.tilerush',
      'Dear diary,\nmy best game so far\n',
      /^Cannot watch notes\.tilerush: line 1: unknown command 'Dear'\.$/,
    ],
    ['empty.tilerush', '', /^Cannot watch empty\.tilerush: the file is empty\.$/],
    ['photo.tilerush', binary, /^Cannot watch photo\.tilerush: not a replay: it is not a text file\.$/],
    [
      'huge.tilerush',
      Buffer.alloc(17 * 1024 * 1024, '# a comment\n'),
      /^Cannot watch huge\.tilerush: the file is 17\.0 MiB, and a replay is at most 16 MiB\.$/,
    ],
    [
      'closed.tilerush',
      '# Tilerush replay\nseed 4\n',
      /^Cannot watch closed\.tilerush: not a replay: it never opens the window\.$/,
    ],
    [
      'broken.tilerush',
      'seed 4\nopen\nadvance 200\nclick nextlevel\n',
      /^Cannot watch broken\.tilerush: line 4: .*hidden.*\.$/,
    ],
    [
      'endless.tilerush',
      'seed 4\nopen\nadvance 1\nadvance 86400000\n',
      /^Cannot watch endless\.tilerush: line 4: longer than 24 hours/,
    ],
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
