// The automated player.
//
// Eyes: the scene's triangles give it a top-down walk map of the current map (the same
// floors the game paints into its floor maps, gates included); the monster, item and
// trigger tables tell it where the demons, pick-ups and ways out are. Hands: the arrow
// keys and SPACE. Each pass it flees a demon that came too close, shoots one that stands
// in line, or walks (by the cheapest path around the demons) to a place from which it can
// shoot one, to a pick-up, or to the trigger floor that leads toward unfinished business.
#include "tools/autoplay/autoplay.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <queue>
#include <set>

#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "game/triggers.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"

AutoplayReport autoplay_report;
std::string autoplay_shots_dir;
int autoplay_skill = SKILL_EXPERT;
float autoplay_rate = 0;
int autoplay_start_map = 0;
std::string autoplay_log_path;

namespace {

const int RES = 4;  // walk-map nodes per world unit
const float FAR = 1e30f;
const float FLEE_DISTANCE = 1.75f;  // contact hurts below 1
const float SHOT_RANGE = 8.0f;      // arrows spend themselves after 10 units

const int dir_keys[4] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
const int hand_keys[5] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_SPACE};
const char hand_names[5] = {'U', 'D', 'L', 'R', 'S'};

const double THINK_INTERVAL = 1.0 / 60;  // the player decides at most this often (game s)
const double SIGHT_DELAY = 0.25;         // the novice sees the world this late
const double CHANGE_SPACING = 0.2;       // the novice's hands: five key-set changes a second
const double FORGET_AFTER = 5;           // the novice forgets a demon unseen this long

// The campaign's maps in the order it is played; a map's items and demons count as
// done when a run starts on a later one.
const int campaign_order[] = {901, 101, 201, 301, 601, 701, 801, 906};

// A demon as the player knows it.
struct Demon {
    int j;
    float x, y, z;
    int kind;
    int step_x, step_z;
    double seen;  // game second it was seen there
};

struct WalkMap {
    int map = -1;
    size_t triangles = 0;
    int cleared = -1;
    int gate_item = -1;
    float x0 = 0, z0 = 0;  // world corner of node (0, 0)
    int w = 0, h = 0;
    std::vector<float> height;  // NAN: no floor
    std::vector<int> kind;      // kind of the floor's triangle
    std::vector<int> trigger;   // trigger floor (kind 8 or 1000+) at or beside the node, else 0
};

WalkMap walk;
std::vector<float> cost_to;  // from the hero, this pass
std::vector<int> came_from;
std::vector<float> danger;
std::vector<double> avoid_until;  // nodes found impassable in play, until that game second
std::vector<double> looked_at;    // when the hero last stood near each node (novice)

std::map<int, std::map<int, int>> exits_of;  // map -> trigger kind -> destination map
std::set<int> visited;
std::set<int> learned;  // maps whose ways out are known
std::map<int, std::array<s16, INVENTORY_SLOTS>> left_with;  // inventory when a map was left unfinished

// What the last pass looked like, to see what the next one did.
int seen_map = -1;
long entered_at;  // pass the hero entered the current map
double entered_time;
std::set<int> photographed;
s16 seen_health[MONSTERS_PER_MAP];
uint8_t seen_present[MAX_ITEM_PLACEMENTS];
s32 seen_player_health;
double seen_shot_time;

float last_x, last_z;
double still_since;       // when the hero stopped moving although keys were held; -1: moving
float watch_x, watch_z;  // where the hero stood when the progress watch last looked
double watch_time;
int watch_arrows;
double jiggle_until;
int jiggle_keys[2];

// Game time of this run.
double clock_at_start;
double next_think;
double now_s() { return (game_clock - clock_at_start) / 0.06; }

// What the player knows of the demons this think: `demons` are those in sight (the
// expert: all living ones), `known` adds those the novice remembers.
std::vector<Demon> demons, known;

// The novice's eyes: per pass, the demons whose sprites lay in the world band of the
// frame shown; it looks at the newest frame at least SIGHT_DELAY old.
struct Sight {
    double t;
    int map;
    std::vector<Demon> in_band;
};
std::deque<Sight> sights;
std::map<int, Demon> memory;  // monster slot -> where the novice last saw it
int memory_map = -1;

// The hands: the keys held, since when, and the record of changes.
bool held[5];
double pressed_at[5];
double last_change;
std::deque<double> recent_changes;
FILE *hand_log;
long start_kills;  // kills credited before a run that starts on a later map
int start_items;
s32 last_health_before;

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

bool all_gems()
{
    for (int i = ITEM_GEM_FIRST; i <= ITEM_GEM_LAST; i++)
        if (inventory[i] <= 0)
            return false;
    return true;
}

