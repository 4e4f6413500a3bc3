// The page as an app, in Debian's Chromium: kept for playing offline after one visit,
// a new version taken whole or not at all, its policy never broken, every way of
// failing to start said in words, and what a screen reader hears.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/sim/tilerush-sim node --test tests/web/app.test.mjs
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { cp, mkdtemp, readFile, readdir, rename, rm, writeFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { serve } from '../../tools/serve.mjs';
import { address, browser, loseTheGame, openGame, pauseGame, playFor } from './browser.mjs';

const site = join(process.env.TILERUSH_WEB_BUILD || 'build-web', 'site');
const playing = (page) => page.waitForSelector('#tilerush[data-state=playing]', { timeout: 15000 });
const versionOf = (page) =>
  page.evaluate(() => /\/v\/([0-9a-f]+)\//.exec(document.querySelector('script[type=module]').src)[1]);

// What says whose fault a wait that timed out is: the page's state, what has the
// keyboard, and what the page has told the player.
const howThePageStands = (page) =>
  page.evaluate(() => ({
    state: document.getElementById('tilerush').dataset.state,
    focus: document.activeElement?.id || document.activeElement?.tagName,
    focused: document.hasFocus(),
    hidden: document.hidden,
    message: document.getElementById('tilerush-message').textContent,
    note: document.getElementById('tilerush-note').textContent,
  }));

// A copy of the site made a new version: its versioned folder and every mention of it
// renamed, as a build with any file changed would make it.
async function newVersion(folder, old, version) {
  await rename(join(folder, 'v', old), join(folder, 'v', version));
  for (const file of ['index.html', 'service-worker.js']) {
    const text = await readFile(join(folder, file), 'utf8');
    await writeFile(join(folder, file), text.replaceAll(old, version));
  }
}

// The browser looks for a new version of its own accord after a load, but when is its
// own affair: a busy machine may have it look long after the next step of the test. So
// the test asks for the look itself and waits until a version it found has been taken
// or refused.
function updateTried(page) {
  return page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    await registration.update().catch(() => {});
    const worker = registration.installing;
    if (!worker) return;
    await new Promise((done) => {
      const settled = () => ['installed', 'activating', 'activated', 'redundant'].includes(worker.state);
      if (settled()) return done();
      worker.addEventListener('statechange', () => settled() && done());
    });
  });
}

test('after one visit the page plays offline, and a new version is taken whole or not at all', async () => {
  const folder = await mkdtemp(join(tmpdir(), 'tilerush-site-'));
  await cp(site, folder, { recursive: true });
  const server = await serve(folder, 0);
  const context = await browser.newContext({ viewport: { width: 800, height: 700 } });
  try {
    const page = await context.newPage();
    const url = `http://127.0.0.1:${server.address().port}/`;
    await page.goto(url);
    await playing(page);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    const first = await versionOf(page);

    await context.setOffline(true);
    await page.reload();
    await playing(page);
    await page.keyboard.press('KeyP');
    await page
      .getByRole('button', { name: 'Pause' })
      .waitFor()
      .catch(async (error) => {
        throw new Error(`${error.message}\n${JSON.stringify(await howThePageStands(page))}`);
      });
    await context.setOffline(false);

    // A new version with a file missing is not taken: the old one goes on serving.
    const second = 'feedfacefeedface';
    await newVersion(folder, first, second);
    const wasm = join(folder, 'v', second, 'tilerush.wasm');
    await rename(wasm, `${wasm}.away`);
    await page.reload();
    await playing(page);
    await updateTried(page);
    await page.reload();
    await playing(page);
    assert.equal(await versionOf(page), first, 'the old version still serves');
    assert.equal(await page.locator('#tilerush-note').textContent(), '');

    // Whole, it is taken, said in one line, and served from the next load on.
    await rename(`${wasm}.away`, wasm);
    await page.reload();
    await playing(page);
    await updateTried(page);
    await page
      .locator('#tilerush-note', { hasText: 'A new version of Tilerush is ready' })
      .waitFor({ timeout: 60000 })
      .catch(async (error) => {
        // What the worker and the page stood at says whose fault a missing note is.
        const state = await page.evaluate(async () => {
          const r = await navigator.serviceWorker.getRegistration();
          const url = (w) => w && `${w.state} ${w.scriptURL}`;
          return {
            controller: url(navigator.serviceWorker.controller),
            active: url(r?.active),
            waiting: url(r?.waiting),
            installing: url(r?.installing),
            caches: await caches.keys(),
          };
        });
        throw new Error(`${error.message}\n${JSON.stringify(state)}`);
      });
    assert.equal(await versionOf(page), first, 'the page open keeps its version');
    await page.reload();
    await playing(page);
    assert.equal(await versionOf(page), second);
    const kept = await page.evaluate(async (v) => (await (await caches.open(`tilerush-${v}`)).keys()).length, second);
    const files = (await readdir(join(folder, 'v', second), { recursive: true, withFileTypes: true })).filter((f) =>
      f.isFile(),
    );
    // Every versioned file, the page and the manifest with its icons.
    assert.equal(kept, files.length + 1 + 1 + 5);
    await context.setOffline(true);
    await page.reload();
    await playing(page);
    assert.equal(await versionOf(page), second);
  } finally {
    await context.close();
    server.close();
    await rm(folder, { recursive: true, force: true });
  }
});

