// Trigger floors, the gem gate and map changes.
#include "game/triggers.h"

#include <cstdio>
#include <cstdlib>

#include "game/player.h"
#include "game/scene.h"
#include "render/ordering.h"
#include "world/kinds.h"
#include "world/mapfile.h"

static const int WINDOW_REACH = 2;  // the window runs two pixels each way around the feet

// A trigger whose map change failed, while the hero still stands on it (0: none). Trying
// again every pass would read the file and print its line hundreds of times a second; the
// hero steps off and on again to retry.
static int failed_trigger;

float arrival_name_left;

// Load, build and place; nothing is replaced when the map cannot be loaded, or has no
// floor under the arrival point.
static bool enter_map(const char *name, float x, float y, float z)
{
    const float arrival[3] = {x, y, z};
    if (!load_map(name, arrival))
        return false;
    build_scene();
    place_monsters();
    // This pass's buckets hold codes of the old scene; they must never be drawn with the new one.
    clear_depth_buckets();
    return true;
}

static void put_hero_at(float x, float y, float z)
{
    player_x = camera_x = camera_target_x = x;
    player_y = camera_y = camera_target_y = y;
    player_z = camera_z = camera_target_z = z;
}

bool change_map(const char *name, float x, float y, float z)
{
    if (!enter_map(name, x, y, z))
        return false;
    failed_trigger = 0;
    put_hero_at(x, y, z);
    arrival_name_left = ARRIVAL_NAME_SECONDS;
    return true;
}

// The map change a floor of kind v leads by: to the map its kind names or else its trigger
// record, arriving where the record its kind names (or else its own) says. The gem gate's
// is that of the gate's own map, the map the load will set.
static bool follow_floor(int v)
{
    const FloorKind &k = floor_kind(v);
    const Trigger &t = triggers[k.arrival_record >= 0 ? k.arrival_record : v];
    int map = k.leads_to_map;
    if (map < 0) {
        float destination = t.e[0];
        // A destination beyond any map number cannot be converted; such a record leads nowhere.
        if (!(destination > -2147483648.0f && destination < 2147483648.0f))
            return false;
        map = (s16)(s32)destination;
    }
    char name[16];
    snprintf(name, sizeof(name), "%d", map);
    return change_map(name, t.e[1], t.e[2], t.e[3]);
}

void check_triggers()
{
    if (arrival_name_left > 0)
        arrival_name_left -= time_scale / FRAMES_PER_GAME_SECOND;
    bool on_failed = false;
    for (int a = -WINDOW_REACH; a <= WINDOW_REACH; a++) {
        for (int b = -WINDOW_REACH; b <= WINDOW_REACH; b++) {
            int v = getpixel(kind_map, FLOOR_MAP_CENTER + a, FLOOR_MAP_CENTER + b);
            if (failed_trigger && v == failed_trigger) {
                on_failed = true;
                continue;
            }
            if (kind_leads_now(v)) {
                bool changed = follow_floor(v);
                failed_trigger = changed ? 0 : v;
                return;
            }
        }
    }
    if (!on_failed)
        failed_trigger = 0;
}
