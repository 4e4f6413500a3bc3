// The page in Debian's WebKitGTK, its MiniBrowser driven through WebKitWebDriver on a
// private X display: laid out at a desktop size and the narrowest window MiniBrowser
// has, played with keys and the mouse, paused, its replays saved, linked and watched,
// heard once a key is pressed, and played offline after one visit.
//   TILERUSH_WEB_BUILD=build-web node --test tests/web/webkit.test.mjs
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import {
  drawn,
  holdKey,
  look,
  playing,
  serveSite,
  startSoundServer,
  startXvfb,
  until,
  webkit,
} from './engine_drivers.mjs';
import { assertClean, checkLayout, checkPlay, checkReplays } from './engine_flows.mjs';

let server;
let sound;
let x;
let session;

before(async () => {
  server = await serveSite();
  sound = await startSoundServer();
  x = await startXvfb();
  session = await webkit({ display: x.display, sound });
});

// WebKitGTK 2.50's web process now and then dies of one of its own assertions
// (SIGILL in libwebkit2gtk, on its main thread) as a page starts module workers that
// compile WebAssembly: about one start in two hundred of the cue maker's worker
// alone, the page's code nowhere on the stack. A flow it cuts short is said and run
// once more in a new session; anything else fails at once.
async function onceMoreIfCrashed(t, flow) {
  try {
    await flow();
  } catch (error) {
    if (!/WebProcess CRASHED/.test(session.driverLog())) throw error;
    t.diagnostic(`WebKitGTK's web process crashed (${error.message.split('\n')[0]}); the flow runs again`);
    await session.close();
    session = await webkit({ display: x.display, sound });
    await flow();
  }
}

after(async () => {
  await session?.close();
  await sound?.stop();
  x?.stop();
  await server?.stop();
});

// MiniBrowser's window is never narrower than 447 CSS pixels, nor has a device pixel
// ratio but the display's.
test(
  'at a desktop size and the narrowest window the page loads clean and lays the game out',
  { timeout: 120000 },
  async (t) => {
    await onceMoreIfCrashed(t, async () => {
      await checkLayout(session, server, ['a laptop', 1366, 768]);
      await checkLayout(session, server, ['a narrow window', 447, 800]);
    });
  },
);

test(
  'the arrows launch and steer, P pauses, the mouse steers, and the first key starts the sound',
  { timeout: 120000 },
  async (t) => {
    if (!sound) t.diagnostic('no PulseAudio server could be started here, so the sound is not listened to');
    await onceMoreIfCrashed(t, async () => {
      await session.resize(800, 700);
      await checkPlay(session, server, sound);
    });
  },
);

test('a saved replay, a copied link, and the link watched to its end', { timeout: 120000 }, async (t) => {
  await onceMoreIfCrashed(t, async () => {
    await session.resize(800, 700);
    await checkReplays(session, server);
  });
});

// Automation sessions keep no site data past their end, so "a later visit" is a new
// window of the same session with the server gone.
test('after one visit the page plays offline', { timeout: 120000 }, async (t) => {
  await onceMoreIfCrashed(t, async () => {
    const own = await serveSite();
    try {
      await session.goto(own.address);
      await playing(session);
      await session.evaluate(async () => {
        await navigator.serviceWorker.ready;
        while (!navigator.serviceWorker.controller) await new Promise((done) => setTimeout(done, 50));
      });
    } finally {
      await own.stop();
    }
    await session.driver.switchTo().newWindow('window');
    await session.goto(own.address);
    await playing(session, 20000);
    const start = await drawn(session);
    await holdKey(session, 'ArrowRight', 400);
    const moved = await until(
      async () => (await look(session)).paddleCentre > start.paddleCentre + 20,
      3000,
      'the paddle moves offline',
    );
    assert.ok(moved);
    await assertClean(session, own, 'offline');
  });
});
