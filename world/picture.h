// Windows bitmap files: the header check every picture passes before the bitmap loader
// sees it, and the encoder the writers use to put a picture on disk through a temporary
// file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/datafile.h"
#include "world/world.h"

enum {
    PICTURE_HEADER_SIZE = 54,     // file header and the 40-byte information header
    PICTURE_SIDE_LIMIT = 4096,    // widest and tallest character frame, object or title picture
};
// The largest picture file: 4096 x 4096 pixels at 32 bits after the header and a palette.
static const size_t PICTURE_FILE_LIMIT = PICTURE_HEADER_SIZE + 1024 + (size_t)PICTURE_SIDE_LIMIT * PICTURE_SIDE_LIMIT * 4;

// What a sound header says.
struct PictureHeader {
    uint32_t offset;     // where the pixels start
    long width, height;  // both at least 1; rows are stored bottom-up
    int bits;            // 1, 4, 8, 16, 24 or 32
    uint32_t compression;
    int64_t row_bytes;   // one stored row, padded to four bytes
};

// Why the first bytes `h` of a file (`got` of them) holding `size` bytes in all are not an
// uncompressed Windows bitmap of at most `side_limit` pixels a side whose body is exactly
// what its header says, no shorter and no longer; nullptr when they are one. The bitmap loader is safe on whatever passes.
const char *inspect_picture(const unsigned char *h, size_t got, int64_t size, long side_limit, PictureHeader &out);

// Whether nothing at all is under that name, so that a picture the game can do without
// counts as left out. A name that is there but cannot be read (a dangling link, a link
// loop, a file the player may not read) is not left out: loading it says why.
bool picture_left_out(const char *path);

// Reads a picture file (a plain file of at most PICTURE_FILE_LIMIT bytes), checks it and
// loads it; the colours of an 8-bit file go into `pal`. Returns nullptr and says why in
// `why` when the file cannot be read or is refused. The file's bytes are let go before it
// returns.
BITMAP *load_picture(const char *path, RGB *pal, std::string &why);
// The same for a file already in memory.
BITMAP *decode_picture(const unsigned char *bytes, size_t size, RGB *pal, std::string &why);

// The bytes of the bitmap as a Windows bitmap file (24 bits, or 8 with `pal` for an 8-bit
// bitmap); false when the encoder fails.
bool encode_picture(BITMAP *bmp, const RGB *pal, std::vector<unsigned char> &out);

// Writes the bitmap complete and flushed to disk under the temporary name beside `path`,
// for commit_write to rename; false after a line on stderr naming the file and the cause,
// with nothing left behind.
bool write_picture_file(SafeFile &out, const std::string &path, BITMAP *bmp, const RGB *pal);

// The same, renamed over `path`: a reader sees the old file or the new one, never a part.
bool save_picture(const std::string &path, BITMAP *bmp, const RGB *pal);

// The window's icon: a 32-bit picture whose fourth byte of each pixel is its alpha, at most
// ICON_SIDE_LIMIT pixels a side. Pixels are 0xAARRGGBB, row by row from the top.
enum { ICON_SIDE_LIMIT = 256 };
bool load_argb_picture(const char *path, std::vector<uint32_t> &argb, long &width, long &height, std::string &why);
// Written as save_picture writes; false after a line on stderr.
bool save_argb_picture(const std::string &path, const std::vector<uint32_t> &argb, long width, long height);
