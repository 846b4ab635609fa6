// The map compiler: turns a map source into the game's own map tables (planes of
// triangles with their baked shadow cells), ready for the game's map writer.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/forge/mapcells.h"
#include "world/world.h"

struct Face;

// Cells are grouped into planes of this many cells square.
enum { PLANE_CHUNK = 8 };

// The order the map's faces go into its planes (by chunk of the grid, chunks in row order):
// face order[i] makes triangles 2 i and 2 i + 1 of the scene the game builds from the map.
std::vector<int> face_order(const MapSource &src, const std::vector<Face> &faces);

struct BuildStats {
    int planes = 0;
    int vertices = 0;
    int triangles = 0;
    int spawn_triangles = 0;
};

// Fills planes, plane_last, map_extras and map_extra_count from the source. Exit cells get
// the trigger index that exit_triggers gives for "MAP:SPOT". Without `bake` the shadow cells
// are left unpainted (the validator only counts). Returns false with a message when a
// capacity would be exceeded or a surface is unknown.
bool build_map_tables(const MapSource &src, const std::map<std::string, int> &exit_triggers,
                      BuildStats &stats, std::string &error, bool bake = true);