void build_walk_map()
{
    walk.map = current_map;
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
    avoid_until.assign(n, 0);
    looked_at.assign(n, -1);

    for (const ViewTriangle &t : view_triangles) {
        if (t.wall)
            continue;
        if (t.cleared_floor && !walk.cleared)
            continue;
        if (t.gated_floor && !walk.gate_item)
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
    // A trigger fires from 0.25 units away: mark its floor and the nodes around it.
    for (int node = 0; node < (int)n; node++) {
        int k = walk.kind[node];
        if (!has_floor(node) || (k != KIND_GEM_GATE && k < KIND_TRIGGER_BASE))
            continue;
        int i = node % walk.w, j = node / walk.w;
        for (int dj = -1; dj <= 1; dj++)
            for (int di = -1; di <= 1; di++)
                if (i + di >= 0 && i + di < walk.w && j + dj >= 0 && j + dj < walk.h)
                    walk.trigger[(j + dj) * walk.w + i + di] = k;
    }
}

bool walk_map_stale()
{
    int gate = map_group >= 0 && map_group < INVENTORY_SLOTS ? inventory[map_group] : 0;
    return walk.map != current_map || walk.triangles != view_triangles.size() ||
           walk.cleared != map_cleared[current_map] || (walk.gate_item != 0) != (gate != 0);
}

// ---- demons ----

bool novice() { return autoplay_skill == SKILL_NOVICE; }

// Monsters move and bite only on the hero's level.
bool demon_active(const Demon &d) { return std::fabs(d.y - player_y) < 0.5f; }

float kind_speed_of(int kind) { return kind >= 0 && kind < MONSTER_KINDS ? monster_kinds[kind].speed : 0; }

Demon demon_of(int j)
{
    const Monster &m = monsters[current_map][j];
    return Demon{j, m.x, m.y, m.z, m.kind, m.step_x, m.step_z, now_s()};
}

// Whether a living demon's sprite lay in the world band of the frame just shown.
bool in_world_band(const Monster &m)
{
    if (m.health < 1 || !(m.sprite_scale > 0))
        return false;
    int base = m.kind <= 4 ? 48 : 72;
    float size = base * m.sprite_scale;
    float top = m.screen_y - (base - 48) * m.sprite_scale;
    return m.screen_x + size > 0 && m.screen_x < screen_width && top < screen_height - hud_band_height &&
           m.screen_y + 48 * m.sprite_scale > hud_band_height;
}

void record_sight()
{
    Sight s{now_s(), current_map, {}};
    for (int j = 0; j < current_monster_count(); j++)
        if (in_world_band(monsters[current_map][j]))
            s.in_band.push_back(demon_of(j));
    sights.push_back(s);
}

void note_sight_age(double age)
{
    AutoplayReport &r = autoplay_report;
    if (r.youngest_sight < 0 || age < r.youngest_sight)
        r.youngest_sight = age;
    if (age > r.oldest_sight)
        r.oldest_sight = age;
    if (hand_log)
        fprintf(hand_log, "sight %.3f %.3f\n", now_s() * 1000, age * 1000);
}

// This think's demons. The expert reads the monster table; the novice looks at the newest
// frame old enough, and remembers what it saw there for a while.
void look()
{
    demons.clear();
    known.clear();
    if (!novice()) {
        for (int j = 0; j < current_monster_count(); j++)
            if (monsters[current_map][j].health > 0)
                demons.push_back(demon_of(j));
        known = demons;
        return;
    }
    double now = now_s();
    while (sights.size() > 1 && sights[1].t <= now - SIGHT_DELAY + 1e-9)
        sights.pop_front();
    if (memory_map != current_map) {
        memory.clear();
        memory_map = current_map;
    }
    if (!sights.empty() && sights.front().t <= now - SIGHT_DELAY + 1e-9) {
        const Sight &s = sights.front();
        note_sight_age(now - s.t);
        if (s.map == current_map) {
            demons = s.in_band;
            for (const Demon &d : demons)
                memory[d.j] = d;
            // What should be in sight and is not has gone (dead, or walked off).
            for (auto it = memory.begin(); it != memory.end();) {
                bool seen = it->second.seen == s.t;
                bool stale = now - it->second.seen > FORGET_AFTER ||
                             (!seen && std::hypot(it->second.x - player_x, it->second.z - player_z) < 3);
                it = stale ? memory.erase(it) : std::next(it);
            }
        }
    }
    for (const auto &e : memory)
        known.push_back(e.second);
}

float demon_distance(const Demon &d, float x, float z) { return std::hypot(d.x - x, d.z - z); }

void measure_danger()
{
    danger.assign(walk.height.size(), 0);
    for (const Demon &m : demons) {
        // Fast demons get a wider berth.
        float speed = m.kind >= 0 && m.kind < MONSTER_KINDS ? monster_kinds[m.kind].speed : 1;
        float soft = 2.6f + speed;
        int ci = (int)std::floor((m.x - walk.x0) * RES), cj = (int)std::floor((m.z - walk.z0) * RES);
        int r = (int)std::ceil(soft * RES) + 1;
        for (int j2 = std::max(0, cj - r); j2 <= std::min(walk.h - 1, cj + r); j2++)
            for (int i2 = std::max(0, ci - r); i2 <= std::min(walk.w - 1, ci + r); i2++) {
                int node = j2 * walk.w + i2;
                // A demon wakes only for a hero on its own level: judge each place by its height,
                // not by where the hero happens to stand now.
                if (!has_floor(node) || std::fabs(walk.height[node] - m.y) >= 0.5f)
                    continue;
                float d = std::hypot(node_x(node) - m.x, node_z(node) - m.z);
                if (d < 1.3f)
                    danger[node] += 400;
                else if (d < soft)
                    danger[node] += (soft - d) * 12;
            }
    }
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
    if (!has_floor(to) || std::fabs(walk.height[to] - walk.height[from]) >= 1.4f)
        return false;
    if (walk.trigger[to] && walk.trigger[to] != allowed_trigger && !walk.trigger[from])
        return false;
    return true;
}

void find_paths(int allowed_trigger)
{
    size_t n = walk.height.size();
    cost_to.assign(n, FAR);
    came_from.assign(n, -1);
    int start = hero_node();
    if (start < 0)
        return;
    typedef std::pair<float, int> Entry;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    cost_to[start] = 0;
    open.push({0, start});
    const int di[8] = {1, -1, 0, 0, 1, 1, -1, -1}, dj[8] = {0, 0, 1, -1, 1, -1, 1, -1};
    double now = now_s();
    while (!open.empty()) {
        auto [c, node] = open.top();
        open.pop();
        if (c > cost_to[node])
            continue;
        int i = node % walk.w, j = node / walk.w;
        for (int k = 0; k < 8; k++) {
            int ni = i + di[k], nj = j + dj[k];
            if (ni < 0 || nj < 0 || ni >= walk.w || nj >= walk.h)
                continue;
            int next = nj * walk.w + ni;
            if (!step_allowed(node, next, allowed_trigger))
                continue;
            if (k >= 4 && (!step_allowed(node, j * walk.w + ni, allowed_trigger) ||
                           !step_allowed(node, nj * walk.w + i, allowed_trigger)))
                continue;  // no cutting corners
            float step = k >= 4 ? 1.414f : 1.0f;
            // Keep off the very edge of a floor: the game's pixels may round the other way.
            for (int e = 0; e < 4; e++) {
                int ei = ni + di[e], ej = nj + dj[e];
                if (ei < 0 || ej < 0 || ei >= walk.w || ej >= walk.h || !has_floor(ej * walk.w + ei)) {
                    step += 3;
                    break;
                }
            }
            if (avoid_until[next] > now)
                step += 60;
            float total = c + step + danger[next];
            if (total < cost_to[next]) {
                cost_to[next] = total;
                came_from[next] = node;
                open.push({total, next});
            }
        }
    }
}

// Presses the arrow keys that walk the hero toward the path's next stretch to `goal`.
void walk_toward(int goal)
{
    std::vector<int> path;
    for (int n = goal; n >= 0; n = came_from[n])
        path.push_back(n);
    std::reverse(path.begin(), path.end());
    int target = path.size() > 3 ? path[3] : path.back();
    float tx = node_x(target), tz = node_z(target);
    if (path.size() <= 3 && goal >= 0) {
        tx = node_x(goal);
        tz = node_z(goal);
    }
    const float dead = 0.07f;
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
            jiggle_until = now + 0.1;
            jiggle_keys[0] = dir_keys[rand() % 4];
            jiggle_keys[1] = dir_keys[rand() % 4];
            still_since = -1;
        }
    } else {
        still_since = -1;
    }
}

