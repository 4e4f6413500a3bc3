// The calls the game's WebAssembly makes on the page (src/display/web/page_calls.h),
// handed on to the painter the page's script gives the module as `page`, and those it
// makes on the page's host (a replay over, a cue to play).
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
  tr_replay_over: function (verdict) {
    Module['host'].replayOver(UTF8ToString(verdict));
  },
  tr_cue: function (number) {
    Module['host'].cue(number);
  },
});
