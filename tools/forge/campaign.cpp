// The campaign: validation and the writing of the world data, above every check it runs.
#include "tools/forge/campaign.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <unistd.h>

#include "tools/forge/barriercheck.h"
#include "tools/forge/firstminute.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"
#include "tools/forge/maplooks.h"
#include "tools/forge/mapoverview.h"
#include "tools/forge/quantize.h"
#include "tools/forge/regions.h"
#include "world/datafile.h"
#include "world/mapfile.h"
#include "world/names.h"
#include "world/picture.h"
#include "world/tables.h"

namespace {

// Pick-ups share the map's fifty item slots with the hero's arrows; ten leave the arrows
// room enough for the bow's fastest rhythm.
const int MAX_MAP_PICKUPS = 10;

// A demon that appears this close (walking, in units) to where the hero arrives can bite
// before the player has seen the map.
const float SAFE_ARRIVAL_DISTANCE = 8.0f;
// Demons off the hero's level freeze: a spawn point this far above or below all the floor
// around it keeps its demons out of reach.
const float SPAWN_LEVEL_TOLERANCE = 0.5f;

std::string where(const MapSource &m)
{
    return "map " + std::to_string(m.number) + " (" + m.file + ")";
}

// A cell as the map maker wrote it: counted from the grid, not from the rings around it.
std::string cell_name(const MapSource &m, int col, int row)
{
    return "column " + std::to_string(col - m.ring_west) + " row " + std::to_string(row - m.ring_north);
}

std::string at(const MapSource &m, int line)
{
    return m.file + ":" + std::to_string(line);
}

bool is_trigger_cell(const MapSource &m, int col, int row)
{
    const CellStyle &s = cell_style(m, col, row);
    return !s.is_void && cell_floor_kind(s.kind, !s.exit_map.empty()).leads;
}

typedef std::vector<std::string> Problems;

// The campaign as a whole: map numbers, the start and gate maps, the trigger records.
void check_campaign_frame(const Campaign &campaign, Problems &problems)
{
    auto problem = [&](const std::string &text) { problems.push_back(text); };
    std::set<int> numbers;
    for (const MapSource &m : campaign.maps)
        if (!numbers.insert(m.number).second)
            problem(where(m) + ": another source has the same map number");
    if (!find_map(campaign, START_MAP))
        problem("the campaign has no map " + std::to_string(START_MAP) + ", where the game starts");
    const MapSource *gate_map = find_map(campaign, GATE_MAP);
    if (!gate_map)
        problem("the campaign has no map " + std::to_string(GATE_MAP) + ", behind the gem gate");
    else if (!find_spot(*gate_map, "gate"))
        problem(where(*gate_map) + ": no \"spot gate\": the gem gate's arrival (record " +
                std::to_string(GATE_RECORD + GATE_MAP) + ") is missing");
    for (const auto &t : campaign.exit_triggers)
        if (t.second >= MAX_TRIGGERS)
            problem("exit " + t.first + " needs trigger record " + std::to_string(t.second) + ", above the " +
                    std::to_string(MAX_TRIGGERS - 1) + " the table holds");
}

// A map's spots, arrivals and exits.
void check_spots_and_exits(const Campaign &campaign, const MapSource &m, Problems &problems)
{
    auto problem = [&](const std::string &text) { problems.push_back(text); };
    if (!find_spot(m, "start"))
        problem(where(m) + ": no \"spot start\": its start record " + std::to_string(START_RECORD + m.number) +
                " is missing");

    for (const SourceSpot &s : m.spots) {
        bool inside = s.col >= 0 && s.col < m.width && s.row >= 0 && s.row < m.height;
        if (!inside) {
            problem(at(m, s.line) + ": spot \"" + s.name + "\" lies outside the grid");
            continue;
        }
    }
    for (const SourceSpot *s : arrival_spots(campaign, m)) {
        if (s->col < 0 || s->col >= m.width || s->row < 0 || s->row >= m.height)
            continue;
        if (!cell_is_plain_floor(m, s->col, s->row))
            problem(at(m, s->line) + ": arrival \"" + s->name + "\" at " + cell_name(m, s->col, s->row) + " is not on plain walkable floor");
        for (int dr = -1; dr <= 1; dr++)
            for (int dc = -1; dc <= 1; dc++)
                if (is_trigger_cell(m, s->col + dc, s->row + dr))
                    problem(at(m, s->line) + ": arrival \"" + s->name + "\" lies within reach of the trigger at " +
                            cell_name(m, s->col + dc, s->row + dr) +
                            ": the hero would be sent on at once");
    }

    // The trigger check reaches a couple of pixels round the hero's feet, across the corner
    // of a cell: an exit shut in by seals or gated floor on its sides is taken from open
    // floor on its diagonal, past them.
    auto open = [&](int col, int row) {
        return cell_is_plain_floor(m, col, row) && !cell_style(m, col, row).curtain_kind;
    };
    auto guarded = [&](int col, int row) {
        const CellStyle &st = cell_style(m, col, row);
        return !st.is_void && (st.curtain_kind || floor_kind(st.kind).floor_when != OPEN_ALWAYS);
    };
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            if (cell_style(m, col, row).exit_map.empty())
                continue;
            bool shut = false, open_side = false;
            for (int e = 0; e < 4; e++) {
                int c = col + (e == 0) - (e == 1), r = row + (e == 2) - (e == 3);
                shut = shut || guarded(c, r);
                open_side = open_side || open(c, r);
            }
            if (!shut || open_side)
                continue;
            for (int dr = -1; dr <= 1; dr += 2)
                for (int dc = -1; dc <= 1; dc += 2)
                    if (open(col + dc, row + dr))
                        problem(where(m) + ": the exit at " + cell_name(m, col, row) +
                                " is shut in on its sides but can be taken across the corner from " +
                                cell_name(m, col + dc, row + dr) + " (shut that cell too)");
        }

