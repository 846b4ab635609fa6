// The automated player's walk map of the current map and its paths over it.
#include "tools/autoplay/autoplay_mind.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "game/triggers.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"

namespace autoplay_mind {

// ---- the walk map ----

int node_at(float x, float z)
{
    int i = (int)std::floor((x - walk.x0) * RES), j = (int)std::floor((z - walk.z0) * RES);
    if (i < 0 || j < 0 || i >= walk.w || j >= walk.h)
        return -1;
    return j * walk.w + i;
}

float node_x(int n) { return walk.x0 + (n % walk.w + 0.5f) / RES; }
float node_z(int n) { return walk.z0 + (n / walk.w + 0.5f) / RES; }
bool has_floor(int n) { return n >= 0 && !std::isnan(walk.height[n]); }

// The floor's edge: paths keep off it, and every path search asks about every node.
static void mark_edges()
{
    const int di[4] = {1, -1, 0, 0}, dj[4] = {0, 0, 1, -1};
    walk.edge.assign(walk.height.size(), 0);
    for (int j = 0; j < walk.h; j++)
        for (int i = 0; i < walk.w; i++)
            for (int e = 0; e < 4; e++) {
                int ei = i + di[e], ej = j + dj[e];
                if (ei < 0 || ej < 0 || ei >= walk.w || ej >= walk.h || !has_floor(ej * walk.w + ei)) {
                    walk.edge[j * walk.w + i] = 1;
                    break;
                }
            }
}

// A trigger fires from about 0.3 units away (two floor-map pixels round the feet), and a
// node stands for a quarter unit the hero may be anywhere in, overshooting by a step: its
// floor and two nodes all round are marked.
static void mark_trigger_margins()
{
    const int margin = 2;
    for (int node = 0; node < walk.w * walk.h; node++) {
        int k = walk.kind[node];
        if (!has_floor(node) || !floor_kind(k).leads)
            continue;
        int i = node % walk.w, j = node / walk.w;
        for (int dj = -margin; dj <= margin; dj++)
            for (int di = -margin; di <= margin; di++)
                if (i + di >= 0 && i + di < walk.w && j + dj >= 0 && j + dj < walk.h) {
                    int at = (j + dj) * walk.w + i + di;
                    walk.trigger[at] = k;
                    uint8_t depth = (uint8_t)(margin + 1 - std::max(std::abs(di), std::abs(dj)));
                    walk.trigger_depth[at] = std::max(walk.trigger_depth[at], depth);
                }
    }
}

void build_walk_map()
{
    // Numbered across runs (a new run starts from an empty walk map): a search kept from
    // another walk map is never taken for this one's.
    static long walk_maps_made;
    walk.map = current_map;
    walk.built = ++walk_maps_made;
    walk.ways.clear();
    walk.triangles = view_triangles.size();
    walk.cleared = map_cleared[current_map];
    walk.gate_item = map_group >= 0 && map_group < INVENTORY_SLOTS ? inventory[map_group] : 0;

    float min_x = FAR, min_z = FAR, max_x = -FAR, max_z = -FAR;
    for (const ViewVertex &v : view_vertices) {
        min_x = std::min(min_x, v.world_x);
        max_x = std::max(max_x, v.world_x);
        min_z = std::min(min_z, v.world_z);
        max_z = std::max(max_z, v.world_z);
    }
    if (view_vertices.empty())
        min_x = min_z = max_x = max_z = 0;
    walk.x0 = std::floor(min_x) - 1;
    walk.z0 = std::floor(min_z) - 1;
    walk.w = (int)((std::ceil(max_x) + 1 - walk.x0) * RES);
    walk.h = (int)((std::ceil(max_z) + 1 - walk.z0) * RES);
    size_t n = (size_t)walk.w * walk.h;
    walk.height.assign(n, NAN);
    walk.kind.assign(n, 0);
    walk.trigger.assign(n, 0);
    walk.trigger_depth.assign(n, 0);
    avoid_until.assign(n, 0);
    looked_at.assign(n, -1);

    for (const ViewTriangle &t : view_triangles) {
        if (t.wall || !floor_open_now(t))
            continue;
        const ViewVertex *v[3] = {&view_vertices[t.vertex[0]], &view_vertices[t.vertex[1]],
                                  &view_vertices[t.vertex[2]]};
        float top = std::max(v[0]->rest_y, std::max(v[1]->rest_y, v[2]->rest_y));
        float lo_x = std::min(v[0]->world_x, std::min(v[1]->world_x, v[2]->world_x));
        float hi_x = std::max(v[0]->world_x, std::max(v[1]->world_x, v[2]->world_x));
        float lo_z = std::min(v[0]->world_z, std::min(v[1]->world_z, v[2]->world_z));
        float hi_z = std::max(v[0]->world_z, std::max(v[1]->world_z, v[2]->world_z));
        int i0 = std::max(0, (int)std::floor((lo_x - walk.x0) * RES));
        int i1 = std::min(walk.w - 1, (int)std::floor((hi_x - walk.x0) * RES));
        int j0 = std::max(0, (int)std::floor((lo_z - walk.z0) * RES));
        int j1 = std::min(walk.h - 1, (int)std::floor((hi_z - walk.z0) * RES));
        for (int j = j0; j <= j1; j++)
            for (int i = i0; i <= i1; i++) {
                float px = walk.x0 + (i + 0.5f) / RES, pz = walk.z0 + (j + 0.5f) / RES;
                float d[3];
                for (int k = 0; k < 3; k++) {
                    const ViewVertex *a = v[k], *b = v[(k + 1) % 3];
                    d[k] = (b->world_x - a->world_x) * (pz - a->world_z) - (b->world_z - a->world_z) * (px - a->world_x);
                }
                bool inside = (d[0] >= -1e-4f && d[1] >= -1e-4f && d[2] >= -1e-4f) ||
                              (d[0] <= 1e-4f && d[1] <= 1e-4f && d[2] <= 1e-4f);
                int node = j * walk.w + i;
                if (inside && (std::isnan(walk.height[node]) || top > walk.height[node])) {
                    walk.height[node] = top;
                    walk.kind[node] = t.kind;
                }
            }
    }
    mark_edges();
    mark_trigger_margins();
}

bool walk_map_stale()
{
    int gate = map_group >= 0 && map_group < INVENTORY_SLOTS ? inventory[map_group] : 0;
    return walk.map != current_map || walk.triangles != view_triangles.size() ||
           walk.cleared != map_cleared[current_map] || (walk.gate_item != 0) != (gate != 0);
}


// ---- paths ----

// A node the hero can be said to stand on: floor at his own height.
bool under_hero(int n)
{
    return has_floor(n) && std::fabs(walk.height[n] - player_y) < 1.0f;
}

int hero_node()
{
    int n = node_at(player_x, player_z);
    if (under_hero(n))
        return n;
    // Standing on an edge the walk map rounds the other way: take the nearest floor.
    int best = -1;
    float best_d = FAR;
    for (int dj = -3; dj <= 3; dj++)
        for (int di = -3; di <= 3; di++) {
            int m = node_at(player_x + di / (float)RES, player_z + dj / (float)RES);
            if (!under_hero(m))
                continue;
            float d = std::hypot(node_x(m) - player_x, node_z(m) - player_z);
            if (d < best_d) {
                best_d = d;
                best = m;
            }
        }
    return best;
}

bool step_allowed(int from, int to, int allowed_trigger)
{
    if (!has_floor(to) || std::fabs(walk.height[to] - walk.height[from]) >= CLIMB_LIMIT)
        return false;
    // Near a trigger floor not wanted, only steps that lead away from it.
    return !walk.trigger[to] || walk.trigger[to] == allowed_trigger ||
           walk.trigger_depth[to] < walk.trigger_depth[from];
}

// The eight steps out of a node: the four straight ones first, then the diagonals.
static const int step_di[8] = {1, -1, 0, 0, 1, 1, -1, -1}, step_dj[8] = {0, 0, 1, -1, 1, -1, 1, -1};

// The steps out of every node that a path may take, stepping on no trigger floor but
// `allowed_trigger`: onto floor less than CLIMB_LIMIT higher or lower, away from a trigger not
// wanted, and diagonally only where both straight steps beside the diagonal are allowed
// (no cutting corners). The walk map's floors do not change between its builds, so each
// set is made once.
static const std::vector<uint8_t> &ways_out(int allowed_trigger)
{
    std::vector<uint8_t> &ways = walk.ways[allowed_trigger];
    if (!ways.empty() || walk.height.empty())
        return ways;
    const int w = walk.w, h = walk.h;
    const float *height = walk.height.data();
    const int *trigger = walk.trigger.data();
    const uint8_t *depth = walk.trigger_depth.data();
    auto allowed = [&](int a, int b) {
        if (std::isnan(height[b]) || std::fabs(height[b] - height[a]) >= CLIMB_LIMIT)
            return false;
        return !trigger[b] || trigger[b] == allowed_trigger || depth[b] < depth[a];
    };
    ways.assign(walk.height.size(), 0);
    for (int node = 0; node < w * h; node++) {
        int i = node % w, j = node / w;
        bool straight[4] = {false, false, false, false};
        for (int k = 0; k < 8; k++) {
            int ni = i + step_di[k], nj = j + step_dj[k];
            if (ni < 0 || nj < 0 || ni >= w || nj >= h)
                continue;
            int next = nj * w + ni;
            bool ok = allowed(node, next);
            if (k < 4)
                straight[k] = ok;
            else
                ok = ok && straight[step_di[k] > 0 ? 0 : 1] && straight[step_dj[k] > 0 ? 2 : 3];
            ways[node] |= (uint8_t)(ok << k);
        }
    }
    return ways;
}

// The nodes a search has reached and not yet taken: a radix heap of keys that put the cost
// (a float of 0 or more, whose bits sort as its value does) above the node, so they come out
// cheapest first and, at one cost, lowest node first. A search only ever puts in keys above
// the last taken (a step costs at least 1), which is all a radix heap asks. A node whose
// cost falls is put in again; its dearer key is skipped when it comes out.
static std::vector<uint64_t> open_keys[65];
static uint64_t last_taken;
static uint64_t open_buckets;  // bit i: bucket i + 1 holds keys
static size_t open_count;

static uint64_t open_key(float cost, int node)
{
    uint32_t bits;
    memcpy(&bits, &cost, sizeof bits);
    return (uint64_t)bits << 32 | (uint32_t)node;
}

static int open_bucket(uint64_t key) { return key == last_taken ? 0 : 64 - __builtin_clzll(key ^ last_taken); }

static void open_node(int node, float cost)
{
    uint64_t key = open_key(cost, node);
    int b = open_bucket(key);
    open_keys[b].push_back(key);
    if (b)
        open_buckets |= 1ull << (b - 1);
    open_count++;
}

// The cheapest key: the least of the first bucket that holds any, whose others then spread
// over the lower buckets around it.
static uint64_t take_cheapest()
{
    if (open_keys[0].empty()) {
        int i = __builtin_ctzll(open_buckets) + 1;
        std::vector<uint64_t> &from = open_keys[i];
        open_buckets &= open_buckets - 1;
        last_taken = *std::min_element(from.begin(), from.end());
        for (uint64_t key : from) {
            int b = open_bucket(key);
            open_keys[b].push_back(key);
            if (b)
                open_buckets |= 1ull << (b - 1);
        }
        from.clear();
    }
    uint64_t key = open_keys[0].back();
    open_keys[0].pop_back();
    open_count--;
    return key;
}

// A step onto each node, straight and diagonal: dearer at the very edge of a floor (the
// game's pixels may round the other way) and at places found impassable.
static std::vector<float> straight_onto, diagonal_onto;

// Cheapest paths from `start` over the steps `ways` allows, at the step costs above and the
// danger: Dijkstra's search, nodes taken cheapest first and, at one cost, lowest first.
static void search_from(int start, const uint8_t *ways)
{
    // Every search takes out all it puts in, which leaves every bucket empty for the next.
    last_taken = 0;
    cost_to[start] = 0;
    open_node(start, 0);
    const int w = walk.w;
    const int offset[8] = {1, -1, w, -w, w + 1, -w + 1, w - 1, -w - 1};
    const float *danger_at = danger.data();
    float *cost = cost_to.data();
    int *from = came_from.data();
    while (open_count) {
        uint64_t key = take_cheapest();
        int node = (int)(uint32_t)key;
        float c = cost[node];
        if (open_key(c, node) != key)
            continue;  // a dearer way to a node since reached more cheaply
        for (int k = 0, out = ways[node]; out; k++, out >>= 1) {
            if (!(out & 1))
                continue;
            int next = node + offset[k];
            // A step costs at least 1 and danger is never below 0: a node already as cheap
            // as this one cannot be reached more cheaply through it.
            if (cost[next] <= c)
                continue;
            float total = c + (k >= 4 ? diagonal_onto : straight_onto)[next] + danger_at[next];
            if (total < cost[next]) {
                cost[next] = total;
                from[next] = node;
                open_node(next, total);
            }
        }
    }
}

// The last search with no trigger floor allowed (the one made every think) and what it was
// made from. The hero often stands on the same node with the danger unchanged from one think
// to the next (a third of the expert's thinks): the same inputs give the same paths, so they
// are kept, not searched again. Its tables grow to the largest map, as the others here do,
// and stay.
struct PathSearch {
    long walk_built = -1;
    int start = -1;
    float edge_cost = 0;
    std::vector<float> danger;
    std::vector<uint8_t> avoided;
    std::vector<float> cost_to;
    std::vector<int> came_from;
};
static PathSearch kept;

// Lets the open buckets go at the end of a run: how far they grew depends on the ways
// searched, and the soak judges the heap between runs.
void forget_paths()
{
    for (std::vector<uint64_t> &bucket : open_keys)
        std::vector<uint64_t>().swap(bucket);
}

// Cheapest paths from the hero to every node. It runs every pass over the whole map, so the
// steps allowed out of each node are judged once per walk map (ways_out) and what a step
// onto each node costs once per search; the sums are made in the same order as ever, so
// the paths are the same to the last bit.
void find_paths(int allowed_trigger)
{
    size_t n = walk.height.size();
    int start = hero_node();
    if (start < 0) {
        cost_to.assign(n, FAR);
        came_from.assign(n, -1);
        return;
    }
    // The novice walks as a person does, up to the walls and along them.
    const float edge_cost = novice() ? 0 : 3;
    static std::vector<uint8_t> avoided;
    avoided.resize(n);
    double now = now_s();
    for (size_t m = 0; m < n; m++)
        avoided[m] = avoid_until[m] > now;
    bool keep = allowed_trigger < 0;
    if (keep && kept.walk_built == walk.built && kept.start == start && kept.edge_cost == edge_cost &&
        kept.avoided == avoided && kept.danger == danger) {
        cost_to = kept.cost_to;
        came_from = kept.came_from;
        return;
    }
    straight_onto.resize(n);
    diagonal_onto.resize(n);
    for (size_t m = 0; m < n; m++) {
        float straight = 1.0f, diagonal = 1.414f;
        if (walk.edge[m])
            straight += edge_cost, diagonal += edge_cost;
        if (avoided[m])
            straight += 60, diagonal += 60;
        straight_onto[m] = straight;
        diagonal_onto[m] = diagonal;
    }
    cost_to.assign(n, FAR);
    came_from.assign(n, -1);
    search_from(start, ways_out(allowed_trigger).data());
    if (!keep)
        return;
    kept.walk_built = walk.built;
    kept.start = start;
    kept.edge_cost = edge_cost;
    kept.avoided = avoided;
    kept.danger = danger;
    kept.cost_to = cost_to;
    kept.came_from = came_from;
}

// ---- the novice's aim ----

// Its own stream, so that the game's rand() draws the same whatever the hands do.
static uint64_t aim_state;
static int aimed_map = -1;
static float aimed_x, aimed_z, aim_x, aim_z;

static uint64_t mixed(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Mixed first: seeds one apart must not walk the same stream a draw apart.
void seed_novice_aim(unsigned seed)
{
    aim_state = mixed(seed + 0x2545F4914F6CDD1Dull);
    aimed_map = -1;
    aim_x = aim_z = 0;
}

static double next_aim_unit()
{
    return (double)(mixed(aim_state += 0x9E3779B97F4A7C15ull) >> 11) / 9007199254740992.0;
}

// Anywhere in the disc of radius NOVICE_AIM, evenly.
void novice_aim_offset(float *dx, float *dz)
{
    double r = NOVICE_AIM * std::sqrt(next_aim_unit()), a = 2 * 3.14159265358979 * next_aim_unit();
    *dx = (float)(r * std::cos(a));
    *dz = (float)(r * std::sin(a));
}

// A person walks the line to a place a little aside: the novice draws an offset for each
// place he sets out for and keeps it while that place stays within a unit of where it was.
// Where he stops, his hands decide (they overshoot as it is); a wall that stops him on the
// way puts him back on his line.
static void aim_novice(int goal, float *tx, float *tz)
{
    float gx = node_x(goal), gz = node_z(goal);
    if (aimed_map != walk.map || std::hypot(gx - aimed_x, gz - aimed_z) > 1) {
        novice_aim_offset(&aim_x, &aim_z);
        aimed_map = walk.map;
        aimed_x = gx;
        aimed_z = gz;
    }
    *tx += aim_x;
    *tz += aim_z;
}

// Whether the straight line from (x, z) to node n lies on floor all the way.
static bool straight_floor(float x, float z, int n)
{
    float nx = node_x(n), nz = node_z(n);
    int steps = (int)(std::hypot(nx - x, nz - z) * RES * 2) + 1;
    for (int i = 1; i <= steps; i++) {
        float t = (float)i / steps;
        if (!has_floor(node_at(x + (nx - x) * t, z + (nz - z) * t)))
            return false;
    }
    return true;
}

// Presses the arrow keys that walk the hero toward the path's next stretch to `goal`.
void walk_toward(int goal)
{
    std::vector<int> path;
    for (int n = goal; n >= 0; n = came_from[n])
        path.push_back(n);
    std::reverse(path.begin(), path.end());
    int ahead = path.size() > 3 ? 3 : (int)path.size() - 1;
    // A hand that holds a key for a fifth of a second overshoots: aim no further than the
    // floor runs straight from the hero, or a one-cell gap beside the line is passed by.
    while (novice() && ahead > 1 && !straight_floor(player_x, player_z, path[ahead]))
        ahead--;
    int target = path[std::max(ahead, 0)];
    float tx = node_x(target), tz = node_z(target);
    if (ahead == (int)path.size() - 1 && path.size() <= 4 && goal >= 0) {
        tx = node_x(goal);
        tz = node_z(goal);
    }
    // Sloppy on open ground only: where the floor does not run straight to the third node
    // (a gap, a corner), a person lines up with care.
    if (novice() && path.size() > 3 && ahead == 3)
        aim_novice(goal, &tx, &tz);
    const float dead = WALK_DEAD_ZONE;
    if (tx - player_x > dead)
        key[KEY_RIGHT] = 1;
    else if (tx - player_x < -dead)
        key[KEY_LEFT] = 1;
    if (tz - player_z > dead)
        key[KEY_DOWN] = 1;
    else if (tz - player_z < -dead)
        key[KEY_UP] = 1;

    double now = now_s();
    if (std::hypot(player_x - last_x, player_z - last_z) < 0.01f &&
        (key[KEY_RIGHT] || key[KEY_LEFT] || key[KEY_UP] || key[KEY_DOWN])) {
        if (still_since < 0)
            still_since = now;
        if (now - still_since > 0.2) {
            // The game refuses this step: mark the place and shake loose.
            if (path.size() > 1)
                avoid_until[path[1]] = now + 4;
            aim_x = aim_z = 0;
            jiggle_until = now + 0.1;
            jiggle_keys[0] = dir_keys[rand() % 4];
            jiggle_keys[1] = dir_keys[rand() % 4];
            still_since = -1;
        }
    } else {
        still_since = -1;
    }
}

}  // namespace autoplay_mind
