// The automated player's mind, shared by its files: what it knows of the current map and
// of the campaign, what it saw and what its hands hold. autoplay_walk.cpp builds the walk
// map and finds paths; autoplay_senses.cpp sees the demons and holds the keys;
// autoplay_decide.cpp decides; autoplay_report.cpp keeps the report; autoplay.cpp starts
// and runs a game.
#pragma once

#include <allegro.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "game/items.h"
#include "game/monsters.h"
#include "game/player.h"
#include "shell/video.h"
#include "tools/autoplay/autoplay.h"
#include "world/kinds.h"

namespace autoplay_mind {

const int RES = 4;  // walk-map nodes per world unit
const float FAR = 1e30f;
const float FLEE_DISTANCE = CONTACT_REACH + 0.75f;  // a bite reaches CONTACT_REACH; the rest is room to turn
const float PASSING_PICKUP = 6.0f;  // world units of walking to an item worth a detour mid-fight
const float SOUTH_SIGHT = 4.5f;     // a demon this far south of the hero is still on screen
const float SHOT_RANGE = ARROW_RANGE - 2;  // shot from two units short of where an arrow spends itself
// The steepest step the player plans to take: a margin below the game's reach.
const float CLIMB_LIMIT = FLOOR_REACH - 0.1f;

const int dir_keys[4] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
const int hand_keys[5] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_SPACE};
const char hand_names[5] = {'U', 'D', 'L', 'R', 'S'};

// The player decides at most once a frame at time_scale 1 (game seconds).
const double THINK_INTERVAL = 1.0 / FRAMES_PER_GAME_SECOND;
const double SIGHT_DELAY = 0.25;         // the novice sees the world this late
const double CHANGE_SPACING = 0.2;       // the novice's hands: five key-set changes a second
const float EXPERT_LINE = 0.7f;          // a demon this far off the hero's axis is in line
const float NOVICE_LINE = 1.0f;          // ... for hands too slow to stop within 0.7
const double FORGET_AFTER = 5;           // the novice forgets a demon unseen this long
const float WALK_DEAD_ZONE = 0.07f;      // the walk stops pressing a key this near its aim
const float TURN_STEP = 0.3f;            // the step that turns the hero must land on floor
const float NOVICE_AIM = 0.3f;           // the novice's aim points are this far off at most

// The campaign's maps in the order it is played; a map's items and demons count as
// done when a run starts on a later one.
const int campaign_order[] = {FIRST_MAP, 101, 102, 103, 201, 202, 203, 301, 302, 401, 402,
                              501, 502, 601, 602, 701, 702, 801, 802, GATE_MAP};

// A demon as the player knows it.
struct Demon {
    int j;
    float x, y, z;
    int kind;
    int step_x, step_z;
    double seen;  // game second it was seen there
};

struct WalkMap {
    long built = 0;  // which walk map this is: 0 none yet, then numbered as made
    int map = -1;
    size_t triangles = 0;
    int cleared = -1;
    int gate_item = -1;
    float x0 = 0, z0 = 0;  // world corner of node (0, 0)
    int w = 0, h = 0;
    std::vector<float> height;  // NAN: no floor
    std::vector<int> kind;      // kind of the floor's triangle
    std::vector<int> trigger;   // trigger floor (kind 8 or 1000+) at or beside the node, else 0
    std::vector<uint8_t> trigger_depth;  // 0 away from any; the floor itself deepest
    std::vector<uint8_t> edge;  // 1: a neighbour across a side has no floor (or is off the map)
    // The steps out of each node find_paths may take, by the trigger floor it may step on
    // (-1: none): bit k for the step (di[k], dj[k]). Made when first wanted.
    std::map<int, std::vector<uint8_t>> ways;
};

extern WalkMap walk;
extern std::vector<float> cost_to;  // from the hero, this pass
extern std::vector<int> came_from;
extern std::vector<float> danger;
extern std::vector<double> avoid_until;  // nodes found impassable in play, until that game second
extern std::vector<double> looked_at;  // when the hero last stood near each node (novice)
extern long progress_count;     // kills and pick-ups so far (novice)
extern double progress_since;   // game second of the last of them

