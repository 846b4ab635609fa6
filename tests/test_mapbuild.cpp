// The map compiler's output seen through the game itself: every face meant to be seen
// survives the renderer's back-face test, and scenery blocks or is seen through as written.
// (Walls and steps of compiled maps are walked in the wall-contact and play tests.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "tests/gameplay_scene.h"
#include "tools/forge/mapbuild.h"

namespace {

// Columns 1..9, rows 1..7 inside a wall ring: a 1.0 step (^), a 1.6 block (H), a wall
// block (#) and water (~).
const char *test_source = R"(map 305
cell # wall 2 wall
cell . grass 0
cell ^ flagstone 1
cell H flagstone 1.6
cell ~ water -2 kind=1 trans=30 bed=dirt:-3
grid
###########
#.........#
#.........#
#...#.^H..#
#.........#
#~~~~~~~~~#
#.........#
###########
end
)";

class CompiledMap : public ::testing::Test {
protected:
    MapSource src;

    void SetUp() override { compile(test_source); }

    void compile(const char *text)
    {
        std::string error;
        ASSERT_TRUE(parse_map_text("test.map", text, src, error)) << error;
        BuildStats stats;
        ASSERT_TRUE(build_map_tables(src, {}, stats, error, false)) << error;
        current_map = 305;
        init_camera();
        build_scene();
        make_floor_maps();
        memset(map_cleared, 0, sizeof(map_cleared));
        memset(inventory, 0, sizeof(inventory));
        time_scale = 1;
        depth_range = DEPTH_BUCKETS - 1;
        release_all_keys();
    }

    void TearDown() override
    {
        empty_scene();
        release_all_keys();
        plane_last = -1;
    }

    // Puts hero and camera at the centre of a cell.
    void stand_at(int col, int row)
    {
        cell_center(src, col, row, &player_x, &player_y, &player_z);
        camera_x = player_x, camera_y = player_y, camera_z = player_z;
    }

    // The renderer's ordering for this frame; the buckets stay filled for the painter.
    std::set<int> entered_triangles()
    {
        clear_depth_buckets();
        main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
        std::set<int> out;
        for (int i = depth_low; i <= depth_high; i++)
            if (depth_buckets[i] >= BUCKET_TRIANGLE_BASE)
                out.insert(depth_buckets[i] - BUCKET_TRIANGLE_BASE);
        return out;
    }

    // Outward normal of a scene triangle from its world corners.
    void normal_of(const ViewTriangle &t, float n[3])
    {
        const ViewVertex &a = view_vertices[t.vertex[0]], &b = view_vertices[t.vertex[1]],
                         &c = view_vertices[t.vertex[2]];
        float u[3] = {b.world_x - a.world_x, b.world_y - a.world_y, b.world_z - a.world_z};
        float v[3] = {c.world_x - a.world_x, c.world_y - a.world_y, c.world_z - a.world_z};
        n[0] = u[1] * v[2] - u[2] * v[1];
        n[1] = u[2] * v[0] - u[0] * v[2];
        n[2] = u[0] * v[1] - u[1] * v[0];
        float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);  // tops may be cut in strips
        for (int i = 0; i < 3; i++)
            n[i] /= length;
    }

    // Walks with the given keys for some frames through the game's own step.
    void walk(std::initializer_list<int> keys, int frames)
    {
        for (int k : keys)
            press(k);
        for (int i = 0; i < frames; i++) {
            entered_triangles();
            update_player();
        }
        release_all_keys();
    }
};

}  // namespace

