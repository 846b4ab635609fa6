// Choosing the view check's places: the cells where the edge of the world is nearest, the
// cells behind tall posts, the cells with the most standing in front of the hero, and an even
// spread of the rest.
#include "tools/viewcheck/viewplaces.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

#include "game/player.h"
#include "render/camera.h"
#include "tools/forge/mapbuild.h"

namespace {

// Pressed against a wall the hero stands this far from it (he stops within a floor-map pixel,
// an eighth of a unit, of its face: this is nearly the nearest); walking at full pace the
// camera trails him by this much (a step of 0.16 a frame against 9 % of the way a frame).
const float PRESSED_GAP = 0.01f;
const float CAMERA_LAG = STEP_PER_FRAME / CAMERA_EASE;
// A cell this much above the hero's floor rises beside him: a step that reads.
const float RAISED = 0.5f;
// Beside what rises he is judged pressed against it at this many places along its edge: more
// of them to the east and west, where the painter draws a top beside him by its triangles'
// middles and so where along it he stands matters most. Under a crown he is judged too this
// far out, past where its leaves may reach over him.
const int ALONG_ACROSS = 8, ALONG_NORTH_SOUTH = 3;
const float PAST_CROWN = 0.25f;

// The hero's steps toward the four facings.
const int FACING_STEP[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
const char *FACING_NAME[4] = {"north", "south", "west", "east"};

// How much stands in front of the hero at a place: the most that a cell beside him or up to
// two rows south of him rises above his floor, posts counted.
float cover_in_front(const MapSource &m, int col, int row)
{
    float own = cell_style(m, col, row).height, most = 0;
    for (int dr = 0; dr <= 2; dr++)
        for (int dc = -1; dc <= 1; dc++) {
            const CellStyle &s = cell_style(m, col + dc, row + dr);
            if ((dr || dc) && !s.is_void)
                most = std::max(most, s.height + (s.post_width > 0 ? s.post_height : 0) - own);
        }
    return most;
}

// Reachable cells whose way toward `facing` is shut (pressed) or open (walked): those with the
// most in front of the hero first, a few beside every kind of cell that shuts the way, since
// each stands its own height, then the rest up to the budget.
std::vector<Place> places_toward(const Campaign &c, const MapSource &m, int facing, bool shut, const ViewBudget &b)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::map<char, std::vector<std::pair<float, int>>> by_kind;
    std::vector<std::pair<float, int>> all;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            int nc = col + FACING_STEP[facing][0], nr = row + FACING_STEP[facing][1];
            if (!reach[row * m.width + col] || hero_can_step(m, col, row, nc, nr) == shut)
                continue;
            std::pair<float, int> place(-cover_in_front(m, col, row), row * m.width + col);
            all.push_back(place);
            if (shut)
                by_kind[cell_style(m, nc, nr).symbol].push_back(place);
        }
    std::vector<char> taken(m.width * m.height, 0);
    std::vector<Place> out;
    auto take = [&](std::vector<std::pair<float, int>> &from, size_t n) {
        std::sort(from.begin(), from.end());
        for (size_t i = 0; i < from.size() && n > 0; i++)
            if (!taken[from[i].second]) {
                taken[from[i].second] = 1;
                out.push_back({from[i].second % m.width, from[i].second / m.width});
                n--;
            }
    };
    size_t budget = b.every ? all.size() : b.places_per_side;
    for (auto &kind : by_kind)
        take(kind.second, b.places_per_kind);
    take(all, budget > out.size() ? budget - out.size() : 0);
    return out;
}

// The first and last reachable cell of each line: every row, then every column.
void line_ends(const MapSource &m, const std::vector<char> &reach, std::vector<Place> &into)
{
    for (int across = 0; across < 2; across++) {
        int lines = across ? m.width : m.height, length = across ? m.height : m.width;
        for (int line = 0; line < lines; line++) {
            int first = -1, last = -1;
            for (int i = 0; i < length; i++)
                if (reach[across ? i * m.width + line : line * m.width + i]) {
                    last = i;
                    first = first < 0 ? i : first;
                }
            if (first >= 0)
                for (int i : {first, last})
                    into.push_back(across ? Place{line, i} : Place{i, line});
        }
    }
}

