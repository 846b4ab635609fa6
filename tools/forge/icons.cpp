// The game's icon: a round ember shield with a gold rim and a drawn arrow across it. The
// emblem is drawn on a 64-unit grid, several times finer than the picture, and each pixel
// takes the share of the fine pixels covered as its alpha, so the edges stay smooth on any
// desktop background.
#include "tools/forge/icons.h"

#include <cmath>
#include <cstdio>
#include <png.h>
#include <vector>

#include "tools/forge/forge.h"
#include "world/datafile.h"

const int icon_sizes[ICON_SIZE_COUNT] = {16, 32, 48, 64, 128, 256};

// The arrow flies up and to the right: points are given along a level arrow and turned by
// 40 degrees, a little short of the diagonal, about the middle of the emblem.
static void turned(float x, float y, float &ox, float &oy)
{
    const float a = -40.0f * 3.141592f / 180.0f;
    float dx = x - 32, dy = y - 32;
    ox = 32 + dx * std::cos(a) - dy * std::sin(a);
    oy = 32 + dx * std::sin(a) + dy * std::cos(a);
}

static void turned_stroke(Canvas &cv, float x1, float y1, float x2, float y2, float width, Rgb c)
{
    float a, b, p, q;
    turned(x1, y1, a, b);
    turned(x2, y2, p, q);
    stroke(cv, a, b, p, q, width, c);
}

static void turned_tri(Canvas &cv, float x1, float y1, float x2, float y2, float x3, float y3, Rgb c)
{
    float a, b, p, q, s, t;
    turned(x1, y1, a, b);
    turned(x2, y2, p, q);
    turned(x3, y3, s, t);
    fill_tri(cv, a, b, p, q, s, t, c);
}

static void draw_emblem(Canvas &cv, int size)
{
    // The shield: a dark edge, the gold rim and the ember field, lit from the upper left.
    fill_circle(cv, 32, 32, 31.5f, rgb(40, 22, 12));
    shaded_ellipse(cv, 32, 32, 29.5f, 29.5f, rgb(214, 160, 58));
    fill_circle(cv, 32, 32, 25.5f, rgb(46, 10, 10));
    shaded_ellipse(cv, 32, 32, 24.5f, 24.5f, rgb(150, 34, 22));

    // Small icons keep only the arrow, thicker, so that it still reads at 16 pixels.
    bool small = size < 40;
    float shaft = small ? 4.2f : 2.6f;
    Rgb bone = rgb(236, 226, 200), steel = rgb(210, 216, 226), feather = rgb(240, 196, 70);
    if (!small) {
        // The bow behind the arrow, drawn to the nock.
        float ax, ay, bx, by, cx, cy, nx, ny;
        turned(22, 10, ax, ay);
        turned(6, 32, cx, cy);
        turned(22, 54, bx, by);
        turned(12, 32, nx, ny);
        curve(cv, ax, ay, cx, cy, bx, by, 3.6f, rgb(70, 40, 20));
        curve(cv, ax, ay, cx, cy, bx, by, 2.2f, rgb(176, 118, 56));
        stroke(cv, ax, ay, nx, ny, 0.8f, bone);
        stroke(cv, nx, ny, bx, by, 0.8f, bone);
    }
    turned_stroke(cv, 12, 32, 50, 32, shaft + 1.4f, rgb(40, 22, 12));
    turned_stroke(cv, 12, 32, 50, 32, shaft, bone);
    turned_tri(cv, 46, 24, 62, 32, 46, 40, rgb(40, 22, 12));
    turned_tri(cv, 48, 26.5f, 59.5f, 32, 48, 37.5f, steel);
    turned_tri(cv, 10, 24, 20, 32, 14, 32, feather);
    turned_tri(cv, 10, 40, 20, 32, 14, 32, scale_rgb(feather, 0.75f));
}

BITMAP *make_icon(int size)
{
    const int ss = 4;
    Canvas cv = make_canvas(size, size, ss);
    if (!cv.fine)
        return nullptr;
    cv.zoom = size / 64.0f;
    draw_emblem(cv, size);

    BITMAP *out = create_bitmap_ex(32, size, size);
    if (out) {
        int mask = pixel32(MASK_RGB);
        for (int y = 0; y < size; y++) {
            for (int x = 0; x < size; x++) {
                int n = 0, r = 0, g = 0, b = 0;
                for (int j = 0; j < ss; j++) {
                    for (int i = 0; i < ss; i++) {
                        int p = _getpixel32(cv.fine, x * ss + i, y * ss + j);
                        if (p == mask)
                            continue;
                        n++;
                        r += getr32(p);
                        g += getg32(p);
                        b += getb32(p);
                    }
                }
                int pixel = n ? makeacol32(r / n, g / n, b / n, n * 255 / (ss * ss)) : makeacol32(0, 0, 0, 0);
                _putpixel32(out, x, y, pixel);
            }
        }
    }
    free_canvas(cv);
    return out;
}

static void png_failed(png_structp png, png_const_charp message)
{
    fprintf(stderr, "%s\n", message);
    png_longjmp(png, 1);
}

// The rows go through libpng from here, apart from the bitmap whose lines they copy, so that
// the jump back on a failed write leaves nothing to free but the row.
static bool write_png_rows(FILE *file, BITMAP *bmp)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_failed, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(bmp->w * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, bmp->w, bmp->h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            int p = _getpixel32(bmp, x, y);
            row[x * 4] = getr32(p);
            row[x * 4 + 1] = getg32(p);
            row[x * 4 + 2] = getb32(p);
            row[x * 4 + 3] = geta32(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool write_png(const std::string &path, BITMAP *bmp)
{
    if (!bmp || bitmap_color_depth(bmp) != 32) {
        fprintf(stderr, "Can't make %s\n", path.c_str());
        return false;
    }
    SafeFile out;
    if (!begin_write(out, path))
        return false;
    if (!write_png_rows(out.file, bmp)) {
        fprintf(stderr, "Can't write %s\n", path.c_str());
        discard_write(out);
        return false;
    }
    return end_write(out) && commit_write(out);
}

bool forge_icons(const std::string &dir, const std::string &name)
{
    for (int size : icon_sizes) {
        char folder[64];
        snprintf(folder, sizeof(folder), "/%dx%d/apps", size, size);
        if (!make_dirs(dir + folder))
            return false;
        BITMAP *icon = make_icon(size);
        bool ok = write_png(dir + folder + "/" + name + ".png", icon);
        if (icon)
            destroy_bitmap(icon);
        if (!ok)
            return false;
    }
    return true;
}
