// One map drawn as the game draws its bricks: each cell in its digit's colour from the
// game's own table (layout.js), bordered, with its digit; the board's colour where no
// brick is. The cursor of the keyboard is drawn round its cell.
import { LEVELS } from './layout.js';

// A cell's size in CSS pixels, near the game's own at the page's scale (the game's
// bricks are 414.75 by 226.2 twips, 27.65 by 15.08 pixels).
const CELL_WIDTH = 28;
const CELL_HEIGHT = 16;
// Digits on the darkest bricks (8, 9 and 6 are black or deep blue) are written in white,
// so that an 8 and a 9 can be told apart while a map is made.
const LIGHT_DIGITS = new Set([6, 8, 9]);

export function drawMap(canvas, map, cursor) {
  const ratio = window.devicePixelRatio || 1;
  const width = CELL_WIDTH * LEVELS.columns;
  const height = CELL_HEIGHT * LEVELS.rows;
  if (canvas.width !== Math.round(width * ratio)) {
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    canvas.style.width = `${width}px`;
    canvas.style.height = `${height}px`;
  }
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  g.font = 'bold 10px Arial, "Liberation Sans", sans-serif';
  g.textAlign = 'center';
  g.textBaseline = 'middle';
  for (let row = 0; row < LEVELS.rows; ++row) {
    for (let column = 0; column < LEVELS.columns; ++column) {
      const digit = Number(map[row][column]);
      const x = column * CELL_WIDTH;
      const y = row * CELL_HEIGHT;
      g.fillStyle = LEVELS.colours[digit];
      g.fillRect(x, y, CELL_WIDTH, CELL_HEIGHT);
      if (digit === 0) continue;
      g.strokeStyle = '#000000';
      g.lineWidth = 1;
      g.strokeRect(x + 0.5, y + 0.5, CELL_WIDTH - 1, CELL_HEIGHT - 1);
      g.fillStyle = LIGHT_DIGITS.has(digit) ? '#ffffff' : '#000000';
      g.fillText(String(digit), x + CELL_WIDTH / 2, y + CELL_HEIGHT / 2 + 0.5);
    }
  }
  if (!cursor) return;
  g.lineWidth = 2;
  g.strokeStyle = '#ff00ff';
  g.strokeRect(cursor.column * CELL_WIDTH + 1, cursor.row * CELL_HEIGHT + 1, CELL_WIDTH - 2, CELL_HEIGHT - 2);
}

// The cell under a pointer event, or null off the map.
export function cellAt(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const column = Math.floor(((event.clientX - box.left) / box.width) * LEVELS.columns);
  const row = Math.floor(((event.clientY - box.top) / box.height) * LEVELS.rows);
  if (column < 0 || row < 0 || column >= LEVELS.columns || row >= LEVELS.rows) return null;
  return { column, row };
}
