// The level editor in Debian's Chromium: a set made by the mouse and by the keyboard,
// with undo and redo across painting and map edits, played from the map being edited,
// its game saved and replayed exactly by the native tilerush-sim; the set's link opened
// in a fresh browser; the work in progress kept across a reload; axe-core clean.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/cli/tilerush-sim node --test tests/web/levels.test.mjs
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';

import { address, browser, nextFrame, openGame, playFor, savedReplayLines } from './browser.mjs';

const cell = (page) => page.locator('#tilerush-levels-cell');
const bricks = async (page) => Number((await cell(page).textContent()).match(/(\d+) bricks/)[1]);
const mapCount = (page) => page.locator('#tilerush-levels-map option').count();

// The middle of cell (column, row), counted from 0, on the page.
async function cellPoint(page, column, row) {
  const box = await page.locator('#tilerush-levels-grid canvas').boundingBox();
  return { x: box.x + ((column + 0.5) * box.width) / 20, y: box.y + ((row + 0.5) * box.height) / 10 };
}

async function drag(page, from, to) {
  const start = await cellPoint(page, ...from);
  const end = await cellPoint(page, ...to);
  await page.mouse.move(start.x, start.y);
  await page.mouse.down();
  await page.mouse.move(end.x, end.y, { steps: 8 });
  await page.mouse.up();
}

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

test(
  'a set made by mouse and keyboard is played from the map edited, replays exactly in tilerush-sim, and goes by link',
  { skip: !process.env.TILERUSH_SIM && 'needs TILERUSH_SIM, the native tilerush-sim' },
  async () => {
    const { context, page, errors } = await openGame({ acceptDownloads: true });
    await page.click('#tilerush-edit-levels');
    await page.locator('#tilerush-editor').waitFor();
    assert.equal(await bricks(page), 20, 'a new set starts with a row of bricks');

    // The mouse: a drag of 3s is one step of undo, a right click empties a cell.
    await page.getByRole('radio', { name: '3: 3 hits' }).click();
    await drag(page, [0, 0], [4, 0]);
    assert.equal(await bricks(page), 25);
    const corner = await cellPoint(page, 4, 0);
    await page.mouse.click(corner.x, corner.y, { button: 'right' });
    assert.equal(await bricks(page), 24);
    await page.keyboard.press('Control+z');
    assert.equal(await bricks(page), 25, 'undo brings the emptied cell back');
    await page.keyboard.press('Control+z');
    assert.equal(await bricks(page), 20, 'and the whole drag at once');
    await page.keyboard.press('Control+y');
    await page.keyboard.press('Control+Shift+z');
    assert.equal(await bricks(page), 24, 'redo, by either key');

    // The keyboard alone: a second map, painted with the arrows and digits.
    await page.click('text=Add map');
    assert.equal(await mapCount(page), 2);
    await page.focus('#tilerush-levels-grid');
    for (const key of [
      'ArrowDown',
      'ArrowDown',
      'ArrowRight',
      'ArrowRight',
      'ArrowRight',
      'Digit9',
      'ArrowRight',
      'Digit5',
    ]) {
      await page.keyboard.press(key);
    }
    assert.match(await cell(page).textContent(), /^Map 2, row 3, column 9: 5 hits\. 2 bricks\.$/);
    // Undo runs back across the painting and the map's adding, and redo forward again.
    for (let i = 0; i < 3; ++i) await page.click('text=Undo');
    assert.equal(await mapCount(page), 1, 'the added map is undone');
    for (let i = 0; i < 3; ++i) await page.click('text=Redo');
    assert.equal(await mapCount(page), 2);
    assert.equal(await bricks(page), 2);
    await page.fill('#tilerush-levels-title', 'Test set');

    // Copy link: the set in the fragment.
    await page.click('#tilerush-levels-link');
    await page.locator('#tilerush-levels-link-field').waitFor();
    const link = await page.locator('#tilerush-levels-link-field').inputValue();
    assert.ok(link.startsWith(`${address}#l=1.`), link);
    assert.deepEqual(
      await (async () => {
        await page.evaluate(axeSource);
        const found = await page.evaluate(async () => (await window.axe.run(document)).violations);
        return found.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
      })(),
      [],
      'axe-core finds nothing in the editor',
    );

    // Play from map 2; its game replays exactly, with the set in its lines.
    await page.click('#tilerush-levels-play');
    await page.locator('#tilerush-editor').waitFor({ state: 'hidden' });
    await playFor(page, 6);
    const lines = await savedReplayLines(page, 'levels');
    assert.ok(lines.includes('# levels Test set'), 'the title as a comment');
    assert.equal(lines.filter((l) => l.startsWith('map ')).length, 2);
    assert.ok(lines.indexOf('startmap 2') < lines.indexOf('open'), 'started from the map edited');

    // Back to the editor as it was; a reload keeps the work in progress.
    await page.click('#tilerush-back-to-editor');
    assert.match(await cell(page).textContent(), /^Map 2, row 3, column 9/);
    await page.reload();
    await page.waitForSelector('#tilerush[data-state=playing]');
    await page.click('#tilerush-edit-levels');
    assert.equal(await page.locator('#tilerush-levels-title').inputValue(), 'Test set');
    assert.deepEqual(errors, []);
    await context.close();

    // The link in a fresh browser: the set, with Play and Edit.
    const fresh = await browser.newContext({ viewport: { width: 800, height: 700 } });
    const other = await fresh.newPage();
    await other.goto(link);
    await other.waitForSelector('#tilerush[data-state=playing]');
    await other.locator('#tilerush-shared-set').waitFor();
    assert.match(await other.locator('#tilerush-shared-set').textContent(), /Test set.*2 maps/);
    await other.click('#tilerush-shared-edit');
    assert.equal(await other.locator('#tilerush-levels-map option').count(), 2);
    await other.goto(`${address}#l=1.${'A'.repeat(9)}`);
    await other.reload();
    await other.waitForSelector('#tilerush[data-state=playing]');
    await nextFrame(other);
    await other.locator('#tilerush-replay-status').filter({ hasText: 'level set' }).waitFor();
    await fresh.close();
  },
);
