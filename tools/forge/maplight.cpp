// The map compiler's baked light: sunlight with cast shadows, darkening at the foot of
// walls, and glowing surfaces, painted with the surface's texture into each shadow cell.
#include "tools/forge/maplight.h"

#include <algorithm>
#include <cmath>

#include "tools/forge/forge.h"

namespace {

const float AMBIENT = 0.42f;
const float DIFFUSE = 0.72f;

// Every step of half a unit or more reads: the top's front edges (south, west, east) catch
// the light over a bank in shade, and its back edge is outlined dark against the lower
// floor seen behind it, as the figures are; or lit too when what shows behind is dark.
// The rims keep their light in shadow, where a bank under a lit rim still reads.
const float STEP_RISE = 0.5f;
const float LIP_LIGHT = 1.2f, LIP_WHITE = 0.25f;
const float OUTLINE_LIGHT = 0.3f;
// A bank is this much of the light on the top above it, whatever the sun does: a bank in
// the sun under a top in shadow would otherwise read as no step at all.
const float BANK_SHADE[3] = {0.55f, 0.6f, 0.45f};

// A texel of a surface's texture as a colour of the depth the forge works at: the textures
// are made at 32 bits whatever that depth is (the tests forge at the game's 16).
static int texel(BITMAP *tex, int x, int y)
{
    int c = getpixel(tex, x, y), depth = bitmap_color_depth(tex);
    return makecol(getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c));
}

// Mean luminance of a surface's texture, 0 to 255.
float surface_luminance(const std::string &name)
{
    static float known[SURFACE_COUNT];
    int i = surface_index(name);
    if (i < 0)
        return 0;
    if (known[i] == 0) {
        BITMAP *tex = surface_texture(name);
        double sum = 0;
        for (int y = 0; y < tex->h; y++)
            for (int x = 0; x < tex->w; x++) {
                int c = getpixel(tex, x, y), d = bitmap_color_depth(tex);
                sum += 0.299 * getr_depth(d, c) + 0.587 * getg_depth(d, c) + 0.114 * getb_depth(d, c);
            }
        known[i] = (float)(sum / (tex->w * tex->h));
    }
    return known[i];
}

// How much a rim of the surface stands out from what is seen beyond it at its worst.
float rim_contrast(const std::string &surface, Rim rim, float seen_near, float seen_far)
{
    float tex = surface_luminance(surface);
    float lum = rim == RIM_LIP ? tex * LIP_LIGHT * (1 - LIP_WHITE) + 255 * LIP_WHITE : tex * OUTLINE_LIGHT;
    return std::min(std::fabs(lum - seen_near), std::fabs(lum - seen_far));
}

// The rim of a top's texel (u east, v south). Over a bank the lip; at the back edge whichever
// stands out better from what shows behind it, near the middle of the view and farther up.
Rim rim_of(const Face &f, const Lighting &light, int u, int v)
{
    int to_edge[4] = {SHADOW_CELL - 1 - v, u, SHADOW_CELL - 1 - u, v};  // south, west, east, north
    if (to_edge[EDGE_NORTH] < RIM_TEXELS && light.drop(f.col, f.row, EDGE_NORTH) >= STEP_RISE) {
        float x = f.p[0][0] + (u + 0.5f) / SHADOW_CELL;
        float near = light.seen_luminance(light.behind_north(f.col, f.row, VIEW_FALL_NEAR), x);
        float far = light.seen_luminance(light.behind_north(f.col, f.row, VIEW_FALL_FAR), x);
        return rim_contrast(f.surface, RIM_LIP, near, far) >= rim_contrast(f.surface, RIM_OUTLINE, near, far)
                   ? RIM_LIP
                   : RIM_OUTLINE;
    }
    for (int side = EDGE_SOUTH; side <= EDGE_EAST; side++)
        if (to_edge[side] < RIM_TEXELS && light.drop(f.col, f.row, side) >= STEP_RISE)
            return RIM_LIP;
    return RIM_NONE;
}

}  // namespace

int rim_colour(int c, Rim rim)
{
    float k = rim == RIM_LIP ? LIP_LIGHT : rim == RIM_OUTLINE ? OUTLINE_LIGHT : 1;
    float white = rim == RIM_LIP ? 255 * LIP_WHITE : 0, keep = rim == RIM_LIP ? 1 - LIP_WHITE : 1;
    int r = std::min(255, (int)(getr(c) * k * keep + white));
    int g = std::min(255, (int)(getg(c) * k * keep + white));
    int b = std::min(255, (int)(getb(c) * k * keep + white));
    return makecol(r, g, b);
}

