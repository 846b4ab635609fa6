// Surface textures: 16 x 16 cells that join seamlessly on every side.
#include <cmath>

#include "tools/forge/forge.h"

const char *surface_names[SURFACE_COUNT] = {
    "grass", "dirt", "flagstone", "wall", "water", "lava", "wood", "planks", "seal", "trigger", "gemgate", "barrier",
};

unsigned hash3(int x, int y, int seed)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + (unsigned)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

namespace {

enum { CELL = 16 };

// 0..1 from the hash, wrapped so that the pattern tiles.
float noise(int x, int y, int seed)
{
    return (hash3(x & (CELL - 1), y & (CELL - 1), seed) & 0xFFFF) / 65535.0f;
}

// Smooth noise with a period of 16: blends a coarse grid.
float smooth(float x, float y, int step, int seed)
{
    int x0 = (int)std::floor(x / step) * step, y0 = (int)std::floor(y / step) * step;
    float fx = (x - x0) / step, fy = (y - y0) / step;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = noise(x0, y0, seed), b = noise(x0 + step, y0, seed);
    float c = noise(x0, y0 + step, seed), d = noise(x0 + step, y0 + step, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

Rgb vary(Rgb c, float amount, float n)
{
    return scale_rgb(c, 1 + amount * (n - 0.5f) * 2);
}

Rgb grass(int x, int y)
{
    Rgb c = vary(rgb(64, 132, 52), 0.18f, smooth(x, y, 8, 1));
    unsigned h = hash3(x, y, 2) % 100;
    if (h < 14)
        c = scale_rgb(c, 0.72f);  // shadowed blades
    else if (h < 24)
        c = scale_rgb(c, 1.22f);  // lit blades
    if (hash3(x, y, 3) % 97 == 0)
        c = rgb(236, 220, 90);  // a buttercup
    return c;
}

Rgb dirt(int x, int y)
{
    Rgb c = vary(rgb(122, 90, 58), 0.2f, smooth(x, y, 4, 4));
    unsigned h = hash3(x, y, 5) % 100;
    if (h < 8)
        c = rgb(150, 138, 120);  // pebbles
    else if (h < 16)
        c = scale_rgb(c, 0.8f);
    return c;
}

// Stones 8 x 8, every other row shifted by 4; dark grout, a lit upper edge.
Rgb flagstone(int x, int y)
{
    int row = y / 8;
    int sx = (x + (row & 1) * 4) & 15;
    int lx = sx % 8, ly = y % 8;
    int stone = (sx / 8) + row * 2;
    if (lx == 0 || ly == 0)
        return rgb(52, 50, 48);
    Rgb c = vary(rgb(146, 140, 128), 0.12f, noise(stone, stone, 6));
    c = vary(c, 0.1f, noise(x, y, 7));
    if (ly == 1 || lx == 1)
        c = scale_rgb(c, 1.15f);
    if (ly == 7 || lx == 7)
        c = scale_rgb(c, 0.82f);
    return c;
}

// Courses of blocks four high and eight long.
Rgb wall(int x, int y)
{
    int course = y / 4;
    int sx = (x + (course & 1) * 4) & 15;
    int lx = sx % 8, ly = y % 4;
    if (lx == 0 || ly == 0)
        return rgb(34, 32, 36);
    Rgb c = vary(rgb(104, 100, 112), 0.16f, noise(sx / 8, course, 8));
    c = vary(c, 0.08f, noise(x, y, 9));
    if (ly == 1)
        c = scale_rgb(c, 1.18f);
    if (ly == 3)
        c = scale_rgb(c, 0.8f);
    return c;
}

Rgb water(int x, int y)
{
    const float tau = 6.2831853f;
    float w = std::sin((x + 2 * std::sin(y * tau / 16)) * tau / 16 * 2) * 0.5f + 0.5f;
    Rgb c = mix_rgb(rgb(30, 70, 150), rgb(50, 110, 190), w);
    float crest = std::sin((y + 3 * std::sin(x * tau / 16)) * tau / 8);
    if (crest > 0.92f)
        c = rgb(170, 210, 240);
    return c;
}

Rgb lava(int x, int y)
{
    // Glowing cracks along the contours of the noise, dark crust between them.
    float n = smooth(x, y, 8, 10) * 0.6f + smooth(x, y, 4, 11) * 0.4f;
    float f = n * 3 - std::floor(n * 3);
    float crack = std::fabs(f - 0.5f);
    if (crack > 0.44f)
        return rgb(255, 236, 120);
    if (crack > 0.36f)
        return rgb(250, 150, 30);
    if (crack > 0.30f)
        return rgb(190, 56, 16);
    return vary(rgb(70, 24, 16), 0.3f, noise(x, y, 12));
}

// Floor boards four wide running across, with grain and staggered ends.
Rgb wood(int x, int y)
{
    int board = y / 4;
    int ly = y % 4;
    int end = (board * 5 + 2) & 15;
    if (ly == 3 || x == end)
        return rgb(60, 36, 20);
    Rgb c = vary(rgb(160, 108, 60), 0.14f, noise(board, board, 13));
    // Two waves of grain across the cell, so that it wraps.
    float grain = std::sin((x + noise(board, 0, 14) * 16) * 6.2831853f / 8 + ly * 1.3f);
    if (grain > 0.75f)
        c = scale_rgb(c, 0.82f);
    if (ly == 0)
        c = scale_rgb(c, 1.12f);
    return c;
}

// Bridge planks: wide boards with gaps to the dark below and a nail at each end.
Rgb planks(int x, int y)
{
    int board = x / 8, lx = x % 8;
    if (lx == 7)
        return rgb(16, 12, 10);
    Rgb c = vary(rgb(130, 92, 56), 0.06f, noise(board, 3, 15));
    if ((y + board * 3) % 16 < 1)
        c = scale_rgb(c, 0.75f);
    if ((lx == 1 || lx == 5) && (y == 2 || y == 13))
        return rgb(180, 180, 190);
    if (lx == 0)
        c = scale_rgb(c, 1.15f);
    if (lx == 6)
        c = scale_rgb(c, 0.8f);
    return c;
}

float ring_distance(int x, int y)
{
    float dx = x + 0.5f - 8, dy = y + 0.5f - 8;
    return std::sqrt(dx * dx + dy * dy);
}

// A warded circle cut in dark stone, glowing violet.
Rgb seal(int x, int y)
{
    float d = ring_distance(x, y);
    Rgb stone = vary(rgb(46, 40, 56), 0.15f, noise(x, y, 16));
    Rgb glow = rgb(190, 120, 255);
    if (std::fabs(d - 6.5f) < 0.6f)
        return glow;
    if (std::fabs(d - 4.0f) < 0.5f)
        return scale_rgb(glow, 0.8f);
    // A star in the middle ring.
    float a = std::atan2(y + 0.5f - 8, x + 0.5f - 8);
    if (d < 4 && std::fabs(std::cos(a * 5 / 2)) > 0.97f)
        return scale_rgb(glow, 1.2f);
    if (d < 1.2f)
        return rgb(255, 230, 255);
    if (d > 5 && d < 6)
        return mix_rgb(stone, glow, 0.25f);
    return stone;
}

// Trigger pads: a bright square within squares, the floor that takes you elsewhere.
Rgb trigger(int x, int y)
{
    int d = std::max(std::abs(2 * x + 1 - 16), std::abs(2 * y + 1 - 16)) / 2;  // 0 middle .. 7 edge
    static const Rgb bands[8] = {rgb(255, 255, 240), rgb(250, 240, 170), rgb(240, 200, 80), rgb(120, 90, 40),
                                 rgb(230, 180, 60), rgb(110, 84, 40), rgb(80, 70, 60), rgb(60, 54, 48)};
    return bands[d];
}

// The gem gate: iron lattice over a glow of crystal.
Rgb gem_gate(int x, int y)
{
    int a = (x + y) & 7, b = (x - y + 16) & 7;
    if (a == 0 || b == 0)
        return (x + y) % 4 == 0 ? rgb(150, 150, 160) : rgb(70, 70, 80);
    float d = ring_distance(x, y);
    return mix_rgb(rgb(120, 250, 230), rgb(30, 110, 140), d / 11);
}

// The barrier that falls when a map is cleared: red energy in diagonal bands.
Rgb barrier(int x, int y)
{
    int band = (x + y) & 7;
    if (band < 2)
        return rgb(255, 120, 90);
    if (band < 4)
        return rgb(200, 40, 40);
    return vary(rgb(110, 20, 30), 0.2f, noise(x, y, 17));
}

}  // namespace

BITMAP *make_surface(int surface)
{
    BITMAP *b = create_bitmap_ex(32, CELL, CELL);
    if (!b)
        return nullptr;
    for (int y = 0; y < CELL; y++) {
        for (int x = 0; x < CELL; x++) {
            Rgb c;
            switch (surface) {
            case SURFACE_GRASS: c = grass(x, y); break;
            case SURFACE_DIRT: c = dirt(x, y); break;
            case SURFACE_FLAGSTONE: c = flagstone(x, y); break;
            case SURFACE_WALL: c = wall(x, y); break;
            case SURFACE_WATER: c = water(x, y); break;
            case SURFACE_LAVA: c = lava(x, y); break;
            case SURFACE_WOOD: c = wood(x, y); break;
            case SURFACE_PLANKS: c = planks(x, y); break;
            case SURFACE_SEAL: c = seal(x, y); break;
            case SURFACE_TRIGGER: c = trigger(x, y); break;
            case SURFACE_GEM_GATE: c = gem_gate(x, y); break;
            default: c = barrier(x, y); break;
            }
            _putpixel32(b, x, y, pixel32(c));
        }
    }
    keep_off_mask(b);
    return b;
}

int surface_index(const std::string &name)
{
    for (int i = 0; i < SURFACE_COUNT; i++)
        if (name == surface_names[i])
            return i;
    return -1;
}

BITMAP *surface_texture(const std::string &name)
{
    static BITMAP *made[SURFACE_COUNT];
    int i = surface_index(name);
    if (i < 0)
        return nullptr;
    if (!made[i])
        made[i] = make_surface(i);
    return made[i];
}

bool surface_glows(const std::string &name)
{
    int i = surface_index(name);
    return i == SURFACE_LAVA || i == SURFACE_SEAL || i == SURFACE_TRIGGER || i == SURFACE_GEM_GATE ||
           i == SURFACE_BARRIER;
}
