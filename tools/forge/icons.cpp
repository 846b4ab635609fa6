// The game's icon: a round ember shield with a gold rim and a drawn arrow across it. The
// emblem is drawn on a 64-unit grid, several times finer than the picture, and each pixel
// takes the share of the fine pixels covered as its alpha, so the edges stay smooth on any
// desktop background.
#include "tools/forge/icons.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <png.h>
#include <vector>

#include "tools/forge/forge.h"
#include "world/datafile.h"

const int icon_sizes[ICON_SIZE_COUNT] = {16, 32, 48, 64, 128, 256};

// The emblem is drawn through a pen that either paints a canvas (the PNGs) or writes SVG
// elements (the scalable icon), so that both come from the same shapes.
struct Pen {
    Canvas *cv;        // painted when set ...
    std::string *svg;  // ... else the shapes are written here, in 64-unit coordinates
};

static std::string svg_colour(Rgb c)
{
    char text[16];
    snprintf(text, sizeof(text), "#%02x%02x%02x", red_of(c), green_of(c), blue_of(c));
    return text;
}

static void svg_add(Pen &pen, const char *format, ...) __attribute__((format(printf, 2, 3)));
static void svg_add(Pen &pen, const char *format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    *pen.svg += text;
}

static void pen_ellipse(Pen &pen, float cx, float cy, float rx, float ry, Rgb c)
{
    if (pen.cv)
        fill_ellipse(*pen.cv, cx, cy, rx, ry, c);
    else
        svg_add(pen, "  <ellipse cx=\"%.3f\" cy=\"%.3f\" rx=\"%.3f\" ry=\"%.3f\" fill=\"%s\"/>\n", cx, cy, rx,
                ry, svg_colour(c).c_str());
}

// The canvas's shaded ellipse, lit from the upper left: the same three ellipses in SVG.
static void pen_shaded(Pen &pen, float cx, float cy, float r, Rgb c)
{
    if (pen.cv) {
        shaded_ellipse(*pen.cv, cx, cy, r, r, c);
        return;
    }
    pen_ellipse(pen, cx, cy, r, r, scale_rgb(c, 0.62f));
    pen_ellipse(pen, cx - 0.18f * r, cy - 0.16f * r, r * 0.8f, r * 0.8f, c);
    pen_ellipse(pen, cx - 0.396f * r, cy - 0.42f * r, r * 0.32f, r * 0.26f, scale_rgb(c, 1.35f));
}

// A stroke with round ends (the SVG group's line caps).
static void pen_stroke(Pen &pen, float x1, float y1, float x2, float y2, float width, Rgb c)
{
    if (pen.cv)
        stroke(*pen.cv, x1, y1, x2, y2, width, c);
    else
        svg_add(pen, "  <path d=\"M%.3f %.3fL%.3f %.3f\" stroke=\"%s\" stroke-width=\"%.2f\"/>\n", x1, y1, x2,
                y2, svg_colour(c).c_str(), width);
}

// A quadratic curve bent toward (qx, qy): the canvas draws it in ten strokes, SVG exactly.
static void pen_curve(Pen &pen, float x1, float y1, float qx, float qy, float x2, float y2, float width, Rgb c)
{
    if (pen.cv)
        curve(*pen.cv, x1, y1, qx, qy, x2, y2, width, c);
    else
        svg_add(pen, "  <path d=\"M%.3f %.3fQ%.3f %.3f %.3f %.3f\" stroke=\"%s\" stroke-width=\"%.2f\"/>\n", x1,
                y1, qx, qy, x2, y2, svg_colour(c).c_str(), width);
}

static void pen_tri(Pen &pen, float x1, float y1, float x2, float y2, float x3, float y3, Rgb c)
{
    if (pen.cv)
        fill_tri(*pen.cv, x1, y1, x2, y2, x3, y3, c);
    else
        svg_add(pen, "  <path d=\"M%.3f %.3fL%.3f %.3fL%.3f %.3fZ\" fill=\"%s\"/>\n", x1, y1, x2, y2, x3, y3,
                svg_colour(c).c_str());
}

