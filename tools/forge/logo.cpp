// The title picture: the name over a burning sky, the keep on its crag, Velok facing the
// demon king. The story panel is laid over the middle by the game, so that stays plain.
#include <cmath>
#include <cstring>

#include "shell/video.h"
#include "tools/forge/forge.h"

namespace {

enum { LOGO_W = GAME_WIDTH, LOGO_H = GAME_HEIGHT };  // the title fills the game's frame

// The letters of the name as strokes in a 10 x 14 box.
struct Letter {
    char c;
    const char *strokes;  // "x,y x,y ...|x,y ..." one polyline per part
};

const Letter letters[] = {
    {'G', "9,3 7,1 3,1 1,3 1,11 3,13 7,13 9,11 9,8 5,8"},
    {'R', "1,13 1,1 7,1 9,3 9,5 7,7 1,7|5,7 9,13"},
    {'I', "5,1 5,13|2,1 8,1|2,13 8,13"},
    {'M', "1,13 1,1 5,8 9,1 9,13"},
    {'H', "1,1 1,13|9,1 9,13|1,7 9,7"},
    {'O', "3,1 7,1 9,3 9,11 7,13 3,13 1,11 1,3 3,1"},
    {'L', "1,1 1,13 9,13"},
    {'D', "1,1 1,13 6,13 9,10 9,4 6,1 1,1"},
};

const char *strokes_of(char c)
{
    for (const Letter &l : letters)
        if (l.c == c)
            return l.strokes;
    return "";
}

void letter(Canvas &cv, char c, float x, float y, float unit, float width, Rgb col, float dx, float dy)
{
    const char *s = strokes_of(c);
    float px = 0, py = 0;
    bool have = false;
    while (*s) {
        if (*s == '|') {
            have = false;
            s++;
            continue;
        }
        if (*s == ' ') {
            s++;
            continue;
        }
        int a = 0, b = 0, used = 0;
        if (sscanf(s, "%d,%d%n", &a, &b, &used) != 2)
            break;
        s += used;
        float qx = x + a * unit + dx, qy = y + b * unit + dy;
        if (have)
            stroke(cv, px, py, qx, qy, width, col);
        else
            fill_circle(cv, qx, qy, width / 2, col);
        px = qx;
        py = qy;
        have = true;
    }
}

void title(Canvas &cv, const char *text, float x, float y, float unit)
{
    int n = (int)strlen(text);
    float w = unit * 2.4f;
    for (int pass = 0; pass < 3; pass++) {
        for (int i = 0; i < n; i++) {
            float lx = x + i * 13 * unit;
            if (pass == 0)
                letter(cv, text[i], lx, y, unit, w + unit * 1.6f, rgb(40, 4, 4), unit * 0.8f, unit * 1.0f);  // shadow
            else if (pass == 1)
                letter(cv, text[i], lx, y, unit, w + unit * 1.0f, rgb(110, 20, 10), 0, 0);  // rim
            else
                letter(cv, text[i], lx, y, unit, w, rgb(250, 250, 250), 0, 0);  // face, graded later
        }
    }
}

// Gold from top to bottom of the letters: bright above, deep orange below.
void grade_title(BITMAP *b, int top, int bottom)
{
    for (int y = 0; y < b->h; y++) {
        float t = (float)(y - top) / (bottom - top);
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        Rgb gold = mix_rgb(rgb(255, 240, 150), rgb(220, 90, 20), t);
        for (int x = 0; x < b->w; x++) {
            int p = _getpixel32(b, x, y);
            Rgb c = rgb_of_pixel32(p);
            if (c == MASK_RGB)
                continue;
            // White marks the face; partly white pixels are its edges.
            float w = (red_of(c) + green_of(c) + blue_of(c)) / 765.0f;
            if (w > 0.45f)
                _putpixel32(b, x, y, pixel32(mix_rgb(rgb(110, 20, 10), gold, (w - 0.45f) / 0.55f)));
        }
    }
}

void sky(BITMAP *b)
{
    for (int y = 0; y < LOGO_H; y++) {
        float t = (float)y / LOGO_H;
        Rgb c = t < 0.55f ? mix_rgb(rgb(8, 4, 16), rgb(110, 22, 18), t / 0.55f) : mix_rgb(rgb(110, 22, 18), rgb(200, 70, 20), (t - 0.55f) / 0.45f);
        for (int x = 0; x < LOGO_W; x++) {
            Rgb p = c;
            if (y < 200 && hash3(x, y, 21) % 900 == 0)
                p = rgb(230, 220, 200);  // stars
            _putpixel32(b, x, y, pixel32(p));
        }
    }
    // A blood moon behind the keep.
    circlefill(b, 470, 250, 70, pixel32(rgb(210, 70, 40)));
    circlefill(b, 462, 242, 62, pixel32(rgb(236, 110, 60)));
    circlefill(b, 490, 230, 14, pixel32(rgb(214, 86, 48)));
    circlefill(b, 445, 275, 9, pixel32(rgb(214, 86, 48)));
}

void keep(BITMAP *b)
{
    int dark = pixel32(rgb(20, 8, 12)), lit = pixel32(rgb(255, 190, 80));
    // The crag.
    int crag[] = {300, 480, 360, 360, 420, 330, 520, 320, 600, 350, 640, 340, 640, 480};
    polygon(b, 7, crag, dark);
    // Walls, towers and their battlements.
    rectfill(b, 400, 250, 600, 340, dark);
    const int towers[][3] = {{390, 190, 30}, {470, 150, 40}, {580, 200, 30}};
    for (const auto &t : towers) {
        rectfill(b, t[0], t[1], t[0] + t[2], 340, dark);
        for (int x = t[0] - 4; x < t[0] + t[2] + 4; x += 10)
            rectfill(b, x, t[1] - 8, x + 5, t[1], dark);
        triangle(b, t[0] - 6, t[1] - 8, t[0] + t[2] + 6, t[1] - 8, t[0] + t[2] / 2, t[1] - 40, dark);
    }
    for (int x = 400; x < 600; x += 12)
        rectfill(b, x, 242, x + 6, 250, dark);
    // A few lit windows.
    const int windows[][2] = {{484, 180}, {496, 210}, {400, 230}, {590, 240}, {520, 280}, {440, 290}};
    for (const auto &w : windows)
        rectfill(b, w[0], w[1], w[0] + 3, w[1] + 7, lit);
    // The ground the heroes stand on.
    int ground[] = {0, 430, 200, 420, 340, 440, 640, 430, 640, 480, 0, 480};
    polygon(b, 6, ground, pixel32(rgb(34, 14, 14)));
}

void paste(BITMAP *dst, BITMAP *src, int x, int y)
{
    draw_sprite(dst, src, x, y);
    destroy_bitmap(src);
}

// Small text blown up: the built-in 8 x 8 font at the given factor, with a shadow.
void big_text(BITMAP *dst, const char *text, int y, int factor, Rgb col)
{
    int w = (int)strlen(text) * 8;
    BITMAP *t = create_bitmap_ex(32, w, 8);
    clear_to_color(t, pixel32(MASK_RGB));
    textout_ex(t, font, text, 0, 0, pixel32(rgb(20, 6, 6)), -1);
    int x = (LOGO_W - w * factor) / 2;
    stretch_sprite(dst, t, x + factor / 2 + 1, y + factor / 2 + 1, w * factor, 8 * factor);
    clear_to_color(t, pixel32(MASK_RGB));
    textout_ex(t, font, text, 0, 0, pixel32(col), -1);
    stretch_sprite(dst, t, x, y, w * factor, 8 * factor);
    destroy_bitmap(t);
}

}  // namespace

