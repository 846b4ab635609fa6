// The camera, the view rules and the per-frame transform of the scene vertices.
#include <cmath>

#include "tests/render_fixture.h"

namespace {

class ViewTest : public RenderTest {
protected:
    // A referenced vertex that lands at view position (X, Y, Z) with the focus at the origin.
    static size_t vertex_in_view(float X, float Y, float Z, int motion = MOTION_NONE)
    {
        ViewVertex v = {};
        v.cam_x = X, v.cam_y = Y + eye_offset_y, v.cam_z = Z + eye_offset_z;
        v.referenced = 1;
        v.motion = motion;
        view_vertices.push_back(v);
        return view_vertices.size() - 1;
    }
    static size_t vertex_on_screen(float sx, float sy, float Z)
    {
        return vertex_in_view((sx - 320) * Z / 400, (sy - 264) * Z / 400, Z);
    }
};

TEST_F(ViewTest, RotationOrderAndTheCameraMatrix)
{
    float x, y, z;
    rotate_point(1, 0, 0, 90, 0, 90, &x, &y, &z);  // z first gives (0, 1, 0), then x: (0, 0, 1)
    EXPECT_NEAR(x, 0, 1e-5);
    EXPECT_NEAR(z, 1, 1e-5);
    rotate_point(0, 1, 0, 90, 90, 0, &x, &y, &z);  // x first gives (0, 0, 1), then y: (1, 0, 0)
    EXPECT_NEAR(x, 1, 1e-5);
    rotate_point(1, 0, 0, 0, 0, 180, &x, &y, &z);  // degrees convert with 3.141592, not pi
    EXPECT_NEAR(y, sin(3.141592), 1e-10);

    const float expected[9] = {-7, 0, 0, 0, 3.9598f, 3.9598f, 0, -4.9497f, 4.9497f};
    for (int i = 0; i < 9; i++)
        EXPECT_NEAR(camera_matrix[i], expected[i], 1e-4) << i;
}

TEST_F(ViewTest, TheFocusFromBothPaths)
{
    camera_x = 12.5f, camera_y = 3, camera_z = -40;
    float vx, vy, vz, sx, sy;
    view_transform(12.5f, 3, -40, &vx, &vy, &vz);
    project_point(vx, vy, vz, &sx, &sy);
    EXPECT_FLOAT_EQ(vz, -55);
    EXPECT_FLOAT_EQ(sx, 320);
    EXPECT_NEAR(sy, 231.2727, 1e-3);
    view_transform(12.5f, 3, -30, &vx, &vy, &vz);  // 10 units toward the viewer
    EXPECT_NEAR(vz, -5.503, 1e-3);

    ViewVertex v = {};
    apply_camera_matrix(12.5f, 3, -40, &v.cam_x, &v.cam_y, &v.cam_z);
    v.referenced = 1;
    view_vertices.push_back(v);
    transform_scene();
    const ViewVertex &w = view_vertices[0];
    expect_floats({w.view_depth, w.screen_x, w.depth_key, (float)w.hidden}, {-55, 320, 4125, 0});
    EXPECT_NEAR(w.screen_y, 231.2727, 1e-3);
}

TEST_F(ViewTest, ProjectionWindowEyePlaneAndBehind)
{
    // Sides 160 pixels beyond the screen, top 20 rows inside it, bottom on the last row.
    const float inside[4][2] = {{-159, 200}, {799, 200}, {320, 21}, {320, 479}};
    const float outside[4][2] = {{-161, 200}, {801, 200}, {320, 19}, {320, 481}};
    for (auto &p : inside)
        vertex_on_screen(p[0], p[1], -60);
    for (auto &p : outside)
        vertex_on_screen(p[0], p[1], -60);
    size_t on_plane = vertex_in_view(0.01f, 0, 0);
    size_t behind = vertex_in_view(0, 0, 3);
    view_vertices[behind].depth_key = 99;
    transform_scene();
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(view_vertices[i].hidden, i >= 4) << i;

    const ViewVertex &a = view_vertices[on_plane], &b = view_vertices[behind];
    EXPECT_TRUE(a.view_depth == 0 && a.hidden == 0);
    EXPECT_FLOAT_EQ(a.depth_key, 7.5f);       // projected as if 0.1 in front
    EXPECT_NEAR(a.screen_x, 320 - 40, 0.01);
    EXPECT_EQ(b.hidden, 1);
    EXPECT_EQ(b.depth_key, 99);               // keeps the key of its last visible frame
}

TEST_F(ViewTest, RippleRings)
{
    frames_last_tick = 8;
    const float distance[3] = {0, 20, 30};  // the centre, the rim, beyond the rim
    for (float r : distance) {
        ViewVertex &v = view_vertices[vertex_in_view(0, 0, -50, MOTION_RIPPLE)];
        v.world_x = r, v.world_z = 3, v.world_y = v.rest_y = 2;
    }
    transform_scene();  // the start of a tick: the centre rests
    EXPECT_FLOAT_EQ(view_vertices[0].world_y, 2);
    EXPECT_FLOAT_EQ(view_vertices[0].view_depth, -50);

    tick_frame_count = 1;  // a quarter turn: the centre is at the top of its wave
    transform_scene();
    EXPECT_NEAR(view_vertices[0].world_y, 2.2, 1e-5);
    EXPECT_NEAR(view_vertices[0].view_depth, -50 + 0.2 * 3.9598, 1e-4);
    EXPECT_FLOAT_EQ(view_vertices[1].world_y, 2);
    // Beyond the rim: half the amplitude, the sign turned, the distance term in radians.
    EXPECT_NEAR(view_vertices[2].world_y, 2 - 0.1 * sin(3.141592 / 2 + 30.0 / 4 * 360), 1e-5);
}

TEST_F(ViewTest, SwayAndAZeroFrameCount)
{
    vertex_in_view(0, 0, -50);
    vertex_in_view(0, 0, -50, MOTION_SWAY);
    size_t unused = vertex_in_view(0, 0, -50);
    view_vertices[unused].referenced = 0;
    view_vertices[unused].screen_x = 12345;
    frames_last_tick = 0;  // no tick completed yet
    tick_frame_count = 3;
    transform_scene();
    const ViewVertex &still = view_vertices[0], &sway = view_vertices[1];
    // Three frames of a one-frame tick: 2160 degrees, so cos 1, sin 0: pushed 0.1 along x.
    EXPECT_NEAR(sway.screen_x - still.screen_x, -0.7 / -50 * 400, 1e-2);
    EXPECT_NEAR(sway.view_depth, still.view_depth, 1e-3);
    EXPECT_EQ(sway.world_y, 0);
    EXPECT_EQ(view_vertices[unused].screen_x, 12345);  // unreferenced: left alone
}

}  // namespace
