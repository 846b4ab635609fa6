// The camera, the view rules and the per-frame transform of the scene vertices.
#include <cmath>

#include "tests/render_fixture.h"

namespace {

class ViewTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        view_vertices.reserve(64);  // the references handed out below must stay valid
    }

    // A referenced scene vertex whose view position, with the focus at camera_*, is (X, Y, Z).
    static ViewVertex &vertex_in_view(float X, float Y, float Z, int motion = MOTION_NONE)
    {
        // Solve camera_matrix * d = view + eye offset for d, then undo the focus.
        const float *m = camera_matrix;
        double r[3] = {X + eye_offset_x, Y + eye_offset_y, Z + eye_offset_z};
        double det = m[0] * (m[4] * m[8] - m[7] * m[5]) - m[3] * (m[1] * m[8] - m[7] * m[2]) +
                     m[6] * (m[1] * m[5] - m[4] * m[2]);
        double d[3];
        for (int k = 0; k < 3; k++) {
            double c[9] = {m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]};
            c[3 * k] = r[0], c[3 * k + 1] = r[1], c[3 * k + 2] = r[2];
            d[k] = (c[0] * (c[4] * c[8] - c[7] * c[5]) - c[3] * (c[1] * c[8] - c[7] * c[2]) +
                    c[6] * (c[1] * c[5] - c[4] * c[2])) / det;
        }
        ViewVertex v = {};
        v.world_x = (float)(d[0] + camera_x);
        v.world_y = v.rest_y = (float)(d[1] + camera_y);
        v.world_z = (float)(d[2] + camera_z);
        apply_camera_matrix(v.world_x, v.world_y, v.world_z, &v.cam_x, &v.cam_y, &v.cam_z);
        v.referenced = 1;
        v.motion = motion;
        view_vertices.push_back(v);
        return view_vertices.back();
    }

    // The same for a wanted screen position at view depth Z.
    static ViewVertex &vertex_on_screen(float sx, float sy, float Z)
    {
        return vertex_in_view((sx - 320) * Z / 400, (sy - 240 - 24) * Z / 400, Z);
    }
};

TEST_F(ViewTest, RotationTurnsAboutZThenXThenY)
{
    float x, y, z;
    rotate_point(0, 0, 7, 45, 0, 0, &x, &y, &z);
    EXPECT_NEAR(y, -4.9497, 1e-4);
    EXPECT_NEAR(z, 4.9497, 1e-4);
    rotate_point(1, 0, 0, 90, 0, 90, &x, &y, &z);  // z first: (0, 1, 0), then x: (0, 0, 1)
    EXPECT_NEAR(x, 0, 1e-5);
    EXPECT_NEAR(z, 1, 1e-5);
    rotate_point(0, 1, 0, 90, 90, 0, &x, &y, &z);  // x first: (0, 0, 1), then y: (1, 0, 0)
    EXPECT_NEAR(x, 1, 1e-5);
    EXPECT_NEAR(z, 0, 1e-5);
    // Degrees convert with 3.141592, not pi: half a turn leaves a trace of sine.
    rotate_point(1, 0, 0, 0, 0, 180, &x, &y, &z);
    EXPECT_NEAR(y, sin(3.141592), 1e-10);
}

TEST_F(ViewTest, CameraMatrixAndTheFocus)
{
    const float expected[9] = {-7, 0, 0, 0, 3.9598f, 3.9598f, 0, -4.9497f, 4.9497f};
    for (int i = 0; i < 9; i++)
        EXPECT_NEAR(camera_matrix[i], expected[i], 1e-4) << i;

    camera_x = 12.5f, camera_y = 3, camera_z = -40;
    float vx, vy, vz, sx, sy;
    view_transform(12.5f, 3, -40, &vx, &vy, &vz);
    EXPECT_FLOAT_EQ(vz, -55);
    project_point(vx, vy, vz, &sx, &sy);
    EXPECT_FLOAT_EQ(sx, 320);
    EXPECT_NEAR(sy, 231.2727, 1e-3);

    view_transform(12.5f, 3, -30, &vx, &vy, &vz);  // 10 units toward the viewer
    EXPECT_NEAR(vz, -5.503, 1e-3);
    view_transform(12.5f, 3, -50, &vx, &vy, &vz);  // 10 units away
    EXPECT_NEAR(vz, -104.497, 1e-3);
}

TEST_F(ViewTest, VertexAtTheFocus)
{
    camera_x = 3, camera_y = 1, camera_z = -7;
    ViewVertex v = {};
    v.world_x = 3, v.world_y = v.rest_y = 1, v.world_z = -7;
    apply_camera_matrix(3, 1, -7, &v.cam_x, &v.cam_y, &v.cam_z);
    v.referenced = 1;
    view_vertices.push_back(v);
    transform_scene();
    const ViewVertex &w = view_vertices[0];
    EXPECT_FLOAT_EQ(w.view_depth, -55);
    EXPECT_FLOAT_EQ(w.screen_x, 320);
    EXPECT_NEAR(w.screen_y, 231.2727, 1e-3);
    EXPECT_EQ(w.hidden, 0);
    EXPECT_FLOAT_EQ(w.depth_key, 4125);
}

