// "Full screen": the game area alone on the whole screen. In full screen the same
// button, as "Leave full screen", sits in a corner of the screen beside the game area
// where the margin round it holds the button. The game's side asks for full screen
// by its keys too (F11 or Alt+Enter, Escape to leave it).
const PAD = 8;

// `root` is the game's frame, which goes full screen; the button goes in `controls`.
// Null where the browser has no full screen for an element.
export function fullScreenControl(root, controls) {
  if (!document.fullscreenEnabled || typeof root.requestFullscreen !== 'function') return null;
  const b = document.createElement('button');
  b.type = 'button';
  b.id = 'tilerush-full-screen';
  b.className = 'tilerush-control';
  b.textContent = 'Full screen';
  const next = controls.querySelector('.tilerush-sound');
  controls.insertBefore(b, next);
  const full = () => document.fullscreenElement === root;
  const leave = () => {
    if (full()) document.exitFullscreen().catch(() => {});
  };
  const toggle = () => {
    if (full()) leave();
    else root.requestFullscreen().catch(() => {}); // refused: the page stays as it is
  };
  b.addEventListener('click', () => {
    toggle();
    root.focus({ preventScroll: true });
  });
  // Registered before the layout's own listener: the button is in its place first.
  document.addEventListener('fullscreenchange', () => {
    b.classList.toggle('tilerush-leave', full());
    b.textContent = full() ? 'Leave full screen' : 'Full screen';
    if (full()) {
      root.appendChild(b);
    } else {
      controls.insertBefore(b, next);
      b.style.left = b.style.top = '';
      b.hidden = false;
    }
  });
  return {
    toggle,
    // Browsers leave full screen on Escape themselves, mostly before the page hears
    // of it; one that hands the key to the page leaves it here.
    leave,
    placeWayOut(width, height, size) {
      const side = (width - size.width) / 2;
      const below = (height - size.height) / 2;
      b.hidden = false;
      const [w, h] = [b.offsetWidth, b.offsetHeight];
      b.hidden = side < w + 2 * PAD && below < h + 2 * PAD;
      b.style.left = `${width - PAD - w}px`;
      b.style.top = `${side >= w + 2 * PAD ? PAD : height - PAD - h}px`;
    },
  };
}
