// The automated player's decisions: what to do about the demons in sight, which pick-up or
// place to walk to, and which way out to take toward unfinished business.
#include "tools/autoplay/autoplay_mind.h"

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

namespace autoplay_mind {

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
    float step = novice() ? 0 : (float)(STEP_PER_FRAME * FRAMES_PER_GAME_SECOND * monster_kind_speed(d.kind) * seconds);
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
                float x = player_x + dx * len * STEP_PER_FRAME * t, z = player_z + dz * len * STEP_PER_FRAME * t;
                if (t > 1 && (dx || dz) && !has_floor(node_at(x, z)))
                    break;  // the hero stops at the edge; the frames before count
                for (const Demon &d : demons) {
                    if (!demon_active(d))
                        continue;
                    float mx, mz;
                    predict(d, (double)t / FRAMES_PER_GAME_SECOND, &mx, &mz);
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
bool can_turn(float x, float z, float height, int facing, float reach)
{
    const float sx[4] = {0, 0, -1, 1}, sz[4] = {-1, 1, 0, 0};
    int n = node_at(x + sx[facing] * reach, z + sz[facing] * reach);
    return has_floor(n) && std::fabs(walk.height[n] - height) < CLIMB_LIMIT && !walk.trigger[n];
}

// Shoots a demon that stands in line. True when it did something about one. Only at
// demons on screen: the expert knows where every demon is, but a bow fired at one nobody
// can see would make its game shorter and emptier than any person's.
bool shoot_in_line()
{
    int best = -1, best_facing = 0;
    float best_d = FAR;
    // The novice's hands hold a key CHANGE_SPACING at least, which carries him about two
    // units: a line narrower than that he may stop on either side of, by turns. The arrow
    // still hits a demon standing within HIT_BOX of its path.
    const float line = novice() ? NOVICE_LINE : EXPERT_LINE;
    for (const Demon &m : demons) {
        if (std::fabs(m.y - player_y) >= ARROW_HIT_BOX - 0.1f)
            continue;  // the arrow would pass over or under it
        if (!novice() && !in_world_band(monsters[current_map][m.j]))
            continue;
        float dx = m.x - player_x, dz = m.z - player_z;
        int facing = -1;
        float along = 0;
        if (std::fabs(dx) < line && std::fabs(dz) > 0.8f && std::fabs(dz) < SHOT_RANGE) {
            facing = dz < 0 ? FACING_UP : FACING_DOWN;
            along = std::fabs(dz);
        } else if (std::fabs(dz) < line && std::fabs(dx) > 0.8f && std::fabs(dx) < SHOT_RANGE) {
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
    const float ax[4] = {1, -1, 0, 0}, az[4] = {0, 0, 1, -1};
    // Half a unit aside is still in line: a demon pressed into a corner, a hair inside the
    // wall, has no floor straight along either axis.
    const float asides[3] = {0, 0.5f, -0.5f};
    for (const Demon &m : known)
        for (float aside : asides)
            for (int a = 0; a < 4; a++)
                // The tilted view shows less to the south of the hero than to the north: from
                // further than this north of a demon, it is off the screen and no one shoots.
                for (float k = 2.0f; k <= (a == 3 ? SOUTH_SIGHT : 6.0f); k += 0.25f) {
                    int n = node_at(m.x + ax[a] * k + az[a] * aside, m.z + az[a] * k + ax[a] * aside);
                    if (!has_floor(n) || cost_to[n] >= FAR || walk.trigger[n])
                        continue;
                    if (std::fabs(walk.height[n] - m.y) >= 1.0f)
                        continue;
                    // The hero must be able to turn toward the demon there. The expert stops
                    // at the node's middle; the novice stops anywhere in it or a dead zone
                    // beyond, so for him the turn must work from all of it. Without that a
                    // place beside a brink drew him there, and he stopped at the brink where
                    // he could not turn (seen on 906: ten minutes along a moat's bank).
                    int facing = a == 0 ? FACING_LEFT : a == 1 ? FACING_RIGHT : a == 2 ? FACING_UP : FACING_DOWN;
                    float reach = TURN_STEP + (novice() ? 0.5f / RES + WALK_DEAD_ZONE : 0);
                    if (!can_turn(node_x(n), node_z(n), walk.height[n], facing, reach))
                        continue;
                    float score = cost_to[n] + std::fabs(k - 3.5f) * 3 + std::fabs(aside) * 4;
                    if (score < best_score) {
                        best_score = score;
                        best = n;
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
    for (const ViewTriangle &t : view_triangles) {
        const FloorKind &k = floor_kind(t.kind);
        if (k.leads)
            exits[t.kind] = k.leads_to_map >= 0 ? k.leads_to_map : (int)triggers[t.kind].e[0];
    }
}

// The ways out of the current map the hero can walk to now: a node of an exit's outer
// margin with open floor beside it that the last path search reached. An exit behind a
// seal or a curtain still shut is no way out.
std::set<int> reachable_exits()
{
    std::set<int> open;
    const int di[8] = {1, -1, 0, 0, 1, 1, -1, -1}, dj[8] = {0, 0, 1, -1, 1, -1, 1, -1};
    for (int n = 0; n < (int)walk.trigger.size(); n++) {
        int k = walk.trigger[n];
        if (!k || walk.trigger_depth[n] != 1 || open.count(k) || !has_floor(n))
            continue;
        int i = n % walk.w, j = n / walk.w;
        for (int d = 0; d < 8; d++) {
            int ni = i + di[d], nj = j + dj[d];
            if (ni < 0 || nj < 0 || ni >= walk.w || nj >= walk.h)
                continue;
            int m = nj * walk.w + ni;
            if (!walk.trigger[m] && has_floor(m) && cost_to[m] < FAR &&
                std::fabs(walk.height[m] - walk.height[n]) < CLIMB_LIMIT) {
                open.insert(k);
                break;
            }
        }
    }
    return open;
}

// Whether the way out `kind` of map m, not the current one, was shut when last seen there
// and nothing has come to hand since that could open it.
bool still_shut(int m, int kind)
{
    auto it = shut_exits.find(m);
    return it != shut_exits.end() && it->second.kinds.count(kind) &&
           memcmp(it->second.inventory.data(), inventory, sizeof(inventory)) == 0;
}

// The first step on the shortest known way to a map that `wanted` accepts. 0 when none.
// A way out seen shut on another map counts as shut (unless `through_shut`): a map that
// looks near through it would otherwise draw the player back and forth between two maps
// for good.
int exit_toward(bool (*wanted)(int), bool through_shut)
{
    std::map<int, int> first_step;  // map -> exit kind taken from the current map
    std::queue<int> todo;
    std::set<int> open = reachable_exits();
    ShutExits &shut = shut_exits[current_map];
    shut.kinds.clear();
    memcpy(shut.inventory.data(), inventory, sizeof(inventory));
    for (const auto &e : exits_of[current_map]) {
        // A way out that opens with what the hero holds is not shut by what stands round it.
        if (floor_kind(e.first).leads_when == OPEN_ALWAYS && !open.count(e.first))
            shut.kinds.insert(e.first);
        if (!kind_leads_now(e.first) || !open.count(e.first))
            continue;
        if (!first_step.count(e.second) && e.second != current_map) {
            first_step[e.second] = e.first;
            todo.push(e.second);
        }
    }
    while (!todo.empty()) {
        int m = todo.front();
        todo.pop();
        if (wanted(m))
            return first_step[m];
        for (const auto &e : exits_of[m])
            if (!first_step.count(e.second) && e.second != current_map &&
                kind_leads_now(e.first) && (through_shut || !still_shut(m, e.first))) {
                first_step[e.second] = first_step[m];
                todo.push(e.second);
            }
    }
    return 0;
}

bool any_map(int) { return true; }

// The trigger floor to take next: toward a map worth visiting. A map's surviving demons are
// scattered anew on every visit, so with nothing else left to do the player goes back to
// a map that still holds some (or, on such a map where none can be shot, steps out and in
// again) rather than wander the others while the game can never end.
int choose_exit()
{
    // A way seen shut may have been only out of reach then: with no other way, try it.
    for (bool through_shut : {false, true}) {
        int exit = exit_toward(worth_visiting, through_shut);
        if (!exit)
            exit = exit_toward(map_has_work, through_shut);
        if (!exit && map_has_work(current_map))
            exit = exit_toward(any_map, through_shut);
        if (exit)
            return exit;
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
// has looked at least recently (never, first), the nearest of those. Once every floor it
// can reach has been looked at since its last kill or pick-up, the demons left are where
// it cannot go (behind a seal, across water): it gives the map up for now.
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
    if (best >= 0 && looked_at[best] >= progress_since)
        return -1;
    return best;
}

// A kill or a pick-up: the map's search starts over.
void note_progress()
{
    const AutoplayReport &r = autoplay_report;
    long count = 0;
    for (int k = 0; k < MONSTER_KINDS; k++)
        count += r.kills_by_kind[k];
    for (int t = 0; t < ARROW_TYPE_BASE; t++)
        count += r.items_collected[t];
    if (count != progress_count) {
        progress_count = count;
        progress_since = now_s();
    }
}

bool monsters_alive_here()
{
    for (int j = 0; j < current_monster_count(); j++)
        if (monsters[current_map][j].health > 0)
            return true;
    return false;
}

}  // namespace autoplay_mind

using namespace autoplay_mind;

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
    if (novice()) {
        note_looking();
        note_progress();
    }

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
        // An item a few steps off is picked up in passing, as a person would, rather than
        // on a long walk back once the map is clean.
        int item = pickup_place();
        int goal = item >= 0 && cost_to[item] < PASSING_PICKUP * RES ? item : firing_place();
        if (goal < 0)
            goal = item;
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