// ---- decisions ----

void release_keys()
{
    key[KEY_UP] = key[KEY_DOWN] = key[KEY_LEFT] = key[KEY_RIGHT] = key[KEY_SPACE] = 0;
}

int items_in_flight()
{
    int used = 0;
    for (const MapItem &it : map_items)
        used += it.present;
    return used;
}

// Where a demon will be after `seconds` of game time if it keeps its heading. The novice
// does not guess: it takes the demon where it saw it.
void predict(const Demon &d, double seconds, float *x, float *z)
{
    float step = novice() ? 0 : (float)(0.16 * 60 * kind_speed_of(d.kind) * seconds);
    *x = d.x + d.step_x * step;
    *z = d.z + d.step_z * step;
}

// Steps away from a demon that came too close. True when it had to. A demon keeps its
// heading until something blocks it, so the way out is judged against where each demon
// will be over the next frames, not where it stands: running ahead of a demon that walks
// the same way as fast keeps it at the hero's heels.
bool flee()
{
    const Demon *nearest = nullptr;
    float nearest_d = FLEE_DISTANCE;
    for (const Demon &d : demons)
        if (demon_active(d) && demon_distance(d, player_x, player_z) < nearest_d) {
            nearest_d = demon_distance(d, player_x, player_z);
            nearest = &d;
        }
    if (!nearest)
        return false;
    int from = hero_node();
    float best = -FAR;
    int best_dx = 0, best_dz = 0;
    for (int dz = -1; dz <= 1; dz++)
        for (int dx = -1; dx <= 1; dx++) {
            // Standing still is a choice too: the demon may be walking away.
            if (dx || dz) {
                int to = node_at(player_x + dx * 0.5f, player_z + dz * 0.5f);
                if (from < 0 || !step_allowed(from, to, -1))
                    continue;
            }
            float len = (dx && dz) ? 0.7071f : 1.0f;
            float worst = FAR;
            for (int t = 1; t <= 10; t++) {
                float x = player_x + dx * len * 0.16f * t, z = player_z + dz * len * 0.16f * t;
                if (t > 1 && (dx || dz) && !has_floor(node_at(x, z)))
                    break;  // the hero stops at the edge; the frames before count
                for (const Demon &d : demons) {
                    if (!demon_active(d))
                        continue;
                    float mx, mz;
                    predict(d, t / 60.0, &mx, &mz);
                    worst = std::min(worst, std::hypot(mx - x, mz - z));
                }
            }
            // Prefer open floor: a corner is a trap.
            float room = 0;
            for (int k = 1; k <= 4; k++)
                room += has_floor(node_at(player_x + dx * k * 0.5f, player_z + dz * k * 0.5f)) ? 0.1f : 0;
            if (worst + room > best) {
                best = worst + room;
                best_dx = dx;
                best_dz = dz;
            }
        }
    if (best_dx > 0)
        key[KEY_RIGHT] = 1;
    if (best_dx < 0)
        key[KEY_LEFT] = 1;
    if (best_dz > 0)
        key[KEY_DOWN] = 1;
    if (best_dz < 0)
        key[KEY_UP] = 1;
    return true;
}

