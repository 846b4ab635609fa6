// The hero: floor maps, movement, shooting and the camera follow.
#include "game/player.h"

#include <cmath>

#include "game/scene.h"
#include "render/ordering.h"

BITMAP *height_map;
BITMAP *kind_map;
BITMAP *paint_scratch;

s16 player_facing;
s16 player_anim_state;
float player_anim_frame;
double next_shot_time;
s32 hurt_flash;
float hurt_flash_level;
uint8_t ground_reached;
uint8_t bow_ready;

static const float STEP_PER_FRAME = 0.16f;
static const float FLOOR_REACH = 1.5f;  // a floor this far above or below the feet is not floor
static const float PAINT_RADIUS = 5;    // triangles whose centroid is farther are left out
static const float ARROW_RANGE = 10;
static const float ARROW_RISE = 1.5f;
// Far below one frame's advance of the game clock at any rate the game meets, far above
// the rounding of the clock's sums: an arrow due on this frame is not put off to the next.
static const double SHOT_MARGIN = 1e-7;

s32 fade_flash(s32 flash, float *level, float scale)
{
    // A flash set anew (or by hand) starts again from its whole value.
    if ((s32)*level != flash)
        *level = (float)flash;
    *level *= std::pow(0.5f, scale);
    return (s32)*level;
}

int floor_map_pixel(BITMAP *map, float column, float row)
{
    // Anything this far out is outside the map; it must not reach the int conversion.
    if (!(std::fabs(column) < 1e6f && std::fabs(row) < 1e6f))
        return -1;
    return getpixel(map, (int)column, (int)row);
}

static float map_column(float x, float px)
{
    return (x - px + 8) * FLOOR_MAP_SCALE;
}

// Lowers lo and raises hi to the truncated coordinate, kept within a pixel or two of the
// map: the scan below reads only pixels inside it, and nothing outside can be floor.
static void widen_box(float coordinate, int *lo, int *hi)
{
    float c = coordinate < -2 ? -2 : coordinate > FLOOR_MAP_SIZE + 2 ? FLOOR_MAP_SIZE + 2 : coordinate;
    if (c < *lo)
        *lo = (int)c;
    if (c > *hi)
        *hi = (int)c;
}

static bool is_floor_now(const ViewTriangle &t)
{
    if (t.wall)
        return false;
    if (t.cleared_floor && ground_reached && !map_cleared[current_map])
        return false;
    if (t.gated_floor && ground_reached && (map_group < 0 || map_group >= INVENTORY_SLOTS || !inventory[map_group]))
        return false;
    return true;
}

static void paint_triangle(const ViewTriangle &t, float px, float py, float pz, int white)
{
    const ViewVertex *v[3];
    for (int i = 0; i < 3; i++) {
        if (t.vertex[i] < 0 || (size_t)t.vertex[i] >= view_vertices.size())
            return;
        v[i] = &view_vertices[t.vertex[i]];
    }
    float cx = (v[0]->world_x + v[1]->world_x + v[2]->world_x) / 3;
    float cz = (v[0]->world_z + v[1]->world_z + v[2]->world_z) / 3;
    float top = v[0]->world_y;
    for (int i = 1; i < 3; i++)
        if (v[i]->world_y > top)
            top = v[i]->world_y;
    if (!(cx - px > -PAINT_RADIUS && cx - px < PAINT_RADIUS && cz - pz > -PAINT_RADIUS && cz - pz < PAINT_RADIUS))
        return;
    if (!(top - py > -FLOOR_REACH && top - py < FLOOR_REACH))
        return;

    int colour = (int)((top - py + 2) * 256);
    V3D_f corner[3];
    int min_col = FLOOR_MAP_SIZE, min_row = FLOOR_MAP_SIZE, max_col = -1, max_row = -1;
    for (int i = 0; i < 3; i++) {
        corner[i].x = map_column(v[i]->world_x, px);
        corner[i].y = map_column(v[i]->world_z, pz);
        corner[i].z = 1;
        corner[i].u = corner[i].v = 0;
        corner[i].c = i == 0 ? colour : 0;
        widen_box(corner[i].x, &min_col, &max_col);
        widen_box(corner[i].y, &min_row, &max_row);
    }
    if (min_col < 0)
        min_col = 0;
    if (min_row < 0)
        min_row = 0;
    if (max_col > FLOOR_MAP_SIZE - 1)
        max_col = FLOOR_MAP_SIZE - 1;
    if (max_row > FLOOR_MAP_SIZE - 1)
        max_row = FLOOR_MAP_SIZE - 1;
    if (min_col > max_col || min_row > max_row)
        return;

    // Only the box is read back, so only the box needs clearing.
    rectfill(paint_scratch, min_col, min_row, max_col, max_row, 0);
    triangle3d_f(paint_scratch, POLYTYPE_FLAT, NULL, &corner[0], &corner[1], &corner[2]);

    bool ordinary = !t.cleared_floor && !t.gated_floor;
    for (int col = min_col; col <= max_col; col++) {
        for (int row = min_row; row <= max_row; row++) {
            int s = getpixel(paint_scratch, col, row);
            int h = getpixel(height_map, col, row);
            if (h == white)
                h = 0;
            if (s > 0 && h < s) {
                if (ordinary && col == FLOOR_MAP_CENTER && row == FLOOR_MAP_CENTER)
                    ground_reached = 1;
                putpixel(height_map, col, row, s);
                putpixel(kind_map, col, row, t.kind);
            }
        }
    }
}

