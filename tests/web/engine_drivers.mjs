// The page in the engines beside Chromium, behind one small driver: Firefox ESR through
// WebDriver BiDi (puppeteer-core) and WebKitGTK's MiniBrowser through WebKitWebDriver
// (selenium-webdriver), each on a private X display or headless, a private sound server
// and the served site. The Chromium tests use Playwright's richer page (browser.mjs);
// these drive only what both engines' drivers can: keys, the mouse, clicks, scripts in
// the page and pictures of the view.
import { spawn } from 'node:child_process';
import { existsSync, readFileSync, statSync } from 'node:fs';
import { mkdir, mkdtemp, rm } from 'node:fs/promises';
import { createServer, request } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { POLICY, serve } from '../../tools/serve.mjs';
import { decodePng } from './png.mjs';

export const ORANGE = 0xff8000;
export const PADDLE_ROW = 456;
export const site = join(
  process.env.TILERUSH_WEB_BUILD || new URL('../../build-web', import.meta.url).pathname,
  'site',
);
export const FIREFOX = process.env.FIREFOX || '/usr/bin/firefox-esr';
export const WEBKIT_DRIVER = process.env.WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';
// The driver knows its own MiniBrowser; another may be named.
export const MINIBROWSER = process.env.MINIBROWSER;

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

async function until(what, ms, why) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await what();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out after ${ms} ms: ${why}`);
    await sleep(50);
  }
}

// The site as tools/serve.mjs serves it, behind a front that adds a `report-uri` to
// the policy header and keeps the reports: a violation in the page, its workers or the
// service worker reaches it from any engine, even where the driver sees no console.
// `stop()` closes both, so the next visit finds nothing listening on the port.
export async function serveSite(port = 0) {
  const back = await serve(site, 0);
  const reports = [];
  const front = createServer((req, res) => {
    if (req.method === 'POST' && req.url === '/csp-report') {
      let body = '';
      req.on('data', (d) => (body += d));
      req.on('end', () => {
        reports.push(body);
        res.writeHead(204).end();
      });
      return;
    }
    const upstream = request(
      { host: '127.0.0.1', port: back.address().port, path: req.url, method: req.method, headers: req.headers },
      (answer) => {
        const headers = { ...answer.headers };
        if (headers['content-security-policy'] === POLICY) {
          headers['content-security-policy'] = `${POLICY}; report-uri /csp-report`;
        }
        res.writeHead(answer.statusCode, headers);
        answer.pipe(res);
      },
    );
    upstream.on('error', () => res.writeHead(502).end());
    req.pipe(upstream);
  });
  front.keepAliveTimeout = 100;
  await new Promise((done, fail) => {
    front.once('error', fail);
    front.listen(port, '127.0.0.1', done);
  });
  return {
    address: `http://127.0.0.1:${front.address().port}/`,
    port: front.address().port,
    reports,
    stop: async () => {
      front.closeAllConnections?.();
      await new Promise((done) => front.close(done));
      back.closeAllConnections?.();
      await new Promise((done) => back.close(done));
    },
  };
}

function freePort() {
  return new Promise((done, fail) => {
    const s = createServer();
    s.once('error', fail);
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => done(port));
    });
  });
}

// A private X server on a display number it picks itself (-displayfd), as tools/xvfb.sh
// starts one; the engine's windows never reach the desktop's display.
export async function startXvfb(screen = '1920x1200') {
  const x = spawn('Xvfb', ['-displayfd', '1', '-screen', '0', `${screen}x24`, '-nolisten', 'tcp'], {
    stdio: ['ignore', 'pipe', 'ignore'],
  });
  const number = await new Promise((done, fail) => {
    let text = '';
    x.stdout.on('data', (d) => {
      text += d;
      if (text.includes('\n')) done(text.trim());
    });
    x.once('exit', () => fail(new Error('Xvfb did not start')));
  });
  return { display: `:${number}`, stop: () => x.kill() };
}

