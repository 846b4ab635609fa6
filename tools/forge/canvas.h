// Drawing surface of the forge: shapes are drawn several times finer than the picture
// and then resolved to crisp pixels on the mask colour with a dark outline, so that a
// figure reads when the game blows a 40 x 40 frame up to a hundred pixels.
#pragma once

#include <allegro.h>

// Colours are 0xRRGGBB; pictures are 32-bit whatever the screen's depth.
typedef int Rgb;

const Rgb MASK_RGB = 0xFF00FF;

inline Rgb rgb(int r, int g, int b) { return (r << 16) | (g << 8) | b; }
inline int red_of(Rgb c) { return (c >> 16) & 255; }
inline int green_of(Rgb c) { return (c >> 8) & 255; }
inline int blue_of(Rgb c) { return c & 255; }
Rgb scale_rgb(Rgb c, float f);        // darker below 1, lighter above
Rgb mix_rgb(Rgb a, Rgb b, float t);   // t = 0 gives a, 1 gives b
int pixel32(Rgb c);                   // the 32-bit pixel value of a colour
Rgb rgb_of_pixel32(int p);

struct Canvas {
    BITMAP *fine;    // 32-bit, w * ss by h * ss
    int w, h, ss;
    bool mirror;     // x is reflected about axis
    float axis;
    float dx, dy;    // added to every point (after the reflection)
    float zoom;      // picture pixels per drawing unit (1 for frames)
};

Canvas make_canvas(int w, int h, int ss);
void free_canvas(Canvas &cv);
void clear_canvas(Canvas &cv);

// Coordinates are in drawing units (picture pixels times zoom); pixel i covers [i, i + 1).
void fill_ellipse(Canvas &cv, float cx, float cy, float rx, float ry, Rgb c);
void fill_circle(Canvas &cv, float cx, float cy, float r, Rgb c);
void fill_rect(Canvas &cv, float x1, float y1, float x2, float y2, Rgb c);
void fill_poly(Canvas &cv, int n, const float *xy, Rgb c);
void fill_tri(Canvas &cv, float x1, float y1, float x2, float y2, float x3, float y3, Rgb c);
void fill_quad(Canvas &cv, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
               float y4, Rgb c);
// A stroke of the given width with round ends.
void stroke(Canvas &cv, float x1, float y1, float x2, float y2, float width, Rgb c);
// A stroke whose width runs from w1 to w2.
void taper(Canvas &cv, float x1, float y1, float x2, float y2, float w1, float w2, Rgb c);
// A quadratic curve through (x1, y1) and (x2, y2) bent toward (cx, cy).
void curve(Canvas &cv, float x1, float y1, float cx, float cy, float x2, float y2, float width,
           Rgb c);
// An ellipse lit from the upper left: a dark rim, the body colour and a highlight.
void shaded_ellipse(Canvas &cv, float cx, float cy, float rx, float ry, Rgb c);

// The picture: each pixel takes the average of the fine pixels it covers when at least
// half of them are drawn, else the mask colour. When outline is not MASK_RGB, every
// transparent pixel touching the figure side-on becomes that colour.
BITMAP *resolve(const Canvas &cv, Rgb outline);

// No colour but the mask itself may turn into the mask when the game loads a picture at
// 15 or 16 bits per pixel: such colours are moved off it.
void keep_off_mask(BITMAP *bmp);

