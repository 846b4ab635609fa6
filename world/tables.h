// The item, monster and trigger tables.
#pragma once

#include "world/world.h"

// Each returns false (after one line on stderr naming the file) when the file is missing
// or refused; a short file is read up to where it stops, with a warning.
bool load_items();
bool load_monsters();
bool load_triggers();

bool save_items();
bool save_monsters();
