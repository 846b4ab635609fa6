// Draw ordering: the depth buckets, sprite projection and triangle culling.
#include "render/ordering.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "render/camera.h"

s16 depth_buckets[DEPTH_BUCKETS];
s32 depth_range;
s16 depth_low, depth_high;

s16 player_screen_x, player_screen_y;
float player_sprite_scale;

void place_in_bucket(s32 key, s16 code)
{
    // Probe farther away until a bucket is free; running off the end drops the item.
    for (; key >= 0 && key <= depth_range && key < DEPTH_BUCKETS; key++) {
        if (depth_buckets[key])
            continue;
        depth_buckets[key] = code;
        if (key < depth_low)
            depth_low = (s16)key;
        if (key > depth_high)
            depth_high = (s16)key;
        return;
    }
}

void clear_depth_buckets()
{
    int low = depth_low < 0 ? 0 : depth_low;
    int high = depth_high < DEPTH_BUCKETS ? depth_high : DEPTH_BUCKETS - 1;
    for (int i = low; i <= high; i++)
        depth_buckets[i] = 0;
    depth_low = (s16)depth_range;
    depth_high = 0;
}

// Projects one sprite standing at (x, y, z) and enters it under `code`. The corner
// offsets (a, b) are in sprite pixels at scale 1.
static void project_sprite(float x, float y, float z, int a, int b, s16 code,
                           s16 *corner_x, s16 *corner_y, float *scale)
{
    float vx, vy, vz, sx, sy;
    view_transform(x, y, z, &vx, &vy, &vz);
    if (!(vz < 0)) {
        // On or behind the eye: nothing to project, and the key would be negative anyway.
        *corner_x = *corner_y = 0;
        *scale = 0;
        return;
    }
    project_point(vx, vy, vz, &sx, &sy);
    int x0 = trunc_to_range(sx, SHRT_MIN, SHRT_MAX);
    int y0 = trunc_to_range(sy, SHRT_MIN, SHRT_MAX);

    // The scale is the screen length of one world unit along x at the sprite.
    float ux, uy, uz, usx, usy;
    view_transform(x + 1, y, z, &ux, &uy, &uz);
    project_point(ux, uy, uz, &usx, &usy);
    int x1 = trunc_to_range(usx, SHRT_MIN, SHRT_MAX);

    float s = (float)(abs(x0 - x1) / 22.0);
    *scale = s;
    *corner_x = (s16)trunc_to_range(x0 - trunc_to_range(a * s, 0, INT_MAX / 2), SHRT_MIN, SHRT_MAX);
    *corner_y = (s16)trunc_to_range(y0 - trunc_to_range(b * s, 0, INT_MAX / 2), SHRT_MIN, SHRT_MAX);

    // Sprites count as 400 / 75 view units nearer, so they cover the ground around them.
    s32 key = -trunc_to_range(vz * (float)DEPTH_KEY_SCALE, -INT_MAX / 2, 0) - SPRITE_DEPTH_BIAS;
    place_in_bucket(key, code);
}

void project_sprites()
{
    project_sprite(player_x, player_y, player_z, 24, 46, BUCKET_PLAYER,
                   &player_screen_x, &player_screen_y, &player_sprite_scale);

    if (current_map >= 0 && current_map < MAP_NUMBERS) {
        for (int j = 0; j < current_monster_count(); j++) {
            Monster &m = monsters[current_map][j];
            if (m.health >= 1)
                project_sprite(m.x, m.y, m.z, 24, 46, (s16)(BUCKET_MONSTER_BASE + j),
                               &m.screen_x, &m.screen_y, &m.sprite_scale);
        }
    }

    for (int k = 0; k < MAP_ITEM_SLOTS; k++) {
        MapItem &item = map_items[k];
        if (item.present)
            project_sprite(item.x, item.y, item.z, 8, 8, (s16)(BUCKET_ITEM_BASE + k),
                           &item.screen_x, &item.screen_y, &item.sprite_scale);
    }
}

void sort_scene()
{
    const ViewVertex *vv = view_vertices.data();
    int count = (int)view_triangles.size();
    for (int t = 0; t < count; t++) {
        const ViewTriangle &tri = view_triangles[t];
        const ViewVertex &a = vv[tri.vertex[0]];
        const ViewVertex &b = vv[tri.vertex[1]];
        const ViewVertex &c = vv[tri.vertex[2]];
        // Partly visible triangles are not clipped: they are left out.
        if (a.hidden | b.hidden | c.hidden)
            continue;

        // Visible corners lie inside the projection window, so these casts are in range.
        s32 x0 = (s16)a.screen_x, y0 = (s16)a.screen_y;
        s32 x1 = (s16)b.screen_x, y1 = (s16)b.screen_y;
        s32 x2 = (s16)c.screen_x, y2 = (s16)c.screen_y;
        // Clockwise on the screen faces away; zero area is kept.
        if ((x1 - x0) * (y0 - y2) - (y1 - y0) * (x0 - x2) < 0)
            continue;

        float sum = a.depth_key + b.depth_key;
        sum += c.depth_key;
        place_in_bucket(trunc_to_range(sum, 0, INT_MAX) / 3, (s16)(BUCKET_TRIANGLE_BASE + t));
    }
}
