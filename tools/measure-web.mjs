// Measures the browser page in Debian's Chromium, headless, side by side with a blank
// page in the same browser: what it loads before its first frame, how soon that frame
// comes on a first visit and on the next (served by the service worker), and how busy
// the main thread is in play and paused; and how soon the first frame comes, on both
// visits, in Firefox ESR and WebKitGTK.
//   node tools/measure-web.mjs [--viewport=WxH] [--steer=keys|mouse] [--engines=chromium,firefox,webkit]
//                              [RUNS] [WEB_BUILD ...]
// (defaults: an 800 x 700 view, the arrow keys, Chromium alone, 5 runs of build-web). Given several
// builds, each run measures each of them in turn, so that the load of the machine weighs on all alike.
// Main-thread busy is Chrome DevTools Protocol Performance.getMetrics TaskDuration over
// wall time, 10 s each; every figure printed is the median of the runs. Beside it, the
// processor time of the whole browser (every process it started, the game's worker,
// the compositor and the rest), as a share of one core, from /proc.
// A first visit is a fresh browser context in Chromium, a fresh profile in Firefox and
// a fresh WebDriver session in WebKitGTK: nothing cached, no service worker.
import { readFileSync, readdirSync } from 'node:fs';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { launchChromium } from './chromium.mjs';
import { serve } from './serve.mjs';

const options = process.argv.slice(2).filter((a) => a.startsWith('--'));
const [runsArgument, ...folderArguments] = process.argv.slice(2).filter((a) => !a.startsWith('--'));
const runs = Number(runsArgument || 5);
const folders = folderArguments.length ? folderArguments : ['build-web/site'];
const viewportOption = options.find((o) => o.startsWith('--viewport='));
const [viewWidth, viewHeight] = (viewportOption ? viewportOption.split('=')[1] : '800x700').split('x').map(Number);
const steerOption = options.find((o) => o.startsWith('--steer='));
const steer = steerOption ? steerOption.split('=')[1] : 'keys';
const enginesOption = options.find((o) => o.startsWith('--engines='));
const engines = (enginesOption ? enginesOption.split('=')[1] : 'chromium').split(',');
const known = (o) => o.startsWith('--viewport=') || o.startsWith('--steer=') || o.startsWith('--engines=');
if (
  !(viewWidth > 0 && viewHeight > 0) ||
  !['keys', 'mouse'].includes(steer) ||
  !options.every(known) ||
  !engines.every((e) => ['chromium', 'firefox', 'webkit'].includes(e))
) {
  console.error(
    'usage: node tools/measure-web.mjs [--viewport=WxH] [--steer=keys|mouse] [--engines=chromium,firefox,webkit] ' +
      '[RUNS] [WEB_BUILD ...]',
  );
  process.exit(2);
}
const SECONDS = 10;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function taskDuration(cdp) {
  const { metrics } = await cdp.send('Performance.getMetrics');
  return metrics.find((m) => m.name === 'TaskDuration').value;
}

// Processor seconds used so far by every process this script started: the browser's.
function browserSeconds() {
  const parents = new Map();
  const used = new Map();
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      // The command name may hold blanks; the fields after it do not.
      const fields = readFileSync(`/proc/${name}/stat`, 'utf8').split(') ').pop().split(' ');
      parents.set(Number(name), Number(fields[1]));
      used.set(Number(name), (Number(fields[11]) + Number(fields[12])) / 100);
    } catch {
      // Gone meanwhile.
    }
  }
  let total = 0;
  for (const [pid, seconds] of used) {
    let p = parents.get(pid);
    while (p && p !== process.pid) p = parents.get(p);
    if (p === process.pid) total += seconds;
  }
  return total;
}

// Shares of wall time the page's main thread, and the browser as a whole, were busy
// while `act` ran.
async function busy(cdp, act) {
  const before = await taskDuration(cdp);
  const cpuBefore = browserSeconds();
  const start = process.hrtime.bigint();
  await act();
  const wall = Number(process.hrtime.bigint() - start) / 1e9;
  return { main: ((await taskDuration(cdp)) - before) / wall, browser: (browserSeconds() - cpuBefore) / wall };
}

// The arrow keys held in turn, 0.7 s each, repeating as a held key does.
async function playWithKeys(page, seconds) {
  const end = Date.now() + seconds * 1000;
  let key = 'ArrowRight';
  while (Date.now() < end) {
    const turnEnd = Math.min(end, Date.now() + 700);
    while (Date.now() < turnEnd) {
      await page.keyboard.down(key);
      await page.waitForTimeout(33);
    }
    await page.keyboard.up(key);
    key = key === 'ArrowRight' ? 'ArrowLeft' : 'ArrowRight';
  }
}

// The mouse swept to and fro across the middle half of the view, over the board, one
// move a frame, as a player steering with it does at the most.
async function playWithTheMouse(page, seconds) {
  const end = Date.now() + seconds * 1000;
  let [x, dx] = [0.25, 0.02];
  while (Date.now() < end) {
    await page.mouse.move(viewWidth * x, viewHeight * 0.55);
    if (x + dx > 0.75 || x + dx < 0.25) dx = -dx;
    x += dx;
    await page.waitForTimeout(16);
  }
}
const play = steer === 'mouse' ? playWithTheMouse : playWithKeys;

