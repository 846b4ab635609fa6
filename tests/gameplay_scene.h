// Hand-built scenes for the gameplay tests: floor triangles entered into the depth buckets
// the way the renderer leaves them, around a hero at the origin, and a clean world after.
#pragma once

#include <cstring>

#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "game/triggers.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "world/mapfile.h"
#include "world/tables.h"

// The finale's map in the forged two-map worlds: a room behind the gem gate with one
// spawn point and a trigger back to 901.
static const char *const gate_map = R"(map 906
cell # wall 2 wall
cell . grass 0
cell x grass 0 kind=7
cell S grass 0 spot=start
cell a grass 0 spot=gate
cell B trigger 0 exit=901:back
grid
#######
#S..a........x#
#.....#
#B....#
#######
end
monsters 2
)";

enum { TEST_MAP = 305 };

inline int white() { return makecol(255, 255, 255); }

inline void empty_scene()
{
    view_vertices.clear();
    view_triangles.clear();
    memset(depth_buckets, 0, sizeof(depth_buckets));
    depth_low = DEPTH_BUCKETS - 1;
    depth_high = 0;
}

// Triangles added earlier lie farther away, so the floor painter meets them first.
inline void add_triangle(const float (&c)[9], int kind = KIND_PLAIN, bool wall = false)
{
    ViewTriangle t = {};
    for (int i = 0; i < 3; i++) {
        ViewVertex v = {};
        v.world_x = c[3 * i];
        v.world_y = v.rest_y = c[3 * i + 1];
        v.world_z = c[3 * i + 2];
        t.vertex[i] = (s32)view_vertices.size();
        view_vertices.push_back(v);
    }
    set_triangle_kind(t, kind);
    t.wall = wall ? -1 : 0;
    int key = 20000 - (int)view_triangles.size();
    depth_buckets[key] = (s16)(BUCKET_TRIANGLE_BASE + view_triangles.size());
    view_triangles.push_back(t);
    depth_low = (s16)(key < depth_low ? key : depth_low);
    depth_high = (s16)(key > depth_high ? key : depth_high);
}

// A flat rectangle of floor at height y, as two triangles.
inline void add_floor(float x0, float z0, float x1, float z1, float y, int kind = KIND_PLAIN)
{
    add_triangle({x0, y, z0, x1, y, z0, x1, y, z1}, kind);
    add_triangle({x0, y, z0, x1, y, z1, x0, y, z1}, kind);
}

// A fresh demon of the kind on map TEST_MAP, after those already there.
inline Monster &place_monster(int kind, float x, float y, float z)
{
    Monster &m = monsters[TEST_MAP][monster_counts[TEST_MAP]++];
    m = Monster();
    m.kind = (s16)kind;
    m.x = x, m.y = y, m.z = z;
    return m;
}

// The floor maps as start-up creates them, if no test has yet.
inline void make_floor_maps()
{
    for (BITMAP **map : {&height_map, &paint_scratch, &kind_map})
        if (!*map)
            *map = create_bitmap(FLOOR_MAP_SIZE, FLOOR_MAP_SIZE);
}

// Every test starts from a cleared world with the hero at the origin of map TEST_MAP at
// time scale 1, with no scene, keys or floor, and leaves the world that way.
class GameplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_floor_maps();
        reset_world();
    }
    void TearDown() override { reset_world(); }

    static void reset_world()
    {
        clear_world();
        clear_to_color(height_map, white());
        clear_to_color(kind_map, 0);
        release_all_keys();
        current_map = TEST_MAP;
        map_group = (s16)map_group_of(TEST_MAP);
        player_x = player_y = player_z = camera_x = camera_y = camera_z = 0;
        camera_target_x = camera_target_y = camera_target_z = 0;
        bow_ready = 1;
        time_scale = 1;
        game_clock = 1;
        closing_screens_return_at_once = false;
    }
};

// The shipped campaign's sources (a failure, and no maps, when they do not read).
inline Campaign shipped_campaign()
{
    Campaign c;
    std::string error;
    EXPECT_TRUE(load_campaign_sources(std::string(SOURCE_DIR) + "/content/maps", c, error)) << error;
    return c;
}

// A forged two-map world: `start_map` as 901 and the finale room as 906, and the demon
// kinds as start-up fills them (weak 1, middle 8, strong 15); emptied again however the
// test ends.
struct ForgedWorld {
    FrameTimingKept timing;
    ScratchDir dir;
    MonsterKind kinds[MONSTER_KINDS];
    s32 band = hud_band_height;
    int fog = fog_color;
    bool forged = false;

    explicit ForgedWorld(const char *start_map)
    {
        make_floor_maps();
        hud_band_height = screen_height / HUD_BAND_DIVISOR;
        memcpy(kinds, monster_kinds, sizeof(kinds));
        dir.write("maps/901.map", start_map);
        dir.write("maps/906.map", gate_map);
        forged = forge_world(dir.path() + "/maps", dir.path() + "/data", "");
        // The kinds as start-up fills them: weak 1, middle 8, strong 15.
        for (int k = 1; k <= 5; k++) {
            monster_kinds[k] = {(s16)(2 * k), (s16)(2 * k), 0.2f * k};
            monster_kinds[k + 5] = {(s16)(2 * k + 8), (s16)(4 * k), 0.2f * k};
            monster_kinds[k + 10] = {(s16)(2 * k + 16), (s16)(6 * k), 0.2f * k};
        }
    }
    ~ForgedWorld()
    {
        memcpy(monster_kinds, kinds, sizeof(kinds));
        clear_world();
        for (int p = 0; p <= plane_last && p < MAX_PLANES; p++)
            planes[p].active = 0;
        plane_last = 0;
        hud_band_height = band, fog_color = fog;
        closing_screens_return_at_once = false;
        release_all_keys();
    }

    // A new game on the forged world, as the game starts one, then: full health, the bow
    // ready, 901's one demon dead, the closing screens returning at once.
    bool enter_first_map()
    {
        if (!forged || !reset_world())
            return false;
        player_health = 200;
        bow_ready = 1;
        closing_screens_return_at_once = true;
        monsters[901][0].health = 0;
        release_all_keys();
        return true;
    }
};

enum Clock { FIXED, MEASURED, JITTERING };

// Drives main_loop_pass at a rate whose time_scale is s: fixed, measured by present_frame
// from a manual clock that moves 1000/60 x s ms a pass (the first tick's lag included), or
// measured from a clock whose passes last anywhere from half to one and a half of that.
class Rate {
public:
    Rate(Clock clock, float scale) : clock_(clock), scale_(scale)
    {
        use_manual_clock = true;
        manual_clock = 100000;
        game_clock = 1;
        fixed_time_scale = clock == FIXED ? scale : 0;
        time_scale = clock == FIXED ? scale : 1;
        // As the main loop starts: the frames of the start-up are counted into the first tick.
        tick_frame_count = 60;
        next_tick_time = manual_clock;
    }
    bool pass(unsigned steps = EVERY_PASS_STEP)
    {
        double ms = 1000.0 / 60 * scale_;
        if (clock_ == JITTERING) {
            seed_ = seed_ * 1103515245u + 12345u;
            ms *= 0.5 + ((seed_ >> 8) & 0xffff) / 65536.0;
        }
        manual_clock += ms;
        return main_loop_pass(steps);
    }
    // Game seconds since the rate was set: one game second is an advance of GAME_CLOCK_PER_SECOND.
    double seconds() const { return (game_clock - 1) / GAME_CLOCK_PER_SECOND; }

private:
    Clock clock_;
    float scale_;
    unsigned seed_ = 7;
};
