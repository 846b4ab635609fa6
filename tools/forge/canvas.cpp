// The forge's drawing surface.
#include "tools/forge/canvas.h"

#include <cmath>
#include <vector>

static int clamp255(float v)
{
    return v < 0 ? 0 : v > 255 ? 255 : (int)(v + 0.5f);
}

Rgb scale_rgb(Rgb c, float f)
{
    if (f <= 1.0f)
        return rgb(clamp255(red_of(c) * f), clamp255(green_of(c) * f), clamp255(blue_of(c) * f));
    // Lighter: move toward white so that saturated colours do not clip to flat.
    float t = f - 1.0f;
    return mix_rgb(c, 0xFFFFFF, t > 1 ? 1 : t);
}

Rgb mix_rgb(Rgb a, Rgb b, float t)
{
    return rgb(clamp255(red_of(a) + (red_of(b) - red_of(a)) * t),
               clamp255(green_of(a) + (green_of(b) - green_of(a)) * t),
               clamp255(blue_of(a) + (blue_of(b) - blue_of(a)) * t));
}

int pixel32(Rgb c)
{
    return makecol32(red_of(c), green_of(c), blue_of(c));
}

Rgb rgb_of_pixel32(int p)
{
    return rgb(getr32(p), getg32(p), getb32(p));
}

Canvas make_canvas(int w, int h, int ss)
{
    Canvas cv;
    cv.fine = create_bitmap_ex(32, w * ss, h * ss);
    cv.w = w;
    cv.h = h;
    cv.ss = ss;
    cv.mirror = false;
    cv.axis = w / 2.0f;
    cv.dx = cv.dy = 0;
    cv.zoom = 1;
    clear_canvas(cv);
    return cv;
}

void free_canvas(Canvas &cv)
{
    if (cv.fine)
        destroy_bitmap(cv.fine);
    cv.fine = nullptr;
}

void clear_canvas(Canvas &cv)
{
    clear_to_color(cv.fine, pixel32(MASK_RGB));
}

static int fx(const Canvas &cv, float x)
{
    float v = cv.mirror ? 2 * cv.axis - x : x;
    return (int)std::floor((v + cv.dx) * cv.zoom * cv.ss);
}

static int fy(const Canvas &cv, float y)
{
    return (int)std::floor((y + cv.dy) * cv.zoom * cv.ss);
}

static int fl(const Canvas &cv, float len)
{
    return (int)std::floor(len * cv.zoom * cv.ss + 0.5f);
}

void fill_ellipse(Canvas &cv, float cx, float cy, float rx, float ry, Rgb c)
{
    int rxs = fl(cv, rx), rys = fl(cv, ry);
    if (rxs < 1 || rys < 1)
        return;
    ellipsefill(cv.fine, fx(cv, cx), fy(cv, cy), rxs, rys, pixel32(c));
}

void fill_circle(Canvas &cv, float cx, float cy, float r, Rgb c)
{
    fill_ellipse(cv, cx, cy, r, r, c);
}

void fill_rect(Canvas &cv, float x1, float y1, float x2, float y2, Rgb c)
{
    int a = fx(cv, x1), b = fx(cv, x2);
    if (a > b) {
        int t = a;
        a = b;
        b = t;
    }
    rectfill(cv.fine, a, fy(cv, y1), b - 1, fy(cv, y2) - 1, pixel32(c));
}

void fill_poly(Canvas &cv, int n, const float *xy, Rgb c)
{
    std::vector<int> pts(2 * n);
    for (int i = 0; i < n; i++) {
        pts[2 * i] = fx(cv, xy[2 * i]);
        pts[2 * i + 1] = fy(cv, xy[2 * i + 1]);
    }
    polygon(cv.fine, n, pts.data(), pixel32(c));
}

void fill_tri(Canvas &cv, float x1, float y1, float x2, float y2, float x3, float y3, Rgb c)
{
    float p[6] = {x1, y1, x2, y2, x3, y3};
    fill_poly(cv, 3, p, c);
}

