// Monster behaviour: wandering, turning when blocked, contact damage.
#include "game/monsters.h"

#include <cmath>
#include <cstdlib>

#include "game/floormap.h"
#include "game/player.h"

double contact_damage_carry;

void draw_heading(Monster &m)
{
    m.step_x = rand() % 3 - 1;
    do
        m.step_z = rand() % 3 - 1;
    while (m.step_z == m.step_x);
}

float monster_kind_speed(int kind)
{
    return kind >= 0 && kind < MONSTER_KINDS ? monster_kinds[kind].speed : 0;
}

static void update_monster(Monster &m, float step, int white)
{
    map_cleared[current_map] = 0;
    m.state = 1;
    m.anim_time += 2 * step;
    while (m.anim_time > 6)
        m.anim_time -= 6;

    if (!(m.y > player_y - LEVEL_REACH && m.y < player_y + LEVEL_REACH))
        return;

    float vx = m.step_x * monster_kind_speed(m.kind);
    float vz = m.step_z * monster_kind_speed(m.kind);
    if (vz < 0)
        m.facing = FACING_UP;
    if (vz > 0)
        m.facing = FACING_DOWN;
    if (vx < 0)
        m.facing = FACING_LEFT;
    if (vx > 0)
        m.facing = FACING_RIGHT;

    // The pixels ahead of it, never the one it stands on: at a high frame rate a move stays
    // inside that pixel, and a demon judging by it walks into a wall's edge and, once the
    // hero's steps shift the map under it, stands in the wall turning for good.
    float column = (m.x - floor_map_x) * FLOOR_MAP_SCALE + FLOOR_MAP_CENTER;
    float row = (m.z - floor_map_z) * FLOOR_MAP_SCALE + FLOOR_MAP_CENTER;
    float mc = vx * step * FLOOR_MAP_SCALE, mr = vz * step * FLOOR_MAP_SCALE;
    FloorAhead ahead = floor_ahead(column, row, mc, mr, white);
    int v = ahead == FLOOR_OPEN ? floor_map_pixel(height_map, floor_target(column, mc), floor_target(row, mr)) : -1;
    if (ahead == FLOOR_BLOCKED || v == white) {
        draw_heading(m);
    } else if (v >= 0 && v < white) {
        float d = floor_height(v);
        if (d > -FLOOR_REACH && d < FLOOR_REACH) {
            m.x += vx * step;
            m.z += vz * step;
            // The floor map holds heights relative to the point it was painted around, so
            // this is the floor under the monster: it walks up and down steps without
            // drifting, even in the pass the hero steps off a dais.
            m.y = floor_map_y + d;
        }
    }

    if (m.flash > 0)
        m.flash = (s16)fade_flash(m.flash, &m.flash_level, time_scale);

    float ex = m.x - player_x, ey = m.y - player_y, ez = m.z - player_z;
    if (std::sqrt(ex * ex + ey * ey + ez * ez) < CONTACT_REACH) {
        m.state = 2;
        if (m.anim_time < 2) {
            hurt_flash = 255;
            // The damage of a frame at time_scale 1, scaled to this frame's share of it.
            double owed = m.damage * (double)time_scale + contact_damage_carry;
            s32 whole = (s32)owed;
            contact_damage_carry = owed - whole;
            player_health -= whole;
            if (player_health > HEALTH_CAP)
                player_health = HEALTH_CAP;
        }
    }
}

void update_monsters()
{
    map_cleared[current_map] = 1;
    float step = STEP_PER_FRAME * time_scale;
    int white = makecol(255, 255, 255);
    for (int j = 0; j < current_monster_count(); j++)
        if (monsters[current_map][j].health > 0)
            update_monster(monsters[current_map][j], step, white);
}
