// The hero wrongly covered: how much of him the painter's order hides where a per-pixel
// depth test would show him. The painter draws whole triangles by one depth each, so a
// crown or a block's top behind him can be drawn over him; here the same view is drawn a
// second time in his rectangle alone, with a z-buffer, the hero an upright card standing at
// his feet and every demon one at its own. See-through faces cover by their opacity, in
// both drawings: a crown drawn half see-through covers half of what lies behind it.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <vector>

#include "world/world.h"

// A pixel of a memory bitmap at any colour depth, read straight from its line, without
// getpixel's clipping and bank switching: the view check reads millions of them.
inline int pixel_at(BITMAP *b, int x, int y)
{
    const unsigned char *line = b->line[y];
    switch (bitmap_color_depth(b)) {
    case 8: return line[x];
    case 15:
    case 16: return ((const uint16_t *)line)[x];
    case 24: return line[3 * x] | line[3 * x + 1] << 8 | line[3 * x + 2] << 16;
    default: return (int)((const uint32_t *)line)[x];
    }
}

class CoverMeter {
public:
    CoverMeter();
    ~CoverMeter();
    CoverMeter(const CoverMeter &) = delete;
    CoverMeter &operator=(const CoverMeter &) = delete;

    // The codes ordering has put in the depth buckets, far to near, into `order`; the buckets
    // are emptied when `empty` is set (a pass that draws nothing must leave them so).
    static void take_order(std::vector<s16> &order, bool empty);

    // The share of the hero's pixels in the world band that the frame drawn in `order` hides
    // more than the depth test does (each pixel counted by how much more); -1 when the hero
    // was not drawn. Draws into the back buffer within his rectangle.
    double measure(const std::vector<s16> &order);

    // The view depth (negative, in front of the eye) at which an upright card standing across
    // the world at depth `world_z` shows at screen point (sx, sy).
    static float card_depth(float sx, float sy, float world_z);

private:
    bool reaches(s16 code) const;
    void painter(const std::vector<s16> &order, size_t hero, int colour, BITMAP *into);
    void depth(const std::vector<s16> &order);
    void draw_card(float x, float y, int size_x, int size_y, float world_z, BITMAP *frame, int colour);

    BITMAP *white_ = nullptr, *black_ = nullptr, *depth_ = nullptr, *footprint_ = nullptr;
    BITMAP *dark_ = nullptr;  // a texture of black, for the see-through faces in the depth test
    ZBUFFER *zbuffer_ = nullptr;
    int left_ = 0, top_ = 0, right_ = -1, bottom_ = -1;  // the hero's rectangle, within the band
};