// A private PulseAudio server with one null sink, recorded from its monitor, as the
// window's sound tests do (tests/e2e/null_sink.cpp). `loudest(fromByte)` is the peak
// heard since a point in the recording; `null` when no server could be started.
export async function startSoundServer() {
  const folder = await mkdtemp(join(tmpdir(), 'tilerush-pulse-'));
  await mkdir(join(folder, 'run'));
  const socket = join(folder, 'native');
  const recording = join(folder, 'heard.raw');
  const env = {
    ...process.env,
    HOME: folder,
    XDG_RUNTIME_DIR: join(folder, 'run'),
    XDG_CONFIG_HOME: folder,
    DISPLAY: '',
    DBUS_SESSION_BUS_ADDRESS: 'disabled:',
  };
  let server;
  try {
    server = spawn(
      'pulseaudio',
      [
        '-n',
        '--daemonize=no',
        '--exit-idle-time=-1',
        '--use-pid-file=no',
        '--disable-shm=yes',
        '-L',
        'module-null-sink sink_name=tilerush_test rate=48000',
        '-L',
        `module-native-protocol-unix auth-anonymous=1 socket=${socket}`,
      ],
      { env, stdio: 'ignore' },
    );
    server.on('error', () => {});
    await until(() => existsSync(socket), 5000, 'the sound server');
  } catch {
    server?.kill();
    await rm(folder, { recursive: true, force: true });
    return null;
  }
  const recorder = spawn(
    'parec',
    [
      `--server=unix:${socket}`,
      '--device=tilerush_test.monitor',
      '--format=s16le',
      '--rate=48000',
      '--channels=1',
      '--raw',
      recording,
    ],
    { env, stdio: 'ignore' },
  );
  recorder.on('error', () => {});
  try {
    await until(() => existsSync(recording), 5000, 'the recording of the sound server');
  } catch {
    recorder.kill();
    server.kill();
    await rm(folder, { recursive: true, force: true });
    return null;
  }
  return {
    server: `unix:${socket}`,
    size: () => statSync(recording).size,
    loudest(from = 0) {
      const bytes = readFileSync(recording);
      let peak = 0;
      for (let i = from & ~1; i + 1 < bytes.length; i += 2) peak = Math.max(peak, Math.abs(bytes.readInt16LE(i)));
      return peak;
    },
    stop: async () => {
      recorder.kill();
      server.kill();
      await sleep(100);
      await rm(folder, { recursive: true, force: true });
    },
  };
}

// Listeners put in the page once it has loaded, where the driver has no console of
// its own: errors, rejections and policy violations are kept in the page.
const WATCH_PAGE = `
  if (!window.__tilerushSeen) {
    window.__tilerushSeen = [];
    const keep = (text) => window.__tilerushSeen.push(String(text));
    addEventListener('error', (e) => keep('error: ' + e.message));
    addEventListener('unhandledrejection', (e) => keep('rejection: ' + (e.reason && e.reason.message || e.reason)));
    document.addEventListener('securitypolicyviolation', (e) => keep('policy: ' + e.violatedDirective + ' ' + e.blockedURI));
    const error = console.error.bind(console);
    console.error = (...a) => { keep('console: ' + a.join(' ')); error(...a); };
  }`;

// Firefox ESR, headless, on a profile of its own that lasts across sessions while
// `profile` is the same folder.
export async function firefox({ profile, sound, width = 800, height = 700, ratio = 1 } = {}) {
  const puppeteer = (await import('puppeteer-core')).default;
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: true,
    userDataDir: profile,
    env: { ...process.env, ...(sound ? { PULSE_SERVER: sound.server } : {}), MOZ_CRASHREPORTER_DISABLE: '1' },
    extraPrefsFirefox: {
      // Sound may start on a key press, as a person's would.
      'media.autoplay.default': 0,
      'media.autoplay.block-webaudio': false,
      // The page's clipboard write, on the click that asks for it.
      'dom.events.asyncClipboard.clipboardItem': true,
    },
  });
  const page = (await browser.pages())[0] || (await browser.newPage());
  await page.setViewport({ width, height, deviceScaleFactor: ratio });
  const seen = [];
  page.on('console', (m) => {
    if (m.type() === 'error' || /Content-Security-Policy|Content Security Policy/i.test(m.text())) {
      seen.push(`console: ${m.text()}`);
    }
  });
  page.on('pageerror', (e) => seen.push(`error: ${e.message}`));
  await page.evaluateOnNewDocument(WATCH_PAGE);
  const keyName = (k) => k;
  return {
    name: 'Firefox',
    version: await browser.version(),
    goto: (url) => page.goto(url, { waitUntil: 'load' }),
    reload: () => page.reload({ waitUntil: 'load' }),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    keyDown: (k) => page.keyboard.down(keyName(k)),
    keyUp: (k) => page.keyboard.up(keyName(k)),
    press: (k) => page.keyboard.press(keyName(k)),
    mouseMove: (x, y) => page.mouse.move(x, y),
    click: (selector) => page.click(selector),
    clickAt: (x, y) => page.mouse.click(x, y),
    resize: (w, h, r = 1) => page.setViewport({ width: w, height: h, deviceScaleFactor: r }),
    screenshot: async () => decodePng(Buffer.from(await page.screenshot({ type: 'png' }))),
    seen: async () => [...seen, ...((await page.evaluate(() => window.__tilerushSeen).catch(() => [])) || [])],
    close: () => browser.close(),
  };
}