// Facing changes only by walking: the hero can turn toward `facing` at (x, z) when a short
// step that way lands on floor at his height.
bool can_turn(float x, float z, float height, int facing)
{
    const float sx[4] = {0, 0, -0.3f, 0.3f}, sz[4] = {-0.3f, 0.3f, 0, 0};
    int n = node_at(x + sx[facing], z + sz[facing]);
    return has_floor(n) && std::fabs(walk.height[n] - height) < 1.4f && !walk.trigger[n];
}

// Shoots a demon that stands in line. True when it did something about one.
bool shoot_in_line()
{
    int best = -1, best_facing = 0;
    float best_d = FAR;
    for (const Demon &m : demons) {
        if (std::fabs(m.y - player_y) >= 1.1f)
            continue;  // the arrow would pass over or under it
        float dx = m.x - player_x, dz = m.z - player_z;
        int facing = -1;
        float along = 0;
        if (std::fabs(dx) < 0.7f && std::fabs(dz) > 0.8f && std::fabs(dz) < SHOT_RANGE) {
            facing = dz < 0 ? FACING_UP : FACING_DOWN;
            along = std::fabs(dz);
        } else if (std::fabs(dz) < 0.7f && std::fabs(dx) > 0.8f && std::fabs(dx) < SHOT_RANGE) {
            facing = dx < 0 ? FACING_LEFT : FACING_RIGHT;
            along = std::fabs(dx);
        }
        if (facing >= 0 && player_facing != facing && !can_turn(player_x, player_z, player_y, facing))
            continue;
        if (facing >= 0 && along < best_d) {
            best_d = along;
            best = m.j;
            best_facing = facing;
        }
    }
    if (best < 0 || items_in_flight() >= MAP_ITEM_SLOTS - 2)
        return false;
    if (player_facing != best_facing)
        key[dir_keys[best_facing]] = 1;  // turning takes a step toward it
    key[KEY_SPACE] = 1;
    return true;
}

// The best place to shoot some demon from. -1 when none can be reached.
int firing_place()
{
    int best = -1;
    float best_score = FAR;
    for (const Demon &m : known) {
        const float ax[4] = {1, -1, 0, 0}, az[4] = {0, 0, 1, -1};
        for (int a = 0; a < 4; a++)
            for (float k = 2.0f; k <= 6.0f; k += 0.25f) {
                int n = node_at(m.x + ax[a] * k, m.z + az[a] * k);
                if (!has_floor(n) || cost_to[n] >= FAR || walk.trigger[n])
                    continue;
                if (std::fabs(walk.height[n] - m.y) >= 1.0f)
                    continue;
                // The hero must be able to turn toward the demon there.
                int facing = a == 0 ? FACING_LEFT : a == 1 ? FACING_RIGHT : a == 2 ? FACING_UP : FACING_DOWN;
                if (!can_turn(node_x(n), node_z(n), walk.height[n], facing))
                    continue;
                float score = cost_to[n] + std::fabs(k - 3.5f) * 3;
                if (score < best_score) {
                    best_score = score;
                    best = n;
                }
            }
    }
    return best;
}

