// Building the scene from the loaded map, and placing the monsters.
#include <algorithm>
#include <vector>

#include "tests/render_fixture.h"

namespace {

class SceneTest : public RenderTest {};

TEST_F(SceneTest, ArraysFromTheActivePlanes)
{
    add_square(open_plane(0), 0, 0, 0, 1);
    planes[0].active = 0;
    add_square(open_plane(2), 0, 0, 0, 1);  // beyond plane_last: never looked at

    Plane &plane = open_plane(1);
    plane_last = 1;
    plane.origin_x = 10, plane.origin_y = 2, plane.origin_z = -3;
    int a = add_vertex(plane, 1, 0, 0), b = add_vertex(plane, 0, 1, 0);
    int left_out = add_vertex(plane, 5, 5, 5), c = add_vertex(plane, 0, 0, 1);
    plane.vertices[left_out].e[VERTEX_SKIP] = 1;
    plane.vertices[left_out].e[VERTEX_VIEW_INDEX] = 42;
    plane.vertices[c].e[VERTEX_DRAWN] = 1;
    add_triangle(plane, a, b, c, KIND_GATED_SHOW);
    int pruned = add_triangle(plane, a, c, b);
    plane.triangles[pruned].e[TRIANGLE_INCLUDE] = 2;
    plane.triangles[pruned].e[TRIANGLE_VIEW_INDEX] = 42;
    int wall = add_triangle(plane, c, b, a, KIND_CLEARED_FLOOR);
    plane.triangles[wall].e[TRIANGLE_WALL] = 1;
    plane.triangles[wall].e[TRIANGLE_DRAWN] = 1;
    plane.triangle_uvs[wall][4] = 9;
    add_triangle(plane, a, left_out, c);  // a left-out corner: stays out
    add_triangle(plane, a, b, 900);       // a corner beyond the plane: stays out
    current_map = 512;
    ground_reached = 1;
    build_scene();

    ASSERT_EQ(view_vertices.size(), 3u);
    ASSERT_EQ(view_triangles.size(), 2u);
    EXPECT_EQ(plane.view_vertex_count + plane.view_triangle_count, 5);
    // Vertices and triangles entered take their index in the scene and lose their drawn mark;
    // those left out keep theirs.
    EXPECT_EQ(std::vector<float>({plane.vertices[c].e[VERTEX_VIEW_INDEX], plane.vertices[c].e[VERTEX_DRAWN],
                                  plane.vertices[left_out].e[VERTEX_VIEW_INDEX]}),
              std::vector<float>({2, 0, 42}));
    const PlaneTriangle *t = plane.triangles;
    EXPECT_EQ(std::vector<int>({t[pruned].e[TRIANGLE_VIEW_INDEX], t[wall].e[TRIANGLE_VIEW_INDEX],
                                t[wall].e[TRIANGLE_DRAWN]}), std::vector<int>({42, 1, 0}));

    const ViewVertex &v = view_vertices[1];  // local (0, 1, 0) at the origin (10, 2, -3)
    expect_floats({v.world_y, v.rest_y}, {3, 3});
    EXPECT_NEAR(v.cam_x, 10 * -7, 1e-4);
    EXPECT_NEAR(v.cam_y, 3 * 3.9598 - 3 * -4.9497, 1e-3);
    EXPECT_NEAR(v.cam_z, 3 * 3.9598 - 3 * 4.9497, 1e-3);
    EXPECT_TRUE(v.plane == 1 && v.vertex == b && v.referenced == 1);

    const ViewTriangle &gate = view_triangles[0], &floor = view_triangles[1];
    EXPECT_EQ(gate.open_with_gate_item, 1);
    EXPECT_EQ(gate.open_when_cleared + gate.cleared_floor + gate.gated_floor + gate.wall, 0);
    EXPECT_EQ(std::vector<int>({floor.cleared_floor, floor.wall, floor.vertex[0], floor.tex_u[2], floor.triangle}),
              std::vector<int>({1, -1, 2, 9, wall}));
    EXPECT_TRUE(map_group == 5 && ground_reached == 0);
}

TEST_F(SceneTest, MotionSpawnPointsAndCells)
{
    Plane &plane = open_plane(0);
    int a = add_vertex(plane, 0, 0, 0), b = add_vertex(plane, 1, 0, 0), c = add_vertex(plane, 0, 0, 1);
    int d = add_vertex(plane, 1, 0, 1), unused = add_vertex(plane, 3, 0, 3);
    add_triangle(plane, a, b, c, KIND_RIPPLE);
    add_triangle(plane, b, c, d, KIND_SWAY);  // the last moving triangle using a vertex decides
    int painted = add_triangle(plane, a, b, d, KIND_SPAWN);  // other kinds leave motion alone
    plane.triangles[painted].e[TRIANGLE_TEXTURE] = 299;
    clear_to_color(texture_slots[299], makecol(10, 200, 30));
    BITMAP *supplied = solid(0, 0, 255, 16);
    for (int i = 0; i < 24; i++) {
        int s = add_vertex(plane, 3.0f * i, 3, 0);
        add_triangle(plane, s, a, d, KIND_SPAWN, supplied);
    }
    build_scene();
    clear_bitmap(texture_slots[299]);

    EXPECT_EQ(std::vector<int>({view_vertices[a].motion, view_vertices[b].motion, view_vertices[d].motion}),
              std::vector<int>({MOTION_RIPPLE, MOTION_SWAY, MOTION_SWAY}));
    EXPECT_EQ(view_vertices[unused].motion + view_vertices[unused].referenced, 0);
    // The first 20 spawn triangles met, as centroids.
    EXPECT_EQ(spawn_point_count, 20);
    expect_floats({spawn_points[0][0], spawn_points[19][0], spawn_points[19][1]},
                  {2.0f / 3, (3 * 18 + 1.0f) / 3, 1});
    // A cell the map supplied stays; one it did not is painted from the texture slot.
    EXPECT_EQ(plane.triangle_shadow[painted + 1], supplied);
    EXPECT_EQ(getpixel(supplied, 5, 5), makecol(0, 0, 255));
    ASSERT_EQ(plane.triangle_shadow_state[painted], 2);
    EXPECT_EQ(getpixel(plane.triangle_shadow[painted], 15, 15), makecol(10, 200, 30));
}

TEST_F(SceneTest, SceneStopsWhereBucketCodesEnd)
{
    BITMAP *cell = solid(1, 1, 1, 16);
    for (int p = 0; p < 33; p++) {
        Plane &plane = open_plane(p);
        int a = add_vertex(plane, 0, 0, 0);
        for (int t = 0; t < MAX_PLANE_TRIANGLES; t++)
            add_triangle(plane, a, a, a, 0, cell);
    }
    testing::internal::CaptureStderr();
    build_scene();
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(view_triangles.size(), 32668u);  // the last index, 32667, is coded 32767
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
}

TEST_F(SceneTest, MonstersScatterOverSpawnPointsOrStayHarmless)
{
    Plane &plane = open_plane(0);
    add_triangle(plane, add_vertex(plane, 0, 1, 0), add_vertex(plane, 3, 1, 0), add_vertex(plane, 0, 1, 3),
                 KIND_SPAWN);
    build_scene();
    monster_counts[1] = 20;
    for (int i = 0; i < 20; i++) {
        monsters[1][i] = Monster();
        monsters[1][i].health = (s16)(i % 3);
    }
    place_monsters();
    for (int i = 0; i < 20; i++) {
        const Monster &m = monsters[1][i];
        EXPECT_TRUE(m.x == 1 && m.y == 1 && m.z == 1) << i;
        EXPECT_EQ(m.health, i % 3);  // the dead are moved but stay dead
        EXPECT_NE(m.step_x, m.step_z);
        EXPECT_TRUE(abs(m.step_x) <= 1 && abs(m.step_z) <= 1);
    }

    // No spawn point: far below every floor, and never entered for drawing.
    plane.triangles[0].e[TRIANGLE_KIND] = 0;
    build_scene();
    place_monsters();
    project_sprites();
    for (int i = 0; i < 20; i++) {
        EXPECT_EQ(monsters[1][i].y, MONSTER_EXILE_Y);
        for (int k = depth_low; k <= depth_high; k++)
            EXPECT_NE(depth_buckets[k], BUCKET_MONSTER_BASE + i);
    }
}

}  // namespace