// WebKitGTK's MiniBrowser through WebKitWebDriver, on a display of its own. Automation
// sessions keep their site data for the session's life only.
export async function webkit({ display, sound, width = 800, height = 700 } = {}) {
  const { Builder, Key, Origin } = await import('selenium-webdriver');
  const port = await freePort();
  const driverProcess = spawn(WEBKIT_DRIVER, [`--port=${port}`, '--host=127.0.0.1'], {
    env: { ...process.env, DISPLAY: display, ...(sound ? { PULSE_SERVER: sound.server } : {}) },
    stdio: ['ignore', 'ignore', 'pipe'],
  });
  let driverLog = '';
  driverProcess.stderr.on('data', (d) => (driverLog = (driverLog + d).slice(-20000)));
  const gone = new Promise((done) => driverProcess.once('exit', done));
  let driver;
  try {
    await until(
      () =>
        fetch(`http://127.0.0.1:${port}/status`).then(
          (r) => r.ok,
          () => false,
        ),
      10000,
      'WebKitWebDriver',
    );
    driver = await new Builder()
      .usingServer(`http://127.0.0.1:${port}`)
      .withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          ...(MINIBROWSER ? { binary: MINIBROWSER } : {}),
          args: ['--automation', '--javascript-can-access-clipboard=true'],
        },
      })
      .build();
  } catch (error) {
    driverProcess.kill();
    throw new Error(`${error.message}\n${driverLog}`);
  }
  const KEYS = {
    ArrowLeft: Key.ARROW_LEFT,
    ArrowRight: Key.ARROW_RIGHT,
    End: Key.END,
    Space: ' ',
    KeyP: 'p',
    KeyM: 'm',
  };
  const keyName = (k) => KEYS[k] ?? k;
  // A window whose view is `w` x `h`: the frame's size is learnt from the view the last
  // size gave, and asked again until the view is right, since a busy machine may report
  // the view of the size before (or none yet) just after a resize.
  const resize = async (w, h) => {
    let outer = { width: w, height: h };
    await until(
      async () => {
        await driver.manage().window().setRect(outer);
        const [iw, ih] = await driver.executeScript('return [innerWidth, innerHeight]');
        if (iw === w && ih === h) return true;
        if (iw > 0 && ih > 0) {
          outer = {
            width: Math.max(w, outer.width + w - iw),
            height: Math.max(h, outer.height + h - ih),
          };
        }
        return false;
      },
      15000,
      `a view of ${w} x ${h}`,
    );
  };
  await resize(width, height);
  const run = (fn, args) =>
    driver
      .executeAsyncScript(
        `const done = arguments[arguments.length - 1];
     Promise.resolve((${fn}).apply(null, arguments[0])).then((v) => done({ v }), (e) => done({ e: String(e && e.stack || e) }));`,
        args,
      )
      .then((r) => {
        if (r && r.e) throw new Error(r.e);
        return r?.v;
      });
  return {
    name: 'WebKitGTK',
    version: (await driver.getCapabilities()).get('browserVersion'),
    driver,
    driverLog: () => driverLog,
    goto: async (url) => {
      await driver.get(url);
      await driver.executeScript(WATCH_PAGE);
    },
    reload: async () => {
      await driver.navigate().refresh();
      await driver.executeScript(WATCH_PAGE);
    },
    evaluate: (fn, ...args) => run(fn.toString(), args),
    keyDown: (k) => driver.actions().keyDown(keyName(k)).perform(),
    keyUp: (k) => driver.actions().keyUp(keyName(k)).perform(),
    press: (k) => driver.actions().keyDown(keyName(k)).keyUp(keyName(k)).perform(),
    mouseMove: (x, y) =>
      driver
        .actions()
        .move({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT })
        .perform(),
    click: async (selector) => (await driver.findElement({ css: selector })).click(),
    clickAt: (x, y) =>
      driver
        .actions()
        .move({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT })
        .click()
        .perform(),
    resize,
    screenshot: async () => decodePng(Buffer.from(await driver.takeScreenshot(), 'base64')),
    seen: async () => (await driver.executeScript('return window.__tilerushSeen || []').catch(() => [])) || [],
    close: async () => {
      await driver.quit().catch(() => {});
      driverProcess.kill();
      await Promise.race([gone, sleep(3000)]);
    },
  };
}