void paint_floor_maps(float px, float py, float pz)
{
    int white = makecol(255, 255, 255);
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    clear_to_color(height_map, white);
    clear_to_color(kind_map, 0);
    int high = depth_high < DEPTH_BUCKETS ? depth_high : DEPTH_BUCKETS - 1;
    int low = depth_low > 0 ? depth_low : 0;
    for (int n = high; n >= low; n--) {
        int code = depth_buckets[n];
        if (code < BUCKET_TRIANGLE_BASE)
            continue;
        size_t t = code - BUCKET_TRIANGLE_BASE;
        if (t < view_triangles.size() && is_floor_now(view_triangles[t]))
            paint_triangle(view_triangles[t], px, py, pz, white);
    }
}

static void wrap_anim(float *frame)
{
    while (*frame > 6)
        *frame -= 6;
}

// Drops the move along z when the floor ahead of it is blocked.
static int probe_vertical(int dz, float step, int white)
{
    for (int i = (int)-step; i < step; i++)
        if (floor_map_pixel(height_map, FLOOR_MAP_CENTER, FLOOR_MAP_CENTER + dz * step * 8 + i) == white)
            return 0;
    return dz;
}

static int probe_horizontal(int dx, int dz, float step, int white)
{
    for (int i = (int)-step; i <= step; i++)
        if (floor_map_pixel(height_map, FLOOR_MAP_CENTER + dx * step * 8 + i, FLOOR_MAP_CENTER + dz * step * 8) == white)
            return 0;
    return dx;
}

static bool diagonal_free(int dx, int dz, float step, int white)
{
    for (int i = (int)-step; i <= step; i++)
        for (int j = (int)-step; j < step; j++)
            if (floor_map_pixel(height_map, FLOOR_MAP_CENTER + dx * step * 8 + i,
                                FLOOR_MAP_CENTER + dz * step * 8 + j) == white)
                return false;
    return true;
}

// The slot for a new arrow: the first free one, else the arrow nearest its target (the
// next to settle anyway). A pick-up's slot is never taken: -1 when only pick-ups are left.
static int arrow_slot()
{
    int best = -1;
    float best_left = 0;
    for (int k = 0; k < MAP_ITEM_SLOTS; k++) {
        const MapItem &it = map_items[k];
        if (!it.present)
            return k;
        if (it.type < ARROW_TYPE_BASE)
            continue;
        float dx = it.target_x - it.x, dy = it.target_y - it.y, dz = it.target_z - it.z;
        float left = dx * dx + dy * dy + dz * dz;
        if (best < 0 || left < best_left) {
            best = k;
            best_left = left;
        }
    }
    return best;
}

