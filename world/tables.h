// The item, monster and trigger tables.
#pragma once

#include <cstddef>

#include "world/world.h"

// Each returns false (after one line on stderr naming the file) when the file is missing
// or refused; a short file is read up to where it stops, with a warning.
bool load_items();
bool load_monsters();
bool load_triggers();

// The same readers on a file's text already in memory (messages still name the file).
bool load_items_text(const char *text, size_t size);
bool load_monsters_text(const char *text, size_t size);
bool load_triggers_text(const char *text, size_t size);

bool save_items();
bool save_monsters();
