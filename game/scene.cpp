// Building the scene from the loaded map, and placing its monsters.
#include "game/scene.h"

#include <cstdio>
#include <cstdlib>

#include "game/monsters.h"
#include "game/player.h"
#include "render/camera.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "world/kinds.h"


// The plane's vertices that take part in the scene get their view index and rest position.
static void add_plane_vertices(int p)
{
    Plane &plane = planes[p];
    int last = plane.last_vertex < MAX_PLANE_VERTICES ? plane.last_vertex : MAX_PLANE_VERTICES - 1;
    for (int i = 0; i <= last; i++) {
        PlaneVertex &pv = plane.vertices[i];
        if (pv.e[VERTEX_SKIP] != 0)
            continue;
        ViewVertex v = {};
        v.world_x = pv.e[3] + plane.origin_x;
        v.world_y = pv.e[4] + plane.origin_y;
        v.world_z = pv.e[5] + plane.origin_z;
        v.rest_y = v.world_y;
        apply_camera_matrix(v.world_x, v.world_y, v.world_z, &v.cam_x, &v.cam_y, &v.cam_z);
        v.plane = p;
        v.vertex = i;
        v.motion = MOTION_NONE;
        v.referenced = 0;
        v.hidden = 1;
        pv.e[VERTEX_VIEW_INDEX] = (float)view_vertices.size();
        pv.e[VERTEX_DRAWN] = 0;
        view_vertices.push_back(v);
        plane.view_vertex_count++;
    }
}

// A corner that is out of the plane or left out of the scene holds no valid view index;
// a triangle using one would read past the scene arrays.
static bool corners_in_scene(const Plane &plane, const PlaneTriangle &pt)
{
    for (int c = 0; c < 3; c++) {
        int i = pt.e[c];
        if (i < 0 || i > plane.last_vertex || i >= MAX_PLANE_VERTICES || plane.vertices[i].e[VERTEX_SKIP] != 0)
            return false;
    }
    return true;
}

// Gives the triangle its 16 x 16 cell, painted from its texture slot when the map had none.
static void fill_shadow_cell(Plane &plane, int t, int texture)
{
    if (plane.triangle_shadow_state[t] == 0) {
        plane.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
        if (!plane.triangle_shadow[t])
            return;
        plane.triangle_shadow_state[t] = 1;
    }
    if (plane.triangle_shadow_state[t] == 1) {
        BITMAP *cell = plane.triangle_shadow[t];
        clear_to_color(cell, 0);
        if (texture >= 0 && texture < TEXTURE_SLOTS && texture_slots[texture])
            blit(texture_slots[texture], cell, 0, 0, 0, 0, SHADOW_CELL, SHADOW_CELL);
        plane.triangle_shadow_state[t] = 2;
    }
}

// Set once the scene is full, so that a map too large says so once.
static bool scene_full;

static void add_plane_triangles(int p)
{
    Plane &plane = planes[p];
    int last = plane.last_triangle < MAX_PLANE_TRIANGLES ? plane.last_triangle : MAX_PLANE_TRIANGLES - 1;
    for (int t = 0; t <= last; t++) {
        PlaneTriangle &pt = plane.triangles[t];
        if (pt.e[TRIANGLE_INCLUDE] >= 2 || !corners_in_scene(plane, pt))
            continue;
        if (view_triangles.size() >= MAX_SCENE_TRIANGLES) {
            if (!scene_full)
                fprintf(stderr, "Map %d has more than %d triangles; the rest are left out.\n",
                        current_map, (int)MAX_SCENE_TRIANGLES);
            scene_full = true;
            return;
        }

        ViewTriangle tri = {};
        int kind = pt.e[TRIANGLE_KIND];
        int motion = floor_kind(kind).motion;
        float cx = 0, cy = 0, cz = 0;
        for (int c = 0; c < 3; c++) {
            tri.vertex[c] = (s32)plane.vertices[pt.e[c]].e[VERTEX_VIEW_INDEX];
            ViewVertex &v = view_vertices[tri.vertex[c]];
            tri.tex_u[c] = plane.triangle_uvs[t][2 * c];
            tri.tex_v[c] = plane.triangle_uvs[t][2 * c + 1];
            // The last moving triangle to use a vertex decides how it moves.
            if (motion != MOTION_NONE)
                v.motion = motion;
            v.referenced = 1;
            cx += v.world_x;
            cy += v.world_y;
            cz += v.world_z;
        }
        tri.texture = pt.e[TRIANGLE_TEXTURE];
        tri.plane = p;
        tri.triangle = t;
        tri.wall = pt.e[TRIANGLE_WALL] == 1 ? -1 : 0;
        set_triangle_kind(tri, kind);
        if (kind == KIND_SPAWN && spawn_point_count < MAX_SPAWN_POINTS) {
            float *point = spawn_points[spawn_point_count++];
            point[0] = cx / 3;
            point[1] = cy / 3;
            point[2] = cz / 3;
        }
        pt.e[TRIANGLE_DRAWN] = 0;
        pt.e[TRIANGLE_VIEW_INDEX] = (s16)view_triangles.size();
        fill_shadow_cell(plane, t, tri.texture);
        view_triangles.push_back(tri);
        plane.view_triangle_count++;
    }
}

void build_scene()
{
    view_vertices.clear();
    view_triangles.clear();
    spawn_point_count = 0;
    ground_reached = 0;
    scene_full = false;
    map_group = (s16)map_group_of(current_map);

    int last = plane_last < MAX_PLANES ? plane_last : MAX_PLANES - 1;
    for (int p = 0; p <= last; p++) {
        if (!planes[p].active)
            continue;
        planes[p].view_vertex_count = 0;
        planes[p].view_triangle_count = 0;
        add_plane_vertices(p);
        add_plane_triangles(p);
    }

    // Codes left from the old scene must not be drawn with this one.
    clear_depth_buckets();
}

void place_monsters()
{
    if (current_map < 0 || current_map >= MAP_NUMBERS)
        return;
    for (int i = 0; i < current_monster_count(); i++) {
        Monster &m = monsters[current_map][i];
        if (spawn_point_count > 0) {
            const float *point = spawn_points[rand() % spawn_point_count];
            m.x = point[0];
            m.y = point[1];
            m.z = point[2];
        } else {
            m.x = 0;
            m.y = MONSTER_EXILE_Y;
            m.z = 0;
        }
        draw_heading(m);
    }
}
