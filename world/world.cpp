// The world tables. Everything starts at zero and lives for the whole run.
#include "world/world.h"

Plane planes[MAX_PLANES];
s16 plane_last;
MapExtra map_extras[MAX_MAP_EXTRAS];
s16 map_extra_count;
s16 current_map;

std::vector<ViewVertex> view_vertices;
std::vector<ViewTriangle> view_triangles;

ItemPlacement item_placements[MAX_ITEM_PLACEMENTS];
s16 item_count;
MapItem map_items[MAP_ITEM_SLOTS];

Monster monsters[MAP_NUMBERS][MONSTERS_PER_MAP];
s16 monster_counts[MAP_NUMBERS];
MonsterKind monster_kinds[MONSTER_KINDS];
s32 monster_total;
s32 monsters_killed;
uint8_t map_cleared[MAP_NUMBERS];

Trigger triggers[MAX_TRIGGERS];

float player_x, player_y, player_z;
float camera_target_x, camera_target_y, camera_target_z;
float camera_x, camera_y, camera_z;
float camera_matrix[9];
s32 player_health;
s16 inventory[INVENTORY_SLOTS];
float spawn_points[MAX_SPAWN_POINTS][3];
s16 spawn_point_count;
s16 player_facing;
s16 player_anim_state;
float player_anim_frame;
s16 map_group;
uint8_t ground_reached;

BITMAP *texture_slots[TEXTURE_SLOTS];
BITMAP *object_bitmaps[OBJECT_BITMAPS];
BITMAP *back_buffer;
BITMAP *sprite_frames[SPRITE_CHARACTERS][SPRITE_ACTIONS][SPRITE_FACINGS][SPRITE_FRAMES];
PALETTE palette;

s32 screen_width, screen_height;
s32 screen_half_width, screen_half_height;
float time_scale;
double game_clock;

int current_monster_count()
{
    int count = monster_counts[current_map];
    return count < MONSTERS_PER_MAP ? count : (int)MONSTERS_PER_MAP;
}
