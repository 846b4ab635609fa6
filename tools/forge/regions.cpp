// The regions rule and the names' fitness, checked before anything is written.
#include "tools/forge/regions.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "tools/forge/forge.h"
#include "tools/forge/inscriptions.h"
#include "world/names.h"

namespace {

// The looks every map shares by design: they tell nothing of the region.
bool shared_look(const std::string &surface)
{
    int i = surface_index(surface);
    return i == SURFACE_TRIGGER || i == SURFACE_GEM_GATE || i == SURFACE_SEAL || i == SURFACE_BARRIER ||
           (i >= SURFACE_SEAL_KEY1 && i <= SURFACE_SEAL_GEMS);
}

std::string named(const MapSource &m)
{
    return "map " + std::to_string(m.number) + (m.title.empty() ? "" : " \"" + m.title + "\"");
}

// Whether the game can show the name: the table's limits and the font's characters.
void check_name(const MapSource &m, std::vector<std::string> &problems)
{
    if (m.title.empty())
        return;
    int words = 0;
    bool in_word = false, drawable = true;
    for (char c : m.title) {
        drawable = drawable && c >= ' ' && c <= '~';
        words += c != ' ' && !in_word;
        in_word = c != ' ';
    }
    std::string where = "map " + std::to_string(m.number) + " (" + m.file + "): its name \"" + m.title + "\"";
    if (!drawable)
        problems.push_back(where + " holds a character the game's font cannot draw (plain ASCII only)");
    if ((int)m.title.size() > MAP_NAME_LENGTH)
        problems.push_back(where + " is longer than the " + std::to_string(MAP_NAME_LENGTH) + " characters shown");
    if (words > MAP_NAME_WORDS || words == 0)
        problems.push_back(where + " needs 1 to " + std::to_string(MAP_NAME_WORDS) + " words");
}

}  // namespace

std::vector<std::pair<std::string, int>> floor_surface_counts(const Campaign &campaign, const MapSource &m)
{
    std::map<std::string, int> counts;
    std::vector<char> reach = reachable_floor(campaign, m);
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &s = cell_style(m, col, row);
            if (reach[row * m.width + col] && !shared_look(s.surface))
                counts[s.surface]++;
        }
    std::vector<std::pair<std::string, int>> out(counts.begin(), counts.end());
    std::stable_sort(out.begin(), out.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    return out;
}

std::vector<std::pair<int, int>> joined_maps(const Campaign &campaign)
{
    std::set<std::pair<int, int>> pairs;
    for (const MapSource &m : campaign.maps)
        for (int row = 0; row < m.height; row++)
            for (int col = 0; col < m.width; col++) {
                const CellStyle &s = cell_style(m, col, row);
                if (s.is_void)
                    continue;
                int to = !s.exit_map.empty() ? std::atoi(s.exit_map.c_str()) : floor_kind(s.kind).leads_to_map;
                if (to >= 0 && to != m.number && find_map(campaign, to))
                    pairs.insert({std::min(m.number, to), std::max(m.number, to)});
            }
    return std::vector<std::pair<int, int>>(pairs.begin(), pairs.end());
}

void check_regions(const Campaign &campaign, std::vector<std::string> &problems)
{
    for (const MapSource &m : campaign.maps) {
        check_name(m, problems);
        plan_inscriptions(m, campaign.exit_triggers, problems);
    }
    for (const auto &pair : joined_maps(campaign)) {
        const MapSource &a = *find_map(campaign, pair.first), &b = *find_map(campaign, pair.second);
        auto fa = floor_surface_counts(campaign, a), fb = floor_surface_counts(campaign, b);
        if (fa.size() < 2 || fb.size() < 2)
            continue;
        std::set<std::string> sa = {fa[0].first, fa[1].first}, sb = {fb[0].first, fb[1].first};
        if (sa == sb)
            problems.push_back(named(a) + " and " + named(b) + ", joined by a way between them, wear the same two floors most (" +
                               *sa.begin() + " and " + *sa.rbegin() +
                               "): give one of them floors of its own, so that the player can tell where he is");
    }
}
