// The kinds of special floor: one row each, read by the game, the forge and the player.
#include "world/kinds.h"

// Each row: number, name, motion, scroll u and v; floor while, seal open while, written;
// leads, while, to map, arrival record; wears, seal, seal's surface; look, mark, its colour.
const FloorKind floor_kinds[] = {
    {KIND_PLAIN, "floor", MOTION_NONE, 0, 0, OPEN_ALWAYS, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", 0, "", LOOK_SURFACE, "", 0},
    // Water ripples and drifts diagonally; lava sways and runs along v seven times faster.
    {KIND_RIPPLE, "water", MOTION_RIPPLE, 1, 1, OPEN_ALWAYS, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", 0, "", LOOK_SURFACE, "", 0},
    {KIND_SWAY, "lava", MOTION_SWAY, 0, -7, OPEN_ALWAYS, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", 0, "", LOOK_SURFACE, "", 0},
    {KIND_CLEARED_FLOOR, "floor that opens when the map is clean", MOTION_NONE, 0, 0, OPEN_WHEN_CLEAN, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", KIND_CLEARED_SHOW, "barrier", LOOK_CLEARED, "", 0},
    // The seals are drawn by the forge over their floors, and stand as curtains.
    {KIND_CLEARED_SHOW, "barrier", MOTION_NONE, 0, 0, OPEN_ALWAYS, OPEN_WHEN_CLEAN, false,
     false, OPEN_ALWAYS, -1, -1, "barrier", 0, "", LOOK_CLEARED, "", 0},
    {KIND_GATED_FLOOR, "sealed floor", MOTION_NONE, 0, 0, OPEN_WITH_GROUP_ITEM, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", KIND_GATED_SHOW, "seal", LOOK_GROUP_SEAL, "", 0},
    {KIND_GATED_SHOW, "seal", MOTION_NONE, 0, 0, OPEN_ALWAYS, OPEN_WITH_GROUP_ITEM, false,
     false, OPEN_ALWAYS, -1, -1, "seal", 0, "", LOOK_GROUP_SEAL, "", 0},
    {KIND_SPAWN, "spawn point", MOTION_NONE, 0, 0, OPEN_ALWAYS, -1, true,
     false, OPEN_ALWAYS, -1, -1, "", 0, "", LOOK_SURFACE, "x", 0xFF3C3C},
    // The gem gate's seal opens with the map group's item: on maps 900 to 999, the fourth gem.
    {KIND_GEM_GATE, "gem gate", MOTION_NONE, 0, 0, OPEN_ALWAYS, -1, true,
     true, OPEN_WITH_ALL_GEMS, GATE_MAP, GATE_RECORD + GATE_MAP, "gemgate", KIND_GATED_SHOW, "seal-gems", LOOK_GEMS,
     "G", 0xFFFFFF},
    // Every kind from here to MAX_TRIGGERS - 1; map sources write it with exit=.
    {KIND_TRIGGER_BASE, "exit", MOTION_NONE, 0, 0, OPEN_ALWAYS, -1, false,
     true, OPEN_ALWAYS, -1, -1, "trigger", 0, "", LOOK_EXIT, "", 0xFFFFFF},
};
const int floor_kind_count = sizeof(floor_kinds) / sizeof(floor_kinds[0]);

const FloorKind &floor_kind(int kind)
{
    if (kind >= KIND_TRIGGER_BASE && kind < MAX_TRIGGERS)
        return floor_kinds[floor_kind_count - 1];
    for (int i = 0; i < floor_kind_count - 1; i++)
        if (floor_kinds[i].number == kind)
            return floor_kinds[i];
    return floor_kinds[0];
}

const FloorKind &cell_floor_kind(int kind, bool exit)
{
    return exit ? floor_kinds[floor_kind_count - 1] : floor_kind(kind);
}

int last_listed_kind()
{
    int last = 0;
    for (int i = 0; i < floor_kind_count; i++)
        if (floor_kinds[i].number > last && floor_kinds[i].number < KIND_TRIGGER_BASE)
            last = floor_kinds[i].number;
    return last;
}

bool kind_condition_holds(int condition)
{
    switch (condition) {
    case OPEN_WHEN_CLEAN:
        return current_map >= 0 && current_map < MAP_NUMBERS && map_cleared[current_map] != 0;
    case OPEN_WITH_GROUP_ITEM:
        return map_group >= 0 && map_group < INVENTORY_SLOTS && inventory[map_group] != 0;
    case OPEN_WITH_ALL_GEMS:
        for (int i = ITEM_GEM_FIRST; i <= ITEM_GEM_LAST; i++)
            if (inventory[i] <= 0)
                return false;
        return true;
    default:
        return true;
    }
}

bool kind_leads_now(int kind)
{
    const FloorKind &k = floor_kind(kind);
    return k.leads && kind_condition_holds(k.leads_when);
}

void set_triangle_kind(ViewTriangle &t, int kind)
{
    const FloorKind &k = floor_kind(kind);
    t.kind = kind;
    t.cleared_floor = k.floor_when == OPEN_WHEN_CLEAN;
    t.gated_floor = k.floor_when == OPEN_WITH_GROUP_ITEM;
    t.open_when_cleared = k.seal_open_when == OPEN_WHEN_CLEAN;
    t.open_with_gate_item = k.seal_open_when == OPEN_WITH_GROUP_ITEM;
}

bool floor_open_now(const ViewTriangle &t)
{
    return (!t.cleared_floor || kind_condition_holds(OPEN_WHEN_CLEAN)) &&
           (!t.gated_floor || kind_condition_holds(OPEN_WITH_GROUP_ITEM));
}

bool seal_open_now(const ViewTriangle &t)
{
    return (!t.open_when_cleared || kind_condition_holds(OPEN_WHEN_CLEAN)) &&
           (!t.open_with_gate_item || kind_condition_holds(OPEN_WITH_GROUP_ITEM));
}
