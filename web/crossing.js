// Everything that crosses between the page and its game's side, in one place: each
// message the page sends the game's worker and each it hears back (its type and its
// fields), and each function the page's WebAssembly programs export, with what it
// takes and gives. The build gives em++ its list of exports from here
// (tools/page-exports.mjs), so that a function is called by no other name than the one
// it is built with. Values cross whole: objects between page and worker, JSON text
// out of the WebAssembly.

// The page to the game's side.
export const TO_GAME = Object.freeze({
  // What the first frame needs, sent by web/start.js as each comes in, in any order
  // with `open`: the game's faces ({ family, weight, bytes }) and its program, compiled.
  fonts: ['faces'],
  wasm: ['module'],
  // The canvas (an OffscreenCanvas, in a worker), its size in device pixels, whether
  // the page is hidden, and whether a replay link is watched first.
  open: ['canvas', 'width', 'height', 'hidden', 'replayFirst'],
  // A key down or up, by the game's key code; `shift` as the stage takes it (the sum
  // of layout.js's SHIFT held); `repeat` when the key is held and its press repeats.
  key: ['down', 'code', 'shift', 'repeat'],
  // The mouse or a finger over the game area, in its layout's pixels: { x, y }, or null.
  pointer: ['at'],
  // Where the pads steer: -1 left, 1 right, 0 not at all; a press of Start or A.
  pad: ['direction'],
  padStart: [],
  padA: [],
  // The player went elsewhere; the page was hidden or shown.
  left: [],
  visibility: ['hidden'],
  // The canvas's device pixels.
  resize: ['width', 'height'],
  // A click on one of the game's push buttons, by its id.
  click: ['id'],
  // The timeline's controls.
  seek: ['at'],
  speed: ['index'],
  playOrPause: [],
  // "Copy link" and "Share": the bytes of what a link holds; "Save replay".
  link: ['share'],
  save: ['name'],
  // A replay to check, then watch; "Play this game"; "Back to my game".
  watch: ['bytes'],
  race: [],
  back: [],
  // Whether the page plays the game's cues.
  hear: ['on'],
  // "Today's challenge", on the page's UTC date (YYYY-MM-DD).
  challenge: ['day'],
  // A level set's text to read; with `play`, a new game on it from map `firstMap`.
  levels: ['text', 'play', 'firstMap'],
  // A list of kept games' text (web/kept.js): the page's stored list, or a file the
  // player imported; forget or race the kept game of an id.
  keptMerge: ['text', 'imported'],
  keptForget: ['id'],
  keptRace: ['id'],
});

// The game's side to the page.
export const FROM_GAME = Object.freeze({
  // The game opened; how far a pad's stick steers nothing.
  started: ['stickDeadZone'],
  // It could not start, or stopped: one of the kinds of web/start.js, and the detail.
  failed: ['kind', 'detail'],
  // One of the game's push buttons, where it is and what it says.
  button: ['button'],
  // The game shown's counters as it shows them: { score, best, lives, bricks, level }.
  readouts: ['counters'],
  // The player's game as a replay file, to download as `name`.
  saved: ['text', 'name'],
  // What a link made now holds.
  linkBytes: ['bytes', 'share'],
  // The player's game or a replay is shown ('playing' or 'watching'), the page's own
  // buttons that go with it ({ backToMyGame, playThisGame }), and whether the
  // player's game runs on a replay's first draws.
  mode: ['mode', 'buttons', 'raced'],
  // The watched replay's timeline: game milliseconds and the clock's text for them,
  // playing, the speed's index, at the end; its marks ({ kind, at, atText }) when new.
  timeline: ['now', 'length', 'nowText', 'lengthText', 'playing', 'speed', 'over', 'marks'],
  // The chosen replay cannot be watched, and why.
  refused: ['why'],
  // A level set's text was read: what is wrong with it ('' when nothing is), and the
  // set as the one reader of sets read it ({ title, maps: [[ten rows], ...] }), or null.
  levelsRead: ['why', 'set', 'play'],
  // The watched replay reached its end: the verdict, and tilerush-sim's status for it.
  over: ['text', 'status'],
  // Play cue `number` now.
  cue: ['number'],
  // The player asked the page itself for something, by a key: 'toggleSound',
  // 'toggleFullScreen' or 'leaveFullScreen'.
  asked: ['request'],
  // The kept games changed or a list was merged: the games, best first ({ id, score,
  // level, bricks, timeMs, date, kind: 'plain'|'challenge'|'race', day, replay }), the
  // list's text to store, why a list was refused (empty if it was not), whether it was
  // an import, how many games entered, and the id of the game that just entered at
  // "Game Over" (empty if none).
  kept: ['games', 'text', 'why', 'imported', 'entered', 'ended'],
});

