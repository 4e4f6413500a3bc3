// What a screen reader hears of the game, through a polite live region: the counters
// the desktop window's readouts say (score, best score, lives, bricks left) with the
// level, and the game's pauses, cleared levels and Game Over as they come. While they
// change fast, at most one announcement a second, saying how things stand then.
const AT_MOST_EVERY_MS = 1000;

// The buttons the game shows at its pauses, and what is said when one comes up.
function momentOf(caption) {
  if (caption === 'Pause') return 'Paused.';
  if (caption === 'Game Over') return 'Game Over.';
  const level = /^Level:\s*(\d+)/.exec(caption);
  return level ? `Level cleared; level ${level[1]} is next.` : '';
}

export class Readouts {
  constructor(region) {
    this.region = region;
    this.counters = '';
    this.moment = '';
    this.saidAt = -Infinity;
    this.timer = 0;
    this.shownButtons = new Map();
  }

  // The game's counters as it shows them: { score, best, lives, bricks, level }.
  changed(counters) {
    const [score, best, lives, bricks, level] = ['score', 'best', 'lives', 'bricks', 'level'].map(
      (name) => Number(counters[name]) || 0,
    );
    this.counters =
      `Score ${score}, best score ${best}, ${lives} ${lives === 1 ? 'life' : 'lives'}, ` +
      `${bricks} ${bricks === 1 ? 'brick' : 'bricks'} left, level ${level}.`;
    this.soon();
  }

  // A push button of the game shown or hidden.
  button({ id, caption, visible }) {
    const was = this.shownButtons.get(id);
    this.shownButtons.set(id, visible);
    const moment = momentOf(caption);
    if (!visible || was || !moment) return;
    this.moment = moment;
    this.soon();
  }

  soon() {
    if (this.timer) return;
    const wait = Math.max(0, this.saidAt + AT_MOST_EVERY_MS - performance.now());
    this.timer = setTimeout(() => this.say(), wait);
  }

  say() {
    this.timer = 0;
    this.saidAt = performance.now();
    this.region.textContent = this.moment ? `${this.moment} ${this.counters}` : this.counters;
    this.moment = '';
  }
}
