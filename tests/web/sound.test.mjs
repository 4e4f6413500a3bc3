// The page heard, in Debian's Chromium: its sound starts with the first key press and
// not before; every cue it plays is one the game's own happenings asked for, in their
// order (the native core, playing the replay the page saved, says which); what reaches
// the speakers is heard and never at full scale; M and the sound control turn it off
// and on, and the choice is the one thing the page keeps in local storage.
//   TILERUSH_WEB_BUILD=build-web TILERUSH_SIM=build/src/cli/tilerush-sim \
//   TILERUSH_CUES_OF_REPLAY=build/tests/web/tilerush-cues-of-replay node --test tests/web/sound.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { holdKey, openGame, pauseGame, playFor } from './browser.mjs';

// Runs in the page before its scripts: watches its audio graph from inside. Each
// AudioContext made is counted, each cue buffer is known by its number (the order
// the page makes them in), each cue started is listed, and a probe on whatever
// reaches the speakers keeps the loudest sample and when sound was last heard.
function listenIn() {
  const heard = { contexts: 0, started: [], loudest: 0, lastSoundAt: -1 };
  window.tilerushHeard = heard;
  const Context = window.AudioContext;
  window.AudioContext = class extends Context {
    constructor(...args) {
      super(...args);
      heard.contexts += 1;
      heard.context = this;
    }
  };
  const numbers = new WeakMap();
  let made = 0;
  const createBuffer = BaseAudioContext.prototype.createBuffer;
  BaseAudioContext.prototype.createBuffer = function (...args) {
    const buffer = createBuffer.apply(this, args);
    numbers.set(buffer, made++);
    return buffer;
  };
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    heard.started.push({ cue: numbers.get(this.buffer), at: performance.now() });
    return start.apply(this, args);
  };
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (target, ...rest) {
    if (target instanceof AudioDestinationNode) {
      const probe = this.context.createAnalyser();
      probe.fftSize = 2048;
      connect.call(this, probe);
      const samples = new Float32Array(probe.fftSize);
      setInterval(() => {
        probe.getFloatTimeDomainData(samples);
        const peak = samples.reduce((m, s) => Math.max(m, Math.abs(s)), 0);
        heard.loudest = Math.max(heard.loudest, peak);
        if (peak > 0.01) heard.lastSoundAt = performance.now();
      }, 20);
    }
    return connect.call(this, target, ...rest);
  };
}

const heard = (page) =>
  page.evaluate(() => {
    const h = window.tilerushHeard;
    return { ...h, context: undefined, now: performance.now() };
  });

// Whether `part` is `whole` with some items left out, the rest in their order.
function isSubsequence(part, whole) {
  let i = 0;
  for (const item of whole) if (i < part.length && part[i] === item) ++i;
  return i === part.length;
}

async function saveReplay(page) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#tilerush-save')]);
  const file = join(await mkdtemp(join(tmpdir(), 'tilerush-')), 'heard.tilerush');
  await writeFile(file, await readFile(await download.path(), 'utf8'));
  return file;
}

test(
  'heard from the first key press, each cue one the game asked for; M silences it and is kept',
  {
    skip:
      !(process.env.TILERUSH_SIM && process.env.TILERUSH_CUES_OF_REPLAY) &&
      'needs TILERUSH_SIM and TILERUSH_CUES_OF_REPLAY, from the native build',
  },
  async () => {
    const { context, page, errors } = await openGame({ acceptDownloads: true }, listenIn);
    await page.waitForTimeout(300);
    assert.equal((await heard(page)).contexts, 0, 'no sound before the first key press');
    assert.equal(await page.isChecked('#tilerush-sound'), true, 'the sound is on at first');

    await playFor(page, 12);
    await pauseGame(page);
    const played = await heard(page);
    assert.equal(played.contexts, 1);
    assert.ok(played.loudest > 0.05, `the loudest sound was ${played.loudest}`);
    assert.ok(played.loudest < 1, `full scale reached: ${played.loudest}`);

    // The game's own happenings, from the native core playing the page's replay: the
    // page played their cues in their order, and nothing else. A burst is thinned, but
    // a lost ball, which nothing crowds, is always heard.
    const file = await saveReplay(page);
    const sim = spawnSync(process.env.TILERUSH_SIM, [file], { encoding: 'utf8' });
    assert.deepEqual([sim.status, sim.stderr], [0, ''], 'the replay holds in tilerush-sim');
    const asked = spawnSync(process.env.TILERUSH_CUES_OF_REPLAY, [file], { encoding: 'utf8' });
    assert.equal(asked.status, 0, asked.stderr);
    const askedLines = asked.stdout
      .trim()
      .split('\n')
      .map((line) => line.split(' '));
    const askedCues = askedLines.map(([, cue]) => Number(cue));
    // The replay is the game in play, from its start.
    const from = await page.evaluate(() => window.tilerushLastGameFrom ?? 0);
    const playedCues = played.started.filter((s) => s.at >= from).map((s) => s.cue);
    const story = `the page played ${playedCues.join(' ')}; the game asked for ${askedCues.join(' ')}`;
    assert.ok(playedCues.length > 0, 'no cue was played');
    assert.ok(isSubsequence(playedCues, askedCues), story);
    const lostBalls = askedLines.filter(([, , lost]) => lost).map(([, cue]) => Number(cue));
    assert.equal(playedCues.filter((cue) => cue === lostBalls[0]).length, lostBalls.length, story);

    // M: the cues stop, what sounds fades, and the choice is stored.
    await page.keyboard.press('KeyM');
    const mutedAt = (await heard(page)).now;
    await page.getByRole('button', { name: 'Pause' }).click();
    await playFor(page, 3);
    const muted = await heard(page);
    assert.deepEqual(
      muted.started.filter((s) => s.at > mutedAt),
      [],
      'cues after M',
    );
    assert.ok(muted.lastSoundAt < mutedAt + 150, 'heard after M');
    assert.equal(await page.isChecked('#tilerush-sound'), false);
    assert.deepEqual(await page.evaluate(() => ({ ...localStorage })), { 'tilerush.sound': 'off' });
    // With nothing to play, the audio rests.
    await page.waitForFunction(() => window.tilerushHeard.context.state === 'suspended', null, { timeout: 5000 });

    // Another visit: silent, whatever keys are pressed, until the control turns it on.
    await page.reload();
    await page.waitForSelector('#tilerush[data-state=playing]');
    assert.equal(await page.isChecked('#tilerush-sound'), false, 'the choice was not kept');
    await holdKey(page, 'ArrowRight', 300);
    await page.keyboard.up('ArrowRight');
    assert.equal((await heard(page)).contexts, 0, 'sound started while off');
    await page.click('#tilerush-sound');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'tilerush', 'the keys go back to the game');
    assert.deepEqual(await page.evaluate(() => ({ ...localStorage })), { 'tilerush.sound': 'on' });
    // Whatever became of the ball meanwhile, the right arrow launches it again if it rests.
    for (let i = 0; i < 20 && (await heard(page)).started.length === 0; ++i) {
      await holdKey(page, 'ArrowRight', 100);
      await page.keyboard.up('ArrowRight');
      await page.waitForTimeout(900);
    }
    const turnedOn = await heard(page);
    assert.ok(turnedOn.started.length > 0, 'nothing heard once the control turned the sound on');
    assert.equal(turnedOn.contexts, 1);
    assert.deepEqual(errors, []);
    await context.close();
  },
);
