// The page's level editor: a map of 20 by 10 cells painted as the game paints its
// bricks, a palette of the ten digits, the set's maps and title, undo and redo, Play
// from the map being edited, links and files. The set itself and its undo are
// web/level-set.js's; the game's side reads every set with the game's own reader before
// it is played, linked or taken from a file, and says what is wrong in one sentence.
import { LEVELS } from './layout.js';
import { LevelSet, brickCount, titleFault } from './level-set.js';
import { LONGEST_LINK_CHARS, LONGEST_SET_BYTES, levelsLinkOf } from './links.js';
import { drawMap, cellAt } from './map-canvas.js';

const STORE_KEY = 'tilerush-levels-in-progress';
const DIGIT_NAMES = ['empty', ...Array.from({ length: 8 }, (_, i) => `${i + 1} hits`), 'special'];

function element(tag, fields = {}, parent = null) {
  const made = Object.assign(document.createElement(tag), fields);
  parent?.appendChild(made);
  return made;
}

function button(parent, caption, act, label = '') {
  const b = element('button', { type: 'button', className: 'tilerush-control', textContent: caption }, parent);
  if (label) b.setAttribute('aria-label', label);
  b.addEventListener('click', act);
  return b;
}

export class TilerushEditor {
  // `main` gets the editor; `controls` the button that opens it; `game` is the game
  // area; `send(type, fields)` goes to the game's side; `storageRefused(error)` is said
  // once when the browser keeps nothing.
  constructor({ main, controls, game, send, storageRefused }) {
    this.game = game;
    this.send = send;
    this.storageRefused = storageRefused;
    this.set = new LevelSet(this.stored());
    this.digit = 1;
    this.pending = null;
    this.open = button(controls, 'Edit levels', () => this.show());
    this.open.id = 'tilerush-edit-levels';
    this.back = button(controls, 'Back to the editor', () => this.show());
    this.back.id = 'tilerush-back-to-editor';
    this.back.hidden = true;
    this.build(main);
    this.refresh();
  }

  build(main) {
    // Over the whole page while open, so a dialog of its own; Close or Play leave it.
    const root = element('section', { id: 'tilerush-editor', className: 'tilerush-editor', hidden: true }, main);
    root.setAttribute('role', 'dialog');
    root.setAttribute('aria-modal', 'true');
    root.setAttribute('aria-labelledby', 'tilerush-editor-heading');
    element('h2', { id: 'tilerush-editor-heading', textContent: 'Level editor' }, root);
    const top = element('div', { className: 'tilerush-editor-row' }, root);
    const titleLabel = element('label', { textContent: 'Title ' }, top);
    this.title = element(
      'input',
      { type: 'text', id: 'tilerush-levels-title', maxLength: LEVELS.longestTitle },
      titleLabel,
    );
    this.title.addEventListener('input', () => this.titleTyped());
    const mapLabel = element('label', { textContent: 'Map ' }, top);
    this.mapList = element('select', { id: 'tilerush-levels-map' }, mapLabel);
    this.mapList.addEventListener('change', () => this.chooseMap(this.mapList.selectedIndex));
    const maps = element('div', { className: 'tilerush-editor-row', role: 'group' }, root);
    maps.setAttribute('aria-label', 'Maps');
    this.mapButtons = {
      add: button(maps, 'Add map', () => this.act(() => this.set.addMap())),
      copy: button(maps, 'Copy map', () => this.act(() => this.set.copyMap())),
      remove: button(maps, 'Delete map', () => this.act(() => this.set.deleteMap())),
      up: button(maps, 'Move earlier', () => this.act(() => this.set.moveMap(-1))),
      down: button(maps, 'Move later', () => this.act(() => this.set.moveMap(1))),
    };
    this.buildPalette(root);
    this.buildGrid(root);
    const acts = element('div', { className: 'tilerush-editor-row' }, root);
    this.undoButton = button(acts, 'Undo', () => this.act(() => this.set.undo()));
    this.redoButton = button(acts, 'Redo', () => this.act(() => this.set.redo()));
    this.playButton = button(acts, 'Play', () => this.play());
    this.playButton.id = 'tilerush-levels-play';
    button(acts, 'Copy link', () => this.copyLink()).id = 'tilerush-levels-link';
    button(acts, 'Save file', () => this.saveFile()).id = 'tilerush-levels-save';
    button(acts, 'Open file', () => this.picker.click()).id = 'tilerush-levels-open';
    button(acts, 'New set', () => this.act(() => this.set.replaceWith(new LevelSet())));
    button(acts, 'Close', () => this.hide());
    this.picker = element('input', { type: 'file', accept: '.tilerush-levels,.txt,text/plain', hidden: true }, acts);
    this.picker.addEventListener('change', () => this.fileChosen());
    this.linkField = element(
      'input',
      { type: 'text', readOnly: true, id: 'tilerush-levels-link-field', hidden: true },
      root,
    );
    this.linkField.setAttribute('aria-label', 'Link to this level set');
    this.message = element('p', { id: 'tilerush-levels-message', className: 'tilerush-status' }, root);
    this.message.setAttribute('role', 'status');
    root.addEventListener('keydown', (event) => this.shortcut(event));
    root.addEventListener('keydown', (event) => {
      if (event.key === 'Escape') this.hide();
    });
    this.root = root;
  }