// Waits until `fn` (run in the page) gives something true, and returns it.
export function waitIn(session, fn, arg, ms = 15000) {
  return until(
    () => session.evaluate(fn, arg).catch(() => false),
    ms,
    `${session.name}: ${fn.toString().slice(0, 120)}`,
  );
}

export const playing = (session, ms) =>
  waitIn(session, () => document.getElementById('tilerush').dataset.state === 'playing', undefined, ms);

// The game area's canvas in CSS pixels of the view, and the view's device pixel ratio.
export const canvasBox = (session) =>
  session.evaluate(() => {
    const r = document.querySelector('#tilerush canvas').getBoundingClientRect();
    const c = document.querySelector('#tilerush canvas');
    return { x: r.x, y: r.y, width: r.width, height: r.height, ratio: devicePixelRatio, backing: [c.width, c.height] };
  });

// Where the paddle and the ball are, in layout pixels (568 x 489), from a picture of
// the view: the paddle's orange along its row, the ball's blue within the board.
// WebKitGTK's pictures now and then miss the canvas that a worker draws (the layer
// not yet composited), so a picture without the paddle, which is always there, is
// taken again.
export async function look(session) {
  let sight;
  for (let tries = 0; tries < 20; ++tries) {
    sight = await lookOnce(session);
    if (sight.paddleCentre !== null) break;
    await sleep(50);
  }
  return sight;
}

async function lookOnce(session) {
  const box = await canvasBox(session);
  const shot = await session.screenshot();
  // A picture may be of CSS pixels or of device pixels, as the engine takes it.
  const k = shot.width / (await session.evaluate(() => innerWidth));
  const left = box.x * k;
  const top = box.y * k;
  const [kx, ky] = [(box.width * k) / 568, (box.height * k) / 489];
  const row = Math.floor(top + (PADDLE_ROW + 0.5) * ky);
  let first = -1;
  let last = -1;
  for (let x = Math.floor(left); x < left + box.width * k; ++x) {
    if (shot.at(x, row) !== ORANGE) continue;
    if (first < 0) first = x;
    last = x;
  }
  let sx = 0;
  let sy = 0;
  let n = 0;
  for (let y = Math.floor(top + 104 * ky); y < top + 482 * ky; ++y) {
    for (let x = Math.floor(left + 8 * kx); x < left + 561 * kx; ++x) {
      const p = shot.at(x, y);
      if (p >> 8 !== 0 || p < 0x80) continue;
      sx += x - left;
      sy += y - top;
      ++n;
    }
  }
  return {
    paddleCentre: first < 0 ? null : ((first + last) / 2 - left) / kx,
    ball: n ? [sx / n / kx, sy / n / ky] : null,
    at: (x, y) => shot.at(Math.floor(left + (x + 0.5) * kx), Math.floor(top + (y + 0.5) * ky)),
  };
}

export async function holdKey(session, key, ms) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    await session.keyDown(key);
    await sleep(33);
  }
  await session.keyUp(key);
}

export { sleep, until };

// The paddle and ball once the game area shows them: a picture taken as the game
// starts may come before its first frame reaches the screen.
export const drawn = (session, ms = 5000) =>
  until(
    async () => {
      const sight = await look(session);
      return sight.paddleCentre !== null && sight.ball ? sight : null;
    },
    ms,
    `${session.name}: the paddle and the ball drawn`,
  );

export const pauseShown = (session) =>
  session.evaluate(() =>
    [...document.querySelectorAll('#tilerush button')].some((b) => b.textContent === 'Pause' && !b.hidden),
  );
