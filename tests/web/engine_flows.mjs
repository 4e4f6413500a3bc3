// The whole flows the page must get through in every engine, on a session from
// engine_drivers.mjs: the Firefox and WebKitGTK tests run these, each in its engine.
import assert from 'node:assert/strict';

import { canvasBox, drawn, holdKey, look, pauseShown, playing, sleep, until, waitIn } from './engine_drivers.mjs';

// Long enough for what a quiet machine does in a second or two to happen on a busy one.
const LOADED = 15000;

const GREEN = 0x80ff80;

// Nothing went wrong in the page (errors, rejections, policy violations in its
// console or its own events) nor in its workers (the policy's reports to the server).
export async function assertClean(session, server, when) {
  assert.deepEqual(await session.seen(), [], `${session.name}, ${when}: errors in the page`);
  assert.deepEqual(server.reports, [], `${session.name}, ${when}: policy violations reported`);
}

// A fresh load at a view of `width` x `height` CSS pixels: the whole game area in the
// view, centred, at its scale, in proportion, one canvas pixel a device pixel, nothing
// to scroll sideways, and map 1's start drawn where the layout puts it.
export async function checkLayout(session, server, [name, width, height, ratio = 1]) {
  await session.resize(width, height, ratio);
  await session.goto(server.address);
  await playing(session);
  const sight = await drawn(session);
  const box = await canvasBox(session);
  const view = await session.evaluate(() => [innerWidth, document.documentElement.scrollWidth, devicePixelRatio]);
  const where = `${session.name}, ${name}`;
  assert.deepEqual(view, [width, width, ratio], `${where}: the view, nothing to scroll sideways`);
  assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= height, where);
  assert.ok(Math.abs(box.x - (width - box.x - box.width)) <= 4, `${where}: centred, at ${box.x}`);
  const largest = Math.min(width / 568, height / 489);
  assert.ok(box.width / 568 >= 0.8 * largest, `${where}: at ${(box.width / 568).toFixed(3)} of ${largest}`);
  assert.ok(Math.abs(box.backing[1] / box.backing[0] / (489 / 568) - 1) < 0.005, `${where}: ${box.backing}`);
  assert.deepEqual(box.backing, [box.width * ratio, box.height * ratio].map(Math.round), `${where}: device pixels`);
  assert.equal(sight.at(284, 333), GREEN, `${where}: the board`);
  assert.ok(Math.abs(sight.paddleCentre - 284) <= 1, `${where}: paddle at ${sight.paddleCentre}`);
  assert.ok(Math.abs(sight.ball[0] - 284) <= 1 && Math.abs(sight.ball[1] - 447) <= 1, `${where}: ${sight.ball}`);
  await assertClean(session, server, name);
}

