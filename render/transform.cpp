// Per-frame animation, transform and projection of the scene vertices.
#include "render/transform.h"

#include <cmath>

#include "render/camera.h"
#include "render/ordering.h"
#include "shell/video.h"

float wave_center_x, wave_center_z, wave_amplitude, wave_radius;

void transform_scene()
{
    // The projection window reaches 160 pixels past the sides but starts 20 rows below the
    // top: a corner up there hides its triangle although the point is on the screen.
    float x_min = (float)-(screen_half_width / 2);
    float x_max = (float)(screen_width + screen_half_width / 2);
    float y_min = (float)(screen_height * 10 / 240);
    float y_max = (float)screen_height;

    // The rotation is folded into the stored rest positions; only the focus moves.
    float tx, ty, tz;
    apply_camera_matrix(-camera_x, -camera_y, -camera_z, &tx, &ty, &tz);

    const float *m = camera_matrix;
    // Two full turns per timing tick. Before the first tick completes there is no frame count.
    int frames = frames_last_tick > 0 ? frames_last_tick : 1;
    double phase = (tick_frame_count * DEG_TO_RAD / frames) * 720;
    float half_amplitude = wave_amplitude * 0.5f;

    for (ViewVertex &v : view_vertices) {
        if (!v.referenced)
            continue;
        float ax = 0, ay = 0, az = 0;
        if (v.motion == MOTION_RIPPLE) {
            float dx = v.world_x - wave_center_x, dz = v.world_z - wave_center_z;
            float r = (float)sqrt(dx * dx + dz * dz);
            // The distance term goes to sin as it stands: the rings are meant to be that tight.
            float h = (float)(sin(phase + (r / 4) * 360) * wave_amplitude * (1 - r / wave_radius));
            ax = h * m[3];
            ay = h * m[4];
            az = h * m[5];
            v.world_y = v.rest_y + h;
        } else if (v.motion == MOTION_SWAY) {
            double q = phase + (v.world_y / 4) * 360;
            float u = (float)(cos(q) * half_amplitude);
            float w = (float)(sin(q) * half_amplitude);
            ax = u * m[0] + w * m[6];
            ay = u * m[1] + w * m[7];
            az = u * m[2] + w * m[8];
            v.world_y = v.rest_y;
        }

        // Added in this order so that a vertex at the focus lands exactly on the eye offset.
        float x = v.cam_x + ax + tx - eye_offset_x;
        float y = v.cam_y + ay + ty - eye_offset_y;
        float z = v.cam_z + az + tz - eye_offset_z;
        v.view_depth = z;
        v.hidden = 1;
        if (z == 0)
            z = -0.1f;  // on the eye plane: project as if just in front
        if (z > 0)
            continue;   // behind the eye
        project_point(x, y, z, &v.screen_x, &v.screen_y);
        if (v.screen_x >= x_min && v.screen_x <= x_max && v.screen_y >= y_min && v.screen_y <= y_max) {
            v.depth_key = -z * DEPTH_KEY_SCALE;
            v.hidden = 0;
        }
    }
}