test('a game with sound and a replay watched breaks the policy nowhere: the page, its workers, the service worker', async () => {
  const violations = [];
  const watchConsole = (where) => (m) => {
    if (/Content.Security.Policy|Refused to/i.test(m.text())) violations.push(`${where}: ${m.text()}`);
  };
  const { context, page, errors } = await openGame({ acceptDownloads: true }, () => {
    window.tilerushViolations = [];
    document.addEventListener('securitypolicyviolation', (e) =>
      window.tilerushViolations.push(`${e.violatedDirective} ${e.blockedURI}`),
    );
  });
  page.on('console', watchConsole('page'));
  const workers = page.workers().map((w) => w.url());
  page.on('worker', (w) => {
    workers.push(w.url());
    w.on('console', watchConsole(w.url()));
  });
  context.on('serviceworker', (w) => w.on('console', watchConsole('service worker')));
  // The first key press starts the sound, and with it the cue maker.
  await playFor(page, 6);
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
  await pauseGame(page);
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#tilerush-watch')]);
  await chooser.setFiles(await download.path());
  await page.waitForSelector('#tilerush[data-state=watching]', { timeout: 20000 });
  await page.waitForTimeout(1000);
  violations.push(...(await page.evaluate(() => window.tilerushViolations)));
  assert.ok(
    workers.some((w) => w.endsWith('/game.js')) && workers.some((w) => w.endsWith('/cue-maker.js')),
    `the game and the cue maker ran as workers: ${workers}`,
  );
  const policy = await page.evaluate(() => document.querySelector('meta[http-equiv=Content-Security-Policy]').content);
  assert.match(policy, /script-src 'self' 'wasm-unsafe-eval'/);
  assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'/);
  assert.deepEqual([violations, errors], [[], []]);
  await context.close();
});

