// How a map's steps read: the baked bands on the two sides of every step.
#include "tools/forge/mapedges.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "tools/forge/mapfaces.h"
#include "tools/forge/maplight.h"
#include "world/world.h"

float mean_luminance(BITMAP *bmp, int x0, int y0, int x1, int y1)
{
    double sum = 0;
    int n = 0;
    for (int y = std::max(0, y0); y <= std::min(bmp->h - 1, y1); y++)
        for (int x = std::max(0, x0); x <= std::min(bmp->w - 1, x1); x++) {
            int c = getpixel(bmp, x, y);
            sum += 0.299 * getr(c) + 0.587 * getg(c) + 0.114 * getb(c);
            n++;
        }
    return n ? (float)(sum / n) : 0;
}

std::vector<HeightEdge> height_edges(const MapSource &m, const std::vector<char> &reach)
{
    std::vector<HeightEdge> out;
    auto reached = [&](int col, int row) {
        return col >= 0 && col < m.width && row >= 0 && row < m.height && reach[row * m.width + col];
    };
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &s = cell_style(m, col, row);
            if (s.is_void || s.has_stairs)
                continue;
            for (int side = 0; side < 4; side++) {
                int dc, dr;
                edge_step(side, &dc, &dr);
                const CellStyle &n = cell_style(m, col + dc, row + dr);
                if (n.is_void || n.has_stairs || s.height - n.height < EDGE_MIN_RISE)
                    continue;
                if (!reached(col, row) && !reached(col + dc, row + dr))
                    continue;
                HeightEdge e;
                e.col = col;
                e.row = row;
                e.side = side;
                e.rise = s.height - n.height;
                out.push_back(e);
            }
        }
    return out;
}

namespace {

const int CELL = SHADOW_CELL;
// Bands are compared a stretch of the edge at a time, so that a lip in one stretch and an
// outline in the next do not cancel out.
const int STRETCHES = 4;

// A stretch of the band of a top face along one of its edges: u runs east, v south.
float top_band(BITMAP *cell, int side, int depth, int k)
{
    int a = k * CELL / STRETCHES, b = (k + 1) * CELL / STRETCHES - 1;
    switch (side) {
    case EDGE_SOUTH: return mean_luminance(cell, a, CELL - depth, b, CELL - 1);
    case EDGE_NORTH: return mean_luminance(cell, a, 0, b, depth - 1);
    case EDGE_WEST: return mean_luminance(cell, 0, a, depth - 1, b);
    default: return mean_luminance(cell, CELL - depth, a, CELL - 1, b);
    }
}

int texels(float world, float span)
{
    return std::max(1, std::min(CELL, (int)std::lround(world / span * CELL)));
}

// The faces' tops by cell, and their banks by cell, side and piece (0 the highest, each a
// unit tall).
struct FaceIndex {
    std::map<std::pair<int, int>, const Face *> tops;
    std::map<std::tuple<int, int, int, int>, const Face *> banks;
};

FaceIndex index_faces(const MapSource &m, const std::vector<Face> &faces)
{
    FaceIndex index;
    for (const Face &f : faces) {
        if (f.cell_top)
            index.tops[{f.col, f.row}] = &f;
        if (f.bank >= 0) {
            int piece = (int)std::lround(cell_style(m, f.col, f.row).height - f.p[0][1]);
            index.banks[std::make_tuple(f.col, f.row, f.bank, piece)] = &f;
        }
    }
    return index;
}

}  // namespace

bool measure_height_edges(const MapSource &m, std::vector<HeightEdge> &edges, std::string &error)
{
    std::vector<Face> faces = collect_faces(m);
    FaceIndex by_cell = index_faces(m, faces);
    const auto &tops = by_cell.tops;
    const auto &banks = by_cell.banks;
    Lighting light(m);
    light.prepare();
    BITMAP *cell = create_bitmap(CELL, CELL);
    if (!cell) {
        error = "out of memory for a picture";
        return false;
    }
    bool ok = true;
    int band = texels(EDGE_BAND, 1);
    auto find = [](const auto &index, const auto &key) -> const Face * {
        auto it = index.find(key);
        return it == index.end() ? nullptr : it->second;
    };
    // The band across a step: the bank below a front edge; past a back edge whatever the
    // camera sees there, a lower top or the bank of a cell that rises again.
    auto across = [&](const HeightEdge &e, float fall, int *first) -> const Face * {
        if (e.side != EDGE_NORTH) {
            *first = 0;
            return find(banks, std::make_tuple(e.col, e.row, e.side, 0));
        }
        Behind b = light.behind_north(e.col, e.row, fall);
        if (!b.found)
            return nullptr;
        int piece = (int)b.into;
        const Face *f = b.bank ? find(banks, std::make_tuple(b.col, b.row, (int)EDGE_SOUTH, piece))
                               : find(tops, std::make_pair(b.col, b.row));
        if (f)
            *first = b.bank ? (int)((b.into - piece) / f->v_span * CELL) : CELL - band - (int)(b.into * CELL);
        return f;
    };
    for (HeightEdge &e : edges) {
        const Face *top = find(tops, std::make_pair(e.col, e.row));
        e.contrast = 0;
        e.measured = false;
        if (!top)
            continue;
        if (!(ok = bake_face(*top, light, cell, error)))
            break;
        float upper[STRETCHES];
        for (int k = 0; k < STRETCHES; k++)
            upper[k] = top_band(cell, e.side, band, k);
        // A back edge is read as the camera sees it near the middle of the view and farther
        // up, where what shows behind it differs; the weaker counts.
        float worst = -1;
        for (float fall : {VIEW_FALL_NEAR, VIEW_FALL_FAR}) {
            int first = 0;
            const Face *beyond = across(e, fall, &first);
            if (!beyond)
                continue;
            if (!(ok = bake_face(*beyond, light, cell, error)))
                break;
            int rows = e.side == EDGE_NORTH && beyond->floor ? band : texels(EDGE_BAND, beyond->v_span);
            first = std::max(0, std::min(CELL - rows, first));
            float contrast = 0;
            for (int k = 0; k < STRETCHES; k++) {
                // A west bank runs north to south along u, as its top's west band runs along v; an
                // east bank runs south to north.
                int a = k * CELL / STRETCHES, b = (k + 1) * CELL / STRETCHES - 1;
                if (e.side == EDGE_EAST)
                    a = CELL - 1 - b, b = a + CELL / STRETCHES - 1;
                contrast += std::fabs(upper[k] - mean_luminance(cell, a, first, b, first + rows - 1)) / STRETCHES;
            }
            worst = worst < 0 ? contrast : std::min(worst, contrast);
            if (e.side != EDGE_NORTH)
                break;
        }
        if (!ok)
            break;
        e.measured = worst >= 0;
        e.contrast = std::max(0.0f, worst);
    }
    destroy_bitmap(cell);
    return ok;
}