async function measureGame(browser, address) {
  const context = await browser.newContext({ viewport: { width: viewWidth, height: viewHeight } });
  const page = await context.newPage();
  // Each response as it ended, on the clock the page's marks are on (milliseconds since 1970).
  const loaded = [];
  const finished = async (request) => {
    const body = await (await request.response())?.body().catch(() => null);
    const { startTime, responseEnd } = request.timing();
    loaded.push({ url: request.url(), bytes: body?.length ?? 0, at: startTime + responseEnd });
  };
  page.on('requestfinished', finished);
  await page.goto(address);
  await page.waitForFunction(() => performance.getEntriesByName('tilerush-first-frame').length > 0);
  const [firstFrame, firstAt] = await page.evaluate(() => {
    const at = performance.getEntriesByName('tilerush-first-frame')[0].startTime;
    return [at, performance.timeOrigin + at];
  });
  await page.waitForTimeout(200);
  page.off('requestfinished', finished);
  const before = loaded.filter((r) => r.at <= firstAt);
  const total = before.reduce((sum, r) => sum + r.bytes, 0);
  const wasm = before.filter((r) => r.url.endsWith('.wasm')).reduce((sum, r) => sum + r.bytes, 0);
  // The second visit, served by the service worker from its cache.
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  await page.reload();
  await page.waitForFunction(() => performance.getEntriesByName('tilerush-first-frame').length > 0);
  const secondFrame = await page.evaluate(() => performance.getEntriesByName('tilerush-first-frame')[0].startTime);

  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable', { timeDomain: 'threadTicks' });
  // Counts the pixels of every area the game repaints, from outside the game: in its
  // worker, or on the page where there is none.
  const painting = page.workers()[0] || page;
  // The painter is a module's class now, reached through the worker's own import.
  await painting.evaluate(async () => {
    const { TilerushPainter } = await import(new URL('painter.js', self.location.href.replace(/[^/]*$/, '')).href);
    const begin = TilerushPainter.prototype.beginArea;
    self.repainted = 0;
    TilerushPainter.prototype.beginArea = function (x, y, width, height) {
      self.repainted += width * height;
      return begin.call(this, x, y, width, height);
    };
  });
  const inPlay = await busy(cdp, () => play(page, SECONDS));
  // The share of the game area repainted per 25 ms beat.
  const repainted = (await painting.evaluate(() => self.repainted)) / (568 * 489) / (SECONDS * 40);
  await page.keyboard.press('KeyP');
  const paused = await busy(cdp, () => page.waitForTimeout(SECONDS * 1000));
  await context.close();
  return { total, wasm, firstFrame, secondFrame, inPlay, paused, repainted, files: before.length };
}

// What the browser itself costs for a page that changes a few canvas pixels as often
// as the paused game's title animation does (20 times a second): the floor under
// any page that animates at that rate.
const FLOOR_PAGE = `data:text/html,<canvas width=568 height=489></canvas><script>
const c = document.querySelector('canvas').getContext('2d'); let i = 0;
(function tick() { c.fillStyle = i++ %25 2 ? '%23f00' : '%230f0'; c.fillRect(100, 100, 8, 8); setTimeout(tick, 50); })();
</script>`;

async function measureBlank(browser) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto('about:blank');
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable', { timeDomain: 'threadTicks' });
  const idle = await busy(cdp, () => page.waitForTimeout(SECONDS * 1000));
  const keys = await busy(cdp, () => play(page, SECONDS));
  await page.goto(FLOOR_PAGE);
  const floor = await busy(cdp, () => page.waitForTimeout(SECONDS * 1000));
  await context.close();
  return { idle, keys, floor };
}

// How soon the first frame comes in Firefox or WebKitGTK, on a first visit and on the
// next, served by the service worker: the page's `tilerush-first-frame` mark, from
// navigation, in a browser (Firefox) or a session (WebKitGTK) of its own each time.
const firstFrameMark = () => performance.getEntriesByName('tilerush-first-frame')[0]?.startTime ?? null;
async function measureFirstFrames(open, address) {
  const session = await open();
  try {
    const frame = async () => {
      for (const end = Date.now() + 30000; Date.now() < end;) {
        const at = await session.evaluate(firstFrameMark).catch(() => null);
        if (at !== null) return at;
        await new Promise((done) => setTimeout(done, 20));
      }
      throw new Error(`${session.name}: no first frame within 30 s`);
    };
    await session.goto(address);
    const firstFrame = await frame();
    for (const end = Date.now() + 30000; !(await session.evaluate(() => !!navigator.serviceWorker.controller));) {
      if (Date.now() > end) throw new Error(`${session.name}: the service worker never took the page`);
      await new Promise((done) => setTimeout(done, 50));
    }
    await session.reload();
    return { firstFrame, secondFrame: await frame() };
  } finally {
    await session.close();
  }
}

