// What the page's script does for the browser back end: drawing on the game's canvas
// and showing its push buttons. Defined in web/page-calls.js, linked as a JS library.
#pragma once

extern "C" {

// Lengths are CSS pixels of the game area; colours 0x00BBGGRR; strings UTF-8, ending in 0.

// Starts repainting one rectangle: later drawing is clipped to it, which is first
// filled with the window's face colour. Every area ends with tr_area_end.
void tr_area_begin(double x, double y, double width, double height);
void tr_area_end();

// A rectangle with its edges on whole device pixels: crisp at any scale.
void tr_fill_rect(double x, double y, double width, double height, unsigned color);
// Antialiased curves with an outline `pen` pixels wide centred on their path.
void tr_rounded_rect(double x, double y, double width, double height, double radius, double pen,
                     unsigned fill, unsigned outline);
void tr_circle(double centreX, double centreY, double radius, double pen, unsigned fill, unsigned outline);

// One line of text whose top is at `y`, laid out in [x, x + width) as `align` says
// (0 left, 1 right, 2 centred); `font` is a CSS font.
void tr_text(const char* font, const char* text, double x, double y, double width, int align, unsigned color);
double tr_text_width(const char* font, const char* text);

// How many device pixels of the canvas make one pixel of the game area, the smaller
// of across and down.
double tr_device_pixels_per_pixel();

// Creates or updates push button `id` over the game area.
void tr_button(int id, double x, double y, double width, double height, int visible, const char* caption,
               const char* font);
}
