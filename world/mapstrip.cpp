// Reading the shadow-map strips. The cells are copied straight out of the file's pixels:
// the general bitmap loader reads byte by byte and converts through per-pixel calls, which
// for a map of 20 000 triangles alone takes longer than a map change may.
#include "world/mapstrip.h"

#include <unistd.h>

#include "world/picture.h"

enum { STRIP_SIZE_LIMIT = 65536 };
// The largest strip file: 65536 x 16 pixels at 32 bits, with a full palette before them
// (a plane's 1000 cells need 16 000 x 16; the forge writes them with 8 bits, 257 kB).
static const size_t STRIP_FILE_LIMIT = PICTURE_HEADER_SIZE + 1024 + (size_t)STRIP_SIZE_LIMIT * SHADOW_CELL * 4;

std::string strip_path(const char *name, int plane)
{
    return std::string("data/maps/shadowmap/i") + name + "_" + std::to_string(plane) + ".bmp";
}

// Why the header in `h` (the first 54 bytes of a file of `size` bytes) is not a strip at least
// `need_width` pixels wide, or nullptr when it is one.
static const char *inspect_strip(const unsigned char *h, int64_t size, long need_width, Strip &s)
{
    PictureHeader p;
    const char *problem = inspect_picture(h, size < PICTURE_HEADER_SIZE ? 0 : PICTURE_HEADER_SIZE, size,
                                          STRIP_SIZE_LIMIT, p);
    if (problem)
        return problem;
    // The cells are copied by this reader itself, which knows fewer forms than the loader.
    bool layout_ok;
    if (p.compression != 0)
        layout_ok = false;
    else if (p.bits == 8)
        layout_ok = p.offset > PICTURE_HEADER_SIZE;
    else
        layout_ok = (p.bits == 24 || p.bits == 32) && p.offset == PICTURE_HEADER_SIZE;
    if (!layout_ok)
        return "has an unsupported layout (8 bits with a palette, or 24 or 32 bits, uncompressed)";
    if (p.width < need_width || p.height < SHADOW_CELL)
        return "is too small for the plane's cells";
    s.offset = p.offset;
    s.width = p.width;
    s.height = p.height;
    s.bits = p.bits;
    s.row_bytes = p.row_bytes;
    return nullptr;
}

bool check_strip(const TextReader &r, int plane, const std::string &path, long need_width)
{
    int64_t size = 0;
    PlainRead result;
    std::string why;
    int fd = open_plain_file(path.c_str(), STRIP_FILE_LIMIT, size, result, why);
    unsigned char h[PICTURE_HEADER_SIZE] = {0};
    ssize_t got = 0;
    if (fd >= 0) {
        got = read(fd, h, sizeof(h));  // only the header: the pixels are read when stored
        close(fd);
    }
    if (result == PLAIN_FAILED)
        return refuse(r, "plane %d shadow map %s: %s", plane, path.c_str(), why.c_str());
    Strip s;
    const char *problem = result == PLAIN_REFUSED
                              ? why.c_str()
                              : inspect_strip(h, got == (ssize_t)sizeof(h) ? size : 0, need_width, s);
    if (problem)
        return refuse(r, "plane %d shadow map %s %s (needs %ld x %d)", plane, path.c_str(), problem, need_width,
                      SHADOW_CELL);
    return true;
}

bool read_strip(const TextReader &r, const std::string &path, long need_width, Strip &s)
{
    std::string why;
    bool read = read_plain_file(path.c_str(), STRIP_FILE_LIMIT, s.bytes, why) == PLAIN_READ;
    if (!read || inspect_strip(s.bytes.data(), s.bytes.size() >= PICTURE_HEADER_SIZE ? (int64_t)s.bytes.size() : 0,
                               need_width, s)) {
        fprintf(stderr, "%s: warning: shadow map %s could not be read; its cells keep their pixels\n",
                r.path.c_str(), path.c_str());
        s.bytes.clear();
        return false;
    }
    if (s.bits == 8) {
        const unsigned char *c = s.bytes.data() + PICTURE_HEADER_SIZE;
        for (uint32_t i = 0; i < (s.offset - PICTURE_HEADER_SIZE) / 4; i++) {
            palette[i].b = c[4 * i] / 4;
            palette[i].g = c[4 * i + 1] / 4;
            palette[i].r = c[4 * i + 2] / 4;
        }
        for (int i = 0; i < 256; i++)
            s.colour16[i] = (uint16_t)makecol16(_rgb_scale_6[palette[i].r & 63], _rgb_scale_6[palette[i].g & 63],
                                                _rgb_scale_6[palette[i].b & 63]);
    }
    return true;
}

// The colour of pixel x of a strip row, as 8-bit red, green and blue.
static inline void strip_pixel(const Strip &s, const unsigned char *row, long x, int &r, int &g, int &b)
{
    if (s.bits == 8) {
        const RGB &c = palette[row[x]];
        r = _rgb_scale_6[c.r];
        g = _rgb_scale_6[c.g];
        b = _rgb_scale_6[c.b];
    } else {
        const unsigned char *p = row + x * (s.bits / 8);
        b = p[0];
        g = p[1];
        r = p[2];
    }
}

void copy_cell(const Strip &s, int t, BITMAP *cell)
{
    int depth = bitmap_color_depth(cell);
    long left = (long)SHADOW_CELL * t;
    int r, g, b;
    for (int y = 0; y < SHADOW_CELL; y++) {
        const unsigned char *row = s.bytes.data() + s.offset + s.row_bytes * (s.height - 1 - y);
        if (depth == 16 && s.bits == 24) {
            // The common case: the writers' 24-bit strips into 16-bit cells.
            uint16_t *out = (uint16_t *)cell->line[y];
            const unsigned char *p = row + left * 3;
            for (int x = 0; x < SHADOW_CELL; x++, p += 3)
                out[x] = (uint16_t)makecol16(p[2], p[1], p[0]);
            continue;
        }
        if (depth == 16 && s.bits == 8) {
            // The forge's 8-bit strips: one lookup a pixel.
            uint16_t *out = (uint16_t *)cell->line[y];
            for (int x = 0; x < SHADOW_CELL; x++)
                out[x] = s.colour16[row[left + x]];
            continue;
        }
        for (int x = 0; x < SHADOW_CELL; x++) {
            strip_pixel(s, row, left + x, r, g, b);
            if (depth == 16)
                ((uint16_t *)cell->line[y])[x] = (uint16_t)makecol16(r, g, b);
            else if (depth == 15)
                ((uint16_t *)cell->line[y])[x] = (uint16_t)makecol15(r, g, b);
            else if (depth == 32)
                ((uint32_t *)cell->line[y])[x] = (uint32_t)makecol32(r, g, b);
            else
                putpixel(cell, x, y, makecol_depth(depth, r, g, b));
        }
    }
}