  buildPalette(root) {
    const palette = element('div', { className: 'tilerush-palette', role: 'radiogroup' }, root);
    palette.setAttribute('aria-label', 'Brick to paint');
    this.swatches = DIGIT_NAMES.map((name, digit) => {
      const swatch = button(palette, String(digit), () => this.pick(digit), `${digit}: ${name}`);
      swatch.setAttribute('role', 'radio');
      swatch.className = 'tilerush-swatch';
      // The game's own colour for each digit (CSSOM, which the page's policy allows).
      swatch.style.backgroundColor = LEVELS.colours[digit];
      swatch.style.color = [0, 1, 2, 3, 4, 5, 7].includes(digit) ? '#000000' : '#ffffff';
      return swatch;
    });
  }

  buildGrid(root) {
    this.grid = element('div', { className: 'tilerush-map', tabIndex: 0, role: 'application' }, root);
    this.grid.id = 'tilerush-levels-grid';
    this.grid.setAttribute(
      'aria-label',
      'Map cells: the arrow keys move, a digit paints, Space paints the chosen brick, Delete empties; or paint with the pointer, the right button empties.',
    );
    this.canvas = element('canvas', {}, this.grid);
    this.cell = element('p', { className: 'tilerush-status', id: 'tilerush-levels-cell' }, root);
    this.cell.setAttribute('aria-live', 'polite');
    this.grid.addEventListener('keydown', (event) => this.gridKey(event));
    this.grid.addEventListener('contextmenu', (event) => event.preventDefault());
    this.canvas.addEventListener('pointerdown', (event) => this.pointerDown(event));
    this.canvas.addEventListener('pointermove', (event) => this.pointerMove(event));
    for (const type of ['pointerup', 'pointercancel']) this.canvas.addEventListener(type, () => this.strokeEnded());
    this.grid.addEventListener('focus', () => this.draw());
    this.grid.addEventListener('blur', () => this.draw());
  }

  // ---- What the player does ----

  act(change) {
    if (change()) this.changed();
    else this.refresh();
  }

  changed() {
    this.keep();
    this.refresh();
  }

  pick(digit) {
    this.digit = digit;
    this.refresh();
  }

  titleTyped() {
    const fault = titleFault(this.title.value);
    this.say(fault);
    if (!fault) this.act(() => this.set.setTitle(this.title.value));
  }

  chooseMap(index) {
    this.set.choose(index);
    this.refresh();
  }

  // Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, wherever the editor has the keyboard
  // but in the title, where the browser's own undo of the text is the player's.
  shortcut(event) {
    if (event.target === this.title || !(event.ctrlKey || event.metaKey)) return;
    const key = event.key.toLowerCase();
    if (key === 'z' && !event.shiftKey) this.act(() => this.set.undo());
    else if (key === 'y' || (key === 'z' && event.shiftKey)) this.act(() => this.set.redo());
    else return;
    event.preventDefault();
  }

  gridKey(event) {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const { column, row } = this.set.cursor;
    if (moves[event.key]) {
      this.set.moveCursor(...moves[event.key]);
      this.refresh();
    } else if (/^[0-9]$/.test(event.key)) {
      this.digit = Number(event.key);
      this.act(() => this.set.paint(column, row, event.key));
    } else if (event.key === ' ' || event.key === 'Enter') {
      this.act(() => this.set.paint(column, row, String(this.digit)));
    } else if (event.key === 'Delete' || event.key === 'Backspace') {
      this.act(() => this.set.paint(column, row, '0'));
    } else {
      return;
    }
    event.preventDefault();
  }

  // The right button, or Shift held, empties; anything else paints the chosen brick.
  pointerDown(event) {
    const at = cellAt(this.canvas, event);
    if (!at) return;
    event.preventDefault();
    this.grid.focus({ preventScroll: true });
    this.canvas.setPointerCapture?.(event.pointerId);
    this.strokeDigit = event.button === 2 || event.shiftKey ? '0' : String(this.digit);
    this.set.beginStroke();
    this.paintAt(at);
  }

  pointerMove(event) {
    if (this.set.stroke === null) return;
    const at = cellAt(this.canvas, event);
    if (at) this.paintAt(at);
  }

  paintAt({ column, row }) {
    this.set.cursor = { column, row };
    this.set.paint(column, row, this.strokeDigit);
    this.refresh();
  }

  strokeEnded() {
    if (this.set.stroke === null) return;
    this.set.endStroke();
    this.changed();
  }

  // ---- Play, links, files: each set is read by the game's own reader first ----

  // `then(set)` once the game's side has read `text` and found it sound; with `play`, a
  // game on it starts from the map being edited.
  read(text, play, then, firstMap = this.set.current + 1) {
    this.pending = then;
    this.send('levels', { text, play, firstMap });
  }

