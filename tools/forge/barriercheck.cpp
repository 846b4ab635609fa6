// The rule that what stops the hero rises where the player can see it.
#include "tools/forge/barriercheck.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "tools/forge/barrierfaces.h"
#include "world/kinds.h"

namespace {

// A map with many breaks names this many, each of another cell symbol where it can.
const int BREAKS_NAMED = 5;

int opposite(int side)
{
    return side == EDGE_SOUTH ? EDGE_NORTH : side == EDGE_NORTH ? EDGE_SOUTH : side == EDGE_WEST ? EDGE_EAST : EDGE_WEST;
}

}  // namespace

float barrier_rise(const CellStyle &s, float floor)
{
    float top = s.height;
    if (s.post_width > 0)
        top = std::max(top, s.height + s.post_height);
    if (!s.fence_surface.empty())
        top = std::max(top, s.height + FENCE_HEIGHT);
    if (!s.hedge_surface.empty())
        top = std::max(top, s.height + s.hedge_height);
    // A crown shows the cell only when it comes down to where the hero walks; a tree's
    // crown high above shows nothing there (its trunk does).
    if (s.crown_top > 0 && s.height + s.crown_bottom - floor < BARRIER_MIN_RISE)
        top = std::max(top, s.height + s.crown_top);
    return top - floor;
}

std::vector<BarrierBreak> barrier_breaks(const Campaign &campaign, const MapSource &m)
{
    std::vector<BarrierBreak> out;
    std::vector<char> reach = reachable_floor(campaign, m);
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            if (!reach[row * m.width + col])
                continue;
            const CellStyle &floor = cell_style(m, col, row);
            for (int side = EDGE_SOUTH; side <= EDGE_NORTH; side++) {
                int dc, dr;
                edge_step(side, &dc, &dr);
                const CellStyle &n = cell_style(m, col + dc, row + dr);
                if (n.is_void)
                    continue;
                BarrierBreak b;
                if (n.blocking) {
                    b.rise = barrier_rise(n, floor.height);
                    if (b.rise >= BARRIER_MIN_RISE)
                        continue;
                    b.col = col + dc;
                    b.row = row + dr;
                    b.side = opposite(side);
                } else {
                    // A drop toward the camera shows its face; one away from it must be marked,
                    // unless onto water or lava, which read as barriers by their look.
                    b.rise = floor.height - n.height;
                    if (side == EDGE_SOUTH || b.rise < FLOOR_REACH || reads_as_water(n) ||
                        !floor.rail_surface.empty())
                        continue;
                    b.col = col;
                    b.row = row;
                    b.side = side;
                    b.drop = true;
                }
                out.push_back(b);
            }
        }
    return out;
}

void check_barriers(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems)
{
    static const char *sides[4] = {"south", "west", "east", "north"};
    std::string map = "map " + std::to_string(m.number) + " (" + m.file + ")";
    std::set<char> named;
    int more = 0;
    for (const BarrierBreak &b : barrier_breaks(campaign, m)) {
        const CellStyle &s = cell_style(m, b.col, b.row);
        if ((int)named.size() >= BREAKS_NAMED || !named.insert(s.symbol).second) {
            more++;
            continue;
        }
        char text[320];
        if (b.drop)
            snprintf(text, sizeof(text),
                     ": the floor '%c' at column %d row %d drops %.1f to the floor %s of it, a drop the camera does "
                     "not see: give the cell a rail= (or stand a wall on the edge)",
                     s.symbol, b.col - m.ring_west, b.row - m.ring_north, b.rise, sides[b.side]);
        else
            snprintf(text, sizeof(text),
                     ": cell '%c' at column %d row %d stops the hero but rises only %.1f above the floor %s of it, "
                     "less than the %.1f that reads as a barrier: raise it, stand a hedge, fence or post on it, or "
                     "make it floor",
                     s.symbol, b.col - m.ring_west, b.row - m.ring_north, b.rise, sides[b.side], BARRIER_MIN_RISE);
        problems.push_back(map + text);
    }
    if (more)
        problems.push_back(map + ": and " + std::to_string(more) + " more edges where what stops the hero does not rise");
}
