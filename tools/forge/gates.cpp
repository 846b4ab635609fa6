// The floors that matter, drawn one way for the whole campaign: every floor that leads to
// another map is a doorway of cyan light; every seal a dark plate framed in the colour of
// the key or gem that opens it, with that key's keyhole or that gem's stone in the middle;
// the barrier that falls when a map is clean violet bands; the gem gate a doorway with the
// four stones at its corners. Nothing else in the world wears these colours so.
#include <cmath>
#include <cstdlib>

#include "tools/forge/forge.h"

namespace {

// The colour a little lighter or darker, by the hash of the texel.
Rgb speckle(Rgb c, float amount, int x, int y, int seed)
{
    return scale_rgb(c, 1 + amount * ((hash3(x, y, seed) & 0xFF) / 255.0f - 0.5f) * 2);
}

// 0 in the middle of the cell to 7 at its edge, in square rings.
int ring_of(int x, int y)
{
    return std::max(std::abs(2 * x + 1 - 16), std::abs(2 * y + 1 - 16)) / 2;
}

Rgb doorway(int x, int y)
{
    static const Rgb rings[8] = {rgb(245, 255, 255), rgb(245, 255, 255), rgb(200, 255, 250), rgb(60, 170, 180),
                                 rgb(140, 245, 240), rgb(40, 130, 140),  EXIT_RGB,            rgb(14, 40, 46)};
    return rings[ring_of(x, y)];
}

// A diamond-cut stone of the colour, lit from the upper left.
bool stone(int x, int y, float cx, float cy, float r, Rgb c, Rgb *out)
{
    float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
    if (std::fabs(dx) + std::fabs(dy) > r)
        return false;
    *out = dx + dy < -r * 0.3f ? scale_rgb(c, 1.45f) : dx + dy > r * 0.4f ? scale_rgb(c, 0.7f) : c;
    return true;
}

// A dark plate framed in the colour, with rivets; in the middle a keyhole (keys) or the stone
// (gems), and all four stones for the gem gate's seal.
Rgb plate(int x, int y, Rgb c, int what)
{
    int ring = ring_of(x, y);
    if (ring == 7)
        return rgb(16, 14, 20);
    if (ring == 6)
        return c;
    bool corner = (x == 2 || x == 13) && (y == 2 || y == 13);
    if (corner)
        return scale_rgb(c, 1.3f);
    Rgb out;
    if (what == 0) {  // a keyhole
        float dx = x + 0.5f - 8, dy = y + 0.5f - 6.5f;
        if (dx * dx + dy * dy <= 6.5f || (x >= 7 && x <= 8 && y >= 7 && y <= 11))
            return (x + y) % 5 == 0 ? scale_rgb(c, 1.4f) : c;
    } else if (what == 1) {
        if (stone(x, y, 8, 8, 4.5f, c, &out))
            return out;
    } else {
        for (int q = 0; q < 4; q++)
            if (stone(x, y, q % 2 ? 10.5f : 5.5f, q / 2 ? 10.5f : 5.5f, 2.6f, item_colour(ITEM_GEM_FIRST + q), &out))
                return out;
    }
    return speckle(rgb(42, 38, 50), 0.12f, x, y, 60);
}

Rgb barrier(int x, int y)
{
    int band = (x + y) & 7;
    if (band < 2)
        return scale_rgb(CLEARED_RGB, 1.25f);
    if (band < 4)
        return CLEARED_RGB;
    return speckle(rgb(64, 26, 96), 0.2f, x, y, 17);
}

Rgb gem_gate(int x, int y)
{
    // The doorway, with a stone at each corner.
    Rgb out;
    for (int q = 0; q < 4; q++)
        if (stone(x, y, q % 2 ? 13 : 3, q / 2 ? 13 : 3, 2.2f, item_colour(ITEM_GEM_FIRST + q), &out))
            return out;
    return doorway(x, y);
}

}  // namespace

Rgb gate_texel(int surface, int x, int y)
{
    switch (surface) {
    case SURFACE_TRIGGER: return doorway(x, y);
    case SURFACE_GEM_GATE: return gem_gate(x, y);
    case SURFACE_BARRIER: return barrier(x, y);
    case SURFACE_SEAL_GEMS: return plate(x, y, rgb(200, 200, 210), 2);
    case SURFACE_SEAL: return plate(x, y, rgb(170, 170, 180), 0);
    default: break;
    }
    int item = ITEM_KEY_FIRST + surface - SURFACE_SEAL_KEY1;
    return plate(x, y, item_colour(item), item >= ITEM_GEM_FIRST);
}

std::string seal_surface(int map_number)
{
    int group = map_group_of(map_number);
    if (group >= ITEM_KEY_FIRST && group <= ITEM_GEM_LAST)
        return surface_names[SURFACE_SEAL_KEY1 + group - ITEM_KEY_FIRST];
    return surface_names[SURFACE_SEAL];
}

std::string drawn_surface(const std::string &written, int map_number)
{
    return written == surface_names[SURFACE_SEAL] ? seal_surface(map_number) : written;
}
