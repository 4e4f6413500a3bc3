// The level set being made in the page's editor: its title and maps, the map and cell
// being edited, and every change kept for undo and redo. No page element here: the
// editor (web/editor.js) shows it and hands it what the player does. A set's text is
// read by the game's own reader (in the WebAssembly); this writes the same text back.
import { LEVELS } from './layout.js';

const { columns: COLUMNS, rows: ROWS, mostMaps: MOST_MAPS } = LEVELS;
const EMPTY_ROW = '0'.repeat(COLUMNS);
const ROW = new RegExp(`^[0-9]{${COLUMNS}}$`);
// Undo goes back this many steps; older ones are let go, so that a long session of
// painting never fills the browser's memory or its storage.
const MOST_UNDO = 500;

export const emptyMap = () => Array.from({ length: ROWS }, () => EMPTY_ROW);
// A new set starts with one map holding a row of bricks, so that it can be played at once.
const firstMap = () => {
  const map = emptyMap();
  map[1] = '1'.repeat(COLUMNS);
  return map;
};

export const brickCount = (map) => map.join('').replace(/0/g, '').length;

// Whether `text` may be a title: short enough, and no control character in it.
export const titleFault = (title) => {
  // eslint-disable-next-line no-control-regex
  if (/[\u0000-\u001f\u007f-\u009f]/.test(title)) return 'A title holds no control characters.';
  if ([...title].length > LEVELS.longestTitle) return `A title is at most ${LEVELS.longestTitle} characters.`;
  return '';
};

const isMap = (map) => Array.isArray(map) && map.length === ROWS && map.every((row) => ROW.test(row));

function soundSnapshot(text) {
  try {
    const { title, maps, current } = JSON.parse(text);
    return (
      typeof title === 'string' &&
      !titleFault(title) &&
      Array.isArray(maps) &&
      maps.length >= 1 &&
      maps.length <= MOST_MAPS &&
      maps.every(isMap) &&
      Number.isInteger(current)
    );
  } catch {
    return false;
  }
}

export class LevelSet {
  // `saved`: what keep() gave before (the work in progress), or nothing for a new set.
  constructor(saved = null) {
    this.title = '';
    this.maps = [firstMap()];
    this.current = 0;
    this.cursor = { column: 0, row: 0 };
    this.past = [];
    this.future = [];
    this.stroke = null;
    // What the browser kept may be from another version, or damaged: it is taken only
    // when it is a set the editor could have made.
    if (saved && soundSnapshot(saved)) this.restore(saved);
  }

  get map() {
    return this.maps[this.current];
  }

  get canUndo() {
    return this.past.length > 0;
  }

  get canRedo() {
    return this.future.length > 0;
  }

  // What undo brings back: the set and the map shown, not the cursor.
  snapshot() {
    return JSON.stringify({ title: this.title, maps: this.maps, current: this.current });
  }

  restore(text) {
    const { title, maps, current } = JSON.parse(text);
    this.title = title;
    this.maps = maps;
    this.current = Math.min(Math.max(current, 0), maps.length - 1);
  }

  // Every change is one step of undo: `change` runs it and remembers what was before.
  change(act) {
    const before = this.snapshot();
    act();
    if (this.snapshot() === before) return false;
    this.past.push(before);
    if (this.past.length > MOST_UNDO) this.past.shift();
    this.future = [];
    return true;
  }

  undo() {
    if (!this.canUndo) return false;
    this.future.push(this.snapshot());
    this.restore(this.past.pop());
    return true;
  }

  redo() {
    if (!this.canRedo) return false;
    this.past.push(this.snapshot());
    this.restore(this.future.pop());
    return true;
  }

  // A drag of the pointer paints many cells and is one step of undo.
  beginStroke() {
    this.stroke = this.snapshot();
  }

  endStroke() {
    if (this.stroke === null) return;
    if (this.snapshot() !== this.stroke) {
      this.past.push(this.stroke);
      this.future = [];
    }
    this.stroke = null;
  }

  paint(column, row, digit) {
    const put = () => {
      const text = this.map[row];
      this.map[row] = text.slice(0, column) + digit + text.slice(column + 1);
    };
    if (this.stroke !== null) {
      put();
      return true;
    }
    return this.change(put);
  }

  moveCursor(dColumn, dRow) {
    this.cursor.column = Math.min(Math.max(this.cursor.column + dColumn, 0), COLUMNS - 1);
    this.cursor.row = Math.min(Math.max(this.cursor.row + dRow, 0), ROWS - 1);
  }

  setTitle(title) {
    return this.change(() => {
      this.title = title;
    });
  }

  choose(index) {
    if (index >= 0 && index < this.maps.length) this.current = index;
  }

  addMap() {
    if (this.maps.length >= MOST_MAPS) return false;
    return this.change(() => {
      this.maps.splice(this.current + 1, 0, emptyMap());
      this.current += 1;
    });
  }

  copyMap() {
    if (this.maps.length >= MOST_MAPS) return false;
    return this.change(() => {
      this.maps.splice(this.current + 1, 0, [...this.map]);
      this.current += 1;
    });
  }

  // The last map is never deleted: a set has one at least.
  deleteMap() {
    if (this.maps.length === 1) return false;
    return this.change(() => {
      this.maps.splice(this.current, 1);
      this.current = Math.min(this.current, this.maps.length - 1);
    });
  }

  moveMap(by) {
    const to = this.current + by;
    if (to < 0 || to >= this.maps.length) return false;
    return this.change(() => {
      const [map] = this.maps.splice(this.current, 1);
      this.maps.splice(to, 0, map);
      this.current = to;
    });
  }

  // The first map that cannot be played, as its number, or 0: a map needs a brick.
  emptyMapNumber() {
    return this.maps.findIndex((map) => brickCount(map) === 0) + 1;
  }

  // The set as a file holds it (docs/levels.md).
  text() {
    const maps = this.maps.map((map) => `map\n${map.join('\n')}\n`).join('');
    return `# Tilerush levels\ntitle ${this.title}\n${maps}`;
  }

  // A set the game's reader read ({ title, maps }) in place of this one, as one step.
  replaceWith(set) {
    return this.change(() => {
      this.title = set.title;
      this.maps = set.maps.map((map) => [...map]);
      this.current = 0;
    });
  }
}
