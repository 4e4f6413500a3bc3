// Where the game area and its controls go in the page: the game area fitted to the
// view, or to the screen in full screen, on whole device pixels; the game's push
// buttons over it at its scale; and the game area's layout pixel under a point of the
// view, for the pointer and fingers.
import { AREA } from './layout.js';

// The game area in pixels of its layout; the page shows it at a scale that fits.
const WIDTH = AREA.width;
const HEIGHT = AREA.height;

// `send(message)` goes to the game's side; `fullScreen` places the way out of full
// screen (web/full-screen.js), or is null.
export function pageLayout({ root, canvas, send, fullScreen }) {
  const area = root.querySelector('.tilerush-area');
  const page = document.querySelector('main');
  const panel = document.getElementById('tilerush-panel');
  const controlRow = document.getElementById('tilerush-controls');

  // The game's push buttons: real buttons of the page, over the canvas, placed and
  // lettered at the game area's scale (`placeButton`) from where the layout puts them.
  const buttons = [];
  const places = new Map();
  function showButton(button) {
    let b = buttons[button.id];
    if (!b) {
      b = document.createElement('button');
      b.type = 'button';
      b.className = 'tilerush-button';
      b.addEventListener('click', () => {
        send('click', { id: button.id });
        // The button may be gone now; the keys must still reach the game.
        root.focus({ preventScroll: true });
      });
      area.appendChild(b);
      buttons[button.id] = b;
    }
    places.set(b, button);
    placeButton(b);
    if (b.textContent !== button.caption) b.textContent = button.caption;
    b.hidden = !button.visible;
  }

  // The game area's size and scale: `device` pixels of the canvas across and down, and
  // how many device and CSS pixels make one pixel of the layout.
  let shown = null;
  function placeButton(b) {
    const { x, y, width, height, font } = places.get(b);
    const { ratio, acrossPerPixel, downPerPixel, scale } = shown;
    // On whole device pixels, as the canvas's own edges are.
    const across = (v) => Math.round(v * acrossPerPixel) / ratio;
    const down = (v) => Math.round(v * downPerPixel) / ratio;
    b.style.left = `${across(x)}px`;
    b.style.top = `${down(y)}px`;
    b.style.width = `${across(x + width) - across(x)}px`;
    b.style.height = `${down(y + height) - down(y)}px`;
    b.style.borderWidth = `${Math.max(1, Math.round(acrossPerPixel)) / ratio}px`;
    b.style.borderRadius = `${3 * scale}px`;
    b.style.font = font.replace(/([\d.]+)px/, (all, size) => `${size * scale}px`);
  }

  // The game area's lengths and places are whole CSS pixels that are whole device
  // pixels too: a canvas a fraction of a device pixel off its size or place is drawn
  // resampled, blurred, and browsers emulating a device pixel ratio (as tests do) round
  // places to whole CSS pixels. The smallest such count of CSS pixels: 1 at a ratio of 1,
  // 2 or 3, 4 at 1.25 (zoomed to 125%), 2 at 1.5.
  function cssUnit(ratio) {
    for (let unit = 1; unit <= 64; ++unit) {
      if (Math.abs(unit * ratio - Math.round(unit * ratio)) < 1e-3) return unit;
    }
    return 1;
  }

  // The game area at `scale` CSS pixels a layout pixel, or a little less: whole units
  // across and down, and its canvas one pixel for each device pixel it covers.
  function sized(scale, ratio) {
    const unit = cssUnit(ratio);
    const width = Math.max(1, Math.floor((WIDTH * scale) / unit)) * unit;
    const height = Math.max(1, Math.floor((HEIGHT * scale) / unit)) * unit;
    const across = Math.round(width * ratio);
    const down = Math.round(height * ratio);
    return {
      device: { width: across, height: down },
      width,
      height,
      ratio,
      acrossPerPixel: across / WIDTH,
      downPerPixel: down / HEIGHT,
      scale: width / WIDTH,
    };
  }

  // Shows the game area as `size` says, at `left`, `top` (CSS pixels, in its frame); the
  // game's side redraws everything when the canvas's device pixels change.
  let deviceSize = '';
  let canvasBox = null;
  function showArea(size, left, top) {
    shown = size;
    canvasBox = null;
    area.style.left = `${left}px`;
    area.style.top = `${top}px`;
    area.style.width = `${size.width}px`;
    area.style.height = `${size.height}px`;
    for (const b of buttons) if (b) placeButton(b);
    const { width, height } = size.device;
    if (`${width}x${height}` !== deviceSize) {
      deviceSize = `${width}x${height}`;
      send('resize', { width, height });
    }
  }

  // CSS pixels round the page and between the game and its controls; the controls'
  // narrowest and widest when they stand beside the game.
  const MARGIN = 8;
  const GAP = 12;
  const PANEL_NARROWEST = 160;
  const PANEL_WIDEST = 240;
  // The controls stay in view only while that leaves the game area at least this share
  // of the largest scale it could have alone; otherwise they go below the fold.
  const CONTROLS_IN_VIEW_AT = 0.82;
  const fitScale = (width, height) => Math.max(0, Math.min(width / WIDTH, height / HEIGHT));
  const snap = (css, ratio) => Math.round(css / cssUnit(ratio)) * cssUnit(ratio);

  // The height of the whole panel, and of its controls alone (the help under them),
  // when laid out as `layout` at `width` CSS pixels.
  function panelHeights(layout, width) {
    page.dataset.layout = layout;
    panel.style.width = `${width}px`;
    return { whole: panel.offsetHeight, controls: controlRow.offsetTop + controlRow.offsetHeight };
  }

  // Where the controls may go in a view `width` x `height`, and the game area's scale
  // with them there. Beside the game they take the margin it leaves, or make one.
  function candidates(width, height) {
    const alone = fitScale(width - 2 * MARGIN, height - 2 * MARGIN);
    const margin = (width - WIDTH * alone) / 2 - GAP - MARGIN;
    const besideWidth = Math.min(PANEL_WIDEST, Math.max(PANEL_NARROWEST, margin));
    const beside = panelHeights('beside', besideWidth);
    const besideScale = fitScale(width - 2 * (MARGIN + GAP + besideWidth), height - 2 * MARGIN);
    const underWidth = Math.min(width - 2 * MARGIN, WIDTH);
    const under = panelHeights('under', underWidth);
    const underScale = (inView) => fitScale(width - 2 * MARGIN, height - 2 * MARGIN - GAP - inView);
    const fits = (inView) => inView <= height - 2 * MARGIN;
    const choice = (layout, panelWidth, inView, whole, scale) => ({ layout, panelWidth, inView, whole, scale });
    return {
      alone: choice('alone', underWidth, 0, under.whole, alone),
      // Every control and the help in view, then the controls alone with the help below the fold.
      tiers: [
        [
          fits(beside.whole) && choice('beside', besideWidth, beside.whole, beside.whole, besideScale),
          choice('under', underWidth, under.whole, under.whole, underScale(under.whole)),
        ],
        [
          fits(beside.controls) && choice('beside', besideWidth, beside.controls, beside.whole, besideScale),
          choice('under', underWidth, under.controls, under.whole, underScale(under.controls)),
        ],
      ],
    };
  }

  // The first way of showing the controls that leaves the game area large enough, the
  // larger of beside and under where both do; below the fold if none does.
  function chooseLayout(width, height) {
    const enough = CONTROLS_IN_VIEW_AT * fitScale(width, height);
    const { alone, tiers } = candidates(width, height);
    for (const tier of tiers) {
      const best = tier.filter((c) => c && c.scale >= enough).sort((a, b) => b.scale - a.scale)[0];
      if (best) return best;
    }
    return alone;
  }

  // The game area centred across the view, and down it where the controls under it
  // leave room; the controls beside it in the margin on its right, or under it.
  function layOutPage() {
    const ratio = window.devicePixelRatio || 1;
    const width = document.documentElement.clientWidth;
    const height = document.documentElement.clientHeight;
    const choice = chooseLayout(width, height);
    const size = sized(choice.scale, ratio);
    page.dataset.layout = choice.layout;
    panel.style.width = `${choice.panelWidth}px`;
    const left = snap((width - size.width) / 2, ratio);
    let top = (height - size.height) / 2;
    let panelLeft = (width - choice.panelWidth) / 2;
    let panelTop = top + size.height + GAP;
    if (choice.layout === 'beside') {
      panelLeft = left + size.width + GAP;
      // Level with the game's middle when it all fits, else from the game's top down.
      panelTop = top + Math.max(0, (size.height - choice.whole) / 2);
    } else if (choice.layout === 'under') {
      top = Math.max(MARGIN, Math.min(top, height - MARGIN - choice.inView - GAP - size.height));
      panelTop = top + size.height + GAP;
    }
    top = snap(top, ratio);
    root.style.left = `${left}px`;
    root.style.top = `${top}px`;
    root.style.width = `${size.width}px`;
    root.style.height = `${size.height}px`;
    panel.style.left = `${snap(panelLeft, ratio)}px`;
    panel.style.top = `${snap(panelTop, ratio)}px`;
    page.style.height = `${Math.max(height, Math.ceil(panel.offsetTop + panel.offsetHeight + MARGIN))}px`;
    showArea(size, 0, 0);
  }

  // In full screen the game area has the whole screen, at the largest scale that fits,
  // in the middle of its frame, which shows the desktop window's face colour round it.
  function layOutFullScreen() {
    const ratio = window.devicePixelRatio || 1;
    const width = root.clientWidth;
    const height = root.clientHeight;
    const size = sized(fitScale(width, height), ratio);
    showArea(size, snap((width - size.width) / 2, ratio), snap((height - size.height) / 2, ratio));
    fullScreen?.placeWayOut(width, height, size);
  }

  // Follows the view at once: a rotation or a resize of the window, a zoom (which
  // changes the device pixel ratio as well as the view), a scroll bar coming or going,
  // full screen, and the controls growing or shrinking.
  function fitToView() {
    if (document.fullscreenElement === root) layOutFullScreen();
    else layOutPage();
  }
  function followTheView() {
    window.addEventListener('resize', fitToView);
    document.addEventListener('fullscreenchange', fitToView);
    const watch = () => {
      const ratio = window.devicePixelRatio || 1;
      matchMedia(`(resolution: ${ratio}dppx)`).addEventListener(
        'change',
        () => {
          fitToView();
          watch();
        },
        { once: true },
      );
    };
    watch();
    if (typeof ResizeObserver === 'function') {
      // Only when a size really changed, so that laying out again cannot go on forever.
      const seen = new WeakMap();
      // Laid out in the next frame, never inside the observer's callback: laying out
      // changes what it observes (the page's height, the controls' width), and a size
      // changed within the callback is a loop that Firefox and WebKit report as an error.
      let pending = 0;
      const observer = new ResizeObserver((entries) => {
        let changed = false;
        for (const entry of entries) {
          const now = `${entry.contentRect.width}x${entry.contentRect.height}`;
          changed ||= seen.get(entry.target) !== now;
          seen.set(entry.target, now);
        }
        if (changed && !pending) {
          pending = requestAnimationFrame(() => {
            pending = 0;
            fitToView();
          });
        }
      });
      observer.observe(document.documentElement);
      observer.observe(controlRow);
    }
  }

  // The game area's layout pixel under a point of the view, through the canvas as it
  // is shown, at whatever scale and wherever it is; none outside it. Where the canvas
  // lies is asked at most once a frame: asked at every move of the mouse, it would lay
  // the page out again each time, to no end. Kept any longer, it could go stale, for the
  // canvas moves with the page around it (a face that comes late, a line of text that
  // appears) without the game area changing, and the mouse would steer to the wrong spot.
  function layoutPoint({ clientX, clientY }) {
    if (!canvasBox) {
      canvasBox = canvas.getBoundingClientRect();
      requestAnimationFrame(() => {
        canvasBox = null;
      });
    }
    const box = canvasBox;
    const x = ((clientX - box.left) * WIDTH) / box.width;
    const y = ((clientY - box.top) * HEIGHT) / box.height;
    return x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT ? { x, y } : null;
  }

  return {
    fitToView,
    followTheView,
    showButton,
    layoutPoint,
    // The canvas's device pixels now.
    device: () => shown.device,
  };
}
