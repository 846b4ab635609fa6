// The shadow-map strips of a map: one bitmap per active plane, one 16 x 16 cell per
// triangle, read beside the map file. Shared by the map reader and the map writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/datafile.h"
#include "world/world.h"

// A shadow-map strip: a plain Windows bitmap, 8 bits with a palette of at most 256 colours
// or 24 or 32 bits, uncompressed, rows bottom-up. The cells are copied straight out of the
// file's pixels: the general bitmap loader reads byte by byte and converts through
// per-pixel calls, which for a map of 20 000 triangles alone takes longer than a map change
// may.
struct Strip {
    std::vector<unsigned char> bytes;  // the whole file; empty while only checked
    uint32_t offset;
    long width, height;
    int bits;
    int64_t row_bytes;
    uint16_t colour16[256];  // an 8-bit strip's palette as 16-bit cell pixels
};

// "data/maps/shadowmap/i<name>_<plane>.bmp"
std::string strip_path(const char *name, int plane);

// Checks a strip before anything is replaced; false (refused) when it cannot serve the plane.
bool check_strip(const TextReader &r, int plane, const std::string &path, long need_width);
// Reads the whole strip for copying cells; false after a warning when it has changed since
// it was checked. An 8-bit strip's colours go into `palette`, as the bitmap loader does.
bool read_strip(const TextReader &r, const std::string &path, long need_width, Strip &s);
// Copies the cell of triangle t out of the strip, converting to the cell's colour depth.
void copy_cell(const Strip &s, int t, BITMAP *cell);
