// The replay controls under the game area: "Save replay" downloads the game played so
// far as a replay file, "Watch a replay" plays a chosen one in the game area and says
// whether every expectation in it held; "Copy link" puts the game so far, or the
// replay watched, in a link to the page (web/links.js), and "Share" hands the replay
// file to the system's sharing where the browser has it.
import { REPLAYS } from './layout.js';
import { LONGEST_LINK_CHARS, canMakeLinks, linkOf } from './links.js';

const MIB = 1024 * 1024;

export class TilerushReplays {
  // `send(type, fields)` goes to the game's side; `game` is the game area, which gets the
  // keyboard back after each control is used.
  constructor(controls, game, send) {
    this.game = game;
    this.send = send;
    this.save = this.control(controls, 'tilerush-save', 'Save replay', () => this.saveReplay());
    this.copy = this.control(controls, 'tilerush-copy-link', 'Copy link', () => this.send('link', { share: false }));
    this.copy.hidden = !canMakeLinks();
    this.share = this.control(controls, 'tilerush-share', 'Share', () => this.send('link', { share: true }));
    this.share.hidden = typeof navigator.canShare !== 'function';
    this.watch = this.control(controls, 'tilerush-watch', 'Watch a replay', () => this.picker.click());
    this.back = this.control(controls, 'tilerush-back', 'Back to my game', () => this.send('back'));
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
    // The last link made, to copy by hand where the clipboard is refused.
    this.linkField = document.createElement('input');
    this.linkField.type = 'text';
    this.linkField.readOnly = true;
    this.linkField.id = 'tilerush-link';
    this.linkField.className = 'tilerush-link';
    this.linkField.setAttribute('aria-label', 'Link to this game');
    this.linkField.hidden = true;
    this.linkField.addEventListener('focus', () => this.linkField.select());
    controls.appendChild(this.linkField);
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
    this.copy.disabled = false;
    this.share.disabled = false;
    this.watch.disabled = false;
    this.back.disabled = false;
  }

  tell(text) {
    this.status.textContent = text;
  }

  saveReplay() {
    this.send('save', { name: this.fileName() });
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
    // Larger files are refused before they are read.
    if (file.size > REPLAYS.longestBytes) {
      return this.refused(
        `the file is ${(file.size / MIB).toFixed(1)} MiB, and a replay is at most ${REPLAYS.longestBytes / MIB} MiB`,
      );
    }
    this.tell(`Checking ${file.name}…`);
    file.arrayBuffer().then(
      (bytes) => this.send('watch', { bytes }),
      () => this.refused('the file cannot be read'),
    );
  }

  // The bytes of the game so far, or of the replay watched, made into a link or shared.
  async linked(bytes, share) {
    if (share) return this.shareFile(bytes);
    const link = await linkOf(bytes);
    if (link.length > LONGEST_LINK_CHARS) {
      this.linkField.hidden = true;
      this.tell(
        `This game is too long for a link (${link.length} characters); save it with Save replay and send the file instead.`,
      );
      return;
    }
    this.linkField.value = link;
    this.linkField.hidden = false;
    try {
      await navigator.clipboard.writeText(link);
      this.tell(`Link copied (${link.length} characters).`);
    } catch {
      this.tell('The browser did not let the link be copied; copy it from the field.');
    }
  }

  async shareFile(bytes) {
    const file = new File([bytes], this.fileName(), { type: 'text/plain' });
    if (!navigator.canShare({ files: [file] })) {
      this.tell('This browser cannot share replay files; use Copy link or Save replay.');
      return;
    }
    try {
      await navigator.share({ files: [file], title: 'A game of Tilerush' });
    } catch (error) {
      if (error?.name !== 'AbortError') this.tell('The replay could not be shared; use Copy link or Save replay.');
    }
  }

  fileName() {
    const stamp = new Date().toISOString().slice(0, 19).replace(/:/g, '-');
    return `tilerush-${stamp}.tilerush`;
  }

  // A replay from the page's link, checked as a chosen file is.
  openLink(bytes) {
    this.openBytes(bytes, 'the replay in the link');
  }

  // A replay the page holds (a link's, a kept game's), named for what is said of it.
  openBytes(bytes, name) {
    this.name = name;
    this.tell(`Checking ${name}…`);
    this.send('watch', { bytes: bytes.buffer });
  }

  refused(why) {
    this.tell(`Cannot watch ${this.name}: ${why}.`);
  }

  // The page's own buttons of the mode: whether "Back to my game" shows.
  showButtons({ backToMyGame }) {
    this.back.hidden = !backToMyGame;
  }

  watching() {
    this.tell(`Watching ${this.name}…`);
  }

  over(verdict) {
    this.tell(`${this.name}: ${verdict}`);
  }

  playing() {
    this.tell('');
  }
}
