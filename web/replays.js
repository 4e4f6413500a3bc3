// The replay controls under the game area: "Save replay" downloads the game played so
// far as a replay file, "Watch a replay" plays a chosen one in the game area and says
// whether every expectation in it held.
'use strict';

// Larger files are refused before they are read: a replay grows by a few kilobytes a
// minute of play, so this is days of it.
const TILERUSH_LONGEST_REPLAY_BYTES = 16 * 1024 * 1024;

export class TilerushReplays {
  // `send(message)` goes to the game's side; `game` is the game area, which gets the
  // keyboard back after each control is used.
  constructor(controls, game, send) {
    this.game = game;
    this.send = send;
    this.save = this.control(controls, 'tilerush-save', 'Save replay', () => this.saveReplay());
    this.watch = this.control(controls, 'tilerush-watch', 'Watch a replay', () => this.picker.click());
    this.back = this.control(controls, 'tilerush-back', 'Back to my game', () => this.send({ type: 'back' }));
    this.back.hidden = true;
    this.picker = document.createElement('input');
    this.picker.type = 'file';
    this.picker.accept = '.tilerush,text/plain';
    this.picker.hidden = true;
    this.picker.addEventListener('change', () => this.chosen());
    controls.appendChild(this.picker);
    this.status = document.createElement('output');
    this.status.id = 'tilerush-replay-status';
    this.status.className = 'tilerush-status';
    this.status.setAttribute('role', 'status');
    controls.appendChild(this.status);
    this.name = '';
  }

  control(controls, id, caption, act) {
    const b = document.createElement('button');
    b.type = 'button';
    b.id = id;
    b.className = 'tilerush-control';
    b.textContent = caption;
    b.disabled = true;
    b.addEventListener('click', () => {
      act();
      this.game.focus({ preventScroll: true });
    });
    controls.appendChild(b);
    return b;
  }

  enable() {
    this.save.disabled = false;
    this.watch.disabled = false;
    this.back.disabled = false;
  }

  tell(text) {
    this.status.textContent = text;
  }

  saveReplay() {
    const stamp = new Date().toISOString().slice(0, 19).replace(/:/g, '-');
    this.send({ type: 'save', name: `tilerush-${stamp}.tilerush` });
  }

  download(text, name) {
    const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    this.tell(`Saved ${name}.`);
  }

  // A file too large or empty is refused here; everything else is checked whole, on a
  // game of its own, before it replaces what the game area shows.
  chosen() {
    const file = this.picker.files[0];
    this.picker.value = '';
    if (!file) return;
    this.name = file.name;
    if (file.size === 0) return this.refused('the file is empty');
    if (file.size > TILERUSH_LONGEST_REPLAY_BYTES) {
      return this.refused(`the file is ${(file.size / 1048576).toFixed(1)} MiB, and a replay is at most 16 MiB`);
    }
    this.tell(`Checking ${file.name}…`);
    file.arrayBuffer().then(
      (bytes) => this.send({ type: 'watch', bytes }),
      () => this.refused('the file cannot be read'),
    );
  }

  refused(why) {
    this.tell(`Cannot watch ${this.name}: ${why}.`);
  }

  watching() {
    this.back.hidden = false;
    this.tell(`Watching ${this.name}…`);
  }

  over(verdict) {
    this.tell(`${this.name}: ${verdict}`);
  }

  playing() {
    this.back.hidden = true;
    this.tell('');
  }
}