TEST_F(ViewTest, ProjectionWindowBounds)
{
    // Sides 160 pixels beyond the screen, top 20 rows inside it, bottom on the last row.
    const float inside[][2] = {{-159, 200}, {799, 200}, {320, 21}, {320, 479}};
    const float outside[][2] = {{-161, 200}, {801, 200}, {320, 19}, {320, 481}};
    for (auto &p : inside)
        vertex_on_screen(p[0], p[1], -60);
    for (auto &p : outside)
        vertex_on_screen(p[0], p[1], -60);
    transform_scene();
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(view_vertices[i].hidden, i >= 4) << i;
}

TEST_F(ViewTest, EyePlaneAndBehind)
{
    ViewVertex &on_plane = vertex_in_view(0.01f, 0, 0);
    on_plane.cam_z = 55;  // exactly on the eye plane
    ViewVertex &behind = vertex_in_view(0, 0, 3);
    behind.depth_key = 99;
    transform_scene();
    const ViewVertex &a = view_vertices[0], &b = view_vertices[1];
    EXPECT_EQ(a.view_depth, 0);
    EXPECT_EQ(a.hidden, 0);
    EXPECT_FLOAT_EQ(a.depth_key, 7.5f);
    EXPECT_NEAR(a.screen_x, 320 - 40, 0.01);  // projected as if 0.1 in front
    EXPECT_EQ(b.hidden, 1);
    EXPECT_GT(b.view_depth, 0);
    EXPECT_EQ(b.depth_key, 99);  // keeps the key of its last visible frame
}

TEST_F(ViewTest, RippleRings)
{
    frames_last_tick = 8;
    ViewVertex &centre = vertex_in_view(0, 0, -50, MOTION_RIPPLE);
    centre.world_x = 0, centre.world_z = 3;
    ViewVertex &rim = vertex_in_view(0, 0, -50, MOTION_RIPPLE);
    rim.world_x = 20, rim.world_z = 3;
    ViewVertex &outer = vertex_in_view(0, 0, -50, MOTION_RIPPLE);
    outer.world_x = 30, outer.world_z = 3;
    for (ViewVertex &v : view_vertices)
        v.rest_y = v.world_y = 2;

    transform_scene();  // start of a tick: the centre rests
    EXPECT_FLOAT_EQ(view_vertices[0].world_y, 2);
    EXPECT_FLOAT_EQ(view_vertices[0].view_depth, -50);

    tick_frame_count = 1;  // a quarter turn: the centre is at the top of its wave
    transform_scene();
    EXPECT_NEAR(view_vertices[0].world_y, 2.2, 1e-5);
    EXPECT_NEAR(view_vertices[0].view_depth, -50 + 0.2 * 3.9598, 1e-4);
    EXPECT_FLOAT_EQ(view_vertices[1].world_y, 2);  // the rim never moves
    // Beyond the rim: half the amplitude, the sign turned, the distance term in radians.
    double phase = 1 * (3.141592 / 180) / 8 * 720;
    EXPECT_NEAR(view_vertices[2].world_y, 2 - 0.1 * sin(phase + 30.0 / 4 * 360), 1e-5);
}

TEST_F(ViewTest, SwayKeepsHeightAndZeroTickCountIsSafe)
{
    ViewVertex &still = vertex_in_view(0, 0, -50);
    ViewVertex &sway = vertex_in_view(0, 0, -50, MOTION_SWAY);
    still.world_y = still.rest_y = sway.world_y = sway.rest_y = 0;
    frames_last_tick = 0;  // no tick completed yet
    tick_frame_count = 3;
    transform_scene();
    const ViewVertex &a = view_vertices[0], &b = view_vertices[1];
    EXPECT_TRUE(std::isfinite(b.screen_x));
    EXPECT_FLOAT_EQ(b.world_y, 0);
    // Three frames of a one-frame tick: 2160 degrees, so cos 1, sin 0: pushed 0.1 along x.
    EXPECT_NEAR(b.screen_x - a.screen_x, -0.7 / -50 * 400, 1e-2);
    EXPECT_NEAR(b.view_depth, a.view_depth, 1e-3);
}

TEST_F(ViewTest, UnreferencedVerticesAreLeftAlone)
{
    ViewVertex &v = vertex_in_view(0, 0, -50);
    v.referenced = 0;
    v.screen_x = 12345;
    v.hidden = 7;
    transform_scene();
    EXPECT_EQ(view_vertices[0].screen_x, 12345);
    EXPECT_EQ(view_vertices[0].hidden, 7);
}

}  // namespace
