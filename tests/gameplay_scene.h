// Hand-built scenes for the gameplay tests: floor triangles entered into the depth buckets
// the way the renderer leaves them, around a hero at the origin, and a clean world after.
#pragma once

#include <allegro.h>
#include <cstring>

#include "game/player.h"
#include "game/scene.h"
#include "render/ordering.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tests/headless.h"

enum { TEST_MAP = 305 };

// The floor bitmaps, created once at the harness's colour depth.
inline void ensure_floor_maps()
{
    if (!height_map)
        height_map = create_bitmap(FLOOR_MAP_SIZE, FLOOR_MAP_SIZE);
    if (!paint_scratch)
        paint_scratch = create_bitmap(FLOOR_MAP_SIZE, FLOOR_MAP_SIZE);
    if (!kind_map)
        kind_map = create_bitmap(FLOOR_MAP_SIZE, FLOOR_MAP_SIZE);
}

inline void empty_buckets()
{
    memset(depth_buckets, 0, sizeof(depth_buckets));
    depth_low = 22999;
    depth_high = 0;
}

// Appends a triangle to the scene and enters it into the buckets; triangles added
// earlier lie farther away, so the floor painter meets them first.
inline int add_triangle(float x0, float y0, float z0, float x1, float y1, float z1, float x2, float y2, float z2,
                        int kind = KIND_PLAIN, bool wall = false)
{
    const float corner[3][3] = {{x0, y0, z0}, {x1, y1, z1}, {x2, y2, z2}};
    ViewTriangle t = {};
    for (int i = 0; i < 3; i++) {
        ViewVertex v = {};
        v.world_x = corner[i][0];
        v.world_y = v.rest_y = corner[i][1];
        v.world_z = corner[i][2];
        v.referenced = 1;
        t.vertex[i] = (s32)view_vertices.size();
        view_vertices.push_back(v);
    }
    t.kind = kind;
    t.wall = wall ? -1 : 0;
    t.cleared_floor = kind == KIND_CLEARED_FLOOR;
    t.gated_floor = kind == KIND_GATED_FLOOR;
    t.open_when_cleared = kind == KIND_CLEARED_SHOW;
    t.open_with_gate_item = kind == KIND_GATED_SHOW;
    int index = (int)view_triangles.size();
    view_triangles.push_back(t);
    int key = 20000 - index;
    depth_buckets[key] = (s16)(BUCKET_TRIANGLE_BASE + index);
    if (key < depth_low)
        depth_low = (s16)key;
    if (key > depth_high)
        depth_high = (s16)key;
    return index;
}

// A flat rectangle of floor at height y, as two triangles.
inline void add_floor(float x0, float z0, float x1, float z1, float y, int kind = KIND_PLAIN)
{
    add_triangle(x0, y, z0, x1, y, z0, x1, y, z1, kind);
    add_triangle(x0, y, z0, x1, y, z1, x0, y, z1, kind);
}

// The closing screens present frames, which moves the frame timing on.
struct FrameTimingKept {
    s16 count = tick_frame_count, last = frames_last_tick;
    double next = next_tick_time, clock = game_clock;
    float scale = time_scale;
    ~FrameTimingKept()
    {
        tick_frame_count = count;
        frames_last_tick = last;
        next_tick_time = next;
        game_clock = clock;
        time_scale = scale;
    }
};

inline int white()
{
    return makecol(255, 255, 255);
}

// Every test starts from the hero at the origin on map TEST_MAP, at time scale 1, with
// no scene, no keys, no items and no monsters, and leaves the world that way.
class GameplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_floor_maps();
        reset_world();
    }
    void TearDown() override { reset_world(); }

    static void reset_world()
    {
        view_vertices.clear();
        view_triangles.clear();
        empty_buckets();
        clear_to_color(height_map, white());
        clear_to_color(kind_map, 0);
        release_all_keys();
        memset(map_items, 0, sizeof(map_items));
        memset(item_placements, 0, sizeof(item_placements));
        memset(inventory, 0, sizeof(inventory));
        memset(monsters[TEST_MAP], 0, sizeof(monsters[TEST_MAP]));
        monster_counts[TEST_MAP] = 0;
        map_cleared[TEST_MAP] = 0;
        current_map = TEST_MAP;
        map_group = TEST_MAP / 100;
        player_x = player_y = player_z = 0;
        camera_x = camera_y = camera_z = 0;
        camera_target_x = camera_target_y = camera_target_z = 0;
        player_health = 8;
        player_facing = FACING_UP;
        player_anim_state = 0;
        player_anim_frame = 0;
        hurt_flash = 0;
        ground_reached = 0;
        time_scale = 1;
        game_clock = 1;
        next_shot_time = 0;
        monsters_killed = 0;
        monster_total = 0;
        closing_screen_shown = CLOSING_NONE;
        closing_screens_return_at_once = false;
    }
};
