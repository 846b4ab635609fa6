// The hero: movement, climbing and shooting.
#include "game/player.h"

#include <cmath>

#include "game/floormap.h"
#include "game/scene.h"
#include "render/ordering.h"

double next_shot_time;
s32 hurt_flash;
float hurt_flash_level;
uint8_t bow_ready;

static const float STEP_PER_FRAME = 0.16f;
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

// A step can end a hair past the corner of a floor, over water or a wall's edge. Standing
// over no floor there, with the floor behind him only across the corner, every probe along
// an axis reads blocked and he could never move again. Then, and only then, a move is
// judged by where it leads: the step back onto the floor is always open.
static void rescue_stranded(int want_x, int want_z, int *dx, int *dz, float step, int white)
{
    if (floor_map_pixel(height_map, FLOOR_MAP_CENTER, FLOOR_MAP_CENTER) != white)
        return;
    if (want_x && want_z && !diagonal_free(want_x, want_z, step, white))
        return;
    *dx = want_x;
    *dz = want_z;
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
    int want_z = 0;
    if (key[KEY_UP])
        want_z = -1;
    if (key[KEY_DOWN])
        want_z = 1;
    int dz = want_z ? probe_vertical(want_z, step, white) : 0;

    int want_x = 0;
    if (key[KEY_LEFT])
        want_x = -1;
    if (key[KEY_RIGHT])
        want_x = 1;
    int dx = want_x ? probe_horizontal(want_x, dz, step, white) : 0;

    if (dx && dz && !diagonal_free(dx, dz, step, white))
        dx = dz = 0;
    if (!dx && !dz && (want_x || want_z))
        rescue_stranded(want_x, want_z, &dx, &dz, step, white);

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
