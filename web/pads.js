// Pads with the standard mapping: the d-pad is buttons 12 to 15, the left stick axes
// 0 and 1, Start button 9 and A, the bottom face button, 0. The Gamepad API tells
// what a pad holds only when asked, so they are read once a frame while one is
// connected, and not at all while none is. The game's side hears of what changed:
// where they steer, and a press of Start or A.
const PAD = { a: 0, start: 9, left: 14, right: 15 };

export class Pads {
  // `send(type, fields)` goes to the game's side.
  constructor(send) {
    this.send = send;
    // The game's own, given when it starts.
    this.stickDeadZone = 1;
    this.frame = 0;
    this.direction = 0;
    this.pressed = new Map();
  }

  listen(stickDeadZone) {
    this.stickDeadZone = stickDeadZone;
    if (typeof navigator.getGamepads !== 'function') return;
    const soon = () => this.readSoon();
    window.addEventListener('gamepadconnected', soon);
    window.addEventListener('gamepaddisconnected', soon);
    // Once, for a pad connected before the page listened.
    this.readSoon();
  }

  // The player left: the game's side let go of where the pads steered, so it is sent
  // again at the next reading.
  forget() {
    this.direction = 0;
  }

  directionOf(pad) {
    const pressed = (button) => pad.buttons[button]?.pressed === true;
    if (pressed(PAD.left) !== pressed(PAD.right)) return pressed(PAD.left) ? -1 : 1;
    // As the game's stick rule has it: from the dead zone on, either way.
    const axis = pad.axes[0] ?? 0;
    if (axis <= -this.stickDeadZone) return -1;
    return axis >= this.stickDeadZone ? 1 : 0;
  }

  read() {
    this.frame = 0;
    const pads = [...navigator.getGamepads()].filter((pad) => pad && pad.connected);
    const before = new Map(this.pressed);
    this.pressed.clear();
    let direction = 0;
    for (const pad of pads.filter((p) => p.mapping === 'standard')) {
      direction ||= this.directionOf(pad);
      const pressed = { start: pad.buttons[PAD.start]?.pressed === true, a: pad.buttons[PAD.a]?.pressed === true };
      const was = before.get(pad.index);
      if (pressed.start && !was?.start) this.send('padStart');
      if (pressed.a && !was?.a) this.send('padA');
      this.pressed.set(pad.index, pressed);
    }
    if (direction !== this.direction) {
      this.direction = direction;
      this.send('pad', { direction });
    }
    if (pads.length > 0) this.frame = requestAnimationFrame(() => this.read());
  }

  readSoon() {
    if (!this.frame) this.frame = requestAnimationFrame(() => this.read());
  }
}
