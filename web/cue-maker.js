// A worker of its own that makes the sound's cues, so that neither the page's main
// thread nor the game's worker stalls for them: the desktop window's synthesiser
// (tilerush-cues.wasm) makes every cue at the rate the page asks for, with the
// desktop window's soft limit as a curve over the loudest sum the cues reach together, and
// hands them all over at once.
import createTilerushCues from './tilerush-cues.js';
import { startProgram } from './wasm-load.js';

// The points of the soft limit's curve, evenly over [-loudest, loudest].
const TILERUSH_CURVE_POINTS = 4097;

self.onmessage = (event) => {
  const rate = event.data.rate;
  startProgram(createTilerushCues, new URL('./tilerush-cues.wasm', import.meta.url)).then(
    (maker) => {
      const samples = [];
      for (let n = 0; n < maker._tilerush_cue_count(); ++n) {
        const at = maker._tilerush_cue_samples(n, rate) / 4;
        samples.push(maker.HEAPF32.slice(at, at + maker._tilerush_cue_frames()));
      }
      const loudest = maker._tilerush_loudest_sum();
      const curve = new Float32Array(TILERUSH_CURVE_POINTS);
      for (let i = 0; i < curve.length; ++i) {
        curve[i] = maker._tilerush_bend(loudest * ((2 * i) / (curve.length - 1) - 1));
      }
      self.postMessage({ samples, curve, loudest }, [...samples.map((s) => s.buffer), curve.buffer]);
    },
    (error) => self.postMessage({ failed: String(error) }),
  );
};
