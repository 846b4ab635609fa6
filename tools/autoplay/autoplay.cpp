// The automated player.
//
// Eyes: the scene's triangles give it a top-down walk map of the current map (the same
// floors the game paints into its floor maps, gates included); the monster, item and
// trigger tables tell it where the demons, pick-ups and ways out are. Hands: the arrow
// keys and SPACE. Each pass it flees a demon that came too close, shoots one that stands
// in line, or walks (by the cheapest path around the demons) to a place from which it can
// shoot one, to a pick-up, or to the trigger floor that leads toward unfinished business.
#include "tools/autoplay/autoplay.h"
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

AutoplayReport autoplay_report;
std::string autoplay_shots_dir;
int autoplay_skill = SKILL_EXPERT;
float autoplay_rate = 0;
int autoplay_start_map = 0;
int autoplay_start_health = 0;
unsigned autoplay_seed = 1;
std::string autoplay_log_path;

namespace autoplay_mind {

WalkMap walk;
std::vector<float> cost_to;  // from the hero, this pass
std::vector<int> came_from;
std::vector<float> danger;
std::vector<double> avoid_until;  // nodes found impassable in play, until that game second
std::vector<double> looked_at;    // when the hero last stood near each node (novice)
long progress_count;
double progress_since;
std::map<int, std::map<int, int>> exits_of;  // map -> trigger kind -> destination map
std::set<int> visited;
std::set<int> learned;  // maps whose ways out are known
std::map<int, std::array<s16, INVENTORY_SLOTS>> left_with;  // inventory when a map was left unfinished
std::map<int, ShutExits> shut_exits;
int seen_map = -1;
long entered_at;  // pass the hero entered the current map
double entered_time;
double last_demon_in_view;  // game second a living demon was last on screen
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
double clock_at_start;
double next_think;
std::vector<Demon> demons, known;
std::deque<Sight> sights;
std::map<int, Demon> memory;  // monster slot -> where the novice last saw it
int memory_map = -1;
bool held[5];
double pressed_at[5];
double last_change;
std::deque<double> recent_changes;
FILE *hand_log;
long start_kills;  // kills credited before a run that starts on a later map
int start_items;
s32 last_health_before;
int last_bite_kind;
double last_seconds;

}  // namespace autoplay_mind

using namespace autoplay_mind;

void autoplay_begin()
{
    autoplay_report = AutoplayReport();
    walk = WalkMap();
    exits_of.clear();
    visited.clear();
    learned.clear();
    left_with.clear();
    shut_exits.clear();
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
    progress_count = 0;
    progress_since = 0;
    seed_novice_aim(autoplay_seed);
    for (int k = 0; k < 5; k++) {
        held[k] = false;
        pressed_at[k] = 0;
    }
    last_change = -1e9;
    recent_changes.clear();
    autoplay_report.health_tally = player_health;
    release_keys();
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
                player_health = (s32)(player_health * HEART_HEALTH_FACTOR);
        }
        if (player_health > HEALTH_CAP)
            player_health = HEALTH_CAP;
    }
    if (!found || START_RECORD + autoplay_start_map >= MAX_TRIGGERS)
        return false;
    if (autoplay_start_health > 0)
        player_health = autoplay_start_health;
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
        manual_clock += 1000.0 / FRAMES_PER_GAME_SECOND * (autoplay_rate > 0 ? autoplay_rate : 1);
        running = main_loop_pass();
        autoplay_note_pass();
        map_done = autoplay_start_map && !map_has_work(autoplay_start_map);
    }
    release_keys();
    forget_paths();
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
