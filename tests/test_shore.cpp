// Water is never walked on, as a person sees it: on every shipped map the hero walks into
// water or lava on each side of him, and off the sides of a bridge, and where he stops his
// feet as the game draws them reach no more than a quarter of a unit past the drawn shore,
// standing or walking along it, nor stand more than that short of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "render/transform.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/barrierfaces.h"
#include "tools/forge/mapbuild.h"
#include "tools/viewcheck/viewcheck.h"

namespace {

const float SHORE_TOLERANCE = 0.25f;

struct ShoreWay {
    int key, dc, dr, facing;
    const char *name;
};
const ShoreWay shore_ways[4] = {{KEY_RIGHT, 1, 0, FACING_RIGHT, "east"}, {KEY_DOWN, 0, 1, FACING_DOWN, "south"},
                                {KEY_LEFT, -1, 0, FACING_LEFT, "west"}, {KEY_UP, 0, -1, FACING_UP, "north"}};

bool is_water(const MapSource &m, int col, int row)
{
    const CellStyle &s = cell_style(m, col, row);
    return !s.is_void && reads_as_water(s);
}

// Reachable floor with water below it on the way's side: one on a bridge (water on both
// sides of it) and one elsewhere, where the map has them.
std::vector<std::pair<int, int>> shores_toward(const Campaign &c, const MapSource &m, const ShoreWay &w)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::vector<std::pair<int, int>> bridge, bank;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++)
            if (reach[row * m.width + col] && is_water(m, col + w.dc, row + w.dr) &&
                !hero_can_step(m, col, row, col + w.dc, row + w.dr))
                (is_water(m, col - w.dc, row - w.dr) ? bridge : bank).push_back({col, row});
    std::vector<std::pair<int, int>> out;
    for (auto *from : {&bridge, &bank})
        if (!from->empty())
            out.push_back((*from)[from->size() / 2]);
    return out;
}

// Where the ground drawn at the hero's level ends toward the way, along the line through
// him: the faces level with his feet (tops, and whatever is laid out over the water), joined.
float drawn_shore(const ShoreWay &w)
{
    bool along_x = w.dc != 0;
    float at = along_x ? player_z : player_x, from = along_x ? player_x : player_z;
    std::vector<std::pair<float, float>> spans;
    for (const ViewTriangle &t : view_triangles) {
        const ViewVertex *v[3] = {&view_vertices[t.vertex[0]], &view_vertices[t.vertex[1]], &view_vertices[t.vertex[2]]};
        if (std::fabs(v[0]->world_y - player_y) > 0.02f || v[0]->world_y != v[1]->world_y || v[0]->world_y != v[2]->world_y)
            continue;
        float lo = 1e9f, hi = -1e9f;
        for (int i = 0; i < 3; i++) {
            const ViewVertex *a = v[i], *b = v[(i + 1) % 3];
            float ca = along_x ? a->world_z : a->world_x, cb = along_x ? b->world_z : b->world_x;
            if ((ca - at) * (cb - at) > 0 || ca == cb)
                continue;
            float k = (at - ca) / (cb - ca), p = along_x ? a->world_x + k * (b->world_x - a->world_x)
                                                          : a->world_z + k * (b->world_z - a->world_z);
            lo = std::min(lo, p), hi = std::max(hi, p);
        }
        if (lo <= hi)
            spans.push_back({lo, hi});
    }
    // Out from the span under him, over every span that touches it.
    float end = from;
    for (bool grew = true; grew;) {
        grew = false;
        for (auto s : spans) {
            bool touches = s.first <= end + 1e-4f && s.second >= end - 1e-4f;
            float reach = w.dc + w.dr > 0 ? s.second : s.first;
            if (touches && (reach - end) * (w.dc + w.dr) > 1e-5f)
                end = reach, grew = true;
        }
    }
    return end;
}

void screen_at(float x, float y, float z, float *sx, float *sy)
{
    float vx, vy, vz;
    view_transform(x, y, z, &vx, &vy, &vz);
    project_point(vx, vy, vz, sx, sy);
}

class Shore : public ::testing::Test {
protected:
    void SetUp() override
    {
        make_floor_maps();
        begin_view_check();
        wave_amplitude = 0;
        time_scale = 1;
        clear = makecol(255, 0, 255);
        release_all_keys();
    }
    void TearDown() override
    {
        release_all_keys();
        end_view_check();
        time_scale = 1;
    }

    // The hero alone as the main loop draws him, the camera on him, on a clear frame: what
    // stands in front of him must not hide his feet from the measure.
    void draw_hero_alone()
    {
        camera_x = player_x, camera_y = player_y, camera_z = player_z;
        clear_to_color(back_buffer, clear);
        clear_depth_buckets();
        main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
        for (int i = depth_low; i <= depth_high; i++)
            if (depth_buckets[i] != BUCKET_PLAYER)
                depth_buckets[i] = 0;
        draw_world();
    }