static void shoot_arrow()
{
    int slot = arrow_slot();
    if (slot < 0)
        return;
    player_anim_frame = 0;
    player_anim_state = 2;
    // The rhythm holds at any frame rate: the next arrow is due one interval after this one
    // was due, unless SPACE was let go for longer than that.
    if (game_clock - next_shot_time < SHOT_INTERVAL)
        next_shot_time += SHOT_INTERVAL;
    else
        next_shot_time = game_clock + SHOT_INTERVAL;

    MapItem &a = map_items[slot];
    a.present = 1;
    a.x = player_x;
    a.y = player_y + ARROW_RISE;
    a.z = player_z;
    a.type = ARROW_TYPE_BASE + player_facing;
    a.target_x = a.x;
    a.target_y = a.y;
    a.target_z = a.z;
    switch (player_facing) {
    case FACING_UP: a.target_z -= ARROW_RANGE; break;
    case FACING_DOWN: a.target_z += ARROW_RANGE; break;
    case FACING_LEFT: a.target_x -= ARROW_RANGE; break;
    case FACING_RIGHT: a.target_x += ARROW_RANGE; break;
    }
}

void update_player()
{
    float step = STEP_PER_FRAME * time_scale;
    int white = makecol(255, 255, 255);
    paint_floor_maps(player_x, player_y, player_z);

    // The later key wins when both of a pair are held.
    int dz = 0;
    if (key[KEY_UP])
        dz = -1;
    if (key[KEY_DOWN])
        dz = 1;
    if (dz)
        dz = probe_vertical(dz, step, white);

    int dx = 0;
    if (key[KEY_LEFT])
        dx = -1;
    if (key[KEY_RIGHT])
        dx = 1;
    if (dx)
        dx = probe_horizontal(dx, dz, step, white);

    if (dx && dz && !diagonal_free(dx, dz, step, white))
        dx = dz = 0;

    // With no key held this reads the hero's own pixel, so he follows the floor under him.
    int v = floor_map_pixel(height_map, FLOOR_MAP_CENTER + dx * step * 8, FLOOR_MAP_CENTER + dz * step * 8);
    if (v < white) {
        float d = floor_height(v);
        if (d > -FLOOR_REACH && d < FLOOR_REACH) {
            player_y += d;
            player_x += dx * step;
            player_z += dz * step;
        }
    }

    if (dx || dz) {
        player_anim_frame += 2 * step;
        wrap_anim(&player_anim_frame);
        if (dz < 0)
            player_facing = FACING_UP;
        if (dz > 0)
            player_facing = FACING_DOWN;
        if (dx < 0)
            player_facing = FACING_LEFT;
        if (dx > 0)
            player_facing = FACING_RIGHT;
        player_anim_state = 1;
    } else if (player_anim_state != 2) {
        player_anim_state = 0;
        player_anim_frame += 1.5f * step;
        wrap_anim(&player_anim_frame);
    }

    camera_target_x = player_x;
    camera_target_y = player_y;
    camera_target_z = player_z;

    if (hurt_flash > 0)
        hurt_flash = fade_flash(hurt_flash, &hurt_flash_level, time_scale);

    if (!key[KEY_SPACE])
        bow_ready = 1;
    if (key[KEY_SPACE] && bow_ready && next_shot_time < game_clock + SHOT_MARGIN)
        shoot_arrow();

    if (player_anim_state == 2) {
        player_anim_frame += 4 * step;
        if (player_anim_frame > 6) {
            player_anim_state = 0;
            player_anim_frame = 0;
        }
    }
}

void follow_camera()
{
    camera_x += (camera_target_x - camera_x) * 0.09f * time_scale;
    camera_y += (camera_target_y - camera_y) * 0.09f * time_scale;
    camera_z += (camera_target_z - camera_z) * 0.09f * time_scale;
}

void prune_map()
{
    int last_plane = plane_last < MAX_PLANES ? plane_last : MAX_PLANES - 1;
    for (int p = 0; p <= last_plane; p++) {
        Plane &plane = planes[p];
        int last_triangle = plane.last_triangle < MAX_PLANE_TRIANGLES ? plane.last_triangle : MAX_PLANE_TRIANGLES - 1;
        for (int t = 0; t <= last_triangle; t++)
            if (plane.triangles[t].e[TRIANGLE_DRAWN] == 0)
                plane.triangles[t].e[TRIANGLE_INCLUDE] = 2;
        int last_vertex = plane.last_vertex < MAX_PLANE_VERTICES ? plane.last_vertex : MAX_PLANE_VERTICES - 1;
        for (int v = 0; v <= last_vertex; v++)
            if (plane.vertices[v].e[VERTEX_DRAWN] == 0)
                plane.vertices[v].e[VERTEX_SKIP] = 1.0f;
    }
}
