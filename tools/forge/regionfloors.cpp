// The regions' own floors, so that maps joined by a way never look alike: the forest's heath
// and pine needles, the fens' peat and the marsh's sedge, the caves' salt and shingle, the hollow wood's
// lichen, the burning road's slag and the charnel deep's grave dust. Each tiles seamlessly
// and keeps 60 in RGB from the demons that walk it (the art tests check).
#include <cmath>

#include "tools/forge/forge.h"

namespace {

// Heather on dry ground: dusky purple tufts over brown, a few green shoots.
Rgb heath(int x, int y)
{
    Rgb c = mix_rgb(rgb(92, 66, 60), rgb(134, 92, 116), tile_smooth(x, y, 4, 101));
    unsigned h = hash3(x, y, 102) % 100;
    if (h < 12)
        c = rgb(168, 110, 150);  // flowering sprigs
    else if (h < 20)
        c = rgb(90, 104, 58);    // green shoots
    else if (h < 28)
        c = scale_rgb(c, 0.75f);
    return c;
}

// Pine needles: a rust carpet with darker strands lying every way.
Rgb needles(int x, int y)
{
    Rgb c = vary_rgb(rgb(162, 98, 54), 0.16f, tile_smooth(x, y, 4, 103));
    int strand = hash3(x >> 1, y, 104) % 3 == 0 ? 0 : 1;
    if (((x + y * 3 + strand * 5) % 7) == 0)
        c = scale_rgb(c, 0.7f);
    if (((x * 3 - y + 16) % 11) == 0)
        c = rgb(200, 136, 78);
    return c;
}

// Sedge: the blue-green tussocks of the reed marsh, blades leaning one way, pale seed heads.
Rgb sedge(int x, int y)
{
    Rgb c = mix_rgb(rgb(50, 100, 70), rgb(92, 148, 104), tile_smooth(x, y, 4, 105));
    unsigned h = hash3(x, y, 106) % 100;
    if (h < 8)
        c = rgb(150, 168, 112);
    else if (h < 20)
        c = scale_rgb(c, 0.72f);
    if (((x + 16 - y / 2) % 5) == 0)
        c = scale_rgb(c, 0.82f);
    return c;
}

// Peat: black-brown and spongy, with pale fibres and the odd pool of bog water.
Rgb peat(int x, int y)
{
    float n = tile_smooth(x, y, 4, 107);
    Rgb c = mix_rgb(rgb(48, 34, 26), rgb(92, 66, 44), n);
    if (hash3(x, y, 108) % 100 < 10)
        c = rgb(130, 104, 72);  // fibres
    if (n < 0.22f)
        c = rgb(40, 46, 44);    // bog water
    return c;
}

// Salt: a white crust cracked into plates, grey in the cracks, glinting.
Rgb salt(int x, int y)
{
    Rgb c = vary_rgb(rgb(170, 168, 162), 0.06f, tile_smooth(x, y, 8, 109));
    int px = (x + (y >= 8 ? 3 : 0)) & 7;
    if (px == 0 || (y & 7) == 0)
        c = rgb(124, 122, 120);
    if (hash3(x, y, 110) % 100 < 6)
        c = rgb(214, 214, 220);
    return c;
}

// Shingle: blue-grey lake pebbles, rounded, lit on top.
Rgb shingle(int x, int y)
{
    float best = 99;
    int stone = 0;
    for (int i = 0; i < 9; i++) {
        float cx = (i % 3) * 5.33f + 2.5f + (hash3(i, 1, 111) % 3) * 0.4f;
        float cy = (i / 3) * 5.33f + 2.5f + (hash3(i, 2, 111) % 3) * 0.4f;
        for (int oy = -16; oy <= 16; oy += 16)
            for (int ox = -16; ox <= 16; ox += 16) {
                float dx = x + 0.5f - (cx + ox), dy = y + 0.5f - (cy + oy);
                float d = std::sqrt(dx * dx + dy * dy);
                if (d < best) {
                    best = d;
                    stone = i;
                }
            }
    }
    Rgb c = vary_rgb(rgb(142, 144, 150), 0.16f, tile_noise(stone, 3, 112));
    if (best > 2.3f)
        return rgb(96, 98, 104);
    return best < 1.0f ? scale_rgb(c, 1.15f) : c;
}

// Lichen: pale grey-green crusts on the hollow wood's floor.
Rgb lichen(int x, int y)
{
    Rgb c = mix_rgb(rgb(130, 140, 108), rgb(176, 184, 140), tile_smooth(x, y, 4, 113));
    unsigned h = hash3(x, y, 114) % 100;
    if (h < 10)
        c = rgb(198, 190, 120);  // a yellow crust
    else if (h < 18)
        c = scale_rgb(c, 0.78f);
    return c;
}

// Slag: the ashen road's fused clinker, rust and grey, with a dull red glint.
Rgb slag(int x, int y)
{
    Rgb c = mix_rgb(rgb(118, 92, 78), rgb(176, 124, 84), tile_smooth(x, y, 4, 115));
    unsigned h = hash3(x, y, 116) % 100;
    if (h < 8)
        c = rgb(196, 92, 50);
    else if (h < 18)
        c = scale_rgb(c, 0.78f);
    return c;
}

// Charnel: pale grave dust strewn with chips of bone.
Rgb charnel(int x, int y)
{
    Rgb c = vary_rgb(rgb(166, 154, 122), 0.12f, tile_smooth(x, y, 4, 117));
    unsigned h = hash3(x, y, 118) % 100;
    if (h < 10)
        c = rgb(222, 212, 184);
    else if (h < 20)
        c = scale_rgb(c, 0.8f);
    return c;
}

}  // namespace

Rgb region_floor_texel(int surface, int x, int y)
{
    switch (surface) {
    case SURFACE_HEATH: return heath(x, y);
    case SURFACE_NEEDLES: return needles(x, y);
    case SURFACE_SEDGE: return sedge(x, y);
    case SURFACE_PEAT: return peat(x, y);
    case SURFACE_SALT: return salt(x, y);
    case SURFACE_SHINGLE: return shingle(x, y);
    case SURFACE_LICHEN: return lichen(x, y);
    case SURFACE_SLAG: return slag(x, y);
    default: return charnel(x, y);
    }
}
