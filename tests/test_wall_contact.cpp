// Wall contact on the shipped maps, as a person meets it: the hero walks into a wall on each
// of its four sides, slides along it and backs out, at 60, 120 and 600 frames a second. He
// stops at the wall's face, never over a pixel of his own that reads blocked, and is never
// held by the wall he touches. Water is never walked on: where water or lava stops him on
// any side, and on a bridge's sides, his feet as the game draws them stay within a quarter
// of a unit of the drawn shore, standing there or walking along it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/transform.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/barrierfaces.h"
#include "tools/forge/mapbuild.h"
#include "tools/viewcheck/viewcheck.h"

namespace {

// A way to walk: its key and the grid step it leads to.
struct Way {
    int key, dc, dr;
    const char *name;
};
const Way ways[4] = {{KEY_RIGHT, 1, 0, "east"}, {KEY_DOWN, 0, 1, "south"}, {KEY_LEFT, -1, 0, "west"},
                     {KEY_UP, 0, -1, "north"}};
const float rates[3] = {1, 0.5f, 0.1f};
// Contacts tried a map on each side, spread over the map's walls of that side. The sanitizer
// build tries one, for the memory checks; the plain build judges.
#if defined(__SANITIZE_ADDRESS__)
const int CONTACTS_PER_SIDE = 1;
#else
const int CONTACTS_PER_SIDE = 2;
#endif

bool has_stairs_near(const MapSource &m, int col, int row)
{
    for (int dr = -1; dr <= 1; dr++)
        for (int dc = -1; dc <= 1; dc++)
            if (cell_style(m, col + dc, row + dr).has_stairs)
                return true;
    return false;
}

struct Cell {
    int col, row;
};

// Reachable cells with a neighbour on the given side that the source says stops the hero
// (no floor, or one too high or low to step to), a few spread over the map.
std::vector<Cell> cells_against(const Campaign &c, const MapSource &m, const Way &w)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::vector<Cell> all;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &s = cell_style(m, col, row);
            if (reach[row * m.width + col] && s.kind != 1 && s.kind != 2 && !has_stairs_near(m, col, row) &&
                !hero_can_step(m, col, row, col + w.dc, row + w.dr))
                all.push_back({col, row});
        }
    std::vector<Cell> out;
    for (int i = 0; i < CONTACTS_PER_SIDE && !all.empty(); i++)
        out.push_back(all[(2 * i + 1) * all.size() / (2 * CONTACTS_PER_SIDE)]);
    return out;
}

// The world ordered into the depth buckets as a pass does, under a camera at rest on the
// hero. He moves less than half a unit while a key is held, well inside what the view keeps
// around him, so one ordering serves every pass of it and keeps the test short.
void order_world()
{
    clear_depth_buckets();
    camera_x = player_x, camera_y = player_y, camera_z = player_z;
    main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
}

