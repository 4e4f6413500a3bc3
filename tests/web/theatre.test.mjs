// The replay theatre and links in the page, as a visitor meets them: a game played,
// shared as a link, opened in a fresh browser, taken back and forth on its timeline
// and held against tilerush-sim at those instants; broken links; a race that replays.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { test } from 'node:test';
import { readFileSync } from 'node:fs';
import { deflateSync } from 'node:zlib';

import { address, openGame, playFor } from './browser.mjs';

// What tilerush-sim shows at game time `t` of `script`: its lines up to `t`, those at
// `t` included, then a dump of the counters.
function truthAt(script, t) {
  let cut = '';
  let now = 0;
  for (const line of script.split('\n')) {
    if (line.startsWith('advance ')) {
      if (now >= t) break;
      const ms = Number(line.slice(8));
      const taken = Math.min(ms, t - now);
      cut += `advance ${taken}\n`;
      now += taken;
      if (taken < ms) break;
      continue;
    }
    if (line.startsWith('expect ') && now < t) break;
    cut += `${line}\n`;
  }
  const sim = spawnSync(process.env.TILERUSH_SIM, ['-'], {
    input: `${cut}dump points lives bricksleft levelno showscore numbricks\n`,
    encoding: 'utf8',
  });
  assert.equal(sim.status, 0, sim.stderr);
  return sim.stdout;
}
const said = (page) => page.evaluate(() => document.getElementById('tilerush-readout').textContent);
const timeline = (page) =>
  page.evaluate(() => {
    const s = document.getElementById('tilerush-replay-time');
    return { at: Number(s.value), max: Number(s.max), text: s.getAttribute('aria-valuetext') };
  });
async function seek(page, at) {
  await page.evaluate((t) => {
    const s = document.getElementById('tilerush-replay-time');
    s.value = String(t);
    s.dispatchEvent(new Event('input'));
  }, at);
  await page.waitForFunction((t) => Number(document.getElementById('tilerush-replay-time').value) === t, at);
}

async function linkOfPlay(page) {
  await page.click('#tilerush-copy-link');
  await page.waitForFunction(() => document.getElementById('tilerush-link').value.includes('#r=1.'));
  return page.evaluate(() => document.getElementById('tilerush-link').value);
}

test('a game shared as a link is watched, seeked and raced', { timeout: 240000 }, async () => {
  const { context, page, errors } = await openGame({ permissions: ['clipboard-read', 'clipboard-write'] });
  await playFor(page, 6);
  await page.keyboard.press('KeyP');
  const link = await linkOfPlay(page);
  assert.ok(link.startsWith(address), link);
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), link);
  await context.close();

  // A fresh browser, opened on the link: the replay, checked, then watched.
  const watch = await openGame({}, null);
  const viewer = watch.page;
  await viewer.goto(link);
  await viewer.waitForSelector('#tilerush[data-state=watching]', { timeout: 20000 });
  await viewer.waitForSelector('#tilerush-timeline:not([hidden])');
  const { max } = await timeline(viewer);
  assert.ok(max > 4000, `the replay is ${max} ms long`);
  const script = await viewer.evaluate(async (hash) => {
    const { replayOfLink } = await import(new URL('links.js', document.querySelector('script[type=module]').src).href);
    return new TextDecoder().decode((await replayOfLink(hash)).bytes);
  }, new URL(link).hash);
  // The viewer's own keys: Space pauses, End goes to the end, Home to the start.
  await viewer.keyboard.press('Space');
  await viewer.waitForFunction(() => document.getElementById('tilerush-play').textContent === 'Play');
  const onStep = (t) => Math.floor(t / 25) * 25;
  for (const at of [onStep(max / 2), 1000, onStep(max - 25), 250]) {
    await seek(viewer, at);
    const { points, bricksleft } = JSON.parse(truthAt(script, at)).fields;
    const words = `Score ${points}, `;
    await viewer.waitForFunction((w) => document.getElementById('tilerush-readout').textContent.includes(w), words, {
      timeout: 10000,
    });
    const spoken = await said(viewer);
    assert.ok(spoken.includes(words) && spoken.includes(`${bricksleft} brick`), `at ${at}: ${spoken}`);
  }
  // Paused, . steps on 25 ms and , back; + plays faster, and the slider says so.
  await viewer.keyboard.press('Period');
  await viewer.waitForFunction(() => Number(document.getElementById('tilerush-replay-time').value) === 275);
  await viewer.keyboard.press('Comma');
  await viewer.waitForFunction(() => Number(document.getElementById('tilerush-replay-time').value) === 250);
  await viewer.keyboard.press('Equal');
  await viewer.waitForFunction(() => document.getElementById('tilerush-speed').value === '3');
  // The slider reaches the replay's very end, whatever its length, and the end says
  // the verdict (the End key goes there too, as the stage's tests show).
  await seek(viewer, max);
  // At the end, the time shown is the replay's length.
  await viewer.waitForFunction(() => {
    const [now, length] = document.getElementById('tilerush-replay-time').getAttribute('aria-valuetext').split(' of ');
    return now === length;
  });
  await viewer.waitForFunction(() =>
    /expectations held/.test(document.getElementById('tilerush-replay-status').textContent),
  );

  // Racing it: a new game of the viewer's own on the same first seed, which replays.
  await viewer.click('#tilerush-race');
  await viewer.waitForSelector('#tilerush[data-state=playing]');
  await playFor(viewer, 2);
  const [download] = await Promise.all([viewer.waitForEvent('download'), viewer.click('#tilerush-save')]);
  const raced = await (await import('node:fs/promises')).readFile(await download.path(), 'utf8');
  assert.equal(/^seed (\d+)$/m.exec(raced)?.[1], /^seed (\d+)$/m.exec(script)?.[1]);
  const sim = spawnSync(process.env.TILERUSH_SIM, ['-'], { input: raced, encoding: 'utf8' });
  assert.equal(sim.status, 0, sim.stderr);
  assert.deepEqual([...errors, ...watch.errors], []);
  await watch.context.close();
});