// The arrow flies up and to the right: points are given along a level arrow and turned by
// 40 degrees, a little short of the diagonal, about the middle of the emblem.
static void turned(float x, float y, float &ox, float &oy)
{
    const float a = -40.0f * 3.141592f / 180.0f;
    float dx = x - 32, dy = y - 32;
    ox = 32 + dx * std::cos(a) - dy * std::sin(a);
    oy = 32 + dx * std::sin(a) + dy * std::cos(a);
}

static void turned_stroke(Pen &pen, float x1, float y1, float x2, float y2, float width, Rgb c)
{
    float a, b, p, q;
    turned(x1, y1, a, b);
    turned(x2, y2, p, q);
    pen_stroke(pen, a, b, p, q, width, c);
}

static void turned_tri(Pen &pen, float x1, float y1, float x2, float y2, float x3, float y3, Rgb c)
{
    float a, b, p, q, s, t;
    turned(x1, y1, a, b);
    turned(x2, y2, p, q);
    turned(x3, y3, s, t);
    pen_tri(pen, a, b, p, q, s, t, c);
}

// small: the icon is under 40 pixels, where only the arrow, thicker, still reads.
static void draw_emblem(Pen &pen, bool small)
{
    // The shield: a dark edge, the gold rim and the ember field, lit from the upper left.
    pen_ellipse(pen, 32, 32, 31.5f, 31.5f, rgb(40, 22, 12));
    pen_shaded(pen, 32, 32, 29.5f, rgb(214, 160, 58));
    pen_ellipse(pen, 32, 32, 25.5f, 25.5f, rgb(46, 10, 10));
    pen_shaded(pen, 32, 32, 24.5f, rgb(150, 34, 22));

    float shaft = small ? 4.2f : 2.6f;
    Rgb bone = rgb(236, 226, 200), steel = rgb(210, 216, 226), feather = rgb(240, 196, 70);
    if (!small) {
        // The bow behind the arrow, drawn to the nock.
        float ax, ay, bx, by, cx, cy, nx, ny;
        turned(22, 10, ax, ay);
        turned(6, 32, cx, cy);
        turned(22, 54, bx, by);
        turned(12, 32, nx, ny);
        pen_curve(pen, ax, ay, cx, cy, bx, by, 3.6f, rgb(70, 40, 20));
        pen_curve(pen, ax, ay, cx, cy, bx, by, 2.2f, rgb(176, 118, 56));
        pen_stroke(pen, ax, ay, nx, ny, 0.8f, bone);
        pen_stroke(pen, nx, ny, bx, by, 0.8f, bone);
    }
    turned_stroke(pen, 12, 32, 50, 32, shaft + 1.4f, rgb(40, 22, 12));
    turned_stroke(pen, 12, 32, 50, 32, shaft, bone);
    turned_tri(pen, 46, 24, 62, 32, 46, 40, rgb(40, 22, 12));
    turned_tri(pen, 48, 26.5f, 59.5f, 32, 48, 37.5f, steel);
    turned_tri(pen, 10, 24, 20, 32, 14, 32, feather);
    turned_tri(pen, 10, 40, 20, 32, 14, 32, scale_rgb(feather, 0.75f));
}

BITMAP *make_icon(int size)
{
    const int ss = 4;
    Canvas cv = make_canvas(size, size, ss);
    if (!cv.fine)
        return nullptr;
    cv.zoom = size / 64.0f;
    Pen pen = {&cv, nullptr};
    draw_emblem(pen, size < 40);

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

std::string make_svg_icon()
{
    // Strokes have round ends, as the canvas draws them; the emblem's 64 units are the view.
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
                      " <g fill=\"none\" stroke-linecap=\"round\">\n";
    Pen pen = {nullptr, &svg};
    draw_emblem(pen, false);
    svg += " </g>\n</svg>\n";
    return svg;
}

bool write_svg_icon(const std::string &path)
{
    SafeFile out;
    if (!begin_write(out, path))
        return false;
    fputs(make_svg_icon().c_str(), out.file);
    return end_write(out) && commit_write(out);
}

bool forge_icons(const std::string &dir, const std::string &name)
{
    if (!make_dirs(dir + "/scalable/apps") || !write_svg_icon(dir + "/scalable/apps/" + name + ".svg"))
        return false;
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
