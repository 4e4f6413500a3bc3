// The page on screens that change, in Debian's Chromium on its real clock: full screen
// in and out, a rotation, a resize and a zoom followed at once and drawn crisp at the
// new scale, and a game played across all of that that replays exactly in tilerush-sim.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/cli/tilerush-sim node --test tests/web/screens.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { decodePng } from './png.mjs';
import { brickEdgeFaults, gameArea, grab, holdKey, nextFrame, openGame, pauseGame, playFor } from './browser.mjs';

const PAUSE = [224, 192, 161, 97];

// The game area in the view at the largest scale the view allows but for the page's
// margin and controls (`least`, a share of the largest), and the Pause button, when
// shown, where the layout puts it at that scale. Returns the scale.
async function checkScale(page, name, least) {
  const [width, height] = await page.evaluate(() => [innerWidth, innerHeight]);
  const { canvas, frame, ratio } = await gameArea(page);
  assert.ok(
    canvas.x >= 0 && canvas.y >= 0 && canvas.x + canvas.width <= width && canvas.y + canvas.height <= height,
    `${name}: the game area ${JSON.stringify(canvas)} in the view ${width} x ${height}`,
  );
  const scale = canvas.width / 568;
  const largest = Math.min(width / 568, height / 489);
  assert.ok(
    scale >= least * largest && scale <= largest,
    `${name}: scale ${scale.toFixed(3)}, at most ${largest.toFixed(3)}`,
  );
  const pause = page.getByRole('button', { name: 'Pause' });
  if (await pause.isVisible()) {
    const box = await pause.boundingBox();
    const place = [box.x - canvas.x, box.y - canvas.y, box.width, box.height];
    PAUSE.forEach((v, i) =>
      assert.ok(Math.abs(place[i] - v * scale) <= 1 / ratio + 1e-6, `${name}: Pause at ${place}`),
    );
  }
  return { scale, canvas, frame, ratio };
}

// The canvas redrawn at the new scale: its bricks' edges crisp and in place. The game's
// worker redraws soon after the page has changed the canvas's size.
async function waitUntilCrisp(page, name, cdp = null) {
  const end = Date.now() + 10000;
  let faults = [];
  do {
    faults = brickEdgeFaults(await grab(page, cdp));
    if (faults.length === 0) return;
    await page.waitForTimeout(50);
  } while (Date.now() < end);
  assert.deepEqual(faults, [], `${name}: drawn at its scale`);
}

const isFull = (page) => page.evaluate(() => document.fullscreenElement?.id ?? null);

// Changes the view as a device would: its size in CSS pixels and its device pixel ratio
// (zooming changes both), through a DevTools session of the test's own. Pictures are
// then taken through it too (grab's `cdp`): Playwright, which still has the first view
// in mind, would put that one back to take a picture larger than it.
async function viewChanger(context, page) {
  const cdp = await context.newCDPSession(page);
  const view = (width, height, deviceScaleFactor) =>
    cdp.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor, mobile: false });
  return { view, cdp };
}

test('"Full screen" gives the game area the whole screen at the largest scale, and the button or Escape leave it', async () => {
  for (const [name, width, height, ratio] of [
    ['a laptop', 1280, 800, 1],
    ['a phone upright', 390, 844, 3],
  ]) {
    const { context, page, errors } = await openGame({ viewport: { width, height }, deviceScaleFactor: ratio });
    const before = await gameArea(page);
    const button = page.getByRole('button', { name: 'Full screen', exact: true });
    await button.click();
    await page.waitForFunction(() => document.fullscreenElement?.id === 'tilerush');
    await nextFrame(page);
    const { canvas, frame } = await checkScale(page, `${name}, full screen`, 0.99);
    assert.deepEqual(frame, { x: 0, y: 0, width, height }, `${name}: the frame is the screen`);
    assert.ok(
      Math.abs(canvas.x - (width - canvas.x - canvas.width)) <= 4 &&
        Math.abs(canvas.y - (height - canvas.y - canvas.height)) <= 4,
      `${name}: centred, ${JSON.stringify(canvas)}`,
    );
    await waitUntilCrisp(page, `${name}, full screen`);
    // The window's face colour round the game, and the way out in a corner of it.
    const screen = decodePng(await page.screenshot());
    const margin = canvas.x > canvas.y ? [Math.floor(canvas.x / 2), height / 2] : [width / 2, Math.floor(canvas.y / 2)];
    assert.equal(screen.at(...margin.map((v) => Math.floor(v * ratio))), 0xf0f0f0, `${name}: the margin's colour`);
    const leave = page.getByRole('button', { name: 'Leave full screen' });
    const way = await leave.boundingBox();
    const overlaps =
      way.x < canvas.x + canvas.width &&
      canvas.x < way.x + way.width &&
      way.y < canvas.y + canvas.height &&
      canvas.y < way.y + way.height;
    assert.ok(
      !overlaps && way.x + way.width <= width,
      `${name}: "Leave full screen" at ${JSON.stringify(way)} beside the game`,
    );
    await leave.click();
    await page.waitForFunction(() => document.fullscreenElement === null);
    // The canvas's backing store takes its new size once the game's worker has drawn a
    // frame at it, a little after the page resized the canvas.
    const end = Date.now() + 5000;
    let after = await gameArea(page);
    while (JSON.stringify(after) !== JSON.stringify(before) && Date.now() < end) {
      await nextFrame(page);
      after = await gameArea(page);
    }
    assert.deepEqual(after, before, `${name}: the page as it was`);
    assert.equal(
      await page.evaluate(() => document.activeElement.id),
      'tilerush',
      `${name}: the game has the keyboard`,
    );

    // In again by Alt+Enter, as in the window; Escape leaves, and the game heard it as a
    // key all the same.
    await page.keyboard.press('Alt+Enter');
    await page.waitForFunction(() => document.fullscreenElement?.id === 'tilerush');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.fullscreenElement === null);
    await waitUntilCrisp(page, `${name}, back from full screen`);
    assert.deepEqual(errors, [], name);
    await context.close();
  }
  // Where the browser has no Fullscreen API, no button.
  const { context, page } = await openGame({}, () => {
    Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => false });
  });
  assert.equal(await page.locator('#tilerush-full-screen').count(), 0);
  await context.close();
});

