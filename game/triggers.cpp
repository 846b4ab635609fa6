// Trigger floors, the gem gate and map changes.
#include "game/triggers.h"

#include <cstdio>

#include "game/player.h"
#include "game/scene.h"
#include "render/ordering.h"
#include "shell/startup.h"
#include "world/mapfile.h"

static const char *const GEM_GATE_MAP = "906";
static const int WINDOW_REACH = 2;  // the window runs two pixels each way around the feet

// Load, build and place; nothing is replaced when the map cannot be loaded.
static bool enter_map(const char *name)
{
    if (!load_map(name))
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
    if (!enter_map(name))
        return false;
    put_hero_at(x, y, z);
    return true;
}

static bool all_gems_held()
{
    for (int i = ITEM_GEM_FIRST; i <= ITEM_GEM_LAST; i++)
        if (inventory[i] <= 0)
            return false;
    return true;
}

static void follow_trigger(int v)
{
    const Trigger &t = triggers[v];
    float destination = t.e[0];
    // A destination beyond any map number cannot be converted; such a record leads nowhere.
    if (!(destination > -2147483648.0f && destination < 2147483648.0f))
        return;
    char name[16];
    snprintf(name, sizeof(name), "%d", (int)(s16)(s32)destination);
    change_map(name, t.e[1], t.e[2], t.e[3]);
}

static void pass_gem_gate()
{
    if (!enter_map(GEM_GATE_MAP))
        return;
    // The arrival record is read after the load: the gate's own map.
    int record = GATE_RECORD + current_map;
    if (record < 0 || record >= MAX_TRIGGERS)
        return;
    const Trigger &t = triggers[record];
    put_hero_at(t.e[1], t.e[2], t.e[3]);
}

void check_triggers()
{
    for (int a = -WINDOW_REACH; a <= WINDOW_REACH; a++) {
        for (int b = -WINDOW_REACH; b <= WINDOW_REACH; b++) {
            int v = getpixel(kind_map, FLOOR_MAP_CENTER + a, FLOOR_MAP_CENTER + b);
            if (v >= KIND_TRIGGER_BASE && v < MAX_TRIGGERS) {
                follow_trigger(v);
                return;
            }
            if (v == KIND_GEM_GATE && all_gems_held()) {
                pass_gem_gate();
                return;
            }
        }
    }
}
