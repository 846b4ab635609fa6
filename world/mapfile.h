// The map file (".dtl") with its shadow-map strips, and the map writers.
#pragma once

#include <string>

#include "world/world.h"

// "data/maps/<name><extension>"
std::string map_file_path(const char *name, const char *extension);

// Reads "data/maps/<name>.dtl" and its strips, sets current_map and places the map's
// pick-ups. A missing or refused file is reported in one line on stderr and nothing is
// replaced; the result tells the caller whether the map was loaded. Refused: a file that is
// not a plain file of a size a map can have, that does not read to its end (the line names
// where the reading stopped and why), whose counts or indices leave the tables, or with no
// active plane; with `arrival` (x, y, z) given, one with no floor for the hero there.
bool load_map(const char *name, const float *arrival = nullptr);

// Write the loaded map back ("data/maps/<name>.dtl" or the reduced ".smp") with its strips.
// Each file is written beside its final name and renamed over it only when complete;
// false when a file could not be written.
bool save_map(const char *name);
bool save_pruned_map(const char *name);

// When set, the writers hand each strip to it and save the 8-bit copy it returns, with the
// colours it puts in `pal`, in place of the strip at the screen's depth; a null result
// keeps the strip as it was. The forge sets it; the game never does.
extern BITMAP *(*strip_reducer)(BITMAP *strip, RGB *pal);

void clear_bitmap_of(BITMAP *bitmap);
