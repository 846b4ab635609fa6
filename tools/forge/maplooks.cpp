// The look rules of a map, checked before anything is written.
#include "tools/forge/maplooks.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "tools/forge/forge.h"
#include "tools/forge/mapedges.h"

namespace {

// A map with many weak steps names the first few.
const int STEPS_NAMED = 5;

std::string map_name(const MapSource &m)
{
    return "map " + std::to_string(m.number) + " (" + m.file + ")";
}

}  // namespace

void check_steps_read(const Campaign &campaign, const MapSource &m, float floor, std::vector<std::string> &problems)
{
    static const char *sides[4] = {"south", "west", "east", "north"};
    std::vector<HeightEdge> edges = height_edges(m, reachable_floor(campaign, m));
    std::string error;
    if (!measure_height_edges(m, edges, error)) {
        problems.push_back(map_name(m) + ": " + error);
        return;
    }
    int weak = 0;
    for (const HeightEdge &e : edges) {
        if (!e.measured || e.contrast >= floor || weak++ >= STEPS_NAMED)
            continue;
        char text[200];
        snprintf(text, sizeof(text),
                 ": the step %.1f down from column %d row %d toward the %s stands out by %.0f levels of "
                 "luminance, less than the %.0f a step needs (give the top or its bank another surface)",
                 e.rise, e.col - m.ring_west, e.row - m.ring_north, sides[e.side], e.contrast, floor);
        problems.push_back(map_name(m) + text);
    }
    if (weak > STEPS_NAMED)
        problems.push_back(map_name(m) + ": and " + std::to_string(weak - STEPS_NAMED) + " more steps like them");
}

namespace {

// The surfaces kept for the floors that matter, and where each may be worn.
bool reserved(const std::string &surface)
{
    int i = surface_index(surface);
    return i == SURFACE_TRIGGER || i == SURFACE_GEM_GATE || i == SURFACE_SEAL || i == SURFACE_BARRIER ||
           (i >= SURFACE_SEAL_KEY1 && i <= SURFACE_SEAL_GEMS);
}

// Exits, seals, barriers and the gem gate look one way on every map, and nothing else
// looks like them.
void check_gates(const MapSource &m, std::vector<std::string> &problems)
{
    for (const auto &entry : m.legend) {
        const CellStyle &s = entry.second;
        bool used = false;
        for (const std::string &row : m.grid)
            used = used || row.find(s.symbol) != std::string::npos;
        if (!used || s.is_void)
            continue;
        std::string at = m.file + ":" + std::to_string(s.line) + ": cell '" + std::string(1, s.symbol) + "' ";
        auto problem = [&](const std::string &text) { problems.push_back(at + text); };
        bool exit = !s.exit_map.empty();
        // What the cell's kind must wear, the only place a look kept for the floors that
        // matter may be worn (its top and its sides).
        const FloorKind &k = cell_floor_kind(s.kind, exit);
        const char *own = k.seal_open_when < 0 ? k.wears : "";
        if (*own && s.surface != own)
            problem((exit ? "leads to another map and wears " + s.surface + ": every way to another map wears "
                          : "is the " + std::string(k.name) + " and wears " + s.surface + ": the " + k.name + " wears ") +
                    own);
        if (s.kind == KIND_GEM_GATE && map_group_of(m.number) != map_group_of(GATE_MAP))
            problem("is a gem gate outside maps 900 to 999, whose seal opens with the fourth gem");
        if (!floor_kind(s.kind).written)
            problem("has kind " + std::to_string(s.kind) + ": write kind=3 or kind=5, and the forge draws the seal");
        const FloorKind &curtain = floor_kind(s.curtain_kind);
        if (s.curtain_kind && s.curtain_surface != curtain.wears)
            problem(std::string("has a curtain that opens ") +
                    (curtain.seal_open_when == OPEN_WHEN_CLEAN ? "when the map is clean" : "with the key or gem") +
                    " in " + s.curtain_surface + ": it is written " + curtain.wears);
        // Everything else the cell shows must not look like a way out or a seal.
        const std::string *worn[8] = {&s.surface,       &s.side_surface,  &s.post_surface, &s.crown_surface,
                                      &s.fence_surface, &s.hedge_surface, &s.rail_surface, &s.bed_surface};
        const char *part[8] = {"top", "side", "post", "crown", "fence", "hedge", "railing", "bed"};
        for (int i = 0; i < 8; i++) {
            const std::string &w = *worn[i];
            bool allowed = *own && w == own && i < 2;
            if (reserved(w) && !allowed)
                problem("wears " + w + " as its " + part[i] + ": that look is kept for " +
                        (w == "trigger" ? "the ways to other maps" : w == "gemgate" ? "the gem gate" : "seals"));
        }
    }
}

// A cell that blocks the way though it stands lower than a step the hero climbs must not
// wear the surface of the floor beside it, or it reads as a step he could climb. A post, a
// fence or a hedge shows that a cell blocks.
void check_walls(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems)
{
    std::vector<char> reach = reachable_floor(campaign, m);
    std::set<std::pair<char, char>> named;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            if (!reach[row * m.width + col])
                continue;
            const CellStyle &floor = cell_style(m, col, row);
            for (int side = 0; side < 4; side++) {
                int dc, dr;
                edge_step(side, &dc, &dr);
                const CellStyle &b = cell_style(m, col + dc, row + dr);
                bool scenery = b.post_width > 0 || !b.fence_surface.empty() || !b.hedge_surface.empty();
                if (b.is_void || !b.blocking || scenery || std::fabs(b.height - floor.height) >= FLOOR_REACH ||
                    b.surface != floor.surface || !named.insert({b.symbol, floor.symbol}).second)
                    continue;
                problems.push_back(m.file + ":" + std::to_string(b.line) + ": cell '" + std::string(1, b.symbol) +
                                   "' blocks the way at column " + std::to_string(col + dc - m.ring_west) + " row " +
                                   std::to_string(row + dr - m.ring_north) + " but wears " + b.surface +
                                   " like the floor beside it, lower than a step he cannot climb: it reads as one he"
                                   " can; give it a surface of its own");
            }
        }
}

}  // namespace

void check_map_looks(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems)
{
    check_gates(m, problems);
    check_walls(campaign, m, problems);
    check_steps_read(campaign, m, EDGE_MIN_CONTRAST, problems);
}
