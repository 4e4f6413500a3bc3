// Draws the game on its canvas for the browser back end (an OffscreenCanvas in the
// game's worker, or the page's own canvas), and hands its push buttons on to the page.
// Lengths come in pixels of the game's layout (AREA); the canvas has one pixel per
// device pixel at whatever size the page shows the game, so the layout is drawn at that
// scale: straight edges on whole device pixels, crisp at any scale, curves and text
// antialiased at the device's resolution.
import { AREA } from './layout.js';

// The desktop window's face colour, under everything.
const TILERUSH_FACE = '#f0f0f0';

export class TilerushPainter {
  // `showButton(button)` is told where push button `button.id` is and how it shows.
  constructor(canvas, showButton) {
    this.canvas = canvas;
    this.showButton = showButton;
    this.context = canvas.getContext('2d', { alpha: false });
    this.scaleX = canvas.width / AREA.width;
    this.scaleY = canvas.height / AREA.height;
    this.colours = new Map();
    this.ascents = new Map();
    // The font last given to the canvas: parsing a CSS font is the dearest step of
    // drawing a caption, and neighbouring bricks share theirs.
    this.font = '';
  }

  useFont(font) {
    if (font === this.font) return;
    this.context.font = font;
    this.font = font;
  }

  // Gives the canvas this many device pixels; what it showed is lost.
  resize(deviceWidth, deviceHeight) {
    this.canvas.width = deviceWidth;
    this.canvas.height = deviceHeight;
    this.scaleX = deviceWidth / AREA.width;
    this.scaleY = deviceHeight / AREA.height;
    this.font = '';
  }

  devicePixelsPerPixel() {
    return Math.min(this.scaleX, this.scaleY);
  }

  // 0x00BBGGRR, red in the low byte, as a CSS colour.
  colour(value) {
    let css = this.colours.get(value);
    if (css === undefined) {
      const rgb = ((value & 0xff) << 16) | (value & 0xff00) | ((value >> 16) & 0xff);
      css = '#' + rgb.toString(16).padStart(6, '0');
      this.colours.set(value, css);
    }
    return css;
  }

  // A device pixel is covered when its centre is: where an aliased fill's edge lands.
  static edge(length, scale) {
    return Math.ceil(length * scale - 0.5);
  }

  beginArea(x, y, width, height) {
    const c = this.context;
    const left = Math.floor(x * this.scaleX);
    const top = Math.floor(y * this.scaleY);
    const right = Math.ceil((x + width) * this.scaleX);
    const bottom = Math.ceil((y + height) * this.scaleY);
    c.save();
    this.fontOutsideArea = this.font;
    c.beginPath();
    c.rect(left, top, right - left, bottom - top);
    c.clip();
    c.fillStyle = TILERUSH_FACE;
    c.fillRect(left, top, right - left, bottom - top);
  }

  endArea() {
    this.context.restore();
    this.font = this.fontOutsideArea;
  }

  fillRect(x, y, width, height, colour) {
    const left = TilerushPainter.edge(x, this.scaleX);
    const top = TilerushPainter.edge(y, this.scaleY);
    const right = TilerushPainter.edge(x + width, this.scaleX);
    const bottom = TilerushPainter.edge(y + height, this.scaleY);
    if (right <= left || bottom <= top) return;
    this.context.fillStyle = this.colour(colour);
    this.context.fillRect(left, top, right - left, bottom - top);
  }

  // Curves are drawn in pixels of the layout, scaled: antialiased at the device's resolution.
  outlined(pen, fill, outline, path) {
    const c = this.context;
    c.setTransform(this.scaleX, 0, 0, this.scaleY, 0, 0);
    c.beginPath();
    path(c);
    c.fillStyle = this.colour(fill);
    c.fill();
    c.lineWidth = pen;
    c.strokeStyle = this.colour(outline);
    c.stroke();
    c.setTransform(1, 0, 0, 1, 0, 0);
  }

  roundedRect(x, y, width, height, radius, pen, fill, outline) {
    if (width <= 0 || height <= 0) return;
    const r = Math.min(radius, width / 2, height / 2);
    this.outlined(pen, fill, outline, (c) => c.roundRect(x, y, width, height, r));
  }

  circle(x, y, radius, pen, fill, outline) {
    if (radius <= 0) return;
    this.outlined(pen, fill, outline, (c) => c.arc(x, y, radius, 0, 2 * Math.PI));
  }

  // How far above its baseline a font's line starts: the text's top is there.
  ascent(font) {
    let ascent = this.ascents.get(font);
    if (ascent === undefined) {
      this.useFont(font);
      ascent = this.context.measureText('0').fontBoundingBoxAscent;
      this.ascents.set(font, ascent);
    }
    return ascent;
  }

  text(font, text, x, y, width, align, colour) {
    const c = this.context;
    const baseline = y + this.ascent(font);
    c.setTransform(this.scaleX, 0, 0, this.scaleY, 0, 0);
    this.useFont(font);
    c.fillStyle = this.colour(colour);
    c.textBaseline = 'alphabetic';
    c.textAlign = align === 1 ? 'right' : align === 2 ? 'center' : 'left';
    c.fillText(text, align === 1 ? x + width : align === 2 ? x + width / 2 : x, baseline);
    c.setTransform(1, 0, 0, 1, 0, 0);
  }

  textWidth(font, text) {
    this.useFont(font);
    return this.context.measureText(text).width;
  }

  button(id, x, y, width, height, visible, caption, font) {
    this.showButton({ id, x, y, width, height, visible, caption, font });
  }
}
