// The fixed camera: its matrix, the view transform and the projection.
#include "render/camera.h"

#include <cmath>

#include "shell/video.h"

void rotate_point(float x, float y, float z, float angle_x, float angle_y, float angle_z,
                  float *out_x, float *out_y, float *out_z)
{
    double a = angle_x * DEG_TO_RAD, b = angle_y * DEG_TO_RAD, c = angle_z * DEG_TO_RAD;

    // z first, then x, then y; every intermediate is kept as a float.
    float x1 = (float)(x * cos(c) - y * sin(c));
    float y1 = (float)(x * sin(c) + y * cos(c));
    float z1 = z;

    float y2 = (float)(y1 * cos(a) - z1 * sin(a));
    float z2 = (float)(y1 * sin(a) + z1 * cos(a));
    float x2 = x1;

    float z3 = (float)(z2 * cos(b) - x2 * sin(b));
    float x3 = (float)(z2 * sin(b) + x2 * cos(b));

    *out_x = x3;
    *out_y = y2;
    *out_z = z3;
}

void init_camera()
{
    float a = view_scale;
    float *m = camera_matrix;
    // The x axis is mirrored and the height squashed to 0.8: the matrix is not a pure rotation.
    rotate_point(-a, 0, 0, camera_angle_x, camera_angle_y, camera_angle_z, &m[0], &m[1], &m[2]);
    rotate_point(0, 0.8f * a, 0, camera_angle_x, camera_angle_y, camera_angle_z, &m[3], &m[4], &m[5]);
    rotate_point(0, 0, a, camera_angle_x, camera_angle_y, camera_angle_z, &m[6], &m[7], &m[8]);
}

void apply_camera_matrix(float x, float y, float z, float *cx, float *cy, float *cz)
{
    const float *m = camera_matrix;
    *cx = x * m[0] + y * m[3] + z * m[6];
    *cy = x * m[1] + y * m[4] + z * m[7];
    *cz = x * m[2] + y * m[5] + z * m[8];
}

void view_transform(float x, float y, float z, float *vx, float *vy, float *vz)
{
    apply_camera_matrix(x - camera_x, y - camera_y, z - camera_z, vx, vy, vz);
    *vx -= eye_offset_x;
    *vy -= eye_offset_y;
    *vz -= eye_offset_z;
}

void project_point(float vx, float vy, float vz, float *sx, float *sy)
{
    *sx = screen_half_width + vx / vz * focal_x;
    *sy = screen_half_height + vy / vz * focal_y - view_y_shift;
}

// The focus eases toward the target the hero sets as he moves.
void follow_camera()
{
    camera_x += (camera_target_x - camera_x) * CAMERA_EASE * time_scale;
    camera_y += (camera_target_y - camera_y) * CAMERA_EASE * time_scale;
    camera_z += (camera_target_z - camera_z) * CAMERA_EASE * time_scale;
}