    // How far his feet, in the frame he is drawn in now, reach past the drawn shore toward
    // the way, in units (less than 0 when they stop short of it). His feet are the lowest
    // rows of his figure.
    float feet_over(const ShoreWay &w, float shore)
    {
        draw_hero_alone();
        int lowest = -1;
        std::vector<std::pair<int, int>> his;
        for (int row = 0; row < screen_height; row++)
            for (int col = 0; col < screen_width; col++)
                if (getpixel(back_buffer, col, row) != clear)
                    his.push_back({col, row}), lowest = std::max(lowest, row);
        EXPECT_GE(lowest, 0) << "the hero is not drawn";
        float front = -1e9f, sign = (float)(w.dc + w.dr);
        for (auto p : his)
            if (p.second >= lowest - 2)
                front = std::max(front, sign * (w.dc ? p.first + (sign > 0) : p.second + 1));
        float sx, sy, ex, ey, ox, oy;
        screen_at(w.dc ? shore : player_x, player_y, w.dc ? player_z : shore, &sx, &sy);
        screen_at(player_x + std::abs(w.dc), player_y, player_z + std::abs(w.dr), &ex, &ey);
        screen_at(player_x, player_y, player_z, &ox, &oy);
        float per_unit = w.dc ? std::fabs(ex - ox) : std::fabs(ey - oy);
        return (front - sign * (w.dc ? sx : sy)) / per_unit;
    }

    // Walks him from the middle of the cell into the water; then the feet in his standing
    // frame, and in every frame of walking along the shore both ways.
    void meet_the_water(const MapSource &m, int col, int row, const ShoreWay &w)
    {
        cell_center(m, col, row, &player_x, &player_y, &player_z);
        press(w.key);
        camera_x = player_x, camera_y = player_y, camera_z = player_z;
        clear_depth_buckets();
        main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
        for (int i = 0; i < 40; i++)
            update_player();
        release_all_keys();
        float shore = drawn_shore(w);
        std::string at = "map " + std::to_string(m.number) + ", column " + std::to_string(col - m.ring_west) + " row " +
                         std::to_string(row - m.ring_north) + ", water to the " + w.name;
        player_anim_state = 0, player_facing = (s16)w.facing, player_anim_frame = 0;
        float standing = feet_over(w, shore);
        EXPECT_LE(standing, SHORE_TOLERANCE) << at << ": standing, his feet over the water";
        EXPECT_GE(standing, -SHORE_TOLERANCE) << at << ": standing, his feet short of the shore";
        worst = std::max(worst, standing);
        shortest = std::min(shortest, standing);
        const ShoreWay &side = shore_ways[(&w - shore_ways + 1) % 4], &other = shore_ways[(&w - shore_ways + 3) % 4];
        for (const ShoreWay *along : {&side, &other})
            for (int frame = 0; frame < SPRITE_FRAMES; frame++) {
                player_anim_state = 1, player_facing = (s16)along->facing, player_anim_frame = (float)frame;
                float over = feet_over(w, shore);
                EXPECT_LE(over, SHORE_TOLERANCE) << at << ": walking " << along->name << ", frame " << frame + 1;
                worst = std::max(worst, over);
            }
        contacts++;
    }

    int clear = 0;
    float worst = -1e9f, shortest = 1e9f;
    int contacts = 0;
};

TEST_F(Shore, TheHerosFeetStayOnTheDrawnGroundWhereverWaterStopsHim)
{
    Campaign c = shipped_campaign();
    HeroFrames frames(FORGED_DATA_DIR);
    ASSERT_TRUE(frames.complete);
    int bridges = 0;
    for (const MapSource &m : c.maps) {
        s16 kept_monsters = 0;
        ASSERT_TRUE(enter_map_without_demons(m, &kept_monsters)) << m.number;
        map_cleared[m.number] = 1;
        for (const ShoreWay &w : shore_ways)
            for (auto cell : shores_toward(c, m, w)) {
                bridges += is_water(m, cell.first - w.dc, cell.second - w.dr);
                meet_the_water(m, cell.first, cell.second, w);
            }
        monster_counts[m.number] = kept_monsters;
        map_cleared[m.number] = 0;
    }
    EXPECT_GE(contacts, 4 * 10) << "shores on every side of many maps";
    EXPECT_GE(bridges, 4) << "a bridge's sides";
    printf("%d shores met, %d of them a bridge's side: his feet reach at most %.3f units past the drawn "
           "shore, and standing stop at most %.3f short of it\n",
           contacts, bridges, worst, -shortest);
}

}  // namespace
