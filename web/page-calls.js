// The calls the game's WebAssembly makes on the page (src/display/web/page_calls.h),
// handed on to the painter the page's script gives the module as `page`, and those it
// makes on the worker's host (web/game-host.js), given as `host`: a message for the
// page (web/crossing.js names them), and the player's program's calls of the watched
// replay (src/web/remote_watched.cpp), which the host hands to the watcher's program.
mergeInto(LibraryManager.library, {
  tr_area_begin: function (x, y, width, height) {
    Module['page'].beginArea(x, y, width, height);
  },
  tr_area_end: function () {
    Module['page'].endArea();
  },
  tr_fill_rect: function (x, y, width, height, color) {
    Module['page'].fillRect(x, y, width, height, color);
  },
  tr_rounded_rect: function (x, y, width, height, radius, pen, fill, outline) {
    Module['page'].roundedRect(x, y, width, height, radius, pen, fill, outline);
  },
  tr_circle: function (x, y, radius, pen, fill, outline) {
    Module['page'].circle(x, y, radius, pen, fill, outline);
  },
  tr_text: function (font, text, x, y, width, align, color) {
    Module['page'].text(UTF8ToString(font), UTF8ToString(text), x, y, width, align, color);
  },
  tr_text_width: function (font, text) {
    return Module['page'].textWidth(UTF8ToString(font), UTF8ToString(text));
  },
  tr_device_pixels_per_pixel: function () {
    return Module['page'].devicePixelsPerPixel();
  },
  tr_button: function (id, x, y, width, height, visible, caption, font) {
    Module['page'].button(id, x, y, width, height, visible !== 0, UTF8ToString(caption), UTF8ToString(font));
  },
  tr_tell: function (json) {
    Module['host'].tell(UTF8ToString(json));
  },
  tr_game_ended: function (replay, over) {
    Module['host'].gameEnded(UTF8ToString(replay), over !== 0);
  },
  tr_watched_start: function (now) {
    Module['host'].watched.start(now);
  },
  tr_watched_key: function (code, repeat, now) {
    Module['host'].watched.key(code, repeat, now);
  },
  tr_watched_play_or_pause: function (now) {
    Module['host'].watched.playOrPause(now);
  },
  tr_watched_speed: function (index, now) {
    Module['host'].watched.speed(index, now);
  },
  tr_watched_seek: function (t, now) {
    Module['host'].watched.seek(t, now);
  },
  tr_watched_catch_up: function (now) {
    Module['host'].watched.catchUp(now);
  },
  tr_watched_restart_clock: function (now) {
    Module['host'].watched.restartClock(now);
  },
  tr_watched_wake_delay: function () {
    return Module['host'].watched.wakeDelay();
  },
  tr_watched_close: function () {
    Module['host'].watched.close();
  },
});
