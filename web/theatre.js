// The timeline shown while a replay is watched, at the top of the controls: the game
// time and the replay's length, a slider to take the replay to any instant (its value
// the game time in milliseconds), marks at each lost ball, cleared level and Game
// Over, the speed, play or pause, and "Play this game", which races the replay's
// first draws. The player's own game has none of it.
const SPEEDS = ['¼×', '½×', '1×', '2×', '4×', '8×', '16×'];
const NORMAL_SPEED = 2;
// The slider's own arrow keys step as the viewer's . and , do.
const STEP_MS = 25;
const MARK_NAMES = { 'lost-ball': 'Lost ball', 'level-cleared': 'Level cleared', 'game-over': 'Game Over' };

// m:ss.t, as the timeline shows game time.
export function clockOf(ms) {
  const tenths = Math.floor(Math.max(0, ms) / 100);
  const seconds = Math.floor(tenths / 10);
  return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}.${tenths % 10}`;
}

function made(tag, props, parent) {
  const e = Object.assign(document.createElement(tag), props);
  parent?.appendChild(e);
  return e;
}

export class TilerushTheatre {
  // `send(message)` goes to the game's side; `game` is the game area, which gets the
  // keyboard back after a button is used.
  constructor(controls, game, send) {
    this.game = game;
    this.send = send;
    this.box = made('div', { id: 'tilerush-timeline', className: 'tilerush-timeline', hidden: true });
    controls.prepend(this.box);
    this.time = made('output', { className: 'tilerush-time' }, this.box);
    const track = made('div', { className: 'tilerush-track' }, this.box);
    this.slider = made('input', { type: 'range', id: 'tilerush-replay-time', min: '0', step: String(STEP_MS) }, track);
    this.slider.setAttribute('aria-label', 'Replay time');
    this.marks = made('div', { className: 'tilerush-marks' }, track);
    this.marks.setAttribute('aria-hidden', 'true');
    this.play = this.button('tilerush-play', 'Pause', () => this.send({ type: 'playOrPause' }));
    this.speed = made('select', { id: 'tilerush-speed', className: 'tilerush-control' }, this.box);
    this.speed.setAttribute('aria-label', 'Speed');
    SPEEDS.forEach((text, index) => made('option', { value: String(index), textContent: text }, this.speed));
    this.speed.addEventListener('change', () => this.send({ type: 'speed', index: Number(this.speed.value) }));
    this.race = this.button('tilerush-race', 'Play this game', () => this.send({ type: 'race' }));
    this.race.title = "A game of your own on this replay's first draws";
    // While the slider is dragged, it shows where the viewer holds it.
    this.holding = false;
    this.slider.addEventListener('pointerdown', () => { this.holding = true; });
    this.slider.addEventListener('pointerup', () => { this.holding = false; });
    this.slider.addEventListener('input', () => {
      this.showTime(Number(this.slider.value));
      this.send({ type: 'seek', at: Number(this.slider.value) });
    });
    this.length = 0;
  }

  button(id, caption, act) {
    const b = made('button', { type: 'button', id, className: 'tilerush-control', textContent: caption }, this.box);
    b.addEventListener('click', () => {
      act();
      this.game.focus({ preventScroll: true });
    });
    return b;
  }

  // A replay that passed its check is shown: its marks, and whether it can be raced.
  opened({ marks, raceable }) {
    this.box.hidden = false;
    this.race.disabled = !raceable;
    this.speed.value = String(NORMAL_SPEED);
    this.marks.replaceChildren();
    this.markList = marks;
  }

  // How the show stands now, from the game's side.
  update({ now, length, playing, speed }) {
    if (length !== this.length) {
      this.length = length;
      this.slider.max = String(length);
      this.placeMarks();
    }
    if (!this.holding) this.slider.value = String(now);
    this.showTime(now);
    this.play.textContent = playing ? 'Pause' : 'Play';
    this.speed.value = String(speed);
  }

  showTime(now) {
    const text = `${clockOf(now)} of ${clockOf(this.length)}`;
    this.time.textContent = text.replace(' of ', ' / ');
    this.slider.setAttribute('aria-valuetext', text);
  }

  placeMarks() {
    this.marks.replaceChildren();
    for (const { kind, at } of this.markList || []) {
      const mark = made('span', { className: `tilerush-mark tilerush-${kind}` }, this.marks);
      mark.style.left = `${this.length > 0 ? (100 * at) / this.length : 0}%`;
      mark.title = `${MARK_NAMES[kind]} at ${clockOf(at)}`;
      mark.dataset.at = String(at);
      mark.dataset.kind = kind;
    }
  }

  closed() {
    this.box.hidden = true;
    this.length = 0;
    this.holding = false;
  }
}