int pickup_place()
{
    int best = -1;
    float best_cost = FAR;
    for (const MapItem &it : map_items) {
        if (!it.present || it.type >= ARROW_TYPE_BASE)
            continue;
        int n = node_at(it.x, it.z);
        if (!has_floor(n) || cost_to[n] >= FAR)
            continue;
        float c = cost_to[n] * (it.type == ITEM_HEART && player_health < 20 ? 0.3f : 1.0f);
        if (c < best_cost) {
            best_cost = c;
            best = n;
        }
    }
    return best;
}

bool map_has_work(int m)
{
    for (int j = 0; j < monster_counts[m]; j++)
        if (monsters[m][j].health > 0)
            return true;
    for (int i = 0; i < item_count; i++)
        if (item_placements[i].present && item_placements[i].map == m)
            return true;
    return false;
}

// Whether a visit to map m may get something done.
bool worth_visiting(int m)
{
    if (!visited.count(m))
        return true;
    if (!map_has_work(m))
        return false;
    auto it = left_with.find(m);
    if (it == left_with.end())
        return true;
    return memcmp(it->second.data(), inventory, sizeof(inventory)) != 0;
}

// Learns the current map's ways out: trigger floors and, with the four gems, the gem gate.
void learn_exits()
{
    std::map<int, int> &exits = exits_of[current_map];
    for (const ViewTriangle &t : view_triangles)
        if (t.kind >= KIND_TRIGGER_BASE && t.kind < MAX_TRIGGERS)
            exits[t.kind] = (int)triggers[t.kind].e[0];
        else if (t.kind == KIND_GEM_GATE)
            exits[KIND_GEM_GATE] = 906;
}

// The trigger floor to take next: the first step on the shortest known way to a map
// worth visiting. 0 when there is none.
int choose_exit()
{
    std::map<int, int> first_step;  // map -> exit kind taken from the current map
    std::queue<int> todo;
    for (const auto &e : exits_of[current_map]) {
        if (e.first == KIND_GEM_GATE && !all_gems())
            continue;
        if (!first_step.count(e.second) && e.second != current_map) {
            first_step[e.second] = e.first;
            todo.push(e.second);
        }
    }
    while (!todo.empty()) {
        int m = todo.front();
        todo.pop();
        if (worth_visiting(m))
            return first_step[m];
        for (const auto &e : exits_of[m])
            if (!first_step.count(e.second) && e.second != current_map &&
                (e.first != KIND_GEM_GATE || all_gems())) {
                first_step[e.second] = first_step[m];
                todo.push(e.second);
            }
    }
    return 0;
}

int exit_place(int kind)
{
    int best = -1;
    for (size_t n = 0; n < walk.kind.size(); n++)
        if (has_floor((int)n) && walk.kind[n] == kind && cost_to[n] < FAR && (best < 0 || cost_to[n] < cost_to[best]))
            best = (int)n;
    return best;
}

// The novice, knowing of no demon on a map that still holds some, walks to the floor it
// has looked at least recently (never, first), the nearest of those.
void note_looking()
{
    int hi = (int)std::floor((player_x - walk.x0) * RES), hj = (int)std::floor((player_z - walk.z0) * RES);
    const int r = 5 * RES;
    double now = now_s();
    for (int j = std::max(0, hj - r); j <= std::min(walk.h - 1, hj + r); j++)
        for (int i = std::max(0, hi - r); i <= std::min(walk.w - 1, hi + r); i++)
            looked_at[j * walk.w + i] = now;
}

int explore_place()
{
    int best = -1;
    double best_score = FAR;
    for (size_t n = 0; n < walk.height.size(); n++) {
        if (!has_floor((int)n) || cost_to[n] >= FAR || walk.trigger[n])
            continue;
        double score = (looked_at[n] < 0 ? -1e6 : looked_at[n] * 100) + cost_to[n];
        if (score < best_score) {
            best_score = score;
            best = (int)n;
        }
    }
    return best;
}

bool monsters_alive_here()
{
    for (int j = 0; j < current_monster_count(); j++)
        if (monsters[current_map][j].health > 0)
            return true;
    return false;
}

// ---- the hands ----

void log_keys(double now)
{
    if (!hand_log)
        return;
    char set[6];
    int n = 0;
    for (int k = 0; k < 5; k++)
        if (held[k])
            set[n++] = hand_names[k];
    set[n] = 0;
    fprintf(hand_log, "keys %.3f %s\n", now * 1000, n ? set : "-");
}

