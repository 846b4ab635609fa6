// World state: the record types, the capacities and codes, and the tables and scalars that
// every subsystem shares (the map, the scene, items, monsters, triggers, the hero and the
// camera, the bitmaps, screen and timing), global and fixed in size. Each subsystem reads
// and writes them in place; there are no accessors. The globals that belong to one module
// (the floor maps, the sprite frames, the depth buckets, the video and view constants...)
// are declared in that module's header.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <vector>

typedef int16_t s16;
typedef int32_t s32;

// ---- capacities ----
enum {
    MAX_PLANES = 500,
    MAX_PLANE_VERTICES = 1000,
    MAX_PLANE_TRIANGLES = 1000,
    MAP_NUMBERS = 1000,
    MONSTERS_PER_MAP = 20,
    MONSTER_KINDS = 16,
    LAST_DEMON_KIND = MONSTER_KINDS - 1,  // demon kinds run 1..LAST_DEMON_KIND
    MAX_ITEM_PLACEMENTS = 100,
    MAP_ITEM_SLOTS = 50,
    MAX_TRIGGERS = 10000,
    TRIGGER_ELEMENTS = 9,
    MAX_MAP_EXTRAS = 200,
    TEXTURE_SLOTS = 300,
    SHADOW_CELL = 16,
    MAX_SPAWN_POINTS = 20,
    INVENTORY_SLOTS = 20,
    OBJECT_BITMAPS = 20,
};

// Element numbers of a PlaneVertex.
enum {
    VERTEX_VIEW_INDEX = 6,  // index in view_vertices, written by the scene build
    VERTEX_SKIP = 7,        // 0 = in the scene, anything else = left out
    VERTEX_DRAWN = 11,      // set when the renderer draws a triangle using it
    PLANE_VERTEX_ELEMENTS = 12,
    VERTEX_FILE_ELEMENTS = 11,
};

// Element numbers of a PlaneTriangle.
enum {
    TRIANGLE_TEXTURE = 3,
    TRIANGLE_VIEW_INDEX = 5,
    TRIANGLE_INCLUDE = 6,       // below 2 = in the scene, 2 = pruned
    TRIANGLE_WALL = 7,          // 1 = never floor
    TRIANGLE_TRANSPARENCY = 8,  // 0 opaque, 1..100 percent see-through
    TRIANGLE_KIND = 9,
    TRIANGLE_DRAWN = 10,
    PLANE_TRIANGLE_ELEMENTS = 11,
    TRIANGLE_FILE_ELEMENTS = 10,
};

// Triangle kinds: the gameplay vocabulary of map data.
enum {
    KIND_PLAIN = 0,
    KIND_RIPPLE = 1,
    KIND_SWAY = 2,
    KIND_CLEARED_FLOOR = 3,
    KIND_CLEARED_SHOW = 4,
    KIND_GATED_FLOOR = 5,
    KIND_GATED_SHOW = 6,
    KIND_SPAWN = 7,
    KIND_GEM_GATE = 8,
    KIND_TRIGGER_BASE = 1000,
};

// Item types: heart, keys 1..5, gems 1..4, then the four arrows.
enum {
    ITEM_HEART = 0,
    ITEM_KEY_FIRST = 1,
    ITEM_GEM_FIRST = 6,
    ITEM_GEM_LAST = 9,
    ARROW_TYPE_BASE = 10,
};

// Facing codes, shared by the hero, the monsters and the arrows.
enum { FACING_UP = 0, FACING_DOWN = 1, FACING_LEFT = 2, FACING_RIGHT = 3 };

struct PlaneVertex {
    float e[PLANE_VERTEX_ELEMENTS];
};

struct PlaneTriangle {
    s16 e[PLANE_TRIANGLE_ELEMENTS];
};

struct Plane {
    uint8_t active;
    // The map file's header carries flag_b, params and value_a/value_b for every plane; the
    // game keeps them only to write them back unchanged (the map writers), and reads
    // nothing else from them.
    uint8_t flag_b;  // second header flag: 1 or 0 in the file; any other value keeps the old one
    float origin_x, origin_y, origin_z;
    float params[10];       // ten header values after the origin, never used
    s16 value_a, value_b;   // two header values before the counts, never used
    s16 last_vertex;
    s16 last_triangle;
    s16 view_vertex_count;
    s16 view_triangle_count;
    PlaneVertex vertices[MAX_PLANE_VERTICES];
    PlaneTriangle triangles[MAX_PLANE_TRIANGLES];
    s16 triangle_uvs[MAX_PLANE_TRIANGLES][6];
    BITMAP *triangle_shadow[MAX_PLANE_TRIANGLES];
    s16 triangle_shadow_state[MAX_PLANE_TRIANGLES];  // 0 none, 1 created, 2 painted
};

// How a scene vertex moves (its `motion`): set by the kinds of the triangles using it.
enum { MOTION_NONE = 0, MOTION_RIPPLE = 1, MOTION_SWAY = 2 };

struct ViewVertex {
    float cam_x, cam_y, cam_z;
    float view_depth;
    float screen_x, screen_y;
    float world_x, world_y, world_z;
    float rest_y;
    float depth_key;
    uint8_t hidden;
    uint8_t referenced;
    s32 plane;
    s32 vertex;
    s32 motion;
};