// Every cell just north of a post as tall as the hero, whatever the budget (there the post
// stands between him and the camera); then the ends of the lines of floor, where the edge of
// the world is nearest, and an even spread of the rest, both thinned evenly to the budget.
std::vector<Place> standing_places(const Campaign &c, const MapSource &m, const ViewBudget &b)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::vector<char> chosen(m.width * m.height, 0);
    std::vector<Place> out, ends, all_ends, spread;
    for (int row = 0; row + 1 < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &south = cell_style(m, col, row + 1);
            if (reach[row * m.width + col] && south.post_width > 0 && south.post_height >= 1.5f) {
                chosen[row * m.width + col] = 1;
                out.push_back({col, row});
            }
        }
    line_ends(m, reach, all_ends);
    for (const Place &p : all_ends)
        if (!chosen[p.row * m.width + p.col]) {
            chosen[p.row * m.width + p.col] = 1;
            ends.push_back(p);
        }
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++)
            if (reach[row * m.width + col] && !chosen[row * m.width + col])
                spread.push_back({col, row});
    size_t room_for_ends = std::min(ends.size(), b.places_per_map * 2 / 3);
    for (size_t i = 0; i < room_for_ends; i++)
        out.push_back(ends[i * ends.size() / room_for_ends]);
    size_t room = out.size() < b.places_per_map ? b.places_per_map - out.size() : 0;
    size_t n = std::min(spread.size(), room);
    for (size_t i = 0; i < n; i++)
        out.push_back(spread[i * spread.size() / n]);
    return out;
}

// Whether the cell beside rises over the hero's floor: a top at least a step that reads above
// it, or scenery standing on it.
bool rises_beside(const MapSource &m, int col, int row, int nc, int nr)
{
    const CellStyle &own = cell_style(m, col, row), &n = cell_style(m, nc, nr);
    return !n.is_void && (n.height - own.height >= RAISED || n.post_width > 0 || n.crown_top > 0 ||
                          !n.fence_surface.empty());
}

// Judged for the covering alone, the camera on him, at (dc, dr) from the middle of his cell
// in units of half a cell less the gap.
void add_cover_pose(const MapSource &m, int col, int row, float dc, float dr, float gap, int facing,
                    const std::string &what, std::vector<Pose> &out)
{
    float x, y, z;
    cell_center(m, col, row, &x, &y, &z);
    x += dc * (0.5f - gap), z += dr * (0.5f - gap);
    Pose p{x, y, z, 0, facing, 0, x, z, false, {col, row}, what + ", camera on him"};
    p.cover_only = true;
    out.push_back(p);
}

// A demon of each size the game draws a step north of the hero, where one can stand.
void add_demon_poses(const MapSource &m, const Place &p, float x, float y, float z, std::vector<Pose> &out)
{
    if (!hero_can_step(m, p.col, p.row, p.col, p.row - 1))
        return;
    for (int kind : DEMON_KINDS_JUDGED) {
        Pose pose{x, y, z, 0, FACING_DOWN, 0, x, z, false, p,
                  std::string(demon_is_small(kind) ? "a small" : "a large") + " demon a step north of him"};
        pose.cover_only = true;
        pose.demon_kind = kind;
        pose.demon_y = cell_style(m, p.col, p.row - 1).height;
        out.push_back(pose);
    }
}

// Beside every cell that rises beside him, on all four sides, and under every crown, into
// its corners too: where the painter's order may draw over him what stands beside or behind
// him. And demons a step north on floor higher than his, where they are drawn nearest.
void add_cover_poses(const Campaign &c, const MapSource &m, std::vector<Pose> &out)
{
    std::vector<char> reach = reachable_floor(c, m);
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            if (!reach[row * m.width + col])
                continue;
            if (cell_style(m, col, row - 1).height - cell_style(m, col, row).height >= RAISED) {
                float x, y, z;
                cell_center(m, col, row, &x, &y, &z);
                add_demon_poses(m, {col, row}, x, y, z, out);
            }
            for (int f = 0; f < 4; f++) {
                int dc = FACING_STEP[f][0], dr = FACING_STEP[f][1];
                if (!rises_beside(m, col, row, col + dc, row + dr))
                    continue;
                bool crown = cell_style(m, col + dc, row + dr).crown_top > 0;
                std::string what = std::string(crown ? "under the crown" : "beside what rises") + " to the " +
                                   FACING_NAME[f];
                int places = dc ? ALONG_ACROSS : ALONG_NORTH_SOUTH;
                std::vector<float> alongs;
                for (int i = 0; i < places; i++) alongs.push_back((i + 0.5f) / places);
                for (float along : alongs)
                    for (float gap : {PRESSED_GAP, PAST_CROWN}) {
                        if (gap == PAST_CROWN && !crown)
                            continue;
                        float a = 2 * along - 1;  // from -1 to 1 across the cell: along its edge
                        add_cover_pose(m, col, row, dc ? dc : a, dr ? dr : a, gap, f,
                                       what + (gap == PRESSED_GAP ? ", pressed" : ", a quarter out"), out);
                    }
            }
            for (int dr : {-1, 1})
                for (int dc : {-1, 1})
                    if (cell_style(m, col + dc, row + dr).crown_top > 0)
                        for (float gap : {PRESSED_GAP, PAST_CROWN})
                            add_cover_pose(m, col, row, dc, dr, gap, dr < 0 ? FACING_UP : FACING_DOWN,
                                           std::string("under the crown to the ") + (dr < 0 ? "north" : "south") +
                                               (dc < 0 ? "west" : "east"),
                                           out);
        }
}

}  // namespace