// The brain has written the keys it wants into key[]; the hands hold them, the novice's
// no sooner than CHANGE_SPACING after its last change (so never more than five changes a
// game second, and every key held at least that long).
void move_hands()
{
    bool want[5];
    bool same = true;
    for (int k = 0; k < 5; k++) {
        want[k] = key[hand_keys[k]] != 0;
        same = same && want[k] == held[k];
    }
    double now = now_s();
    if (!same && novice() && now - last_change < CHANGE_SPACING)
        same = true, std::copy(held, held + 5, want);
    if (!same) {
        AutoplayReport &r = autoplay_report;
        for (int k = 0; k < 5; k++) {
            if (held[k] && !want[k]) {
                double hold = now - pressed_at[k];
                if (r.shortest_hold < 0 || hold < r.shortest_hold)
                    r.shortest_hold = hold;
            }
            if (want[k] && !held[k])
                pressed_at[k] = now;
            held[k] = want[k];
        }
        last_change = now;
        r.key_changes++;
        recent_changes.push_back(now);
        while (!recent_changes.empty() && recent_changes.front() <= now - 1.0 + 1e-9)
            recent_changes.pop_front();
        r.most_changes_in_a_second = std::max(r.most_changes_in_a_second, (int)recent_changes.size());
        log_keys(now);
    }
    for (int k = 0; k < 5; k++)
        key[hand_keys[k]] = held[k];
}

}  // namespace

void autoplay_begin()
{
    autoplay_report = AutoplayReport();
    walk = WalkMap();
    exits_of.clear();
    visited.clear();
    learned.clear();
    left_with.clear();
    seen_map = -1;
    photographed.clear();
    clock_at_start = game_clock;
    next_think = 0;
    watch_time = 0;
    watch_x = player_x;
    watch_z = player_z;
    watch_arrows = 0;
    still_since = -1;
    jiggle_until = -1;
    last_x = player_x;
    last_z = player_z;
    sights.clear();
    memory.clear();
    memory_map = -1;
    for (int k = 0; k < 5; k++) {
        held[k] = false;
        pressed_at[k] = 0;
    }
    last_change = -1e9;
    recent_changes.clear();
    autoplay_report.health_tally = player_health;
    release_keys();
}

void autoplay_choose_keys()
{
    double now = now_s();
    // A person does not decide more often than frames come at 60 a second.
    if (now < next_think - 1e-9)
        return;
    next_think = now + THINK_INTERVAL;
    release_keys();
    if (walk_map_stale())
        build_walk_map();
    visited.insert(current_map);
    if (!learned.count(current_map)) {
        learned.insert(current_map);
        learn_exits();
    }
    look();
    if (novice())
        note_looking();

    if (jiggle_until > now) {
        key[jiggle_keys[0]] = key[jiggle_keys[1]] = 1;
        last_x = player_x;
        last_z = player_z;
        move_hands();
        return;
    }

    // Every two seconds: a hero who has neither moved a unit nor shot is going back and
    // forth between two plans; a few random steps break the tie.
    if (now - watch_time >= 2 - 1e-9) {
        bool idle = std::hypot(player_x - watch_x, player_z - watch_z) < 1.0f &&
                    autoplay_report.arrows_shot == watch_arrows;
        watch_time = now;
        watch_x = player_x;
        watch_z = player_z;
        watch_arrows = autoplay_report.arrows_shot;
        if (idle) {
            jiggle_until = now + 1.0 / 3;
            jiggle_keys[0] = dir_keys[rand() % 4];
            jiggle_keys[1] = dir_keys[rand() % 4];
            key[jiggle_keys[0]] = key[jiggle_keys[1]] = 1;
            move_hands();
            return;
        }
    }

    measure_danger();
    find_paths(-1);
    if (!flee() && !shoot_in_line()) {
        int goal = firing_place();
        if (goal < 0)
            goal = pickup_place();
        if (goal < 0 && novice() && known.empty() && monsters_alive_here())
            goal = explore_place();
        if (goal < 0) {
            int exit = choose_exit();
            if (exit) {
                if (map_has_work(current_map)) {
                    std::array<s16, INVENTORY_SLOTS> inv;
                    memcpy(inv.data(), inventory, sizeof(inventory));
                    left_with[current_map] = inv;
                }
                find_paths(exit);
                goal = exit_place(exit);
            }
        }
        if (goal >= 0)
            walk_toward(goal);
    }
    last_x = player_x;
    last_z = player_z;
    move_hands();
}

// The demon whose bite this pass took health: the nearest in contact on the hero's level.
static int biting_kind()
{
    int kind = 0;
    float best = 1;
    for (int j = 0; j < current_monster_count(); j++) {
        const Monster &m = monsters[current_map][j];
        float d = std::sqrt((m.x - player_x) * (m.x - player_x) + (m.y - player_y) * (m.y - player_y) +
                            (m.z - player_z) * (m.z - player_z));
        if (m.health > 0 && d < best) {
            best = d;
            kind = m.kind;
        }
    }
    return kind;
}

static int last_bite_kind;
static double last_seconds;

