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

static bool open_ahead(float column, float row, float dc, float dr, int white)
{
    return floor_ahead(column, row, dc, dr, white) == FLOOR_OPEN;
}

// Walks the hero up to `step` units along the held keys, one floor-map pixel at a time from
// his own: a frame of any length meets a wall as a run of short ones does, and ends within
// a pixel of it. Each pixel is judged as its own move: along z first; then along x, which
// must be open on his row and, when he also moves along z, on the row that leads to, so a
// blocked axis is dropped and the free one kept, and no wall's corner is cut. The floor he
// ends on gives his height; with no move, the floor under him.
static void walk_hero(int want_x, int want_z, float step, int white, int *moved_x, int *moved_z)
{
    float left = step * FLOOR_MAP_SCALE;
    float gone_x = 0, gone_z = 0;  // pixels walked: whole ones, then the last part, all exact
    int v = floor_map_pixel(height_map, FLOOR_MAP_CENTER, FLOOR_MAP_CENTER);
    *moved_x = *moved_z = 0;
    while (left > 0) {
        float part = left < 1 ? left : 1;
        float column = FLOOR_MAP_CENTER + gone_x, row = FLOOR_MAP_CENTER + gone_z;
        int dz = want_z && open_ahead(column, row, 0, want_z * part, white) ? want_z : 0;
        int dx = 0;
        if (want_x && open_ahead(column, row, want_x * part, 0, white) &&
            (!dz || open_ahead(column, row, want_x * part, dz * part, white)))
            dx = want_x;
        if (!dx && !dz)
            break;
        int ahead = floor_map_pixel(height_map, floor_target(column, dx * part), floor_target(row, dz * part));
        float d = floor_height(ahead);
        if (!(ahead < white && d > -FLOOR_REACH && d < FLOOR_REACH))
            break;
        v = ahead;
        gone_x += dx * part;
        gone_z += dz * part;
        *moved_x = dx ? dx : *moved_x;
        *moved_z = dz ? dz : *moved_z;
        left -= part;
    }
    if (v < white) {
        float d = floor_height(v);
        if (d > -FLOOR_REACH && d < FLOOR_REACH) {
            player_y += d;
            player_x += gone_x / FLOOR_MAP_SCALE;
            player_z += gone_z / FLOOR_MAP_SCALE;
        }
    }
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
    a.y = player_y + ITEM_RISE;
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
    int want_x = 0;
    if (key[KEY_LEFT])
        want_x = -1;
    if (key[KEY_RIGHT])
        want_x = 1;
    int dx, dz;
    walk_hero(want_x, want_z, step, white, &dx, &dz);

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
