// The map compiler's baked light: sunlight with cast shadows, darkening at the foot of
// walls, and glowing surfaces, painted with the surface's texture into each shadow cell.
#include "tools/forge/maplight.h"

#include <algorithm>
#include <cmath>

#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"

namespace {

const float AMBIENT = 0.42f;
const float DIFFUSE = 0.72f;

}  // namespace

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
    // Crowns shade their whole cell; posts only where they stand.
    if (s.crown_top > 0)
        h = std::max(h, s.height + s.crown_top);
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

bool bake_face(const Face &f, const Lighting &light, BITMAP *cell, std::string &error)
{
    BITMAP *tex = surface_texture(f.surface);
    if (!tex) {
        error = "unknown surface \"" + f.surface + "\"";
        return false;
    }
    bool glows = surface_glows(f.surface);
    float lambert = std::max(0.0f, f.n[0] * light.sun[0] + f.n[1] * light.sun[1] + f.n[2] * light.sun[2]);
    for (int v = 0; v < SHADOW_CELL; v++)
        for (int u = 0; u < SHADOW_CELL; u++) {
            float s = (u + 0.5f) / SHADOW_CELL, t = (v + 0.5f) / SHADOW_CELL;
            float p[3];
            for (int i = 0; i < 3; i++)
                p[i] = f.p[0][i] + s * (f.p[3][i] - f.p[0][i]) + t * (f.p[1][i] - f.p[0][i]);
            float lit = AMBIENT;
            if (lambert > 0)
                lit += DIFFUSE * lambert * light.sunlight(p, f.n);
            if (f.floor)
                lit *= light.foot_darkening(p, f.col, f.row);
            else
                lit *= 0.78f + 0.22f * (1 - t * f.v_span);  // faces darken toward their foot
            if (glows)
                lit = std::max(lit, 0.95f);
            // The texture repeats once per unit along v on tall faces.
            int tv = (int)(t * f.v_span * SHADOW_CELL) % SHADOW_CELL;
            int c = getpixel(tex, u, tv);
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