Lighting::Lighting(const MapSource &source)
    : src(source), sun{source.sun[0], source.sun[1], source.sun[2]}, ox(map_origin_x(source)), oz(map_origin_z(source))
{
}

void Lighting::prepare()
{
    cells.resize((size_t)src.width * src.height);
    climbs = sun[1] > 0;
    for (int row = 0; row < src.height; row++)
        for (int col = 0; col < src.width; col++) {
            const CellStyle &s = cell_style(src, col, row);
            cells[(size_t)row * src.width + col] = &s;
            if (s.is_void)
                continue;
            highest = std::max(highest, s.height);
            if (s.crown_top > 0)
                highest = std::max(highest, s.height + s.crown_top);
            if (s.post_width > 0)
                highest = std::max(highest, s.height + s.post_height);
            highest = std::max(highest, s.height + s.hedge_height);
        }
}

float Lighting::height_at(float x, float z) const
{
    int col = (int)std::floor(x - ox), row = (int)std::floor(z - oz);
    if (row < 0 || row >= src.height || col < 0 || col >= src.width)
        return -1e9f;
    const CellStyle &s = *cells[(size_t)row * src.width + col];
    if (s.is_void)
        return -1e9f;
    float h = s.height;
    // Crowns and hedges shade their whole cell; posts only where they stand.
    if (s.crown_top > 0)
        h = std::max(h, s.height + s.crown_top);
    h = std::max(h, s.height + s.hedge_height);
    float fx = x - ox - col - 0.5f, fz = z - oz - row - 0.5f;
    if (s.post_width > 0 && std::fabs(fx) < s.post_width / 2 && std::fabs(fz) < s.post_width / 2)
        h = std::max(h, s.height + s.post_height);
    return h;
}

// The sun stands above the horizon, so the ray only climbs: once it is above everything
// nothing further along can shade the point.
float Lighting::sunlight(const float *p, const float *n) const
{
    float q[3] = {p[0] + n[0] * 0.02f, p[1] + n[1] * 0.02f, p[2] + n[2] * 0.02f};
    for (float t = 0.05f; t < 10.0f; t += 0.08f) {
        float x = q[0] + sun[0] * t, y = q[1] + sun[1] * t, z = q[2] + sun[2] * t;
        if (climbs && highest <= y + 1e-3f)
            return 1;
        if (height_at(x, z) > y + 1e-3f)
            return 0;
    }
    return 1;
}

float Lighting::top(int col, int row) const
{
    if (row < 0 || row >= src.height || col < 0 || col >= src.width)
        return -1e9f;
    const CellStyle &s = *cells[(size_t)row * src.width + col];
    return s.is_void ? -1e9f : s.height;
}

float Lighting::drop(int col, int row, int side) const
{
    int dc = side == EDGE_WEST ? -1 : side == EDGE_EAST ? 1 : 0;
    int dr = side == EDGE_SOUTH ? 1 : side == EDGE_NORTH ? -1 : 0;
    float below = top(col + dc, row + dr);
    return below < -1e8f ? 0 : top(col, row) - below;
}

Behind Lighting::behind_north(int col, int row, float fall) const
{
    // The first cell the line of sight over the edge meets is what shows above it.
    const float step = 1.0f / 64;
    float from = top(col, row);
    Behind seen;
    for (float d = step; d < 6; d += step) {
        int ahead = (int)d;
        float y = from - fall * d, ground = top(col, row - 1 - ahead);
        if (ground < -1e8f)
            return seen;
        if (ground < y)
            continue;
        seen.found = true;
        seen.col = col;
        seen.row = row - 1 - ahead;
        seen.bank = d - ahead < 1.5f * step && ground - y > 1e-3f;
        seen.into = seen.bank ? ground - y : d - ahead;
        return seen;
    }
    return seen;
}

float Lighting::top_light(int col, int row, float x, float z) const
{
    const float up[3] = {0, 1, 0};
    float p[3] = {x, top(col, row), z};
    float lit = AMBIENT + DIFFUSE * std::max(0.0f, sun[1]) * sunlight(p, up);
    return lit * foot_darkening(p, col, row);
}

