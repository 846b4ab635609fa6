// Surface textures: 16 x 16 cells that join seamlessly on every side.
#include <cmath>

#include "tools/forge/forge.h"

const char *surface_names[SURFACE_COUNT] = {
    "grass", "dirt", "flagstone", "wall", "water", "lava", "wood", "planks", "seal", "trigger", "gemgate", "barrier",
    "bark", "leaves", "roots", "moss", "mud", "sand", "rock", "tiles", "cobble", "ash", "cinders", "ruin", "bone",
    "ossuary", "marble", "carpet", "reeds", "scree", "seal-key1", "seal-key2", "seal-key3", "seal-key4", "seal-key5", "seal-gem1",
    "seal-gem2", "seal-gem3", "seal-gem4", "seal-gems", "heath", "needles", "sedge", "peat", "salt", "shingle",
    "lichen", "slag", "charnel",
};

unsigned hash3(int x, int y, int seed)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + (unsigned)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float tile_noise(int x, int y, int seed)
{
    return (hash3(x & (TILE - 1), y & (TILE - 1), seed) & 0xFFFF) / 65535.0f;
}

float tile_smooth(float x, float y, int step, int seed)
{
    int x0 = (int)std::floor(x / step) * step, y0 = (int)std::floor(y / step) * step;
    float fx = (x - x0) / step, fy = (y - y0) / step;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = tile_noise(x0, y0, seed), b = tile_noise(x0 + step, y0, seed);
    float c = tile_noise(x0, y0 + step, seed), d = tile_noise(x0 + step, y0 + step, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

Rgb vary_rgb(Rgb c, float amount, float n)
{
    return scale_rgb(c, 1 + amount * (n - 0.5f) * 2);
}

namespace {

enum { CELL = TILE };

Rgb grass(int x, int y)
{
    Rgb c = vary_rgb(rgb(64, 132, 52), 0.18f, tile_smooth(x, y, 8, 1));
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
    Rgb c = vary_rgb(rgb(122, 90, 58), 0.2f, tile_smooth(x, y, 4, 4));
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
    Rgb c = vary_rgb(rgb(146, 140, 128), 0.12f, tile_noise(stone, stone, 6));
    c = vary_rgb(c, 0.1f, tile_noise(x, y, 7));
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
    Rgb c = vary_rgb(rgb(104, 100, 112), 0.16f, tile_noise(sx / 8, course, 8));
    c = vary_rgb(c, 0.08f, tile_noise(x, y, 9));
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
    float n = tile_smooth(x, y, 8, 10) * 0.6f + tile_smooth(x, y, 4, 11) * 0.4f;
    float f = n * 3 - std::floor(n * 3);
    float crack = std::fabs(f - 0.5f);
    if (crack > 0.44f)
        return rgb(255, 236, 120);
    if (crack > 0.36f)
        return rgb(250, 150, 30);
    if (crack > 0.30f)
        return rgb(190, 56, 16);
    return vary_rgb(rgb(70, 24, 16), 0.3f, tile_noise(x, y, 12));
}

// Boards four wide running across: long wavy grain lines, darker knots, a thin seam
// between boards and one butt joint per board, so that it reads as timber and not brick.
Rgb wood(int x, int y)
{
    int board = y / 4;
    int ly = y % 4;
    int end = (board * 7 + 3) & 15;
    if (ly == 3)
        return rgb(92, 58, 32);
    if (x == end)
        return rgb(70, 42, 24);
    Rgb c = vary_rgb(rgb(168, 114, 64), 0.08f, tile_noise(board, board, 13));
    // The grain: a wave along the board, one period per cell so that it wraps.
    float wave = std::sin((x + board * 5) * 6.2831853f / 16) * 1.2f;
    float line = std::fabs(ly - 1.2f - wave * 0.5f);
    if (line < 0.45f)
        c = scale_rgb(c, 0.8f);
    else if (ly == 0)
        c = scale_rgb(c, 1.1f);
    // One knot in every other board.
    int kx = (board * 11 + 6) & 15;
    if ((board & 1) && std::abs(x - kx) <= 1 && ly == 1)
        c = x == kx ? rgb(84, 50, 26) : scale_rgb(c, 0.78f);
    return c;
}

// Bridge planks: wide boards with gaps to the dark below and a nail at each end.
Rgb planks(int x, int y)
{
    int board = x / 8, lx = x % 8;
    if (lx == 7)
        return rgb(16, 12, 10);
    Rgb c = vary_rgb(rgb(130, 92, 56), 0.06f, tile_noise(board, 3, 15));
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

// ---- the forest ----

// Bark: ridges running up the trunk, deep furrows between them.
Rgb bark(int x, int y)
{
    float ridge = std::sin((x + 2 * std::sin(y * 6.2831853f / 16)) * 6.2831853f / 4);
    Rgb c = vary_rgb(rgb(104, 74, 48), 0.15f, tile_smooth(x, y, 4, 20));
    if (ridge > 0.55f)
        c = scale_rgb(c, 1.25f);
    else if (ridge < -0.5f)
        c = rgb(40, 28, 20);
    return c;
}

// Leaves: clumps of green, lit tops and dark hollows, the odd yellowing leaf.
Rgb leaves(int x, int y)
{
    float n = tile_smooth(x, y, 4, 21) * 0.7f + tile_noise(x, y, 22) * 0.3f;
    Rgb c = mix_rgb(rgb(22, 64, 28), rgb(86, 150, 52), n);
    unsigned h = hash3(x, y, 23) % 100;
    if (h < 6)
        c = rgb(170, 172, 60);
    else if (h < 16)
        c = scale_rgb(c, 0.7f);
    return c;
}

// The forest floor: dark loam, fallen leaves and roots snaking across.
Rgb roots(int x, int y)
{
    Rgb c = vary_rgb(rgb(76, 58, 38), 0.18f, tile_smooth(x, y, 4, 24));
    if (hash3(x, y, 25) % 100 < 10)
        c = rgb(150, 96, 40);  // a fallen leaf
    float r1 = std::fabs(y - 5 - 2.5f * std::sin(x * 6.2831853f / 16));
    float r2 = std::fabs(x - 11 - 2.0f * std::sin(y * 6.2831853f / 16 + 1));
    if (r1 < 0.9f || r2 < 0.8f)
        c = (r1 < 0.4f || r2 < 0.35f) ? rgb(148, 112, 76) : rgb(110, 80, 52);
    return c;
}

// ---- the mire ----

Rgb moss(int x, int y)
{
    Rgb c = mix_rgb(rgb(58, 86, 36), rgb(110, 132, 48), tile_smooth(x, y, 4, 26));
    unsigned h = hash3(x, y, 27) % 100;
    if (h < 12)
        c = scale_rgb(c, 1.25f);
    else if (h < 20)
        c = rgb(44, 54, 30);
    return c;
}

// Mud: wet and glistening in the hollows.
Rgb mud(int x, int y)
{
    float n = tile_smooth(x, y, 4, 28) * 0.75f + tile_noise(x, y, 49) * 0.25f;
    Rgb c = mix_rgb(rgb(52, 38, 28), rgb(112, 88, 58), n);
    if (n < 0.32f)
        c = mix_rgb(c, rgb(64, 78, 74), 0.6f);  // a puddle
    if (n < 0.32f && hash3(x, y, 29) % 5 == 0)
        c = rgb(150, 164, 156);  // light on the water
    if (hash3(x, y, 50) % 100 < 6)
        c = rgb(84, 96, 40);  // a weed
    return c;
}

// ---- the caves ----

Rgb sand(int x, int y)
{
    // The caves' sand is the dark red grit of old fires.
    Rgb c = vary_rgb(rgb(112, 64, 48), 0.1f, tile_smooth(x, y, 4, 30));
    // Ripples blown across it.
    if (((x + 2 * y) & 7) == 0)
        c = scale_rgb(c, 0.86f);
    if (hash3(x, y, 32) % 100 < 8)
        c = scale_rgb(c, 1.12f);
    return c;
}

// Rock: cracked cave stone in cool greys, lighter than the demons that haunt it.
Rgb rock(int x, int y)
{
    float n = tile_smooth(x, y, 8, 33) * 0.6f + tile_smooth(x, y, 4, 34) * 0.4f;
    Rgb c = mix_rgb(rgb(104, 108, 122), rgb(164, 166, 176), n);
    float f = n * 4 - std::floor(n * 4);
    if (f < 0.1f)
        c = rgb(54, 54, 64);  // cracks
    else if (f > 0.9f)
        c = scale_rgb(c, 1.2f);
    return c;
}

// ---- the chapel ----

// Tiles: a chequer of pale and dark stone in squares of eight.
Rgb tiles(int x, int y)
{
    int lx = x % 8, ly = y % 8;
    bool dark = ((x / 8) + (y / 8)) & 1;
    if (lx == 0 || ly == 0)
        return rgb(70, 62, 56);
    Rgb c = dark ? rgb(96, 70, 76) : rgb(206, 196, 176);
    c = vary_rgb(c, 0.06f, tile_noise(x, y, 35));
    if (lx == 1 || ly == 1)
        c = scale_rgb(c, 1.1f);
    return c;
}

// Cobble: round stones set in dark earth.
Rgb cobble(int x, int y)
{
    // The nearest of four stone centres per cell (wrapping), by a cheap distance.
    float best = 99, second = 99;
    int stone = 0;
    for (int i = 0; i < 9; i++) {
        int cx = (i % 3) * 6 + 2 + (int)(hash3(i, 1, 36) % 3), cy = (i / 3) * 6 + 2 + (int)(hash3(i, 2, 36) % 3);
        for (int oy = -16; oy <= 16; oy += 16)
            for (int ox = -16; ox <= 16; ox += 16) {
                float dx = x + 0.5f - (cx + ox), dy = y + 0.5f - (cy + oy);
                float d = std::sqrt(dx * dx + dy * dy);
                if (d < best) {
                    second = best;
                    best = d;
                    stone = i;
                } else if (d < second) {
                    second = d;
                }
            }
    }
    if (second - best < 0.9f)
        return rgb(56, 70, 36);  // moss between the stones
    Rgb c = vary_rgb(rgb(176, 166, 146), 0.12f, tile_noise(stone, 3, 37));
    if (best < 1.5f)
        c = scale_rgb(c, 1.15f);
    return c;
}

// ---- the burning fields ----

Rgb ash(int x, int y)
{
    Rgb c = vary_rgb(rgb(120, 116, 112), 0.12f, tile_smooth(x, y, 4, 38));
    unsigned h = hash3(x, y, 39) % 100;
    if (h < 10)
        c = rgb(70, 66, 64);
    else if (h < 16)
        c = rgb(170, 166, 160);
    return c;
}

// Cinders: scorched yellow earth, charred in patches, with embers still glowing in it.
Rgb cinders(int x, int y)
{
    Rgb c = vary_rgb(rgb(176, 150, 104), 0.15f, tile_smooth(x, y, 4, 40));
    if (tile_smooth(x, y, 8, 51) < 0.3f)
        c = rgb(70, 56, 46);
    unsigned h = hash3(x, y, 41) % 100;
    if (h < 5)
        c = rgb(250, 150, 40);
    else if (h < 11)
        c = rgb(170, 60, 20);
    return c;
}

// Ruin: scorched, broken masonry: uneven blocks, soot streaks running down.
Rgb ruin(int x, int y)
{
    int course = y / 5;
    int sx = (x + course * 5) & 15;
    int lx = sx % 6, ly = y % 5;
    if (y == 15 || lx == 0 || ly == 0)
        return rgb(30, 26, 26);
    Rgb c = vary_rgb(rgb(118, 100, 88), 0.16f, tile_noise(sx / 6, course, 42));
    if (tile_smooth(x, 0, 4, 43) > 0.6f)
        c = scale_rgb(c, 0.55f);  // soot
    if (hash3(x, y, 44) % 100 < 7)
        c = scale_rgb(c, 0.7f);
    return c;
}

// ---- the bone halls ----

// Bone: a floor of packed bones, long shafts with knobbed ends.
Rgb bone(int x, int y)
{
    Rgb c = rgb(70, 60, 50);
    for (int i = 0; i < 4; i++) {
        int row = i * 4 + 1;
        int start = (int)(hash3(i, 0, 45) % 16), len = 7 + (int)(hash3(i, 1, 45) % 5);
        int dx = (x - start) & 15;
        int dy = y - row;
        if (dx < len && (dy == 0 || dy == 1))
            c = dy == 0 ? rgb(232, 222, 196) : rgb(196, 184, 156);
        if ((dx == 0 || dx == len - 1) && dy >= -1 && dy <= 2)
            c = rgb(216, 204, 176);
    }
    return c;
}

// Ossuary walls: skulls set in rows in the mortar.
Rgb ossuary(int x, int y)
{
    int lx = x % 8, ly = y % 8;
    Rgb mortar = vary_rgb(rgb(92, 84, 72), 0.1f, tile_noise(x, y, 46));
    float dx = lx - 3.5f, dy = ly - 3.2f;
    if (dx * dx / 9.0f + dy * dy / 7.5f > 1.0f)
        return mortar;
    if (ly == 3 && (lx == 2 || lx == 5))
        return rgb(30, 24, 22);  // eye sockets
    if (ly == 5 && lx == 3)
        return rgb(40, 32, 28);
    return ly < 2 ? rgb(236, 226, 204) : rgb(212, 200, 174);
}

// ---- the citadel ----

// Marble: pale slabs veined in grey, set with dark joints.
Rgb marble(int x, int y)
{
    int ly = y % 8;
    int sx = (x + (y / 8) * 8) & 15;
    if (ly == 0 || sx == 0)
        return rgb(90, 84, 96);
    Rgb c = vary_rgb(rgb(214, 208, 198), 0.05f, tile_smooth(x, y, 8, 47));
    float vein = std::fabs(std::sin((x + y * 0.6f + 3 * tile_smooth(x, y, 8, 52)) * 6.2831853f / 16));
    if (vein < 0.12f)
        c = rgb(150, 146, 150);
    return c;
}

// Carpet: old gold with a red border along its length.
Rgb carpet(int x, int y)
{
    (void)y;
    if (x == 1 || x == 14)
        return rgb(160, 30, 36);
    if (x == 0 || x == 15)
        return rgb(70, 16, 20);
    Rgb c = vary_rgb(rgb(204, 164, 70), 0.05f, tile_noise(x, y, 48));
    if (((x + y) & 3) == 0 && x > 3 && x < 12)
        c = rgb(236, 200, 110);
    return c;
}

// ---- what blocks the way low down ----

// Reeds: a thicket of stalk tips, straw and green, over dark water between them.
Rgb reeds(int x, int y)
{
    Rgb c = vary_rgb(rgb(40, 52, 34), 0.2f, tile_noise(x, y, 53));
    for (int i = 0; i < 14; i++) {
        int sx = (int)(hash3(i, 0, 54) % 16), sy = (int)(hash3(i, 1, 54) % 16);
        int dx = (x - sx) & 15, dy = (y - sy) & 15;
        // A short stroke leaning right, its tip lit.
        if ((dy == 0 && dx == 0) || (dy == 1 && dx == 15) || (dy == 2 && dx == 15))
            c = i % 3 ? rgb(190, 176, 100) : rgb(126, 152, 66);
        if (dy == 0 && dx == 0)
            c = scale_rgb(c, 1.2f);
    }
    return c;
}

// Scree: loose grey stones, each lit on its upper side, in dark grit.
Rgb scree(int x, int y)
{
    float best = 99;
    int stone = 0;
    for (int i = 0; i < 16; i++) {
        float cx = (i % 4) * 4 + 1.5f + (hash3(i, 3, 55) % 3) * 0.5f;
        float cy = (i / 4) * 4 + 1.5f + (hash3(i, 4, 55) % 3) * 0.5f;
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
    if (best > 1.7f)
        return vary_rgb(rgb(56, 50, 48), 0.15f, tile_noise(x, y, 56));
    Rgb c = vary_rgb(rgb(150, 144, 138), 0.18f, tile_noise(stone, 5, 57));
    return best < 0.9f ? scale_rgb(c, 1.15f) : c;
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
            case SURFACE_BARK: c = bark(x, y); break;
            case SURFACE_LEAVES: c = leaves(x, y); break;
            case SURFACE_ROOTS: c = roots(x, y); break;
            case SURFACE_MOSS: c = moss(x, y); break;
            case SURFACE_MUD: c = mud(x, y); break;
            case SURFACE_SAND: c = sand(x, y); break;
            case SURFACE_ROCK: c = rock(x, y); break;
            case SURFACE_TILES: c = tiles(x, y); break;
            case SURFACE_COBBLE: c = cobble(x, y); break;
            case SURFACE_ASH: c = ash(x, y); break;
            case SURFACE_CINDERS: c = cinders(x, y); break;
            case SURFACE_RUIN: c = ruin(x, y); break;
            case SURFACE_BONE: c = bone(x, y); break;
            case SURFACE_OSSUARY: c = ossuary(x, y); break;
            case SURFACE_MARBLE: c = marble(x, y); break;
            case SURFACE_CARPET: c = carpet(x, y); break;
            case SURFACE_REEDS: c = reeds(x, y); break;
            case SURFACE_SCREE: c = scree(x, y); break;
            default:
                c = surface >= SURFACE_HEATH ? region_floor_texel(surface, x, y) : gate_texel(surface, x, y);
                break;
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
           i == SURFACE_BARRIER || (i >= SURFACE_SEAL_KEY1 && i <= SURFACE_SEAL_GEMS);
}
