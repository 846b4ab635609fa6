// The content forge: writes the game's data directory, drawing every picture by code.
// Everything it makes is the same, byte for byte, on every run.
#pragma once

#include <allegro.h>
#include <string>

#include "tools/forge/canvas.h"
#include "world/kinds.h"
#include "world/world.h"

// All pictures: character frames, objects, the logo and the surface textures.
// Returns false (after saying why on stderr) when a file cannot be written.
bool forge_images(const std::string &data_dir);

// One sheet per character with all its frames, for looking the art over.
bool forge_contact_sheets(const std::string &dir);
// The regions' scenery on a small map, drawn by the game's renderer (a new bitmap).
BITMAP *make_scenery_sheet();

// ---- surface textures: 16 x 16, tileable, for the maps ----
enum Surface {
    SURFACE_GRASS,
    SURFACE_DIRT,
    SURFACE_FLAGSTONE,
    SURFACE_WALL,
    SURFACE_WATER,
    SURFACE_LAVA,
    SURFACE_WOOD,
    SURFACE_PLANKS,
    SURFACE_SEAL,
    SURFACE_TRIGGER,
    SURFACE_GEM_GATE,
    SURFACE_BARRIER,
    // The regions: forest, mire, caves, chapel, burning fields, bone halls, citadel.
    SURFACE_BARK,
    SURFACE_LEAVES,
    SURFACE_ROOTS,
    SURFACE_MOSS,
    SURFACE_MUD,
    SURFACE_SAND,
    SURFACE_ROCK,
    SURFACE_TILES,
    SURFACE_COBBLE,
    SURFACE_ASH,
    SURFACE_CINDERS,
    SURFACE_RUIN,
    SURFACE_BONE,
    SURFACE_OSSUARY,
    SURFACE_MARBLE,
    SURFACE_CARPET,
    // What blocks the way low down: the mire's reed banks, the caves' screes.
    SURFACE_REEDS,
    SURFACE_SCREE,
    // Seals in the colour of what opens them: a map group's key or gem, all four gems (the
    // gem gate's). Map sources write "seal"; the forge draws the map group's.
    SURFACE_SEAL_KEY1,
    SURFACE_SEAL_GEM1 = SURFACE_SEAL_KEY1 + 5,
    SURFACE_SEAL_GEMS = SURFACE_SEAL_GEM1 + 4,
    // The regions' own floors, so that maps joined by a way differ (regionfloors.cpp).
    SURFACE_HEATH,
    SURFACE_NEEDLES,
    SURFACE_SEDGE,
    SURFACE_PEAT,
    SURFACE_SALT,
    SURFACE_SHINGLE,
    SURFACE_LICHEN,
    SURFACE_SLAG,
    SURFACE_CHARNEL,
    SURFACE_COUNT,
};

// File names under data/textures/, without ".bmp".
extern const char *surface_names[SURFACE_COUNT];

// A texel of a region's own floor, SURFACE_HEATH to SURFACE_CHARNEL.
Rgb region_floor_texel(int surface, int x, int y);

// A new 16 x 16 32-bit bitmap of the surface; the caller destroys it.
BITMAP *make_surface(int surface);

// For the map compiler, surfaces by name: a shared 16 x 16 bitmap (null when the name is
// unknown), whether the surface gives its own light, and its number.
BITMAP *surface_texture(const std::string &name);
bool surface_glows(const std::string &name);
int surface_index(const std::string &name);

// ---- the floors that matter: one look each for the whole campaign ----
// The colour of a pick-up (1..5 keys, 6..9 gems) as its picture shows it.
Rgb item_colour(int type);
// The colours of the floors that open when a map is clean of demons (CLEARED_RGB) and of
// every floor that leads to another map (EXIT_RGB) are the kinds' own (world/kinds.h).
// A texel of a gate surface: the exit (trigger), the gem gate, the barrier and the seals.
Rgb gate_texel(int surface, int x, int y);
// The seal a map's sealed floors wear: its group's key or gem ("seal" for maps 1 to 99).
std::string seal_surface(int map_number);
// The surface drawn for one a map source (or a kind's seal) names: "seal" is the map group's.
std::string drawn_surface(const std::string &written, int map_number);

// ---- pictures shared by the image writers ----
enum { FRAME_SIZE = SPRITE_SIZE, FINE = 4 };

// Velok: action 0 standing, 1 walking, 2 shooting; facing 0 up, 1 down, 2 left, 3 right.
BITMAP *make_hero_frame(int action, int facing, int frame);
// Demon kind 1..15; action 1 walking, 2 attacking.
BITMAP *make_demon_frame(int kind, int action, int facing, int frame);
// The fourteen object pictures in the order of object_bitmaps.
BITMAP *make_object(int index);
BITMAP *make_logo();

// Draws the hero into a canvas of any size: the 40 x 40 frame is scaled by cv.w / 40.
void draw_hero(Canvas &cv, int action, int facing, int frame);
void draw_demon(Canvas &cv, int kind, int action, int facing, int frame);

// Writes a 32-bit picture as a 24-bit BMP; false and a message when that fails.
bool write_picture(const std::string &path, BITMAP *bmp);
// Creates a directory and its parents.
bool make_dirs(const std::string &path);

// Integer hash for patterns that must not depend on rand.
unsigned hash3(int x, int y, int seed);
// The surfaces' texture side: their patterns repeat every TILE texels.
enum { TILE = 16 };
// 0..1 from the hash, wrapped every TILE texels so that a pattern tiles.
float tile_noise(int x, int y, int seed);
// Smooth noise that tiles: a coarse grid every `step` texels, blended.
float tile_smooth(float x, float y, int step, int seed);
// A colour lit or darkened by up to `amount` as n runs from 0 to 1.
Rgb vary_rgb(Rgb c, float amount, float n);
