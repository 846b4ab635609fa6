// Pick-ups and arrows in the map item slots; kills and victory.
#include "game/items.h"

#include <climits>
#include <cmath>

#include "game/monsters.h"
#include "world/upcalls.h"

static const float ITEM_EASE = 0.03f;
static const float SETTLE_DISTANCE = 0.1f;

static bool within(float value, float centre, float reach)
{
    return value > centre - reach && value < centre + reach;
}

static void collect(MapItem &item)
{
    float dx = item.x - player_x, dy = item.y - (player_y + ITEM_RISE), dz = item.z - player_z;
    if (!(std::sqrt(dx * dx + dy * dy + dz * dz) < 1))
        return;
    item.present = 0;
    if (item.placement >= 0 && item.placement < MAX_ITEM_PLACEMENTS)
        item_placements[item.placement].present = 0;
    if (item.type >= 0 && item.type < INVENTORY_SLOTS)
        inventory[item.type] = 1;
    if (item.type == ITEM_HEART) {
        // Kept within range: enough hearts would otherwise overflow the count.
        double health = std::trunc(player_health * HEART_HEALTH_FACTOR);
        player_health = health > INT_MAX ? INT_MAX : (s32)health;
    }
}

static void wound(Monster &m)
{
    m.health -= 2;
    m.flash = 255;
    if (m.health >= 1)
        return;
    int heal = m.max_health / KILL_HEAL_DIVISOR;
    player_health = player_health > INT_MAX - heal ? INT_MAX : player_health + heal;
    monsters_killed++;
    if (monsters_killed == monster_total)
        show_victory_screen();
}

static void fly(MapItem &arrow)
{
    if (within(arrow.x, arrow.target_x, SETTLE_DISTANCE) && within(arrow.y, arrow.target_y, SETTLE_DISTANCE) &&
        within(arrow.z, arrow.target_z, SETTLE_DISTANCE))
        arrow.present = 0;

    // One arrow wounds every monster whose box it is inside this frame.
    for (int j = 0; j < current_monster_count(); j++) {
        Monster &m = monsters[current_map][j];
        if (m.health > 0 && within(arrow.x, m.x, ARROW_HIT_BOX) && within(arrow.y - ITEM_RISE, m.y, ARROW_HIT_BOX) &&
            within(arrow.z, m.z, ARROW_HIT_BOX)) {
            arrow.present = 0;
            wound(m);
        }
    }
}

void update_map_items()
{
    for (int k = 0; k < MAP_ITEM_SLOTS; k++) {
        MapItem &item = map_items[k];
        if (!item.present)
            continue;
        item.x += (item.target_x - item.x) * ITEM_EASE * time_scale;
        item.y += (item.target_y - item.y) * ITEM_EASE * time_scale;
        item.z += (item.target_z - item.z) * ITEM_EASE * time_scale;
        if (item.type < ARROW_TYPE_BASE)
            collect(item);
        else
            fly(item);
    }
}