  // A set a link holds, offered with Play (from its first map) and Edit; `tell(text)`
  // says what is wrong with it.
  offerShared(text, controls, tell) {
    this.read(
      text,
      false,
      (set) => {
        this.shared?.remove();
        const offer = element(
          'div',
          { id: 'tilerush-shared-set', className: 'tilerush-shared', role: 'group' },
          controls,
        );
        offer.setAttribute('aria-label', 'Level set from the link');
        const maps = `${set.maps.length} map${set.maps.length === 1 ? '' : 's'}`;
        element('span', { textContent: `Level set “${set.title}”, ${maps}: ` }, offer);
        button(offer, 'Play', () => this.read(text, true, () => this.game.focus({ preventScroll: true }), 1)).id =
          'tilerush-shared-play';
        button(offer, 'Edit', () => {
          this.act(() => this.set.replaceWith(set));
          this.show();
        }).id = 'tilerush-shared-edit';
        this.shared = offer;
      },
      1,
    );
    this.whenRefused = tell;
  }

  // The game's side read a set: what is wrong with it, or the set as it read it.
  levelsRead({ why, set, play }) {
    const then = this.pending;
    this.pending = null;
    if (why) {
      const sentence = `This level set cannot be ${play ? 'played' : 'used'}: ${why}.`;
      if (this.whenRefused) this.whenRefused(sentence);
      else this.say(sentence);
      this.whenRefused = null;
      return;
    }
    this.whenRefused = null;
    then?.(set);
  }

  play() {
    this.read(this.set.text(), true, () => {
      this.say('');
      this.hide();
      this.back.hidden = false;
      this.game.focus({ preventScroll: true });
    });
  }

  copyLink() {
    this.read(this.set.text(), false, async () => {
      const link = await levelsLinkOf(this.set.text());
      if (link.length > LONGEST_LINK_CHARS) return this.say('This set is too large for a link; save it as a file.');
      this.linkField.value = link;
      this.linkField.hidden = false;
      try {
        await navigator.clipboard.writeText(link);
        this.say(`Link copied (${link.length} characters).`);
      } catch {
        this.say('The browser did not let the link be copied; copy it from the field.');
      }
    });
  }

  saveFile() {
    const name = `${this.set.title.replace(/[^\p{L}\p{N} _-]/gu, '').trim() || 'levels'}.tilerush-levels`;
    const url = URL.createObjectURL(new Blob([this.set.text()], { type: 'text/plain' }));
    element('a', { href: url, download: name }).click();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    this.say(`Saved ${name}.`);
  }

  fileChosen() {
    const file = this.picker.files[0];
    this.picker.value = '';
    if (!file) return;
    if (file.size > LONGEST_SET_BYTES) return this.say(`${file.name} is larger than a level set can be.`);
    file.text().then(
      (text) => this.take(text),
      () => this.say(`${file.name} cannot be read.`),
    );
  }

  // A set from a file or a link, in place of the one in the editor (undo brings it back).
  take(text, then = null) {
    this.read(text, false, (set) => {
      this.act(() => this.set.replaceWith(set));
      this.say(`Opened “${set.title}”, ${set.maps.length} map${set.maps.length === 1 ? '' : 's'}.`);
      then?.(set);
    });
  }

  // ---- Showing ----

  show() {
    this.root.hidden = false;
    this.back.hidden = true;
    this.refresh();
    this.grid.focus();
  }

  hide() {
    this.root.hidden = true;
    this.open.focus({ preventScroll: true });
  }

  say(text) {
    this.message.textContent = text;
  }

  refresh() {
    const set = this.set;
    if (document.activeElement !== this.title) this.title.value = set.title;
    this.mapList.replaceChildren(
      ...set.maps.map((map, i) => element('option', { textContent: `${i + 1} (${brickCount(map)} bricks)` })),
    );
    this.mapList.selectedIndex = set.current;
    this.mapButtons.add.disabled = this.mapButtons.copy.disabled = set.maps.length >= LEVELS.mostMaps;
    this.mapButtons.remove.disabled = set.maps.length === 1;
    this.mapButtons.up.disabled = set.current === 0;
    this.mapButtons.down.disabled = set.current === set.maps.length - 1;
    this.undoButton.disabled = !set.canUndo;
    this.redoButton.disabled = !set.canRedo;
    this.swatches.forEach((swatch, digit) => swatch.setAttribute('aria-checked', String(digit === this.digit)));
    const { column, row } = set.cursor;
    const value = Number(set.map[row][column]);
    this.cell.textContent = `Map ${set.current + 1}, row ${row + 1}, column ${column + 1}: ${DIGIT_NAMES[value]}. ${brickCount(set.map)} bricks.`;
    this.draw();
  }

  draw() {
    drawMap(this.canvas, this.set.map, document.activeElement === this.grid ? this.set.cursor : null);
  }

  // ---- Kept in the browser, so that a reload loses nothing ----

  stored() {
    try {
      return localStorage.getItem(STORE_KEY);
    } catch (error) {
      this.storageRefused(error);
      return null;
    }
  }

  keep() {
    try {
      localStorage.setItem(STORE_KEY, this.set.snapshot());
    } catch (error) {
      this.storageRefused(error);
    }
  }
}
