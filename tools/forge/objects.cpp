// Pick-ups and arrows: 32 x 32, the size of one slot of the inventory row.
#include <cmath>

#include "screens/assets.h"
#include "screens/hud.h"
#include "tools/forge/forge.h"

namespace {

enum { OBJECT_SIZE = INVENTORY_SLOT };

const Rgb OUTLINE = rgb(20, 14, 18);

void heart(Canvas &cv)
{
    Rgb red = rgb(214, 30, 44);
    fill_circle(cv, 10.5f, 11.5f, 7.0f, red);
    fill_circle(cv, 21.5f, 11.5f, 7.0f, red);
    fill_tri(cv, 3.8f, 13.5f, 28.2f, 13.5f, 16, 28.5f, red);
    // Shading: darker toward the lower right, a bright gleam upper left.
    fill_tri(cv, 16, 28.5f, 28.2f, 13.5f, 21.5f, 21.0f, scale_rgb(red, 0.72f));
    fill_circle(cv, 24.0f, 13.0f, 3.5f, scale_rgb(red, 0.82f));
    fill_ellipse(cv, 9.0f, 9.5f, 3.0f, 2.2f, scale_rgb(red, 1.45f));
    fill_circle(cv, 8.0f, 9.0f, 1.1f, rgb(255, 240, 240));
}

const Rgb key_colours[5] = {rgb(236, 190, 56), rgb(200, 206, 218), rgb(214, 56, 50), rgb(62, 116, 236), rgb(58, 190, 92)};
// The stones: ruby, emerald, sapphire, topaz.
const Rgb gem_colours[4] = {rgb(220, 30, 60), rgb(40, 180, 90), rgb(40, 80, 220), rgb(250, 190, 40)};

// Keys lie on the diagonal; each has its own bow so that the colours are not the only tell.
void draw_key(Canvas &cv, int n)
{
    Rgb c = key_colours[n];
    Rgb dark = scale_rgb(c, 0.6f), light = scale_rgb(c, 1.5f);
    stroke(cv, 12, 12, 27, 27, 3.2f, c);
    stroke(cv, 13, 12, 27, 26, 0.9f, light);
    // Teeth.
    fill_quad(cv, 22, 22, 25.5f, 18.5f, 27.5f, 20.5f, 24, 24, c);
    fill_quad(cv, 25.5f, 25.5f, 29, 22, 30, 23, 26.5f, 26.5f, c);
    float bx = 9, by = 9;
    switch (n) {
    case 0:  // ring
        fill_circle(cv, bx, by, 6.5f, c);
        fill_circle(cv, bx - 1, by - 1, 3.0f, light);
        fill_circle(cv, bx, by, 2.6f, MASK_RGB);
        break;
    case 1: {  // trefoil
        for (int i = 0; i < 3; i++) {
            float a = i * 2.094f - 0.785f;
            fill_circle(cv, bx - 3.2f * std::cos(a), by - 3.2f * std::sin(a), 3.4f, c);
        }
        fill_circle(cv, bx, by, 2.0f, dark);
        fill_circle(cv, bx - 2.5f, by - 3.0f, 1.0f, light);
        break;
    }
    case 2: {  // diamond
        float d[] = {bx, by - 7.5f, bx + 7.5f, by, bx, by + 7.5f, bx - 7.5f, by};
        fill_poly(cv, 4, d, c);
        float h[] = {bx, by - 3, bx + 3, by, bx, by + 3, bx - 3, by};
        fill_poly(cv, 4, h, MASK_RGB);
        stroke(cv, bx - 5, by - 1.5f, bx - 1.5f, by - 5, 0.9f, light);
        break;
    }
    case 3:  // square with a jewel
        fill_rect(cv, bx - 6.5f, by - 6.5f, bx + 6.5f, by + 6.5f, c);
        fill_rect(cv, bx - 5.5f, by - 5.5f, bx + 4.5f, by - 4.0f, light);
        fill_circle(cv, bx, by, 2.4f, rgb(250, 250, 255));
        fill_circle(cv, bx, by, 1.4f, dark);
        break;
    default: {  // star
        float pts[20];
        for (int i = 0; i < 10; i++) {
            float a = i * 0.6283f - 1.5708f;
            float r = (i & 1) ? 3.2f : 7.5f;
            pts[2 * i] = bx + r * std::cos(a);
            pts[2 * i + 1] = by + r * std::sin(a);
        }
        fill_poly(cv, 10, pts, c);
        fill_circle(cv, bx, by, 1.8f, dark);
        fill_circle(cv, bx - 1.5f, by - 3.0f, 0.9f, light);
        break;
    }
    }
}

void facet(Canvas &cv, int n, const float *xy, Rgb base, float shade)
{
    fill_poly(cv, n, xy, scale_rgb(base, shade));
}

// Four stones, four cuts: a round ruby, a square-cut emerald, a pear sapphire, a
// three-sided topaz.
void gem(Canvas &cv, int n)
{
    float c = 16;
    if (n == 0) {
        Rgb ruby = gem_colours[0];
        float out[16], in[16];
        for (int i = 0; i < 8; i++) {
            float a = i * 0.7854f + 0.3927f;
            out[2 * i] = c + 12 * std::cos(a);
            out[2 * i + 1] = c + 12 * std::sin(a);
            in[2 * i] = c + 6 * std::cos(a);
            in[2 * i + 1] = c + 6 * std::sin(a);
        }
        fill_poly(cv, 8, out, ruby);
        for (int i = 0; i < 8; i++) {
            int j = (i + 1) % 8;
            float q[] = {out[2 * i], out[2 * i + 1], out[2 * j], out[2 * j + 1], in[2 * j], in[2 * j + 1], in[2 * i], in[2 * i + 1]};
            static const float shades[8] = {0.7f, 0.55f, 0.65f, 0.85f, 1.1f, 1.35f, 1.2f, 0.9f};
            facet(cv, 4, q, ruby, shades[i]);
        }
        fill_poly(cv, 8, in, scale_rgb(ruby, 1.1f));
        fill_tri(cv, c - 4, c - 3, c - 1, c - 5, c - 2, c - 1, rgb(255, 230, 235));
    } else if (n == 1) {
        Rgb em = gem_colours[1];
        float out[] = {6, 9, 9, 5, 23, 5, 26, 9, 26, 23, 23, 27, 9, 27, 6, 23};
        fill_poly(cv, 8, out, scale_rgb(em, 0.7f));
        float mid[] = {9, 9, 23, 9, 23, 23, 9, 23};
        fill_quad(cv, 9, 5, 23, 5, 23, 9, 9, 9, scale_rgb(em, 1.3f));
        fill_quad(cv, 6, 9, 9, 9, 9, 23, 6, 23, scale_rgb(em, 1.1f));
        fill_quad(cv, 23, 9, 26, 9, 26, 23, 23, 23, scale_rgb(em, 0.6f));
        fill_quad(cv, 9, 23, 23, 23, 23, 27, 9, 27, scale_rgb(em, 0.5f));
        fill_poly(cv, 4, mid, em);
        fill_rect(cv, 12, 12, 20, 20, scale_rgb(em, 1.15f));
        stroke(cv, 11, 11.5f, 15, 11.5f, 1.0f, rgb(220, 255, 230));
    } else if (n == 2) {
        Rgb sap = gem_colours[2];
        float out[] = {16, 3, 22, 12, 25, 19, 22, 26, 16, 29, 10, 26, 7, 19, 10, 12};
        fill_poly(cv, 8, out, sap);
        fill_quad(cv, 16, 3, 22, 12, 19, 17, 16, 12, scale_rgb(sap, 0.8f));
        fill_quad(cv, 16, 3, 16, 12, 13, 17, 10, 12, scale_rgb(sap, 1.4f));
        fill_quad(cv, 22, 12, 25, 19, 22, 26, 19, 17, scale_rgb(sap, 0.55f));
        fill_quad(cv, 10, 12, 13, 17, 10, 26, 7, 19, scale_rgb(sap, 1.15f));
        fill_quad(cv, 13, 17, 19, 17, 22, 26, 10, 26, scale_rgb(sap, 0.85f));
        fill_tri(cv, 10, 26, 22, 26, 16, 29, scale_rgb(sap, 0.6f));
        fill_tri(cv, 12, 11, 15, 7, 14, 12, rgb(230, 240, 255));
    } else {
        Rgb top = gem_colours[3];
        float out[] = {16, 3, 29, 26, 3, 26};
        fill_poly(cv, 3, out, top);
        float in[] = {16, 11, 23, 22.5f, 9, 22.5f};
        fill_tri(cv, 16, 3, 16, 11, 3, 26, scale_rgb(top, 1.3f));
        fill_tri(cv, 3, 26, 9, 22.5f, 16, 11, scale_rgb(top, 1.1f));
        fill_tri(cv, 16, 3, 29, 26, 16, 11, scale_rgb(top, 0.8f));
        fill_tri(cv, 29, 26, 23, 22.5f, 16, 11, scale_rgb(top, 0.65f));
        fill_quad(cv, 3, 26, 29, 26, 23, 22.5f, 9, 22.5f, scale_rgb(top, 0.55f));
        fill_poly(cv, 3, in, top);
        fill_tri(cv, 13.5f, 14, 16, 11.5f, 15, 16, rgb(255, 250, 220));
    }
}

// An arrow along (dx, dy): head at the far end, red fletching at the near one.
void arrow(Canvas &cv, float dx, float dy)
{
    float c = 16, len = 13;
    float hx = c + dx * len, hy = c + dy * len, tx = c - dx * len, ty = c - dy * len;
    float px = -dy, py = dx;
    stroke(cv, tx, ty, hx - dx * 3, hy - dy * 3, 1.6f, rgb(206, 170, 112));
    fill_tri(cv, hx, hy, hx - dx * 6 + px * 3.2f, hy - dy * 6 + py * 3.2f, hx - dx * 6 - px * 3.2f, hy - dy * 6 - py * 3.2f,
             rgb(200, 210, 224));
    fill_tri(cv, hx, hy, hx - dx * 6 + px * 3.2f, hy - dy * 6 + py * 3.2f, hx - dx * 5, hy - dy * 5, rgb(240, 246, 255));
    for (int side = -1; side <= 1; side += 2) {
        fill_quad(cv, tx + dx * 1, ty + dy * 1, tx + dx * 6, ty + dy * 6, tx + dx * 4 + px * side * 3.2f,
                  ty + dy * 4 + py * side * 3.2f, tx - dx * 0.5f + px * side * 3.2f, ty - dy * 0.5f + py * side * 3.2f,
                  side < 0 ? rgb(226, 58, 48) : rgb(170, 36, 30));
    }
}

}  // namespace

Rgb item_colour(int type)
{
    if (type >= ITEM_KEY_FIRST && type < ITEM_GEM_FIRST)
        return key_colours[type - ITEM_KEY_FIRST];
    if (type >= ITEM_GEM_FIRST && type <= ITEM_GEM_LAST)
        return gem_colours[type - ITEM_GEM_FIRST];
    return rgb(214, 30, 44);  // the heart's
}

BITMAP *make_object(int index)
{
    Canvas cv = make_canvas(OBJECT_SIZE, OBJECT_SIZE, FINE);
    if (index == ITEM_HEART)
        heart(cv);
    else if (index < ITEM_GEM_FIRST)
        draw_key(cv, index - ITEM_KEY_FIRST);
    else if (index <= ITEM_GEM_LAST)
        gem(cv, index - ITEM_GEM_FIRST);
    else {
        static const float dirs[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};  // up, down, left, right
        arrow(cv, dirs[index - ARROW_TYPE_BASE][0], dirs[index - ARROW_TYPE_BASE][1]);
    }
    BITMAP *b = resolve(cv, OUTLINE);
    free_canvas(cv);
    return b;
}