class WallContact : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_floor_maps();
        set_up_shipped_view();
        wave_amplitude = 0;
        release_all_keys();
    }
    void TearDown() override
    {
        release_all_keys();
        memset(inventory, 0, sizeof(inventory));
        empty_scene();
        time_scale = 1;
    }

    // Holds the keys for `frames` passes. Each pass paints the floor around where the last
    // one left him: his own pixel must be floor, and he must stay within his cell, not past
    // a face of it that the source says blocks.
    void hold(std::initializer_list<int> keys, int frames)
    {
        release_all_keys();
        for (int k : keys)
            press(k);
        order_world();
        for (int i = 0; i < frames; i++) {
            float x = player_x, z = player_z;
            update_player();
            if (getpixel(height_map, FLOOR_MAP_CENTER, FLOOR_MAP_CENTER) == white())
                fail("stands over a blocked pixel of his own", x, z);
            for (const Way &w : ways) {
                float face = w.dc ? x0 + (w.dc > 0 ? 1 : 0) : z0 + (w.dr > 0 ? 1 : 0);
                float past = (w.dc ? player_x - face : player_z - face) * (w.dc + w.dr);
                if (!hero_can_step(*map, col, row, col + w.dc, row + w.dr) && past > 1e-4f)
                    fail(std::string("is past the face of the wall to his ") + w.name, player_x, player_z);
            }
        }
        release_all_keys();
    }

    // A contact reports its first fault only.
    void fail(const std::string &what, float x, float z)
    {
        if (failed)
            return;
        failed = true;
        failures++;
        tally[(way - ways) * 3 + rate_index]++;
        if (failures <= 12) {
            char line[200];
            snprintf(line, sizeof(line), "\n  map %d, cell %d,%d, walking %s at time_scale %g: at (%.3f, %.3f) he %s",
                     map->number, col - map->ring_west, row - map->ring_north, way->name, time_scale, x, z,
                     what.c_str());
            report += line;
        }
    }

    // Into the wall on the way's side, along it both ways (first with the wall's key still
    // held), then back out.
    void meet_the_wall(const MapSource &m, Cell cell, const Way &w, float rate)
    {
        map = &m, col = cell.col, row = cell.row, way = &w;
        cell_center(m, col, row, &player_x, &player_y, &player_z);
        x0 = player_x - 0.5f, z0 = player_z - 0.5f;
        // A little short of the wall: at 600 frames a second every leg is a dozen passes or so.
        player_x += w.dc * 0.35f, player_z += w.dr * 0.35f;
        time_scale = rate;
        failed = false;
        float step = STEP_PER_FRAME * rate;
        auto passes = [&](float distance) { return (int)std::ceil(distance / step) + 2; };
        auto along = [&] { return w.dc ? player_z : player_x; };
        auto to_face = [&] { return w.dc ? (x0 + (w.dc > 0 ? 1 : 0) - player_x) * w.dc : (z0 + (w.dr > 0 ? 1 : 0) - player_z) * w.dr; };
        int at = (int)(&w - ways);
        const Way &side = ways[(at + 1) % 4], &other_side = ways[(at + 3) % 4], &back = ways[(at + 2) % 4];
        int side_sign = side.dc + side.dr;

        hold({w.key}, passes(0.15f) + 2);
        if (!(to_face() >= -1e-4f && to_face() <= 0.13f))
            fail("stopped " + std::to_string(to_face()) + " short of the wall, not within a pixel of it", player_x, player_z);
        float start = along();
        hold({w.key, side.key}, passes(0.15f));
        if ((along() - start) * side_sign < 0.12f)
            fail(std::string("slid only ") + std::to_string(std::fabs(along() - start)) + " toward the " + side.name +
                 " with the wall's key held", player_x, player_z);
        start = along();
        hold({other_side.key}, passes(0.3f));
        if ((start - along()) * side_sign < 0.27f)
            fail(std::string("walked only ") + std::to_string(std::fabs(along() - start)) + " along the wall toward the " +
                 other_side.name, player_x, player_z);
        float before = to_face();
        hold({back.key}, passes(0.15f));
        if (to_face() - before < 0.12f)
            fail("backed out only " + std::to_string(to_face() - before), player_x, player_z);
    }

    const MapSource *map = nullptr;
    const Way *way = nullptr;
    int col = 0, row = 0;
    float x0 = 0, z0 = 0;
    int failures = 0, rate_index = 0;
    int tally[12] = {};
    bool failed = false;
    std::string report;
};

TEST_F(WallContact, EveryMapOnEverySideAtAnyRate)
{
    Campaign c = shipped_campaign();
    ASSERT_FALSE(c.maps.empty());
    int contacts = 0;
    for (const MapSource &m : c.maps) {
        s16 kept_monsters = 0;
        ASSERT_TRUE(enter_map_without_demons(m, &kept_monsters)) << m.number;
        map_cleared[m.number] = 1;
        for (const Way &w : ways)
            for (Cell cell : cells_against(c, m, w))
                for (int r = 0; r < 3; r++) {
                    rate_index = r;
                    meet_the_wall(m, cell, w, rates[r]);
                    contacts++;
                }
        monster_counts[m.number] = kept_monsters;
        map_cleared[m.number] = 0;
    }
    EXPECT_GE(contacts, (int)c.maps.size() * 4 * 3) << "every map, every side, every rate";
    std::string by_way;
    for (int k = 0; k < 12; k++)
        by_way += std::string(k % 3 ? ", " : "\n  ") + ways[k / 3].name + " at " + std::to_string(rates[k % 3]).substr(0, 3) +
                  ": " + std::to_string(tally[k]);
    EXPECT_EQ(failures, 0) << failures << " of " << contacts << " contacts fail:" << by_way << report;
}

// The demons walk the same floor. Shut in a room while the hero wanders about in it (each
// of his steps shifts the floor map's pixels under them), slow and fast ones at any rate
// stay inside its walls and are never held by one: a blocked demon turns and walks on.
typedef GameplayTest DemonContact;

