// The look rules of a map, checked before anything is written.
#include "tools/forge/maplooks.h"

#include <cstdio>

#include "tools/forge/mapedges.h"

namespace {

// A map with many weak steps names the first few.
const int STEPS_NAMED = 5;

std::string map_name(const MapSource &m)
{
    return "map " + std::to_string(m.number) + " (" + m.file + ")";
}

void check_steps(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems)
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
        if (!e.measured || e.contrast >= EDGE_MIN_CONTRAST || weak++ >= STEPS_NAMED)
            continue;
        char text[200];
        snprintf(text, sizeof(text),
                 ": the step %.1f down from column %d row %d toward the %s stands out by %.0f levels of "
                 "luminance, less than the %.0f a step needs (give the top or its bank another surface)",
                 e.rise, e.col - m.ring_west, e.row - m.ring_north, sides[e.side], e.contrast, EDGE_MIN_CONTRAST);
        problems.push_back(map_name(m) + text);
    }
}

}  // namespace

void check_map_looks(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems)
{
    check_steps(campaign, m, problems);
}
