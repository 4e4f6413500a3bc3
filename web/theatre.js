// The timeline shown while a replay is watched, at the top of the controls: the game
// time and the replay's length, a slider to take the replay to any instant (its value
// the game time in milliseconds, to the replay's very end), marks at each lost ball,
// cleared level and Game Over, the speed, play or pause, and "Play this game", which
// races the replay's first draws. The player's own game has none of it. What it shows
// is what the game's side tells: the times as its clock writes them, the marks, and
// which buttons show.
import { KEYS, REPLAYS } from './layout.js';

function made(tag, props, parent) {
  const e = Object.assign(document.createElement(tag), props);
  parent?.appendChild(e);
  return e;
}

// The slider's own arrow keys step as the viewer's . and , do.
const SLIDER_STEPS = new Map([
  ['ArrowLeft', KEYS.comma],
  ['ArrowDown', KEYS.comma],
  ['ArrowRight', KEYS.period],
  ['ArrowUp', KEYS.period],
]);

export class TilerushTheatre {
  // `send(type, fields)` goes to the game's side; `game` is the game area, which gets
  // the keyboard back after a button is used.
  constructor(controls, game, send) {
    this.game = game;
    this.send = send;
    this.box = made('div', { id: 'tilerush-timeline', className: 'tilerush-timeline', hidden: true });
    controls.prepend(this.box);
    this.time = made('output', { className: 'tilerush-time' }, this.box);
    const track = made('div', { className: 'tilerush-track' }, this.box);
    // Every millisecond a value, so that the end is one whatever the replay's length.
    this.slider = made('input', { type: 'range', id: 'tilerush-replay-time', min: '0', step: '1' }, track);
    this.slider.setAttribute('aria-label', 'Replay time');
    this.marks = made('div', { className: 'tilerush-marks' }, track);
    this.marks.setAttribute('aria-hidden', 'true');
    this.play = this.button('tilerush-play', 'Pause', () => this.send('playOrPause'));
    this.speed = made('select', { id: 'tilerush-speed', className: 'tilerush-control' }, this.box);
    this.speed.setAttribute('aria-label', 'Speed');
    REPLAYS.speedNames.forEach((text, index) =>
      made('option', { value: String(index), textContent: text }, this.speed),
    );
    this.speed.addEventListener('change', () => this.send('speed', { index: Number(this.speed.value) }));
    this.raced = () => {};
    this.race = this.button('tilerush-race', 'Play this game', () => {
      this.raced();
      this.send('race');
    });
    this.race.title = "A game of your own on this replay's first draws";
    // While the slider is dragged, it shows where the viewer holds it.
    this.holding = false;
    this.slider.addEventListener('pointerdown', () => {
      this.holding = true;
    });
    this.slider.addEventListener('pointerup', () => {
      this.holding = false;
    });
    this.slider.addEventListener('input', () => this.send('seek', { at: Number(this.slider.value) }));
    this.slider.addEventListener('keydown', (event) => {
      const code = SLIDER_STEPS.get(event.code);
      if (code === undefined) return;
      event.preventDefault();
      this.send('key', { down: true, code, shift: 0, repeat: event.repeat });
    });
    this.length = 0;
    this.markList = [];
  }

  button(id, caption, act) {
    const b = made('button', { type: 'button', id, className: 'tilerush-control', textContent: caption }, this.box);
    b.addEventListener('click', () => {
      act();
      this.game.focus({ preventScroll: true });
    });
    return b;
  }

  // `act` runs when "Play this game" is clicked.
  onRace(act) {
    this.raced = act;
  }

  // The page's own buttons of the mode: whether the replay can be raced.
  showButtons({ playThisGame }) {
    this.race.hidden = !playThisGame;
  }

  // A replay that passed its check is shown.
  opened() {
    this.box.hidden = false;
    this.speed.value = String(REPLAYS.normalSpeed);
    this.marks.replaceChildren();
    this.markList = [];
  }

  // How the show stands now, from the game's side.
  update({ now, length, nowText, lengthText, playing, speed, over, marks }) {
    if (marks) this.markList = marks;
    if (length !== this.length || marks) {
      this.length = length;
      this.slider.max = String(length);
      this.placeMarks();
    }
    if (!this.holding) this.slider.value = String(now);
    this.time.textContent = `${nowText} / ${lengthText}`;
    this.slider.setAttribute('aria-valuetext', `${nowText} of ${lengthText}`);
    this.play.textContent = playing ? 'Pause' : 'Play';
    this.speed.value = String(speed);
    this.box.dataset.over = String(over);
  }

  placeMarks() {
    this.marks.replaceChildren();
    for (const { kind, at, atText } of this.markList) {
      const mark = made('span', { className: `tilerush-mark tilerush-${kind}` }, this.marks);
      mark.style.left = `${this.length > 0 ? (100 * at) / this.length : 0}%`;
      mark.title = `${REPLAYS.marks[kind].words} at ${atText}`;
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