TEST_F(CompiledMap, EveryFaceMeantToBeSeenPassesTheBackFaceTest)
{
    // From a spot left of the blocks and one right of them, every triangle whose three
    // corners are inside the projection window is either entered or faces away.
    for (int col : {2, 8}) {
        stand_at(col, 2);
        std::set<int> entered = entered_triangles();
        int tops = 0, fronts = 0, sides_seen = 0;
        for (size_t t = 0; t < view_triangles.size(); t++) {
            const ViewTriangle &tri = view_triangles[t];
            bool visible = true;
            for (int k = 0; k < 3; k++)
                visible = visible && !view_vertices[tri.vertex[k]].hidden;
            if (!visible)
                continue;
            float n[3];
            normal_of(tri, n);
            const ViewVertex &a = view_vertices[tri.vertex[0]];
            if (n[1] > 0.5f) {
                EXPECT_TRUE(entered.count(t)) << "a top face was culled at column " << col;
                tops++;
            } else if (n[2] > 0.5f) {
                EXPECT_TRUE(entered.count(t)) << "a face toward the camera was culled";
                fronts++;
            } else if (std::fabs(n[0]) > 0.5f) {
                // A side is seen exactly when the camera stands on its outward side.
                bool outward = (camera_x - a.world_x) * n[0] > 0.05f;
                if (outward) {
                    EXPECT_TRUE(entered.count(t)) << "a side facing the camera was culled";
                    sides_seen++;
                } else if ((camera_x - a.world_x) * n[0] < -0.5f) {
                    EXPECT_FALSE(entered.count(t)) << "the back of a side was drawn";
                }
            } else {
                ADD_FAILURE() << "no face is compiled facing away from the camera (north)";
            }
        }
        EXPECT_GT(tops, 40);
        EXPECT_GT(fronts, 4);
        EXPECT_GT(sides_seen, 0);
    }
}

// Scenery: a tree (a trunk that blocks, a see-through crown above head height), a fence
// that blocks, and stairs that climb in three steps.
const char *scenery_source = R"(map 306
cell # wall 2 wall
cell . grass 0
cell T roots 0 wall post=bark:2.3:0.45 crown=leaves:1.7:3.3
cell ^ tiles 0.9
cell s tiles 0.9 stairs=0
cell F mud 0 wall fence=wood
grid
#########
#.......#
#..^^^..#
#..sss..#
#.T.....#
#...F...#
#.......#
#########
end
)";

TEST_F(CompiledMap, ScenerySeparatesWhatBlocksFromWhatIsSeenThrough)
{
    compile(scenery_source);
    const float grain = 1.0f / 256;
    float x, y, z;

    // Every face above head height belongs to a crown, and all of them are see-through;
    // nothing else in this map is.
    int crown = 0;
    for (int p = 0; p <= plane_last; p++)
        for (int t = 0; t <= planes[p].last_triangle; t++) {
            float low = 1e9f;
            for (int k = 0; k < 3; k++)
                low = std::min(low, planes[p].vertices[planes[p].triangles[t].e[k]].e[4]);
            bool high = low >= 1.7f - 1e-4f && low < 3.4f;
            int trans = planes[p].triangles[t].e[TRIANGLE_TRANSPARENCY];
            if (trans > 0) {
                EXPECT_TRUE(high) << "a see-through face below the crown";
                EXPECT_EQ(planes[p].triangles[t].e[TRIANGLE_WALL], 1);
                crown++;
            }
        }
    EXPECT_GE(crown, 2 * 4);  // its top and three sides at least

    // The trunk blocks the way east.
    stand_at(1, 4);
    walk({KEY_RIGHT}, 30);
    cell_center(src, 2, 4, &x, &y, &z);
    EXPECT_LT(player_x, x - 0.5f + 0.2f);
    EXPECT_NEAR(player_y, 0.0f, grain);

    // The fence blocks the way north.
    stand_at(4, 6);
    walk({KEY_UP}, 30);
    cell_center(src, 4, 5, &x, &y, &z);
    EXPECT_GT(player_z, z + 0.5f - 0.2f);

    // Up the stairs: three steps on the way from the floor to the dais.
    stand_at(4, 4);
    std::set<int> heights;
    press(KEY_UP);
    for (int i = 0; i < 14; i++) {
        entered_triangles();
        update_player();
        heights.insert((int)std::lround(player_y * 30));
    }
    release_all_keys();
    EXPECT_NEAR(player_y, 0.9f, grain) << "on the dais";
    EXPECT_TRUE(heights.count(9) && heights.count(18) && heights.count(27)) << "0.3, 0.6 and 0.9 on the way";
}