// A fresh game played: a held ArrowRight launches the ball and runs the paddle right,
// and with a sound server the first key starts the sound, heard on it; P pauses with
// the Pause button shown and play standing still, the button goes on; the mouse over
// the board steers the paddle to it.
export async function checkPlay(session, server, sound) {
  await session.goto(server.address);
  await playing(session);
  const start = await drawn(session);
  const heardFrom = sound?.size() ?? 0;
  await holdKey(session, 'ArrowRight', 600);
  const moved = await until(
    async () => {
      const s = await look(session);
      return s.paddleCentre > start.paddleCentre + 40 && s.ball && s.ball[1] < 440 ? s : null;
    },
    LOADED,
    `${session.name}: the paddle goes right and the ball up`,
  );
  assert.ok(moved.paddleCentre > 324, `${session.name}: the paddle at ${moved.paddleCentre}`);

  await session.press('KeyP');
  await waitIn(session, () =>
    [...document.querySelectorAll('#tilerush button')].some((b) => b.textContent === 'Pause' && !b.hidden),
  );
  // The button is the page's own and shows at once; the canvas's last frame may
  // reach the screen a little later.
  await sleep(300);
  const paused = await look(session);
  await sleep(400);
  assert.deepEqual((await look(session)).ball, paused.ball, `${session.name}: play stands still while paused`);
  const button = await session.evaluate(() => {
    const b = [...document.querySelectorAll('#tilerush button')].find((e) => e.textContent === 'Pause');
    const r = b.getBoundingClientRect();
    return [r.x + r.width / 2, r.y + r.height / 2];
  });
  await session.clickAt(...button);
  await until(async () => !(await pauseShown(session)), LOADED, `${session.name}: the Pause button goes on`);
  assert.equal(
    await session.evaluate(() => document.activeElement.id),
    'tilerush',
    `${session.name}: keys to the game`,
  );

  // The mouse over the board, a fifth of the way across: the paddle follows it.
  const box = await canvasBox(session);
  const scale = box.width / 568;
  await session.mouseMove(box.x + 110 * scale, box.y + 300 * scale);
  await session.mouseMove(box.x + 114 * scale, box.y + 300 * scale);
  const steered = await until(
    async () => {
      const s = await look(session);
      return Math.abs(s.paddleCentre - 114) <= 8 ? s : null;
    },
    LOADED,
    `${session.name}: the paddle follows the mouse`,
  );
  assert.ok(steered, session.name);
  if (sound) {
    // The ball has met bricks, walls or the paddle by now, or been lost, each heard.
    await until(() => sound.loudest(heardFrom) > 300, LOADED, `${session.name}: a cue heard after the first key`);
  }
  await assertClean(session, server, 'in play');
}

// "Save replay" hands the browser a replay file, "Copy link" makes a link to the page
// holding the game, and that link opened is watched to its end with every expectation
// holding.
export async function checkReplays(session, server) {
  await session.goto(server.address);
  await playing(session);
  await drawn(session);
  await holdKey(session, 'ArrowLeft', 800);
  await sleep(1200);
  await session.press('KeyP');
  // What the page gives the browser to download: the file it makes and the name it
  // gives it (the download itself is the browser's business).
  await session.evaluate(() => {
    const make = URL.createObjectURL;
    URL.createObjectURL = (blob) => {
      window.__tilerushBlob = blob;
      return make(blob);
    };
    HTMLAnchorElement.prototype.click = function () {
      window.__tilerushSaved = window.__tilerushBlob.text().then((text) => [this.download, text]);
    };
  });
  await session.click('#tilerush-save');
  const [name, saved] = await waitIn(session, async () => window.__tilerushSaved && (await window.__tilerushSaved));
  assert.match(name, /^tilerush-[-0-9T]+\.tilerush$/, `${session.name}: the file's name`);
  assert.match(saved, /^key down (37\b|left\b)/m, `${session.name}: the saved replay holds the arrow pressed`);
  assert.match(saved, /^expect /m, `${session.name}: and what held at its end`);
  assert.match(await session.evaluate(() => document.getElementById('tilerush-replay-status').textContent), /^Saved /);

  await session.click('#tilerush-copy-link');
  const link = await waitIn(session, () => {
    const v = document.getElementById('tilerush-link').value;
    return v.includes('#r=1.') && v;
  });
  assert.ok(link.startsWith(server.address), link);
  const status = await session.evaluate(() => document.getElementById('tilerush-replay-status').textContent);
  assert.match(status, /^Link copied \(\d+ characters\)\.$/, `${session.name}: ${status}`);
  await assertClean(session, server, 'saving and linking');

  // Opened afresh, the link is a replay, watched: End runs it to its end.
  await session.goto('about:blank');
  await session.goto(link);
  await waitIn(session, () => document.getElementById('tilerush').dataset.state === 'watching', undefined, 20000);
  await waitIn(session, () => !document.getElementById('tilerush-timeline').hidden);
  await session.press('End');
  const verdict = await waitIn(
    session,
    () => {
      const t = document.getElementById('tilerush-replay-status').textContent;
      return /expectation/.test(t) && t;
    },
    undefined,
    20000,
  );
  assert.match(verdict, /all \d+ expectations held/, `${session.name}: ${verdict}`);
  await assertClean(session, server, 'watching the link');
}
