// Surface textures the map compiler paints its faces with.
#pragma once

#include <allegro.h>
#include <string>

BITMAP *surface_texture(const std::string &name);  // 16 x 16, or null when unknown
bool surface_glows(const std::string &name);       // lava, seals and pads light themselves
int surface_index(const std::string &name);        // a stable number per surface
