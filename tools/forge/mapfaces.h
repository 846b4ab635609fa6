// The map compiler's faces: the quads of a map's cells and scenery, before they are cut
// into triangles and baked.
#pragma once

#include <vector>

#include "tools/forge/face.h"
#include "tools/forge/mapcells.h"

// Every face of the map in cell order: tops, the sides the camera can see, stairs, scenery
// and curtains.
std::vector<Face> collect_faces(const MapSource &src);