const spread = (values) =>
  `${median(values).toFixed(1)} ms (${Math.min(...values).toFixed(1)} to ${Math.max(...values).toFixed(1)})`;
const servers = await Promise.all(folders.map((folder) => serve(folder, 0)));
const addresses = servers.map((server) => `http://127.0.0.1:${server.address().port}/`);

if (engines.includes('chromium')) await measureChromium();
for (const engine of engines.filter((e) => e !== 'chromium')) {
  const drivers = await import('../tests/web/engine_drivers.mjs');
  const x = engine === 'webkit' ? await drivers.startXvfb() : null;
  const frames = folders.map(() => []);
  let name = engine;
  for (let i = 0; i < runs; ++i) {
    for (const [n, address] of addresses.entries()) {
      const profile = await mkdtemp(join(tmpdir(), 'tilerush-measure-'));
      const open = () =>
        engine === 'firefox'
          ? drivers.firefox({ profile, width: viewWidth, height: viewHeight })
          : drivers.webkit({ display: x.display, width: viewWidth, height: viewHeight });
      try {
        frames[n].push(
          await measureFirstFrames(async () => {
            const session = await open();
            name = `${session.name} ${session.version}`;
            return session;
          }, address),
        );
      } finally {
        await rm(profile, { recursive: true, force: true });
      }
      const f = frames[n].at(-1);
      console.log(
        `run ${i + 1}, ${name}, ${folders[n]}: first frame ${f.firstFrame.toFixed(1)} ms ` +
          `(second visit ${f.secondFrame.toFixed(1)} ms)`,
      );
    }
  }
  x?.stop();
  for (const [n, list] of frames.entries()) {
    console.log(`\n${name}, ${folders[n]}, medians of ${runs} runs:`);
    console.log(`  first frame: ${spread(list.map((f) => f.firstFrame))} after navigation, a first visit`);
    console.log(`  ${spread(list.map((f) => f.secondFrame))} on the second visit, served by the service worker`);
  }
}
for (const server of servers) server.close();

async function measureChromium() {
  const browser = await launchChromium();
  const games = folders.map(() => []);
  const blank = [];
  const both = (r) => `${(100 * r.main).toFixed(2)}% (browser ${(100 * r.browser).toFixed(1)}%)`;
  console.log(`a ${viewWidth} x ${viewHeight} view, played with the ${steer === 'mouse' ? 'mouse' : 'arrow keys'}`);
  for (let i = 0; i < runs; ++i) {
    for (const [n, address] of addresses.entries()) {
      games[n].push(await measureGame(browser, address));
      const g = games[n].at(-1);
      console.log(
        `run ${i + 1}, ${folders[n]}: ${g.files} files, ${g.total} B (${g.wasm} B WebAssembly), ` +
          `first frame ${g.firstFrame.toFixed(1)} ms (second visit ${g.secondFrame.toFixed(1)} ms), busy ${both(g.inPlay)} in play, ${both(g.paused)} paused, ` +
          `${(100 * g.repainted).toFixed(2)}% of the area repainted a beat`,
      );
    }
    blank.push(await measureBlank(browser));
    const b = blank.at(-1);
    console.log(
      `run ${i + 1}: blank page ${both(b.keys)} given the same input, ${both(b.idle)} idle, ` +
        `${both(b.floor)} changing a canvas 20 times a second`,
    );
  }
  await browser.close();

  const pick = (list, key, part) => median(list.map((r) => (part ? r[key][part] : r[key])));
  const share = (list, key, part) => `${(100 * pick(list, key, part)).toFixed(part === 'browser' ? 1 : 2)}%`;
  for (const [n, game] of games.entries()) {
    console.log(`\n${folders[n]}, medians of ${runs} runs (${SECONDS} s each):`);
    console.log(
      `  loaded before the first frame: ${pick(game, 'total')} B, of which WebAssembly ${pick(game, 'wasm')} B`,
    );
    console.log(
      `  first frame: ${spread(game.map((g) => g.firstFrame))} after navigation; ` +
        `${spread(game.map((g) => g.secondFrame))} on the second visit, served by the service worker`,
    );
    console.log(`  repainted in play: ${(100 * pick(game, 'repainted')).toFixed(2)}% of the game area a 25 ms beat`);
    for (const part of ['main', 'browser']) {
      console.log(part === 'main' ? '  main thread busy:' : '  the whole browser, share of one core:');
      console.log(`    in play ${share(game, 'inPlay', part)}`);
      console.log(`    paused ${share(game, 'paused', part)}`);
    }
  }
  console.log(`\nthe blank page, medians of ${runs} runs:`);
  for (const part of ['main', 'browser']) {
    console.log(
      `  ${part === 'main' ? 'main thread busy' : 'the whole browser'}: ${share(blank, 'keys', part)} given the same input, ` +
        `${share(blank, 'idle', part)} idle, ${share(blank, 'floor', part)} changing a canvas 20 times a second`,
    );
  }
}