    for (const auto &entry : m.legend) {
        const CellStyle &st = entry.second;
        if (st.exit_map.empty())
            continue;
        bool used = false;
        for (const std::string &row : m.grid)
            used = used || row.find(st.symbol) != std::string::npos;
        if (!used)
            continue;
        const MapSource *dest = find_map(campaign, std::atoi(st.exit_map.c_str()));
        if (!dest)
            problem(at(m, st.line) + ": exit '" + st.symbol + "' leads to map " + st.exit_map + ", which does not exist");
        else if (!find_spot(*dest, st.exit_spot))
            problem(at(m, st.line) + ": exit '" + st.symbol + "' leads to spot \"" + st.exit_spot + "\" of map " +
                    st.exit_map + ", which has no such spot");
    }
}

// A map's demons and pick-ups, and whether what matters on it can be reached.
void check_demons_and_items(const Campaign &campaign, const MapSource &m, Problems &problems)
{
    auto problem = [&](const std::string &text) { problems.push_back(text); };
    int spawn_cells = 0;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &st = cell_style(m, col, row);
            if (!st.is_void && st.kind == KIND_SPAWN)
                spawn_cells++;
        }
    if ((int)m.monsters.size() > MONSTERS_PER_MAP)
        problem(at(m, m.monsters_line) + ": " + std::to_string(m.monsters.size()) + " monsters, more than the " +
                std::to_string(MONSTERS_PER_MAP) + " a map holds");
    if (!m.monsters.empty() && spawn_cells == 0)
        problem(at(m, m.monsters_line) + ": the map has monsters but no spawn point (a kind=7 cell)");
    if (spawn_cells * 2 > MAX_SPAWN_POINTS)
        problem(where(m) + ": " + std::to_string(spawn_cells) + " spawn cells make " + std::to_string(spawn_cells * 2) +
                " spawn points, more than the " + std::to_string(MAX_SPAWN_POINTS) + " the game uses");

    if ((int)m.items.size() > MAX_MAP_PICKUPS)
        problem(where(m) + ": " + std::to_string(m.items.size()) + " pick-ups, more than the " +
                std::to_string(MAX_MAP_PICKUPS) + " a map holds");
    std::vector<char> reach = reachable_floor(campaign, m);
    auto reachable = [&](int col, int row) {
        return col >= 0 && col < m.width && row >= 0 && row < m.height && reach[row * m.width + col];
    };
    for (const SourceItem &it : m.items) {
        if (!cell_is_floor(m, it.col, it.row))
            problem(at(m, it.line) + ": " + item_type_name(it.type) + " is not on floor");
        else if (!reachable(it.col, it.row))
            problem(at(m, it.line) + ": " + item_type_name(it.type) + " cannot be reached from the map's arrivals");
    }
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &st = cell_style(m, col, row);
            if (st.is_void || st.blocking)
                continue;
            const FloorKind &k = cell_floor_kind(st.kind, !st.exit_map.empty());
            bool matters = st.kind == KIND_SPAWN || k.leads;
            if (matters && !reachable(col, row))
                problem(where(m) + ": the " + k.name + " at " + cell_name(m, col, row) +
                        " cannot be reached from the map's arrivals");
        }
}