struct ViewTriangle {
    s32 vertex[3];
    s32 texture;
    s16 tex_u[3];
    s16 tex_v[3];
    s32 plane;
    s32 triangle;
    s32 wall;
    s32 kind;
    uint8_t cleared_floor;
    uint8_t gated_floor;
    uint8_t open_when_cleared;
    uint8_t open_with_gate_item;
};

struct ItemPlacement {
    uint8_t present;
    float x, y, z;
    s16 type;
    s32 map;
};

// A pick-up floats this high above its placement, and an arrow flies this high above the
// hero's feet: the height at which both are caught.
const float ITEM_RISE = 1.5f;

struct MapItem {
    uint8_t present;
    float x, y, z;
    float target_x, target_y, target_z;
    float sprite_scale;
    s16 type;
    s16 screen_x, screen_y;
    s16 placement;
};

struct Monster {
    s16 kind;
    s16 health;
    s16 step_x, step_z;
    s16 screen_x, screen_y;
    s16 state;   // 1 walking, 2 attacking
    s16 facing;
    s16 damage;
    s16 max_health;
    s16 flash;
    float x, y, z;
    float sprite_scale;
    float anim_time;
    float flash_level;  // the hit flash with its fraction, so it fades per game second
};

struct MonsterKind {
    s16 health;
    s16 damage;
    float speed;
};

struct Trigger {
    float e[TRIGGER_ELEMENTS];  // 0 destination map, 1..3 arrival x y z, 4..8 unused
};

// Record numbers of the trigger table beside the trigger floors' own (the triangle kind):
// record m + START_RECORD holds where the hero starts on map m, record m + GATE_RECORD where
// he arrives on map m through the gem gate.
enum { START_RECORD = 1000, GATE_RECORD = 2000 };

// The campaign begins on FIRST_MAP; the gem gate leads to GATE_MAP, its last.
enum { FIRST_MAP = 901, GATE_MAP = 906 };

struct MapExtra {
    float value;
    s16 data[3];
};

// ---- the map ----
extern Plane planes[MAX_PLANES];
extern s16 plane_last;
extern MapExtra map_extras[MAX_MAP_EXTRAS];
extern s16 map_extra_count;
extern s16 current_map;

// ---- the scene of the current map ----
extern std::vector<ViewVertex> view_vertices;
extern std::vector<ViewTriangle> view_triangles;

// ---- items ----
extern ItemPlacement item_placements[MAX_ITEM_PLACEMENTS];
extern s16 item_count;
extern MapItem map_items[MAP_ITEM_SLOTS];

// ---- monsters ----
extern Monster monsters[MAP_NUMBERS][MONSTERS_PER_MAP];
extern s16 monster_counts[MAP_NUMBERS];
extern MonsterKind monster_kinds[MONSTER_KINDS];
extern s32 monster_total;
extern s32 monsters_killed;
extern uint8_t map_cleared[MAP_NUMBERS];
// Slots in use on the current map, never more than the table holds.
int current_monster_count();

// ---- triggers ----
extern Trigger triggers[MAX_TRIGGERS];

// ---- hero and camera ----
extern float player_x, player_y, player_z;
extern float camera_target_x, camera_target_y, camera_target_z;
extern float camera_x, camera_y, camera_z;
extern float camera_matrix[9];
extern s32 player_health;
extern s16 inventory[INVENTORY_SLOTS];
extern float spawn_points[MAX_SPAWN_POINTS][3];
extern s16 spawn_point_count;
// The hero's pose, set by his update and read by the renderer for his sprite.
extern s16 player_facing;
extern s16 player_anim_state;   // 0 standing, 1 walking, 2 shooting
extern float player_anim_frame;
// The current map's hundreds (map 305 is in group 3): the key or gem that opens its sealed
// floors, set by the scene build and read by the renderer for the gated floors.
extern s16 map_group;
enum { MAPS_PER_GROUP = 100 };
inline int map_group_of(int map)
{
    return map / MAPS_PER_GROUP;
}
// Set once ordinary floor has been painted under the hero's feet on this map: until then
// the gated floors count as floor, so that an arrival on one is never stuck, and the
// renderer shows them open.
extern uint8_t ground_reached;

// ---- bitmaps ----
extern BITMAP *texture_slots[TEXTURE_SLOTS];
extern BITMAP *object_bitmaps[OBJECT_BITMAPS];
extern BITMAP *back_buffer;
// The characters' frames: the asset loader fills them, the renderer draws them.
enum {
    SPRITE_CHARACTERS = 20,
    SPRITE_ACTIONS = 3,
    SPRITE_FACINGS = 4,
    SPRITE_FRAMES = 6,
    SPRITE_SIZE = 40,
};
extern BITMAP *sprite_frames[SPRITE_CHARACTERS][SPRITE_ACTIONS][SPRITE_FACINGS][SPRITE_FRAMES];
extern PALETTE palette;

// ---- screen and timing ----
extern s32 screen_width, screen_height;
extern s32 screen_half_width, screen_half_height;
extern float time_scale;
extern double game_clock;