bool hero_can_step(const MapSource &m, int col, int row, int nc, int nr)
{
    return cell_is_floor(m, nc, nr) &&
           std::fabs(cell_style(m, nc, nr).height - cell_style(m, col, row).height) < FLOOR_REACH;
}

ViewBudget view_budget(int places, bool every)
{
    size_t n = places > 0 ? (size_t)places : 1;
    // At the full budget 12 places a side and 4 a kind, and half the steps read; a smaller
    // budget reads fewer steps, and need only read its share of them.
    double read = 0.5 * std::min(n, (size_t)FULL_VIEW_PLACES) / FULL_VIEW_PLACES;
    // Every place beside what rises at the full budget; a smaller one judges a spread of them.
    size_t cover = n >= (size_t)FULL_VIEW_PLACES || every ? SIZE_MAX : n * 20;
    return {n, (n * 2 + 14) / 15, (n * 2 + 44) / 45, read, every, cover};
}

std::string grid_place(const MapSource &m, int col, int row)
{
    return "column " + std::to_string(col - m.ring_west) + " row " + std::to_string(row - m.ring_north) +
           " of the grid";
}

// From the standing places the camera on the hero and a step behind him each way; pressed
// against a wall on every side, the camera on him and still trailing him as he arrives;
// walking every way, the camera trailing.
std::vector<Pose> view_poses(const Campaign &c, const MapSource &m, const ViewBudget &b)
{
    const float trail[5][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    const char *trail_names[5] = {"on him", "a step west", "a step east", "a step north", "a step south"};
    std::vector<Pose> out;
    for (const Place &p : standing_places(c, m, b)) {
        float x, y, z;
        cell_center(m, p.col, p.row, &x, &y, &z);
        for (int t = 0; t < 5; t++)
            out.push_back({x, y, z, 0, FACING_DOWN, 0, x - trail[t][0], z - trail[t][1], true, p,
                           std::string("at rest, camera ") + trail_names[t]});
        add_demon_poses(m, p, x, y, z, out);
    }
    for (int f = 0; f < 4; f++) {
        float dx = (float)FACING_STEP[f][0], dz = (float)FACING_STEP[f][1];
        for (const Place &p : places_toward(c, m, f, true, b)) {
            float x, y, z;
            cell_center(m, p.col, p.row, &x, &y, &z);
            x += dx * (0.5f - PRESSED_GAP), z += dz * (0.5f - PRESSED_GAP);
            std::string what = std::string("pressed against the wall to the ") + FACING_NAME[f];
            out.push_back({x, y, z, 0, f, 0, x, z, false, p, what + ", camera on him"});
            out.push_back({x, y, z, 0, f, 0, x - dx * CAMERA_LAG, z - dz * CAMERA_LAG, false, p,
                           what + ", camera trailing"});
        }
        int n = 0;
        for (const Place &p : places_toward(c, m, f, false, b)) {
            float x, y, z;
            cell_center(m, p.col, p.row, &x, &y, &z);
            x += dx * 0.5f, z += dz * 0.5f;
            out.push_back({x, y, z, 1, f, n++ % SPRITE_FRAMES, x - dx * CAMERA_LAG, z - dz * CAMERA_LAG, false, p,
                           std::string("walking ") + FACING_NAME[f]});
        }
    }
    std::vector<Pose> cover;
    add_cover_poses(c, m, cover);
    size_t n = std::min(cover.size(), b.cover_places);
    for (size_t i = 0; i < n; i++)
        out.push_back(cover[i * cover.size() / n]);
    return out;
}