void autoplay_note_pass()
{
    AutoplayReport &r = autoplay_report;
    r.frames++;
    double now = now_s();
    double dt = now - last_seconds;
    last_seconds = now;
    r.game_seconds = now;
    if (current_map != seen_map) {
        r.maps_visited.push_back(current_map);
        entered_at = r.frames;
        entered_time = now;
    } else {
        for (int j = 0; j < monster_counts[current_map]; j++) {
            const Monster &m = monsters[current_map][j];
            if (seen_health[j] > 0 && m.health <= 0 && m.kind >= 0 && m.kind < MONSTER_KINDS)
                r.kills_by_kind[m.kind]++;
        }
    }
    // The pass's time and damage go to the map it was played on.
    int played_on = seen_map >= 0 ? seen_map : current_map;
    r.maps[played_on].seconds += dt;
    for (int i = 0; i < item_count; i++)
        if (seen_present[i] && !item_placements[i].present && item_placements[i].type >= 0 &&
            item_placements[i].type < ARROW_TYPE_BASE)
            r.items_collected[item_placements[i].type]++;
    bool won_now = closing_screen_shown == CLOSING_VICTORY;
    if (player_health < seen_player_health && !won_now) {
        r.damage_taken += seen_player_health - player_health;
        r.maps[played_on].damage += seen_player_health - player_health;
        last_bite_kind = biting_kind();
    }
    if (!won_now)
        r.health_tally += player_health - seen_player_health;
    else
        last_health_before = seen_player_health;
    if (player_health < 1 && !won_now && seen_player_health >= 1) {
        r.maps[current_map].deaths++;
        r.deaths.push_back(AutoplayDeath{current_map, player_x, player_z, last_bite_kind});
    }
    if (next_shot_time != seen_shot_time)
        r.arrows_shot++;  // every arrow sets a new cooldown
    seen_shot_time = next_shot_time;
    if (novice())
        record_sight();

    // A picture two game seconds after the hero first came to the map.
    if (!autoplay_shots_dir.empty() && now - entered_time >= 2 - 1e-9 && !photographed.count(current_map)) {
        photographed.insert(current_map);
        std::string path = autoplay_shots_dir + "/map" + std::to_string(current_map) + ".bmp";
        if (save_bitmap(path.c_str(), screen, palette) != 0)
            fprintf(stderr, "%s: cannot be written\n", path.c_str());
    }
    seen_map = current_map;
    for (int j = 0; j < MONSTERS_PER_MAP; j++)
        seen_health[j] = monsters[current_map][j].health;
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        seen_present[i] = item_placements[i].present;
    seen_player_health = player_health;
}

bool autoplay_enter_start_map()
{
    start_kills = 0;
    start_items = 0;
    if (!autoplay_start_map)
        return true;
    bool found = false;
    // What a flawless run brings: every earlier demon dead (each kill heals half its
    // health), every earlier item taken (a heart is worth half the health again), the
    // health kept within the bite's cap.
    for (int m : campaign_order) {
        if (m == autoplay_start_map) {
            found = true;
            break;
        }
        for (int j = 0; j < monster_counts[m] && j < MONSTERS_PER_MAP; j++) {
            Monster &d = monsters[m][j];
            if (d.health <= 0)
                continue;
            d.health = 0;
            monsters_killed++;
            start_kills++;
            player_health += d.max_health / 2;
        }
        map_cleared[m] = 1;
        for (int i = 0; i < item_count; i++) {
            ItemPlacement &p = item_placements[i];
            if (p.map != m || !p.present)
                continue;
            p.present = 0;
            start_items++;
            if (p.type >= 0 && p.type < INVENTORY_SLOTS)
                inventory[p.type] = 1;
            if (p.type == ITEM_HEART)
                player_health = (s32)(player_health * 1.5);
        }
        if (player_health > HEALTH_CAP)
            player_health = HEALTH_CAP;
    }
    if (!found || START_RECORD + autoplay_start_map >= MAX_TRIGGERS)
        return false;
    const Trigger &t = triggers[START_RECORD + autoplay_start_map];
    char name[16];
    snprintf(name, sizeof(name), "%d", autoplay_start_map);
    return change_map(name, t.e[1], t.e[2], t.e[3]);
}

static bool play(long max_frames, double max_seconds)
{
    autoplay_begin();
    autoplay_note_pass();
    autoplay_report.frames = 0;
    autoplay_report.health_tally = player_health;
    last_seconds = 0;
    autoplay_report.maps.clear();
    // Started on a later map, the player knows the maps before it are done.
    for (int m : campaign_order) {
        if (m == autoplay_start_map || !autoplay_start_map)
            break;
        visited.insert(m);
    }
    hand_log = autoplay_log_path.empty() ? nullptr : fopen(autoplay_log_path.c_str(), "w");
    bool running = true;
    bool map_done = false;
    while (running && !map_done && autoplay_report.frames < max_frames && now_s() < max_seconds) {
        autoplay_choose_keys();
        manual_clock += 1000.0 / 60 * (autoplay_rate > 0 ? autoplay_rate : 1);
        running = main_loop_pass();
        autoplay_note_pass();
        map_done = autoplay_start_map && !map_has_work(autoplay_start_map);
    }
    release_keys();
    if (hand_log)
        fclose(hand_log);
    hand_log = nullptr;
    if (closing_screen_shown == CLOSING_VICTORY)
        autoplay_report.result = "victory";
    else if (player_health < 1)
        autoplay_report.result = "death";
    else if (map_done)
        autoplay_report.result = "map cleared";
    else
        autoplay_report.result = "out of time";
    return autoplay_report.result == "victory";
}

