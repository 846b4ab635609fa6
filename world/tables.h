// The item, monster and trigger tables.
#pragma once

#include <cstddef>

#include "world/world.h"

// No map reaches this far from the world's middle: the forge's largest map is 400 cells a
// side around it, and floats still keep a thousandth of a unit here. A place in a table
// beyond it, on any axis, is refused.
enum { WORLD_REACH = 10000 };

// Each returns false (after one line on stderr naming the file, and the record when it is
// refused) when the file is missing, not a plain file of a size the table can have, does
// not read to its end, or holds a value the game cannot use: a map number outside 0..999,
// a monster kind outside 1..15, an item type outside 0..9, a place beyond WORLD_REACH.
bool load_items();
bool load_monsters();
bool load_triggers();

// The same readers on a file's text already in memory (messages still name the file).
bool load_items_text(const char *text, size_t size);
bool load_monsters_text(const char *text, size_t size);
bool load_triggers_text(const char *text, size_t size);

bool save_items();
bool save_monsters();
