// The campaign's maps read together, and where the hero can walk on them.
#include "tools/forge/campaignmaps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <queue>
#include <set>

#include "tools/forge/mapcells.h"
#include "world/kinds.h"

namespace {

// Whether the hero can step from one floor cell onto a neighbouring one.
bool can_step(const MapSource &m, int col, int row, int nc, int nr)
{
    return cell_is_floor(m, nc, nr) &&
           std::fabs(cell_style(m, nc, nr).height - cell_style(m, col, row).height) < FLOOR_REACH;
}

}  // namespace

std::vector<const SourceSpot *> arrival_spots(const Campaign &c, const MapSource &m)
{
    std::vector<const SourceSpot *> out;
    for (const SourceSpot &s : m.spots) {
        bool arrival = s.name == "start" || s.name == "gate" ||
                       c.exit_triggers.count(std::to_string(m.number) + ":" + s.name);
        if (arrival)
            out.push_back(&s);
    }
    return out;
}

std::vector<char> reachable_floor(const Campaign &c, const MapSource &m)
{
    std::vector<char> seen(m.width * m.height, 0);
    std::queue<std::pair<int, int>> todo;
    for (const SourceSpot *s : arrival_spots(c, m))
        if (cell_is_floor(m, s->col, s->row) && !seen[s->row * m.width + s->col]) {
            seen[s->row * m.width + s->col] = 1;
            todo.push({s->col, s->row});
        }
    while (!todo.empty()) {
        auto [col, row] = todo.front();
        todo.pop();
        float h = cell_style(m, col, row).height;
        const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; k++) {
            int nc = col + dc[k], nr = row + dr[k];
            if (!cell_is_floor(m, nc, nr) || seen[nr * m.width + nc])
                continue;
            if (std::fabs(cell_style(m, nc, nr).height - h) >= FLOOR_REACH)
                continue;
            seen[nr * m.width + nc] = 1;
            todo.push({nc, nr});
        }
    }
    return seen;
}

std::vector<float> walking_distances(const Campaign &c, const MapSource &m)
{
    // Dijkstra over cell centres, diagonals allowed where both sides are open too (the hero
    // walks diagonally but does not cut wall corners).
    std::vector<float> dist(m.width * m.height, INFINITY);
    typedef std::pair<float, int> Entry;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> todo;
    for (const SourceSpot *s : arrival_spots(c, m))
        if (cell_is_floor(m, s->col, s->row)) {
            dist[s->row * m.width + s->col] = 0;
            todo.push({0.0f, s->row * m.width + s->col});
        }
    const float diagonal = std::sqrt(2.0f);
    while (!todo.empty()) {
        auto [d, at] = todo.top();
        todo.pop();
        if (d > dist[at])
            continue;
        int col = at % m.width, row = at / m.width;
        for (int dr = -1; dr <= 1; dr++)
            for (int dc = -1; dc <= 1; dc++) {
                if (!dr && !dc)
                    continue;
                int nc = col + dc, nr = row + dr;
                if (!can_step(m, col, row, nc, nr))
                    continue;
                if (dr && dc && !(can_step(m, col, row, nc, row) && can_step(m, col, row, col, nr)))
                    continue;
                float nd = d + (dr && dc ? diagonal : 1.0f);
                if (nd < dist[nr * m.width + nc]) {
                    dist[nr * m.width + nc] = nd;
                    todo.push({nd, nr * m.width + nc});
                }
            }
    }
    return dist;
}

const MapSource *find_map(const Campaign &campaign, int number)
{
    for (const MapSource &m : campaign.maps)
        if (m.number == number)
            return &m;
    return nullptr;
}

const SourceSpot *find_spot(const MapSource &map, const std::string &name)
{
    for (const SourceSpot &s : map.spots)
        if (s.name == name)
            return &s;
    return nullptr;
}

bool load_campaign_sources(const std::string &dir, Campaign &campaign, std::string &error)
{
    campaign = Campaign();
    DIR *d = opendir(dir.c_str());
    if (!d) {
        error = dir + ": cannot be read";
        return false;
    }
    std::vector<std::string> files;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".map") == 0)
            files.push_back(dir + "/" + name);
    }
    closedir(d);
    std::sort(files.begin(), files.end());
    for (const std::string &f : files) {
        MapSource m;
        if (!parse_map_source(f, m, error))
            return false;
        campaign.maps.push_back(m);
    }
    std::sort(campaign.maps.begin(), campaign.maps.end(),
              [](const MapSource &a, const MapSource &b) { return a.number < b.number; });
    assign_exit_triggers(campaign);
    return true;
}

void assign_exit_triggers(Campaign &campaign)
{
    campaign.exit_triggers.clear();
    std::set<std::string> targets;
    for (const MapSource &m : campaign.maps)
        for (const auto &entry : m.legend)
            if (!entry.second.exit_map.empty())
                targets.insert(std::to_string(std::atoi(entry.second.exit_map.c_str())) + ":" +
                               entry.second.exit_spot);
    int next = EXIT_RECORD_BASE;
    for (const std::string &t : targets)
        campaign.exit_triggers[t] = next++;
}
