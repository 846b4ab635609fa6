// The maps' names, as the player reads them on arrival: a table the forge writes beside
// the others and the game reads once at start-up.
#pragma once

#include <cstddef>

#include "world/world.h"

enum {
    // A name fits the 8-pixel font across the screen with room to spare, and an inscription
    // on the ground of a narrow lane.
    MAP_NAME_LENGTH = 40,
    MAP_NAME_WORDS = 8,
};

// Each map's name, empty where it has none.
extern char map_names[MAP_NUMBERS][MAP_NAME_LENGTH + 1];

// Reads data/names.dat: the format number, the count of names, then for each name its map,
// its number of words and the words (printable characters other than spaces), so that a
// name keeps its spaces in a table of white-space tokens:
//     1
//     2
//     901 2 Sorvane Gate
//     101 3 The Old Forest
// False (after one line on stderr naming the file and the record) when the file is missing
// or damaged: a map outside 0..999 or named twice, a word count outside 1..8, a name longer
// than 40 characters, a character the font cannot draw. A refused file leaves the table as
// it was.
bool load_map_names();
// The same reader on the file's text already in memory.
bool load_map_names_text(const char *text, size_t size);
bool save_map_names();

// The map's name, or null when it has none or the number names no map.
const char *map_name(int map);