// Safe arrivals: no spawn point within a few steps of where the hero appears, and none set
// off the floor's level unless the source says it is a refuge.
void check_spawn_points(const Campaign &campaign, const MapSource &m, Problems &problems)
{
    auto problem = [&](const std::string &text) { problems.push_back(text); };
    std::vector<float> walk = walking_distances(campaign, m);
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &st = cell_style(m, col, row);
            if (st.is_void || st.kind != KIND_SPAWN)
                continue;
            std::string place = " at " + cell_name(m, col, row);
            float d = walk[row * m.width + col];
            if (d <= SAFE_ARRIVAL_DISTANCE) {
                char units[32];
                snprintf(units, sizeof(units), "%.1f", d);
                problem(where(m) + ": the spawn point" + place + " lies " + units +
                        " units' walk from an arrival, not more than " + std::to_string((int)SAFE_ARRIVAL_DISTANCE) +
                        ": its demons could bite on arrival");
            }
            if (st.refuge || st.blocking)
                continue;
            bool level = false, has_floor = false;
            for (int dr = -1; dr <= 1; dr++)
                for (int dc = -1; dc <= 1; dc++) {
                    const CellStyle &n = cell_style(m, col + dc, row + dr);
                    if ((!dr && !dc) || !cell_is_floor(m, col + dc, row + dr) || n.kind == KIND_SPAWN)
                        continue;
                    has_floor = true;
                    level = level || std::fabs(n.height - st.height) < SPAWN_LEVEL_TOLERANCE;
                }
            if (has_floor && !level)
                problem(where(m) + ": the spawn point" + place +
                        " lies 0.5 or more above or below all the floor around it, where its demons freeze"
                        " (mark its cell \"refuge\" if that is meant)");
        }
}

// Every map must be reachable from the start, over exits and the gem gate.
void check_maps_reachable(const Campaign &campaign, Problems &problems)
{
    std::set<int> seen;
    std::vector<int> todo;
    if (find_map(campaign, START_MAP)) {
        seen.insert(START_MAP);
        todo.push_back(START_MAP);
    }
    while (!todo.empty()) {
        const MapSource *m = find_map(campaign, todo.back());
        todo.pop_back();
        std::set<int> next;
        for (int row = 0; row < m->height; row++)
            for (int col = 0; col < m->width; col++) {
                const CellStyle &st = cell_style(*m, col, row);
                if (st.is_void)
                    continue;
                if (!st.exit_map.empty())
                    next.insert(std::atoi(st.exit_map.c_str()));
                if (floor_kind(st.kind).leads_to_map >= 0)
                    next.insert(floor_kind(st.kind).leads_to_map);
            }
        for (int n : next)
            if (find_map(campaign, n) && seen.insert(n).second)
                todo.push_back(n);
    }
    for (const MapSource &m : campaign.maps)
        if (!seen.count(m.number))
            problems.push_back(where(m) + ": cannot be reached from map " + std::to_string(START_MAP));
}

}  // namespace

std::vector<std::string> validate_campaign(Campaign &campaign)
{
    Problems problems;
    check_campaign_frame(campaign, problems);
    int total_items = 0;
    for (const MapSource &m : campaign.maps) {
        check_spots_and_exits(campaign, m, problems);
        check_demons_and_items(campaign, m, problems);
        check_spawn_points(campaign, m, problems);
        check_map_looks(campaign, m, problems);
        check_barriers(campaign, m, problems);
        total_items += (int)m.items.size();
        // Capacities of the geometry: build the map's tables without lighting.
        BuildStats stats;
        std::string error;
        if (!build_map_tables(m, campaign.exit_triggers, stats, error, false))
            problems.push_back(where(m) + ": " + error);
        else if (stats.triangles > MAX_MAP_TRIANGLES)
            problems.push_back(where(m) + ": " + std::to_string(stats.triangles) + " triangles, more than the " +
                               std::to_string(MAX_MAP_TRIANGLES) + " a map may have");
    }
    if (total_items > MAX_ITEM_PLACEMENTS)
        problems.push_back(std::to_string(total_items) + " item placements in all, more than the " +
                           std::to_string(MAX_ITEM_PLACEMENTS) + " the table holds");
    check_maps_reachable(campaign, problems);
    check_regions(campaign, problems);
    if (const MapSource *start = find_map(campaign, START_MAP))
        for (const std::string &p : first_minute_problems(campaign, *start))
            problems.push_back(p);
    return problems;
}

void fill_trigger_table(const Campaign &campaign)
{
    memset(triggers, 0, sizeof(triggers));
    auto put = [&](int record, const MapSource &m, const SourceSpot &s) {
        float x, y, z;
        cell_center(m, s.col, s.row, &x, &y, &z);
        triggers[record].e[0] = (float)m.number;
        triggers[record].e[1] = x;
        triggers[record].e[2] = y;
        triggers[record].e[3] = z;
    };
    for (const MapSource &m : campaign.maps) {
        if (const SourceSpot *s = find_spot(m, "start"))
            put(START_RECORD + m.number, m, *s);
        if (const SourceSpot *s = find_spot(m, "gate"))
            put(GATE_RECORD + m.number, m, *s);
    }
    for (const auto &t : campaign.exit_triggers) {
        size_t colon = t.first.find(':');
        const MapSource *m = find_map(campaign, std::atoi(t.first.substr(0, colon).c_str()));
        const SourceSpot *s = m ? find_spot(*m, t.first.substr(colon + 1)) : nullptr;
        if (s && t.second < MAX_TRIGGERS)
            put(t.second, *m, *s);
    }
}