test(
  "lost balls, a cleared level and Game Over are marked where they fall, and seeks across them land on the runner's state",
  { timeout: 240000 },
  async () => {
    // Two levels ended by a ceiling strike on the last brick, each at its own instant.
    const strike = 'set bricksleft 1\nset ball.top 1600\nset yspeed 104\ndraws 0 0 0 0 0 0 0 0\nadvance 100\n';
    const levels = `seed 1\nopen\nadvance 500\n${strike}click nextlevel\nadvance 700\n${strike}click nextlevel\nadvance 600\n`;
    const gameOver = readFileSync(new URL('../golden/game_over.sim', import.meta.url), 'utf8');
    for (const [name, script, kinds] of [
      ['game_over', gameOver, ['lost-ball', 'lost-ball', 'lost-ball', 'game-over']],
      ['two levels', levels, ['level-cleared', 'level-cleared']],
    ]) {
      const { context, page, errors } = await openGame();
      await page.goto(`${address}#r=1.${deflateSync(Buffer.from(script)).toString('base64url')}`);
      await page.waitForSelector('#tilerush[data-state=watching]', { timeout: 20000 });
      await page.keyboard.press('Space');
      await page.waitForFunction(() => document.getElementById('tilerush-play').textContent === 'Play');
      const marks = await page.evaluate(() =>
        [...document.querySelectorAll('.tilerush-mark')].map((m) => ({
          kind: m.dataset.kind,
          at: Number(m.dataset.at),
        })),
      );
      assert.deepEqual(
        marks.map((m) => m.kind),
        kinds,
        name,
      );
      // The golden scripts dump as they go: the runner's state at t is the last dump.
      const stateAt = (t) => JSON.parse(truthAt(script, t).trim().split('\n').at(-1));
      // Back and forth across them, by the slider and by Page Up and Page Down; the
      // live region says what the runner holds there.
      const heard = async (t) => {
        // What the window shows, as its readouts say it: the score and bricks as their
        // captions read (a `set` of the record alone changes neither), and the level.
        const { fields, elements } = stateAt(t);
        const points = Number(elements.showscore.caption);
        const bricks = Number(elements.numbricks.caption);
        const words = `Score ${points}, best score`;
        const tail = `${bricks} ${bricks === 1 ? 'brick' : 'bricks'} left, level ${fields.levelno}.`;
        await page
          .waitForFunction(
            ([w, r]) => {
              const text = document.getElementById('tilerush-readout').textContent;
              return text.includes(w) && text.includes(r);
            },
            [words, tail],
            { timeout: 10000 },
          )
          .catch(async () => {
            assert.fail(`${name} at ${t}: heard "${await said(page)}", the runner holds ${words} ${tail}`);
          });
      };
      const last = marks.at(-1).at;
      for (const at of [last + 25, marks[0].at - 25, last, 0, marks[1].at, marks[0].at + 25]) {
        await seek(page, at);
        await heard(at);
      }
      const timeIs = (t) =>
        page.waitForFunction((at) => Number(document.getElementById('tilerush-replay-time').value) === at, t);
      await seek(page, marks[0].at);
      await page.keyboard.press('PageDown');
      await timeIs(marks[1].at);
      await heard(marks[1].at);
      await page.keyboard.press('PageUp');
      await timeIs(marks[0].at);
      await heard(marks[0].at);
      assert.deepEqual(errors, []);
      await context.close();
    }
  },
);

test('a broken link gets one sentence, and the visitor plays on', { timeout: 120000 }, async () => {
  const { context, page } = await openGame();
  for (const [hash, words] of [
    ['#r=1.eJzL', /cut short or damaged/],
    ['#r=1.!!<script>', /characters no replay link has/],
    ['#r=9.abc', /newer kind/],
    // 17 MiB of one letter deflates to a few kilobytes: refused while it inflates.
    [`#r=1.${deflateSync(Buffer.alloc(17 << 20, 97)).toString('base64url')}`, /more than the 16 MiB/],
  ]) {
    await page.goto(`${address}${hash}`);
    await page.waitForFunction(
      (w) => new RegExp(w).test(document.getElementById('tilerush-replay-status').textContent),
      words.source,
    );
    await page.waitForSelector('#tilerush[data-state=playing]');
    assert.ok(await page.getByRole('button', { name: 'Pause' }).isHidden());
  }
  await context.close();
});
