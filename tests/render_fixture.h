// Shared set-up for the renderer and scene tests: the 640 x 480 view with the focus at the
// origin, empty scene arrays and buckets, and small maps built in memory.
#pragma once

#include <cstring>
#include <vector>

#include "game/player.h"
#include "game/scene.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tests/headless.h"

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_screen_globals(GAME_WIDTH, GAME_HEIGHT);
        set_view_constants();
        init_camera();
        camera_x = camera_y = camera_z = player_x = player_y = player_z = 0;
        view_vertices.clear();
        view_triangles.clear();
        for (int p = 0; p < 40; p++)
            planes[p].active = 0;
        plane_last = -1;
        memset(depth_buckets, 0, sizeof(depth_buckets));
        depth_range = depth_low = DEPTH_BUCKETS - 1;
        depth_high = 0;
        current_map = 1;
        monster_counts[1] = 0;
        memset(map_items, 0, sizeof(map_items));
        memset(inventory, 0, sizeof(inventory));
        memset(map_cleared, 0, sizeof(map_cleared));
        memset(sprite_frames, 0, sizeof(sprite_frames));
        memset(object_bitmaps, 0, sizeof(object_bitmaps));
        ground_reached = 0;
        tick_frame_count = 0, frames_last_tick = 6;
        wave_center_x = 0, wave_center_z = 3, wave_amplitude = 0.2f, wave_radius = 20;
        texture_scroll = 0;
        player_anim_state = player_facing = 0, player_anim_frame = 0;
        clear_to_color(back_buffer, 0);
    }
    void TearDown() override { SetUp(); }

    // Bitmaps made by tests stay alive and reachable to the end of the run (the list itself
    // is never destroyed, so the leak check at exit still sees them).
    static BITMAP *keep(BITMAP *bmp)
    {
        static std::vector<BITMAP *> *kept = new std::vector<BITMAP *>;
        kept->push_back(bmp);
        return bmp;
    }
    static BITMAP *solid(int r, int g, int b, int size = SPRITE_SIZE)
    {
        BITMAP *bmp = keep(create_bitmap(size, size));
        clear_to_color(bmp, makecol(r, g, b));
        return bmp;
    }

    // Plane p, emptied and made part of the map.
    static Plane &open_plane(int p)
    {
        Plane &plane = planes[p];
        plane.active = 1;
        plane.origin_x = plane.origin_y = plane.origin_z = 0;
        plane.last_vertex = plane.last_triangle = -1;
        if (p > plane_last)
            plane_last = (s16)p;
        return plane;
    }
    static int add_vertex(Plane &plane, float x, float y, float z)
    {
        PlaneVertex &v = plane.vertices[++plane.last_vertex];
        v = PlaneVertex();
        v.e[3] = x, v.e[4] = y, v.e[5] = z;
        return plane.last_vertex;
    }
    // Drawn with `cell`, or, when null, with the cell the scene build paints from its slot.
    static int add_triangle(Plane &plane, int a, int b, int c, int kind = 0, BITMAP *cell = NULL,
                            int transparency = 0)
    {
        int t = ++plane.last_triangle;
        PlaneTriangle &tri = plane.triangles[t];
        tri = PlaneTriangle();
        tri.e[0] = (s16)a, tri.e[1] = (s16)b, tri.e[2] = (s16)c;
        tri.e[TRIANGLE_KIND] = (s16)kind;
        tri.e[TRIANGLE_TRANSPARENCY] = (s16)transparency;
        const s16 uvs[6] = {0, 0, 0, 15, 15, 15};
        memcpy(plane.triangle_uvs[t], uvs, sizeof(uvs));
        if (plane.triangle_shadow_state[t] != 0)
            keep(plane.triangle_shadow[t]);
        plane.triangle_shadow[t] = cell;
        plane.triangle_shadow_state[t] = cell ? 2 : 0;
        return t;
    }
    // A floor square, centre (x, z), half side h, at height y, both triangles facing the camera.
    static void add_square(Plane &plane, float x, float y, float z, float h, int kind = 0,
                           BITMAP *cell = NULL, int transparency = 0)
    {
        int a = add_vertex(plane, x - h, y, z - h), b = add_vertex(plane, x - h, y, z + h);
        int c = add_vertex(plane, x + h, y, z + h), d = add_vertex(plane, x + h, y, z - h);
        add_triangle(plane, a, b, c, kind, cell, transparency);
        add_triangle(plane, a, c, d, kind, cell, transparency);
    }

    static void render_pass() { main_loop_pass(PICTURE_STEPS); }
    static void screen_of(float x, float y, float z, int *sx, int *sy)
    {
        float vx, vy, vz, fx, fy;
        view_transform(x, y, z, &vx, &vy, &vz);
        project_point(vx, vy, vz, &fx, &fy);
        *sx = (int)fx, *sy = (int)fy;
    }
};