// A message of `table` (TO_GAME or FROM_GAME), with only the fields it declares.
// What goes to the game carries `stamp` too: the instant the player gave it, on the clock
// page and worker share, so that a worker slow to hear it (a busy machine) still puts
// it in the game when it happened: a pause on leaving is not late, a key held for
// 300 ms is held for 300 ms of game time.
export function message(table, type, fields = {}) {
  const declared = table[type];
  if (!declared) throw new Error(`Tilerush: no message is called ${type}`);
  for (const name of Object.keys(fields)) {
    if (!declared.includes(name)) throw new Error(`Tilerush: the ${type} message has no ${name}`);
  }
  if (table === TO_GAME) return { type, ...fields, stamp: performance.timeOrigin + performance.now() };
  return { type, ...fields };
}

// The instant a message to the game was sent, on this side's clock (never later than now).
export const sentAt = (m) => Math.min(performance.now(), m.stamp - performance.timeOrigin);

// The functions each program exports, as tilerush_NAME: what they take (numbers
// unless said), and what they give: 'wait' (milliseconds until the game shown needs
// waking, -1 for never), 'number', 'json' (an object), 'text' or nothing.
const now = ['number'];
const waits = (...args) => ({ args: [...args, 'number'], gives: 'wait' });
export const EXPORTS = Object.freeze({
  // The player's program (tilerush.wasm): the stage.
  tilerush: {
    play_own_game: waits(),
    wake: waits(),
    resume: waits(),
    key_down: waits('number', 'number', 'number'),
    key_up: waits('number', 'number'),
    pointer: waits('number', 'number', 'number'),
    pad: waits('number'),
    pad_start: waits(),
    pad_a: waits(),
    left: waits(),
    click: waits('number'),
    play_or_pause: waits(),
    speed: waits('number'),
    seek: waits('number'),
    // The checked replay's first seed, in decimal digits, or null; the map its level
    // set starts from, or 0 when it is played on the game's own maps.
    watch: waits('string', 'number'),
    play_this_game: waits(),
    stick_dead_zone: { args: [], gives: 'number' },
    repaint: { args: [] },
    save: { args: now, gives: 'text' },
    link_source: { args: [], gives: 'json' },
    hear: { args: ['number'] },
    // The day as YYYY-MM-DD.
    challenge: waits('string'),
    // The seed's decimal digits; the map of the set last read to start from, or 0 for
    // the game's own maps.
    race: waits('string', 'number'),
    // A level set read by the watcher's program: its title and its maps' digits one
    // after another (1 when they make a set); then a game on it, from a map of it.
    take_levels: { args: ['string', 'string'], gives: 'number' },
    play_levels: waits('number'),
    // The game in progress as a replay so far, or '' for none.
    in_progress: { args: now, gives: 'text' },
  },
  // The replay watcher (tilerush-watch.wasm): the check, then the stage's Watched.
  'tilerush-watch': {
    buffer: { args: ['number'], gives: 'number' },
    check: { args: [] },
    check_on: { args: [], gives: 'json' },
    start: waits(),
    key: waits('number', 'number'),
    play_or_pause: waits(),
    speed: waits('number'),
    seek: waits('number'),
    catch_up: waits(),
    restart_clock: waits(),
    wake_delay: { args: [], gives: 'wait' },
    close: { args: [] },
    repaint: { args: [] },
    hear: { args: ['number'] },
    // The player's kept games: room for a replay or a list's text of N bytes, then
    // what becomes of what was put there (kept, ended as PageKept::Ending says;
    // merged, or imported).
    kept_buffer: { args: ['number'], gives: 'number' },
    // A level set's text, read by the one reader of sets: { why } with what is wrong,
    // or { why: '', set: { title, maps: [[ten rows], ...] } }.
    read_levels: { args: ['string'], gives: 'json' },
    kept_keep: { args: ['number'] },
    kept_merge: { args: ['number'] },
    kept_forget: { args: ['string'] },
    // The kept game's first seed: { seed } in decimal digits, or null; and its level
    // set, { title, digits, firstMap }, or null.
    kept_seed: { args: ['string'], gives: 'json' },
  },
  // The cue maker (tilerush-cues.wasm).
  'tilerush-cues': {
    cue_count: { args: [], gives: 'number' },
    cue_samples: { args: ['number', 'number'], gives: 'number' },
    cue_frames: { args: [], gives: 'number' },
    bend: { args: ['number'], gives: 'number' },
    loudest_sum: { args: [], gives: 'number' },
  },
});

const camel = (name) => name.replace(/_(.)/g, (all, c) => c.toUpperCase());

// The exports of `module`, an instance of `program`, as functions named in camelCase
// (tilerush_key_down as keyDown), each turning what it gives into a JavaScript value.
export function exportsOf(module, program) {
  const calls = {};
  for (const [name, { args, gives }] of Object.entries(EXPORTS[program])) {
    const raw = args.includes('string')
      ? (...values) => module.ccall(`tilerush_${name}`, 'number', args, values)
      : module[`_tilerush_${name}`];
    if (gives === 'json') calls[camel(name)] = (...values) => JSON.parse(module.UTF8ToString(raw(...values)));
    else if (gives === 'text') calls[camel(name)] = (...values) => module.UTF8ToString(raw(...values));
    else calls[camel(name)] = raw;
  }
  return calls;
}