float Lighting::seen_luminance(const Behind &b, float x) const
{
    if (!b.found)
        return 0;
    const CellStyle &s = cell_style(src, b.col, b.row);
    float z = oz + b.row + (b.bank ? 1 - 0.02f : 1 - b.into);
    if (b.bank)
        return top_light(b.col, b.row, x, z) * BANK_SHADE[EDGE_SOUTH] * surface_luminance(s.side_surface);
    float lit = top_light(b.col, b.row, x, z);
    if (surface_glows(s.surface))
        lit = std::max(lit, 0.95f);
    float seen = lit * surface_luminance(s.surface);
    if (s.transparency > 0 && s.has_bed) {
        const float up[3] = {0, 1, 0};
        float p[3] = {x, s.bed_height, z}, t = s.transparency / 100.0f;
        float bed = (AMBIENT + DIFFUSE * std::max(0.0f, sun[1]) * sunlight(p, up)) * surface_luminance(s.bed_surface);
        seen = (1 - t) * seen + t * bed;
    }
    return seen;
}

float Lighting::foot_darkening(const float *p, int col, int row) const
{
    float own = top(col, row);
    float factor = 1;
    float fx = p[0] - (ox + col), fz = p[2] - (oz + row);
    for (int dr = -1; dr <= 1; dr++)
        for (int dc = -1; dc <= 1; dc++) {
            if (!dr && !dc)
                continue;
            float rise = top(col + dc, row + dr) - own;
            if (rise < 0.3f)
                continue;
            float dx = dc < 0 ? fx : dc > 0 ? 1 - fx : 0;
            float dz = dr < 0 ? fz : dr > 0 ? 1 - fz : 0;
            float d = std::sqrt(dx * dx + dz * dz);
            float k = std::max(0.0f, 1 - d / 0.55f) * std::min(1.0f, rise);
            factor = std::min(factor, 1 - 0.45f * k);
        }
    return factor;
}

// The light on the top a bank hangs from, at the bank's upper edge above column u.
static float light_above(const Face &f, const Lighting &light, int u)
{
    float s = (u + 0.5f) / SHADOW_CELL;
    float x = f.p[0][0] + s * (f.p[3][0] - f.p[0][0]) - f.n[0] * 0.02f;
    float z = f.p[0][2] + s * (f.p[3][2] - f.p[0][2]) - f.n[2] * 0.02f;
    return light.top_light(f.col, f.row, x, z);
}

bool bake_face(const Face &f, const Lighting &light, BITMAP *cell, std::string &error)
{
    BITMAP *tex = surface_texture(f.surface);
    if (!tex) {
        error = "unknown surface \"" + f.surface + "\"";
        return false;
    }
    bool glows = surface_glows(f.surface);
    float lambert = std::max(0.0f, f.n[0] * light.sun[0] + f.n[1] * light.sun[1] + f.n[2] * light.sun[2]);
    float above[SHADOW_CELL];
    if (f.bank >= 0)
        for (int u = 0; u < SHADOW_CELL; u++)
            above[u] = light_above(f, light, u);
    for (int v = 0; v < SHADOW_CELL; v++)
        for (int u = 0; u < SHADOW_CELL; u++) {
            float s = (u + 0.5f) / SHADOW_CELL, t = (v + 0.5f) / SHADOW_CELL;
            float p[3];
            for (int i = 0; i < 3; i++)
                p[i] = f.p[0][i] + s * (f.p[3][i] - f.p[0][i]) + t * (f.p[1][i] - f.p[0][i]);
            float lit = AMBIENT;
            if (f.bank >= 0)
                lit = above[u] * BANK_SHADE[f.bank];
            else if (lambert > 0)
                lit += DIFFUSE * lambert * light.sunlight(p, f.n);
            if (f.floor)
                lit *= light.foot_darkening(p, f.col, f.row);
            else
                lit *= 0.78f + 0.22f * (1 - t * f.v_span);  // faces darken toward their foot
            if (glows)
                lit = std::max(lit, 0.95f);
            Rim rim = f.cell_top ? rim_of(f, light, u, v) : RIM_NONE;
            // The texture repeats once per unit along v on tall faces.
            int tv = (int)(t * f.v_span * SHADOW_CELL) % SHADOW_CELL;
            int c = texel(tex, u, tv);
            if (rim != RIM_NONE) {
                // A rim keeps its light in shadow, where a bank under it still reads.
                c = rim_colour(c, rim);
                lit = 1;
            }
            int r = std::min(255, (int)(getr(c) * lit));
            int g = std::min(255, (int)(getg(c) * lit));
            int b = std::min(255, (int)(getb(c) * lit));
            // Keep the mask colour out of lit texels: it would punch holes in the floor.
            if (r == 255 && g == 0 && b == 255)
                g = 1;
            putpixel(cell, u, v, makecol(r, g, b));
        }
    return true;
}
