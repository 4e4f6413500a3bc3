// The game's sound in the page. The game's side chooses the cues, with the window's
// own rules, and names each by its number; this plays them through Web Audio. The cues
// are the window's own samples, made once at this page's sample rate by a small
// program of their own (tilerush-cues.wasm), loaded when the sound first starts.
// Browsers let a page start its sound only on a key press, tap or click, so nothing
// is loaded or made before one. The sound control under the game area and the M key
// turn it off and on; that choice is the only thing the page keeps in local storage.
'use strict';

const TILERUSH_SOUND_STORAGE_KEY = 'tilerush.sound';
// Muting and unmuting fade over this long, as the window's mixer does: a cut clicks.
const TILERUSH_SOUND_FADE_S = 0.008;

class TilerushSound {
  // `send(message)` goes to the game's side; `game` is the game area, which gets the
  // keyboard back after the control is used; `loadCueMaker()` loads tilerush-cues.js.
  constructor(controls, game, send, loadCueMaker) {
    this.send = send;
    this.loadCueMaker = loadCueMaker;
    this.on = TilerushSound.storedChoice() !== 'off';
    this.context = null;
    this.cues = null;
    this.sounding = new Set();

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

  static storedChoice() {
    try {
      return localStorage.getItem(TILERUSH_SOUND_STORAGE_KEY);
    } catch {
      return null; // storage refused: the sound starts on, and the choice is not kept
    }
  }

  static store(on) {
    try {
      localStorage.setItem(TILERUSH_SOUND_STORAGE_KEY, on ? 'on' : 'off');
    } catch {
      // Kept for this visit only.
    }
  }

  // A key press, tap or click: the first one starts the sound, if it is on.
  wake() {
    if (!this.on) return;
    if (!this.context) this.start();
    else if (this.context.state === 'suspended') this.context.resume();
  }

  start() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return; // a browser without Web Audio plays silently
    this.context = new Context({ latencyHint: 'interactive' });
    this.loadCueMaker()
      .then(() => createTilerushCues())
      .then((maker) => this.makeCues(maker))
      .catch(() => {}); // without its cues the game plays silently
  }

  // Every cue into an AudioBuffer, a few at a time so that the page never stalls; then
  // the mixer, and the game's side is told to start choosing cues.
  async makeCues(maker) {
    const c = this.context;
    const cues = [];
    for (let n = 0; n < maker._tilerush_cue_count(); ++n) {
      const at = maker._tilerush_cue_samples(n, c.sampleRate) / 4;
      const samples = maker.HEAPF32.subarray(at, at + maker._tilerush_cue_frames());
      const buffer = c.createBuffer(1, samples.length, c.sampleRate);
      buffer.copyToChannel(samples, 0);
      cues.push(buffer);
      await new Promise((next) => setTimeout(next, 0));
    }
    this.mixer(maker);
    this.cues = cues;
    this.send({ type: 'hear', on: this.on });
  }

  // Cues, then the mute fade, then the window's soft limit: the sum scaled into the
  // shaper's [-1, 1], from the loudest the cues let through at once, and bent
  // smoothly below full scale, so that a pile of cues never clips.
  mixer(maker) {
    const c = this.context;
    const loudest = maker._tilerush_loudest_sum();
    const curve = new Float32Array(4097);
    for (let i = 0; i < curve.length; ++i) {
      curve[i] = maker._tilerush_bend(loudest * ((2 * i) / (curve.length - 1) - 1));
    }
    this.volume = c.createGain();
    this.volume.gain.value = this.on ? 1 : 0;
    const scale = c.createGain();
    scale.gain.value = 1 / loudest;
    const limit = c.createWaveShaper();
    limit.curve = curve;
    this.volume.connect(scale).connect(limit).connect(c.destination);
  }

  play(number) {
    const buffer = this.cues?.[number];
    if (!buffer || !this.on) return;
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.volume);
    source.onended = () => this.sounding.delete(source);
    this.sounding.add(source);
    source.start();
  }

  // M: its first key-down of a press turns the sound over; a held M repeats without.
  keyDown(event) {
    if (event.code === 'KeyM' && !event.repeat) this.turn(!this.on);
  }

  turn(on) {
    if (on === this.on) return;
    this.on = on;
    this.box.checked = on;
    TilerushSound.store(on);
    if (!this.cues) {
      // Turned on by a key or a click: that may be the first, which starts it.
      this.wake();
      return;
    }
    this.send({ type: 'hear', on });
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