static bool write_trigger_file(const char *path)
{
    SafeFile out;
    if (!begin_write(out, path))
        return false;
    for (int i = 0; i < MAX_TRIGGERS; i++)
        for (int j = 0; j < 9; j++)
            fprintf(out.file, "%f\n", triggers[i].e[j]);
    return end_write(out) && commit_write(out);
}

// Compiles one map and writes it, with its overview picture when `overview_dir` is set,
// and enters its demons and pick-ups in the tables. False when it cannot be built (after
// a message); `ok` is cleared as well when one of its files could not be written.
static bool forge_map(const Campaign &campaign, const MapSource &m, const std::string &overview_dir, bool &ok)
{
    BuildStats stats;
    std::string error;
    if (!build_map_tables(m, campaign.exit_triggers, stats, error, true)) {
        fprintf(stderr, "%s: %s\n", where(m).c_str(), error.c_str());
        ok = false;
        return false;
    }
    std::string name = std::to_string(m.number);
    if (!save_map(name.c_str()))
        return ok = false;  // a failed write (a full disk) ends the run there, not once a map
    monster_counts[m.number] = (s16)m.monsters.size();
    for (size_t j = 0; j < m.monsters.size(); j++)
        monsters[m.number][j].kind = (s16)m.monsters[j];
    for (const SourceItem &it : m.items) {
        ItemPlacement &p = item_placements[item_count++];
        p.present = 1;
        p.map = m.number;
        p.type = (s16)it.type;
        cell_center(m, it.col, it.row, &p.x, &p.y, &p.z);
    }
    if (!overview_dir.empty()) {
        BITMAP *pic = draw_map_overview(m, campaign.exit_triggers);
        std::string path = overview_dir + "/" + name + ".bmp";
        if (!pic || !save_picture(path, pic, palette)) {
            fprintf(stderr, "%s: cannot be written\n", path.c_str());
            ok = false;
        }
        if (pic)
            destroy_bitmap(pic);
    }
    return ok;
}

bool forge_world(const std::string &content_dir, const std::string &data_dir, const std::string &overview_dir)
{
    Campaign campaign;
    std::string error;
    if (!load_campaign_sources(content_dir, campaign, error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::vector<std::string> problems = validate_campaign(campaign);
    if (!problems.empty()) {
        fprintf(stderr, "The campaign cannot be written:\n");
        for (const std::string &p : problems)
            fprintf(stderr, "  %s\n", p.c_str());
        return false;
    }

    // The game's writers take "data/..." paths: work from the data folder's parent.
    std::string data = data_dir;
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    size_t slash = data.rfind('/');
    std::string parent = slash == std::string::npos ? "." : data.substr(0, slash);
    if (data.substr(slash == std::string::npos ? 0 : slash + 1) != "data") {
        fprintf(stderr, "%s: the world is written into a folder named \"data\"\n", data_dir.c_str());
        return false;
    }
    if (!make_dirs(data + "/maps/shadowmap") || (!overview_dir.empty() && !make_dirs(overview_dir))) {
        fprintf(stderr, "%s: cannot create its folders\n", data.c_str());
        return false;
    }
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd)) || chdir(parent.c_str()) != 0) {
        fprintf(stderr, "%s: cannot be entered\n", parent.c_str());
        return false;
    }
    std::string overview_abs = overview_dir;
    if (!overview_abs.empty() && overview_abs[0] != '/')
        overview_abs = std::string(cwd) + "/" + overview_abs;

    // The strips in 8 bits: a third of the size, and the colours hold within a step or two.
    BITMAP *(*saved_reducer)(BITMAP *, RGB *) = strip_reducer;
    strip_reducer = reduce_strip;
    bool ok = true;
    memset(monster_counts, 0, sizeof(monster_counts));
    item_count = 0;
    for (const MapSource &m : campaign.maps)
        if (!forge_map(campaign, m, overview_abs, ok))
            break;
    if (ok) {
        fill_trigger_table(campaign);
        memset(map_names, 0, sizeof(map_names));
        for (const MapSource &m : campaign.maps)
            snprintf(map_names[m.number], sizeof(map_names[m.number]), "%s", m.title.c_str());
        ok = save_items() && save_monsters() && write_trigger_file("data/triggers.dat") && save_map_names();
    }
    strip_reducer = saved_reducer;
    if (chdir(cwd) != 0)
        ok = false;
    return ok;
}