test("a first visit asks once for each file of its first frame, every one from the page's head", async () => {
  const context = await browser.newContext({ viewport: { width: 800, height: 700 }, serviceWorkers: 'block' });
  const page = await context.newPage();
  const said = [];
  page.on('console', (m) => said.push(m.text()));
  await page.goto(address);
  await playing(page);
  // Chromium says so a few seconds after the load when a preload went unused.
  await page.waitForTimeout(3500);
  const asked = (where) =>
    where.evaluate(() =>
      performance.getEntriesByType('resource').map((r) => ({
        file: new URL(r.name).pathname.replace(/^.*\/v\/[0-9a-f]+\//, ''),
        by: r.initiatorType,
        start: r.startTime,
        end: r.responseEnd,
      })),
    );
  const inPage = await asked(page);
  const game = page.workers().find((w) => w.url().endsWith('/game.js'));
  const inGame = await asked(game);
  const version = await versionOf(page);
  const faces = (await readdir(join(site, 'v', version, 'fonts'))).filter((f) => f.endsWith('.woff'));
  for (const file of ['tilerush.wasm', ...faces.map((f) => `fonts/${f}`)]) {
    const times = [...inPage, ...inGame].filter((r) => r.file === file).length;
    assert.equal(times, 1, `${file} asked for ${times} times`);
  }
  // A module asked for only once the one importing it has come would start after it.
  const modules = inPage.filter((r) => r.by === 'script' && r.file.endsWith('.js'));
  assert.ok(modules.length > 10, `the page's modules: ${modules.map((m) => m.file)}`);
  const firstIn = Math.min(...modules.map((m) => m.end));
  assert.deepEqual(
    modules.filter((m) => m.start > firstIn).map((m) => m.file),
    [],
    'modules asked for only after another had come',
  );
  assert.deepEqual(
    said.filter((t) => /preload/i.test(t)),
    [],
  );
  await context.close();
});

// Each way of failing to start, made by what the browser is given, and the sentence
// the page must then show and have read out as an alert.
const FAILURES = [
  [
    'game.js missing',
    'missing',
    (page) => page.route('**/v/*/game.js', (r) => r.fulfill({ status: 404, body: 'not found' })),
  ],
  [
    'game.js served as text',
    'missing',
    (page) =>
      page.route('**/v/*/game.js', async (r) =>
        r.fulfill({ response: await r.fetch(), headers: { 'content-type': 'text/plain' } }),
      ),
  ],
  [
    'tilerush.js missing',
    'missing',
    (page) => page.route('**/v/*/tilerush.js', (r) => r.fulfill({ status: 404, body: '' })),
  ],
  [
    'tilerush.wasm missing',
    'missing',
    (page) => page.route('**/v/*/tilerush.wasm', (r) => r.fulfill({ status: 404, body: 'gone' })),
  ],
  [
    'tilerush.wasm garbage',
    'wasm',
    (page) =>
      page.route('**/v/*/tilerush.wasm', (r) =>
        r.fulfill({ status: 200, contentType: 'application/wasm', body: Buffer.from('this is no WebAssembly at all') }),
      ),
  ],
  [
    'no worker starts',
    'worker',
    (page) =>
      page.addInitScript(() => {
        window.Worker = function Worker() {
          throw new DOMException('refused', 'SecurityError');
        };
      }),
  ],
  [
    'no WebAssembly',
    'no-wasm',
    (page) =>
      page.addInitScript(() => {
        delete window.WebAssembly;
      }),
  ],
];

test('every way of failing to start ends in one sentence in the game area, read as an alert, the detail in the console', async () => {
  for (const [name, kind, arrange] of FAILURES) {
    // Routes reach the page's own requests only with no service worker between.
    const context = await browser.newContext({ viewport: { width: 800, height: 700 }, serviceWorkers: 'block' });
    const page = await context.newPage();
    const logged = [];
    page.on('console', (m) => {
      if (m.type() === 'error') logged.push(m.text());
    });
    await arrange(page);
    await page.goto(address);
    await page.waitForSelector('#tilerush[data-state=failed]', { timeout: 15000 });
    const alert = page.getByRole('alert');
    // The words for `kind`, from the page's own module (node 18 reads web/*.js as CommonJS).
    const sentence = await page.evaluate(
      async (k) =>
        (
          await import(document.querySelector('script[type=module]').src.replace(/page\.js$/, 'start.js'))
        ).failureSentence(k),
      kind,
    );
    assert.match(sentence, /^Tilerush [^.]+\.$/, `${name}: one sentence`);
    assert.equal(await alert.textContent(), sentence, name);
    assert.ok(await alert.isVisible(), `${name}: shown`);
    assert.ok(
      logged.some((t) => t.startsWith('Tilerush: ')),
      `${name}: the detail in the console: ${logged}`,
    );
    await context.close();
  }
  // Storage refused stops nothing: the game plays, and a line says what is not kept.
  const { context, page } = await openGame({ serviceWorkers: 'block' }, () => {
    window.tilerushWarned = [];
    const warn = console.warn;
    console.warn = (...said) => {
      window.tilerushWarned.push(said.join(' '));
      warn(...said);
    };
    for (const name of ['localStorage', 'indexedDB']) {
      Object.defineProperty(window, name, {
        get() {
          throw new DOMException(`${name} refused`, 'SecurityError');
        },
      });
    }
  });
  assert.match(await page.locator('#tilerush-note').textContent(), /keeps nothing for Tilerush: your best games/);
  // Both refusals reach the one sentence's path, which says it once.
  await page.waitForFunction(() => window.tilerushWarned.some((w) => w.includes('indexedDB refused')));
  assert.ok((await page.evaluate(() => window.tilerushWarned)).some((w) => w.includes('localStorage refused')));
  await context.close();
});

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
async function axeViolations(page) {
  // Evaluated, not added as a script: the page's policy rightly refuses inline ones.
  await page.evaluate(axeSource);
  const found = await page.evaluate(async () => (await window.axe.run(document)).violations);
  return found.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

test('the live region follows a game, at most once a second, and axe-core finds nothing loaded, in play, paused or after Game Over', async () => {
  const { context, page, errors } = await openGame({}, () => {
    window.tilerushSaid = [];
    new MutationObserver(() => {
      const region = document.getElementById('tilerush-readout');
      if (region) window.tilerushSaid.push([performance.now(), region.textContent]);
    }).observe(document, { subtree: true, childList: true, characterData: true });
  });
  const region = page.locator('#tilerush-readout');
  assert.equal(await region.getAttribute('aria-live'), 'polite');
  await page.waitForFunction(
    () =>
      document.getElementById('tilerush-readout').textContent ===
      'Score 0, best score 0, 3 lives, 120 bricks left, level 1.',
  );
  assert.deepEqual(await axeViolations(page), [], 'loaded');
  await playFor(page, 12);
  assert.deepEqual(await axeViolations(page), [], 'in play');
  await pauseGame(page);
  const paused = /^Paused\. Score \d+, best score \d+, \d (?:life|lives), \d+ bricks? left, level \d+\.$/;
  await page
    .waitForFunction(
      (source) => new RegExp(source).test(document.getElementById('tilerush-readout').textContent),
      paused.source,
      { timeout: 5000 },
    )
    .catch(async () => assert.fail(`said: ${await region.textContent()}`));
  assert.deepEqual(await axeViolations(page), [], 'paused');
  await page.getByRole('button', { name: 'Pause' }).click();
  await loseTheGame(page);
  await page.waitForFunction(
    () => document.getElementById('tilerush-readout').textContent.startsWith('Game Over. Score '),
    null,
    { timeout: 5000 },
  );
  assert.deepEqual(await axeViolations(page), [], 'after Game Over');
  const said = (await page.evaluate(() => window.tilerushSaid)).filter(([, text]) => text);
  const distinct = said.filter(([, text], i) => i === 0 || text !== said[i - 1][1]);
  assert.ok(distinct.length >= 3, `said ${distinct.length} times`);
  for (let i = 1; i < distinct.length; ++i) {
    assert.ok(
      distinct[i][0] - distinct[i - 1][0] >= 950,
      `said twice within ${distinct[i][0] - distinct[i - 1][0]} ms`,
    );
  }
  assert.ok(
    said.some(([, text]) => !/Score 0,/.test(text)),
    'the score changed and was said',
  );
  assert.equal(await page.getByRole('heading', { level: 1 }).textContent(), 'Tilerush!');
  assert.deepEqual(errors, []);
  await context.close();
});

test('the sound turned on while the game is still loading is heard once it starts', async () => {
  // The WebAssembly held back until the cues are made, so that the page has told the
  // game to play them before the game could hear it.
  const context = await browser.newContext({ viewport: { width: 800, height: 700 }, serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.addInitScript(() => {
    if (!sessionStorage.getItem('set')) localStorage.setItem('tilerush.sound', 'off');
    sessionStorage.setItem('set', '1');
    window.tilerushCuesPlayed = 0;
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...when) {
      window.tilerushCuesPlayed += 1;
      return start.apply(this, when);
    };
  });
  let release;
  const held = new Promise((done) => {
    release = done;
  });
  await page.route('**/v/*/tilerush.wasm', async (route) => {
    await held;
    await route.continue();
  });
  const cuesMade = new Promise((done) =>
    page.on('worker', (w) => {
      if (w.url().endsWith('/cue-maker.js')) w.on('close', done);
    }),
  );
  await page.goto(address);
  await page.locator('#tilerush-sound').check();
  await cuesMade;
  assert.equal(await page.evaluate(() => document.getElementById('tilerush').dataset.state), 'loading');
  release();
  await playing(page);
  await playFor(page, 4);
  assert.ok((await page.evaluate(() => window.tilerushCuesPlayed)) > 0, 'cues were played');
  await context.close();
});