BITMAP *make_logo()
{
    BITMAP *logo = create_bitmap_ex(32, LOGO_W, LOGO_H);
    if (!logo)
        return nullptr;
    sky(logo);
    keep(logo);

    // The name.
    const float unit = 4.6f;
    const char *name = "GRIMHOLD";
    int tw = (int)(8 * 13 * unit), th = (int)(18 * unit);
    Canvas cv = make_canvas(tw + 8, th, FINE);
    title(cv, name, 2, 2 * unit, unit);
    BITMAP *t = resolve(cv, rgb(20, 4, 4));
    free_canvas(cv);
    grade_title(t, (int)(2 * unit), (int)(16 * unit));
    paste(logo, t, (LOGO_W - tw) / 2, 36);

    big_text(logo, "Velok The Demon Slayer", 150, 2, rgb(236, 220, 180));

    // Velok, bow in hand, and the demon king across the field.
    Canvas hero = make_canvas(160, 160, 2);
    hero.zoom = 4;
    draw_hero(hero, 0, FACING_RIGHT, 0);
    paste(logo, resolve(hero, rgb(10, 6, 6)), 30, 285);
    free_canvas(hero);

    Canvas king = make_canvas(200, 200, 2);
    king.zoom = 5;
    draw_demon(king, 15, 2, FACING_LEFT, 1);
    paste(logo, resolve(king, rgb(10, 4, 4)), 300, 250);
    free_canvas(king);

    keep_off_mask(logo);
    return logo;
}