test('a rotation, a resize and a zoom are followed at once, and drawn crisp at the new scale', async () => {
  const { context, page, errors } = await openGame({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3 });
  await page.keyboard.press('KeyP');
  await page.getByRole('button', { name: 'Pause' }).waitFor({ state: 'visible' });
  const { view, cdp } = await viewChanger(context, page);
  // The view as a phone turned on its side, a desktop window, and that window zoomed to
  // 125% (which gives the page a ratio of 1.25 and a view of 1536 x 864 CSS pixels).
  const changes = [
    ['turned on its side', () => view(844, 390, 3)],
    ['a desktop window', () => view(1920, 1080, 1)],
    ['zoomed to 125%', () => view(1536, 864, 1.25)],
  ];
  let last = null;
  for (const [name, change] of changes) {
    await change();
    // The layout follows within the frame; the canvas's new pixels come from the worker.
    await nextFrame(page);
    const now = await checkScale(page, name, 0.8);
    assert.notDeepEqual(now, last, `${name}: the game area changed`);
    last = now;
    await waitUntilCrisp(page, name, cdp);
  }
  assert.equal(await page.evaluate(() => devicePixelRatio), 1.25);
  assert.deepEqual(errors, []);
  await context.close();
});

test(
  'a game played across a rotation, a resize, a zoom and full screen replays exactly in tilerush-sim',
  {
    skip: !process.env.TILERUSH_SIM && 'needs TILERUSH_SIM, the native tilerush-sim',
  },
  async () => {
    const { context, page, errors } = await openGame({
      viewport: { width: 390, height: 844 },
      deviceScaleFactor: 3,
      acceptDownloads: true,
    });
    const { view } = await viewChanger(context, page);
    const fullScreen = async (on) => {
      if (on) await page.getByRole('button', { name: 'Full screen', exact: true }).click();
      else await page.keyboard.press('Escape');
      await page.waitForFunction((want) => (document.fullscreenElement !== null) === want, on);
    };
    const stages = [
      () => view(844, 390, 3),
      () => fullScreen(true),
      () => fullScreen(false),
      () => view(1366, 768, 1),
      () => view(1093, 614, 1.25),
      () => fullScreen(true),
    ];
    await playFor(page, 3);
    for (const stage of stages) {
      // Changed while a key is held, too: the change must give the game nothing.
      await page.keyboard.down('ArrowLeft');
      await stage();
      await holdKey(page, 'ArrowLeft', 300);
      await page.keyboard.up('ArrowLeft');
      await playFor(page, 2);
    }
    assert.equal(await isFull(page), 'tilerush');
    await pauseGame(page);
    await fullScreen(false);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
    const replay = await readFile(await download.path(), 'utf8');
    const lines = replay.trimEnd().split('\n');
    const expected = lines.filter((l) => l.startsWith('expect '));
    assert.ok(expected.length >= 11, `${expected.length} expectations`);
    // The game was given the keys pressed and the buttons clicked, and nothing else.
    const given = new Set(
      lines.filter((l) => /^(key|click) /.test(l)).map((l) => l.replace(/^key (down|up) /, 'key ')),
    );
    for (const input of given) assert.match(input, /^(key (27|37|39|80)|click \w+)$/, 'only the keys pressed');

    const file = join(await mkdtemp(join(tmpdir(), 'tilerush-')), 'screens.tilerush');
    await writeFile(file, replay);
    const sim = spawnSync(process.env.TILERUSH_SIM, [file], { encoding: 'utf8' });
    assert.deepEqual([sim.status, sim.stderr], [0, ''], 'tilerush-sim holds every expectation');
    assert.deepEqual(errors, []);
    await context.close();
  },
);