void fill_quad(Canvas &cv, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
               float y4, Rgb c)
{
    float p[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
    fill_poly(cv, 4, p, c);
}

void taper(Canvas &cv, float x1, float y1, float x2, float y2, float w1, float w2, Rgb c)
{
    float dx = x2 - x1, dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    if (len > 0.001f) {
        float nx = -dy / len, ny = dx / len;
        float h1 = w1 / 2, h2 = w2 / 2;
        fill_quad(cv, x1 + nx * h1, y1 + ny * h1, x2 + nx * h2, y2 + ny * h2, x2 - nx * h2,
                  y2 - ny * h2, x1 - nx * h1, y1 - ny * h1, c);
    }
    fill_circle(cv, x1, y1, w1 / 2, c);
    fill_circle(cv, x2, y2, w2 / 2, c);
}

void stroke(Canvas &cv, float x1, float y1, float x2, float y2, float width, Rgb c)
{
    taper(cv, x1, y1, x2, y2, width, width, c);
}

void curve(Canvas &cv, float x1, float y1, float cx, float cy, float x2, float y2, float width,
           Rgb c)
{
    const int steps = 10;
    float px = x1, py = y1;
    for (int i = 1; i <= steps; i++) {
        float t = (float)i / steps, u = 1 - t;
        float x = u * u * x1 + 2 * u * t * cx + t * t * x2;
        float y = u * u * y1 + 2 * u * t * cy + t * t * y2;
        stroke(cv, px, py, x, y, width, c);
        px = x;
        py = y;
    }
}

void shaded_ellipse(Canvas &cv, float cx, float cy, float rx, float ry, Rgb c)
{
    fill_ellipse(cv, cx, cy, rx, ry, scale_rgb(c, 0.62f));
    float lx = cv.mirror ? 0.18f * rx : -0.18f * rx;  // light stays upper left when mirrored
    fill_ellipse(cv, cx + lx, cy - 0.16f * ry, rx * 0.8f, ry * 0.8f, c);
    fill_ellipse(cv, cx + 2.2f * lx, cy - 0.42f * ry, rx * 0.32f, ry * 0.26f, scale_rgb(c, 1.35f));
}

BITMAP *resolve(const Canvas &cv, Rgb outline)
{
    BITMAP *out = create_bitmap_ex(32, cv.w, cv.h);
    if (!out)
        return nullptr;
    int mask = pixel32(MASK_RGB);
    int need = (cv.ss * cv.ss + 1) / 2;
    std::vector<unsigned char> solid(cv.w * cv.h, 0);
    for (int y = 0; y < cv.h; y++) {
        for (int x = 0; x < cv.w; x++) {
            int n = 0, r = 0, g = 0, b = 0;
            for (int j = 0; j < cv.ss; j++) {
                for (int i = 0; i < cv.ss; i++) {
                    int p = _getpixel32(cv.fine, x * cv.ss + i, y * cv.ss + j);
                    if (p == mask)
                        continue;
                    n++;
                    r += getr32(p);
                    g += getg32(p);
                    b += getb32(p);
                }
            }
            if (n >= need) {
                _putpixel32(out, x, y, makecol32(r / n, g / n, b / n));
                solid[y * cv.w + x] = 1;
            } else {
                _putpixel32(out, x, y, mask);
            }
        }
    }
    if (outline != MASK_RGB) {
        int ink = pixel32(outline);
        for (int y = 0; y < cv.h; y++) {
            for (int x = 0; x < cv.w; x++) {
                if (solid[y * cv.w + x])
                    continue;
                bool edge = (x > 0 && solid[y * cv.w + x - 1]) || (x + 1 < cv.w && solid[y * cv.w + x + 1]) ||
                            (y > 0 && solid[(y - 1) * cv.w + x]) || (y + 1 < cv.h && solid[(y + 1) * cv.w + x]);
                if (edge)
                    _putpixel32(out, x, y, ink);
            }
        }
    }
    keep_off_mask(out);
    return out;
}

void keep_off_mask(BITMAP *bmp)
{
    int mask = pixel32(MASK_RGB);
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            int p = _getpixel32(bmp, x, y);
            if (p == mask)
                continue;
            // At 15 bits the mask keeps the top five bits of each channel.
            if (getr32(p) >= 248 && getg32(p) < 8 && getb32(p) >= 248)
                _putpixel32(bmp, x, y, makecol32(getr32(p), 8, getb32(p)));
        }
    }
}