TEST_F(DemonContact, DemonsKeepInsideTheWallsAndAreNeverHeldByThem)
{
    MonsterKind kept[2] = {monster_kinds[1], monster_kinds[5]};
    monster_kinds[1] = {10, 0, 0.2f};
    monster_kinds[5] = {10, 0, 1.0f};
    const float west = -2.03f, east = 1.97f, north = -1.98f, south = 2.02f;
    add_floor(west, north, east, south, 0);
    for (float rate : rates) {
        SCOPED_TRACE(testing::Message() << "time_scale " << rate);
        srand(5);
        time_scale = rate;
        player_x = player_z = 0;
        monster_counts[TEST_MAP] = 0;
        for (int j = 0; j < 8; j++) {
            Monster &m = place_monster(j % 2 ? 5 : 1, -1.5f + 0.4f * j, 0, j % 3 - 1.0f);
            m.health = 10;
            m.step_x = (s16)(j % 3 - 1);
            m.step_z = (s16)(j % 3 == 1 ? 1 - j % 2 * 2 : 0);
        }
        int held[8] = {}, longest = 0, outside = 0;
        int passes = (int)(400 / rate);
        for (int i = 0; i < passes; i++) {
            // He walks a little this way and that, never farther than a unit from the middle.
            player_x = std::fmax(-1, std::fmin(1, player_x + (rand() % 3 - 1) * STEP_PER_FRAME * rate));
            player_z = std::fmax(-1, std::fmin(1, player_z + (rand() % 3 - 1) * STEP_PER_FRAME * rate));
            player_health = 100;
            paint_floor_maps(player_x, player_y, player_z);
            float was[8][2];
            for (int j = 0; j < 8; j++)
                was[j][0] = monsters[TEST_MAP][j].x, was[j][1] = monsters[TEST_MAP][j].z;
            update_monsters();
            for (int j = 0; j < 8; j++) {
                const Monster &m = monsters[TEST_MAP][j];
                outside += !(m.x >= west && m.x <= east && m.z >= north && m.z <= south);
                held[j] = m.x == was[j][0] && m.z == was[j][1] ? held[j] + 1 : 0;
                longest = std::max(longest, held[j]);
            }
        }
        EXPECT_EQ(outside, 0) << "passes a demon spent past a wall's face";
        EXPECT_LE(longest, 25) << "the most passes in a row a demon stood without moving";
    }
    monster_kinds[1] = kept[0];
    monster_kinds[5] = kept[1];
}

// How near the drawn shore his feet, the lowest rows of his figure, stop, in units either way.
const float SHORE_TOLERANCE = 0.25f;

// Where the ground drawn at his level ends toward the way, on the line through him: the
// faces level with his feet joined, each the bounds of its two triangles (all lie on the grid).
float drawn_shore(const Way &w)
{
    bool along_x = w.dc != 0;
    float at = along_x ? player_z : player_x, end = along_x ? player_x : player_z, sign = (float)(w.dc + w.dr);
    std::vector<std::pair<float, float>> spans;
    for (const ViewTriangle &t : view_triangles) {
        float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f}, y = view_vertices[t.vertex[0]].world_y;
        bool level = std::fabs(y - player_y) < 0.02f;
        for (int i = 0; i < 3; i++) {
            const ViewVertex &v = view_vertices[t.vertex[i]];
            float c[2] = {along_x ? v.world_x : v.world_z, along_x ? v.world_z : v.world_x};
            level = level && v.world_y == y;
            for (int a = 0; a < 2; a++)
                lo[a] = std::min(lo[a], c[a]), hi[a] = std::max(hi[a], c[a]);
        }
        if (level && lo[1] <= at && at <= hi[1])
            spans.push_back({lo[0], hi[0]});
    }
    for (bool grew = true; grew;) {
        grew = false;
        for (auto s : spans)
            if (s.first <= end + 1e-4f && s.second >= end - 1e-4f && ((sign > 0 ? s.second : s.first) - end) * sign > 1e-5f)
                end = sign > 0 ? s.second : s.first, grew = true;
    }
    return end;
}

