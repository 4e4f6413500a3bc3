// The game's sound in the page. The game's side chooses the cues, with the desktop window's
// own rules, and names each by its number; this plays them through Web Audio. The cues
// are the desktop window's own samples, made once at this page's sample rate by a worker of
// their own (web/cue-maker.js), started when the sound first starts. Browsers let a
// page start its sound only on a key press, tap or click, so nothing is made before
// one. The sound control under the game area and the M key (which the game's side
// hears, and asks the page to turn it over) turn it off and on; that
// choice is the only thing the page keeps in local storage.

const TILERUSH_SOUND_STORAGE_KEY = 'tilerush.sound';
// Muting and unmuting fade over this long, as the desktop window's mixer does: a cut clicks.
const TILERUSH_SOUND_FADE_S = 0.008;
// A running context wakes the audio thread hundreds of times a second even when all
// it plays is silence; after this long without a cue (longer than any cue lasts) it
// rests until the next one, which wakes it in a few milliseconds.
const TILERUSH_SOUND_REST_AFTER_MS = 2000;

export class TilerushSound {
  // `send(type, fields)` goes to the game's side; `game` is the game area, which gets the
  // keyboard back after the control is used; `refused()` is told when the browser
  // keeps no storage for the page.
  constructor(controls, game, send, refused) {
    this.send = send;
    this.refused = refused;
    this.on = this.storedChoice() !== 'off';
    this.context = null;
    this.cues = null;
    this.sounding = new Set();
    this.resting = false;
    this.restTimer = 0;

    const label = document.createElement('label');
    label.className = 'tilerush-control tilerush-sound';
    this.box = document.createElement('input');
    this.box.type = 'checkbox';
    this.box.id = 'tilerush-sound';
    this.box.checked = this.on;
    this.box.addEventListener('change', () => {
      this.turn(this.box.checked);
      game.focus({ preventScroll: true });
    });
    label.append(this.box, ' Sound (M)');
    controls.appendChild(label);
  }

  storedChoice() {
    try {
      return localStorage.getItem(TILERUSH_SOUND_STORAGE_KEY);
    } catch (error) {
      // Storage refused: the sound starts on, and the choice is not kept.
      this.refused(error);
      return null;
    }
  }

  store(on) {
    try {
      localStorage.setItem(TILERUSH_SOUND_STORAGE_KEY, on ? 'on' : 'off');
    } catch {
      // Kept for this visit only; the player was told when the page opened.
    }
  }

  // A key press, tap or click: the first one starts the sound, if it is on.
  wake() {
    if (!this.on) return;
    if (!this.context) this.start();
    else if (this.context.state === 'suspended' && !this.resting) this.context.resume();
  }

  start() {
    const Context = window.AudioContext || window.webkitAudioContext;
    // A browser without Web Audio or workers plays silently.
    if (!Context || typeof Worker !== 'function') return;
    this.context = new Context({ latencyHint: 'interactive' });
    const maker = new Worker(new URL('./cue-maker.js', import.meta.url), { type: 'module' });
    maker.onmessage = (event) => {
      maker.terminate();
      if (!event.data.failed) this.cuesMade(event.data);
    };
    maker.onerror = () => maker.terminate(); // without its cues the game plays silently
    maker.postMessage({ rate: this.context.sampleRate });
  }

  // `samples[n]` is cue n; `curve` is the desktop window's soft limit over sums from -loudest
  // to loudest. Once the mixer is built, the game's side is told to choose cues.
  cuesMade({ samples, curve, loudest }) {
    const c = this.context;
    this.cues = samples.map((s) => {
      const buffer = c.createBuffer(1, s.length, c.sampleRate);
      buffer.copyToChannel(s, 0);
      return buffer;
    });
    // Cues, then the mute fade, then the limit: the sum scaled into the shaper's
    // [-1, 1] and bent smoothly below full scale, so that a pile of cues never clips.
    this.volume = c.createGain();
    this.volume.gain.value = this.on ? 1 : 0;
    const scale = c.createGain();
    scale.gain.value = 1 / loudest;
    const limit = c.createWaveShaper();
    limit.curve = curve;
    this.volume.connect(scale).connect(limit).connect(c.destination);
    this.send('hear', { on: this.on });
    this.keepAwake();
  }

  play(number) {
    const buffer = this.cues?.[number];
    if (!buffer || !this.on) return;
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.volume);
    source.onended = () => this.sounding.delete(source);
    this.sounding.add(source);
    this.keepAwake();
    source.start();
  }

  // Awake now, and resting once nothing has been played for a while.
  keepAwake() {
    if (this.resting) {
      this.resting = false;
      this.context.resume();
    }
    clearTimeout(this.restTimer);
    this.restTimer = setTimeout(() => {
      this.resting = true;
      this.context.suspend();
    }, TILERUSH_SOUND_REST_AFTER_MS);
  }

  turn(on) {
    if (on === this.on) return;
    this.on = on;
    this.box.checked = on;
    this.store(on);
    if (!this.cues) {
      // Turned on by a key or a click: that may be the first, which starts it.
      this.wake();
      return;
    }
    this.send('hear', { on });
    const now = this.context.currentTime;
    const gain = this.volume.gain;
    gain.cancelScheduledValues(now);
    gain.setValueAtTime(gain.value, now);
    gain.linearRampToValueAtTime(on ? 1 : 0, now + TILERUSH_SOUND_FADE_S);
    if (on) {
      this.wake();
      return;
    }
    // Faded out, what was sounding stops, so that turning it on again starts afresh.
    for (const source of this.sounding) source.stop(now + TILERUSH_SOUND_FADE_S);
    this.sounding.clear();
  }
}