extern std::map<int, std::map<int, int>> exits_of;  // map -> trigger kind -> destination map
extern std::set<int> visited;
extern std::set<int> learned;  // maps whose ways out are known
extern std::map<int, std::array<s16, INVENTORY_SLOTS>> left_with;  // inventory when a map was left unfinished
// Ways out of a map that could not be walked to when the player last chose an exit there,
// and the inventory it held then: with nothing new in hand they are still shut.
struct ShutExits {
    std::set<int> kinds;
    std::array<s16, INVENTORY_SLOTS> inventory;
};
extern std::map<int, ShutExits> shut_exits;

// What the last pass looked like, to see what the next one did.
extern int seen_map;
extern long entered_at;  // pass the hero entered the current map
extern double entered_time;
extern double last_demon_in_view;
extern std::set<int> photographed;
extern s16 seen_health[MONSTERS_PER_MAP];
extern uint8_t seen_present[MAX_ITEM_PLACEMENTS];
extern s32 seen_player_health;
extern double seen_shot_time;

extern float last_x, last_z;
extern double still_since;  // when the hero stopped moving although keys were held; -1: moving
extern float watch_x, watch_z;  // where the hero stood when the progress watch last looked
extern double watch_time;
extern int watch_arrows;
extern double jiggle_until;
extern int jiggle_keys[2];

// Game time of this run.
extern double clock_at_start;
extern double next_think;
inline double now_s() { return (game_clock - clock_at_start) / GAME_CLOCK_PER_SECOND; }

// What the player knows of the demons this think: `demons` are those in sight (the
// expert: all living ones), `known` adds those the novice remembers.
extern std::vector<Demon> demons, known;

// The novice's eyes: per pass, the demons whose sprites lay in the world band of the
// frame shown; it looks at the newest frame at least SIGHT_DELAY old.
struct Sight {
    double t;
    int map;
    std::vector<Demon> in_band;
};
extern std::deque<Sight> sights;
extern std::map<int, Demon> memory;  // monster slot -> where the novice last saw it
extern int memory_map;

// The hands: the keys held, since when, and the record of changes.
extern bool held[5];
extern double pressed_at[5];
extern double last_change;
extern std::deque<double> recent_changes;
extern FILE *hand_log;
extern long start_kills;  // kills credited before a run that starts on a later map
extern int start_items;
extern s32 last_health_before;


// The report's bookkeeping between passes.
extern int last_bite_kind;
extern double last_seconds;

// ---- the walk map and paths (autoplay_walk.cpp) ----
int node_at(float x, float z);
float node_x(int n);
float node_z(int n);
bool has_floor(int n);
void build_walk_map();
bool walk_map_stale();
bool under_hero(int n);
int hero_node();
bool step_allowed(int from, int to, int allowed_trigger);
void find_paths(int allowed_trigger);
void forget_paths();
void walk_toward(int goal);
void seed_novice_aim(unsigned seed);
void novice_aim_offset(float *dx, float *dz);

// ---- the eyes and the hands (autoplay_senses.cpp) ----
bool novice();
bool demon_active(const Demon &d);
Demon demon_of(int j);
bool in_world_band(const Monster &m);
void record_sight();
void note_sight_age(double age);
void look();
float demon_distance(const Demon &d, float x, float z);
void measure_danger();
void log_keys(double now);
void move_hands();

// ---- the decisions (autoplay_decide.cpp) ----
void release_keys();
int items_in_flight();
void predict(const Demon &d, double seconds, float *x, float *z);
bool flee();
bool can_turn(float x, float z, float height, int facing, float reach = TURN_STEP);
bool shoot_in_line();
int firing_place();
int pickup_place();
bool map_has_work(int m);
bool worth_visiting(int m);
bool still_shut(int m, int kind);
void learn_exits();
std::set<int> reachable_exits();
int exit_toward(bool (*wanted)(int), bool through_shut = false);
bool any_map(int);
int choose_exit();
int exit_place(int kind);
void note_looking();
int explore_place();
void note_progress();
bool monsters_alive_here();

// ---- the report (autoplay_report.cpp) ----
int biting_kind();

}  // namespace autoplay_mind