bool autoplay_run(long max_frames)
{
    return play(max_frames, FAR);
}

bool autoplay_run_minutes(double minutes)
{
    return play(LONG_MAX, minutes * 60);
}

bool autoplay_counts_agree(std::string *problem)
{
    const AutoplayReport &r = autoplay_report;
    long kills = start_kills;
    for (int k = 0; k < MONSTER_KINDS; k++)
        kills += r.kills_by_kind[k];
    if (kills != monsters_killed) {
        *problem = "the report counts " + std::to_string(kills) + " kills, the game " + std::to_string(monsters_killed);
        return false;
    }
    int items = start_items, taken = 0;
    for (int t = 0; t < ARROW_TYPE_BASE; t++)
        items += r.items_collected[t];
    for (int i = 0; i < item_count; i++)
        taken += !item_placements[i].present;
    if (items != taken) {
        *problem = "the report counts " + std::to_string(items) + " items, the game " + std::to_string(taken);
        return false;
    }
    for (int t = 1; t < ARROW_TYPE_BASE; t++)
        if (r.items_collected[t] && inventory[t] != 1) {
            *problem = "the report took item type " + std::to_string(t) + ", the game's inventory lacks it";
            return false;
        }
    // The victory screen sets the health to 0 itself; before it the tally must match.
    long game_health = r.result == "victory" ? last_health_before : player_health;
    if (r.health_tally != game_health) {
        *problem = "the report tallies health " + std::to_string(r.health_tally) + ", the game has " +
                   std::to_string(game_health);
        return false;
    }
    return true;
}

void print_autoplay_report(FILE *out)
{
    const AutoplayReport &r = autoplay_report;
    fprintf(out, "result: %s after %.2f game minutes (%ld passes)\n", r.result.c_str(), r.game_seconds / 60,
            r.frames);
    fprintf(out, "player: %s", autoplay_skill == SKILL_NOVICE ? "novice" : "expert");
    if (autoplay_rate > 0)
        fprintf(out, ", rate measured at time_scale %g (%g frames a second)\n", autoplay_rate, 60 / autoplay_rate);
    else
        fprintf(out, ", time_scale fixed at 1\n");
    fprintf(out, "maps visited:");
    for (int m : r.maps_visited)
        fprintf(out, " %d", m);
    fprintf(out, "\nkills by kind:");
    int kills = 0;
    for (int k = 1; k < MONSTER_KINDS; k++) {
        fprintf(out, " %d:%d", k, r.kills_by_kind[k]);
        kills += r.kills_by_kind[k];
    }
    fprintf(out, "  (%d of %d; the game counts %d)\n", kills + (int)start_kills, monster_total, monsters_killed);
    fprintf(out, "damage taken: %ld; health at the end: %d\n", r.damage_taken, player_health);
    static const char *names[ARROW_TYPE_BASE] = {"hearts", "key1", "key2", "key3", "key4",
                                                 "key5", "gem1", "gem2", "gem3", "gem4"};
    fprintf(out, "items collected:");
    for (int t = 0; t < ARROW_TYPE_BASE; t++)
        if (r.items_collected[t])
            fprintf(out, " %s:%d", names[t], r.items_collected[t]);
    fprintf(out, "\narrows shot: %d\n", r.arrows_shot);
    for (const auto &m : r.maps)
        fprintf(out, "map %d: %.1f game seconds, damage %ld, deaths %d\n", m.first, m.second.seconds, m.second.damage,
                m.second.deaths);
    for (const AutoplayDeath &d : r.deaths)
        fprintf(out, "death: map %d at x %.1f z %.1f, bitten by kind %d\n", d.map, d.x, d.z, d.kind);
    fprintf(out, "hands: %ld key-set changes, at most %d in a game second, shortest hold %.0f ms\n", r.key_changes,
            r.most_changes_in_a_second, r.shortest_hold * 1000);
    if (autoplay_skill == SKILL_NOVICE)
        fprintf(out, "sight: demons seen as they were %.0f to %.0f ms of game time earlier\n", r.youngest_sight * 1000,
                r.oldest_sight * 1000);
    std::string problem;
    if (autoplay_counts_agree(&problem))
        fprintf(out, "counts: the report agrees with the game (kills, items, health)\n");
    else
        fprintf(out, "counts: DISAGREE: %s\n", problem.c_str());
}