class Shore : public WallContact {
protected:
    // How far his feet, in the frame he is drawn in now, reach past the shore toward the way
    // (below 0 when short of it): him drawn alone, so that nothing in front of him hides them.
    float feet_over(const Way &w, float shore)
    {
        int clear = makecol(255, 0, 255), lowest = -1;
        clear_to_color(back_buffer, clear);
        order_world();
        for (int i = depth_low; i <= depth_high; i++)
            depth_buckets[i] = depth_buckets[i] == BUCKET_PLAYER ? BUCKET_PLAYER : 0;
        draw_world();
        float front = -1e9f, sign = (float)(w.dc + w.dr), s[3][2], v[3];
        for (int row = screen_height - 1; row >= 0 && (lowest < 0 || row >= lowest - 2); row--)
            for (int col = 0; col < screen_width; col++)
                if (getpixel(back_buffer, col, row) != clear) {
                    lowest = lowest < 0 ? row : lowest;
                    front = std::max(front, sign * (w.dc ? col + (sign > 0) : row + 1));
                }
        // On screen: the shore, a unit on from him, and him.
        const float at[3][2] = {{w.dc ? shore : player_x, w.dc ? player_z : shore},
                                {player_x + std::abs(w.dc), player_z + std::abs(w.dr)}, {player_x, player_z}};
        for (int i = 0; i < 3; i++)
            view_transform(at[i][0], player_y, at[i][1], &v[0], &v[1], &v[2]), project_point(v[0], v[1], v[2], &s[i][0], &s[i][1]);
        return (front - sign * s[0][!w.dc]) / std::fabs(s[1][!w.dc] - s[2][!w.dc]);
    }

    // Into the water from the middle of the cell; then his feet standing there, and in every
    // frame of walking along the shore both ways.
    void meet_the_water(const MapSource &m, Cell cell, const Way &w)
    {
        map = &m, col = cell.col, row = cell.row, way = &w, failed = false, time_scale = 1;
        cell_center(m, col, row, &player_x, &player_y, &player_z);
        x0 = player_x - 0.5f, z0 = player_z - 0.5f;
        hold({w.key}, 40);
        float shore = drawn_shore(w);
        std::string at = "map " + std::to_string(m.number) + ", column " + std::to_string(col - m.ring_west) +
                         " row " + std::to_string(row - m.ring_north) + ", water to the " + w.name;
        player_anim_state = 0, player_anim_frame = 0;
        float standing = feet_over(w, shore);
        EXPECT_LE(std::fabs(standing), SHORE_TOLERANCE) << at << ": standing, his feet past the shore (or short of it)";
        worst = std::max(worst, standing);
        for (int turn : {1, 3})
            for (int frame = 0; frame < SPRITE_FRAMES; frame++) {
                const Way &along = ways[(&w - ways + turn) % 4];
                player_anim_state = 1, player_anim_frame = (float)frame;
                player_facing = along.dc ? (along.dc > 0 ? FACING_RIGHT : FACING_LEFT) : along.dr > 0 ? FACING_DOWN : FACING_UP;
                float over = feet_over(w, shore);
                EXPECT_LE(over, SHORE_TOLERANCE) << at << ": walking " << along.name << ", frame " << frame + 1;
                worst = std::max(worst, over);
            }
    }

    float worst = -1e9f;
};

TEST_F(Shore, TheHerosFeetStayOnTheDrawnGroundWhereverWaterStopsHim)
{
    Campaign c = shipped_campaign();
    HeroFrames frames(FORGED_DATA_DIR);
    ASSERT_TRUE(frames.complete);
    int contacts = 0, bridges = 0;
    for (const MapSource &m : c.maps) {
        s16 kept_monsters = 0;
        ASSERT_TRUE(enter_map_without_demons(m, &kept_monsters)) << m.number;
        map_cleared[m.number] = 1;
        std::vector<char> reach = reachable_floor(c, m);
        // On every side, one cell of a bridge (water on both its sides) and one of a bank.
        for (const Way &w : ways) {
            std::vector<Cell> on[2];
            auto water = [&](int k, int r) { return !cell_style(m, k, r).is_void && reads_as_water(cell_style(m, k, r)); };
            for (int r = 0; r < m.height; r++)
                for (int k = 0; k < m.width; k++)
                    if (reach[r * m.width + k] && water(k + w.dc, r + w.dr) && !hero_can_step(m, k, r, k + w.dc, r + w.dr))
                        on[water(k - w.dc, r - w.dr)].push_back({k, r});
            for (int bridge = 0; bridge < 2; bridge++)
                if (!on[bridge].empty()) {
                    meet_the_water(m, on[bridge][on[bridge].size() / 2], w);
                    contacts++, bridges += bridge;
                }
        }
        monster_counts[m.number] = kept_monsters;
        map_cleared[m.number] = 0;
    }
    EXPECT_TRUE(contacts >= 4 * 10 && bridges >= 4) << "shores on every side of many maps, and bridges' sides";
    EXPECT_EQ(failures, 0) << report;
    printf("%d shores, %d a bridge's side: his feet reach at most %.3f past the drawn shore\n", contacts, bridges, worst);
}

}  // namespace
