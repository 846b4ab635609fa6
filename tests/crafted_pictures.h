// Hostile and broken picture files, for the picture-header tests and the fuzz seeds: each
// is what a tampered or half-copied data folder may hold, with the reason it is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CraftedPicture {
    const char *name;
    std::string bytes;
    const char *reason;  // nullptr: a sound picture
};

inline void put_le(std::string &b, size_t at, uint32_t v, int size)
{
    for (int i = 0; i < size; i++)
        b[at + i] = (char)((v >> (8 * i)) & 0xff);
}

// A Windows bitmap with a 40-byte header. `pixel_bytes` < 0 gives the pixels the header
// asks for (rows padded to four bytes), else exactly that many bytes follow the header.
inline std::string crafted_bmp(int32_t width, int32_t height, int bits, uint32_t compression = 0,
                               uint32_t offset = 54, long pixel_bytes = -1, uint32_t header_size = 40)
{
    std::string b(offset > 54 ? offset : 54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put_le(b, 10, offset, 4);
    put_le(b, 14, header_size, 4);
    put_le(b, 18, (uint32_t)width, 4);
    put_le(b, 22, (uint32_t)height, 4);
    put_le(b, 26, 1, 2);
    put_le(b, 28, (uint32_t)bits, 2);
    put_le(b, 30, compression, 4);
    if (pixel_bytes < 0) {
        long rows = height < 0 ? -(long)height : height;
        pixel_bytes = ((long)width * bits + 31) / 32 * 4 * rows;
    }
    // A pattern rather than zeros, so that garbage would show.
    for (long i = 0; i < pixel_bytes; i++)
        b += (char)(i * 37 + 11);
    put_le(b, 2, (uint32_t)b.size(), 4);
    return b;
}

// The text as a regular expression that matches only itself, for death tests.
inline std::string regex_literal(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            out += '\\';
        out += c;
    }
    return out;
}

inline std::vector<CraftedPicture> crafted_pictures()
{
    std::string whole = crafted_bmp(40, 40, 24);
    std::string no_planes = whole;
    put_le(no_planes, 26, 0, 2);
    return {
        {"sound_24_bits", whole, nullptr},
        {"sound_8_bits", crafted_bmp(40, 40, 8, 0, 54 + 256 * 4), nullptr},
        {"huge_65536", crafted_bmp(65536, 65536, 24, 0, 54, 4096), "is too large"},
        {"height_min", crafted_bmp(40, INT32_MIN, 24, 0, 54, 4096), "is stored top-down"},
        {"top_down_40", crafted_bmp(40, -40, 24), "is stored top-down"},
        {"width_max", crafted_bmp(INT32_MAX, 40, 24, 0, 54, 4096), "is too large"},
        {"no_width", crafted_bmp(0, 40, 24), "has no pixels"},
        {"cut_short", whole.substr(0, whole.size() - 100), "is cut short"},
        // A header that says less than the file holds: a 40 x 40 heart shown as one pixel.
        {"one_by_one_whole_body", crafted_bmp(1, 1, 24, 0, 54, 40 * 40 * 3), "is longer than its header says"},
        {"one_byte_more", whole + "x", "is longer than its header says"},
        {"header_only", whole.substr(0, 54), "is cut short"},
        {"cut_in_header", whole.substr(0, 30), "is not a plain Windows bitmap"},
        {"not_a_bitmap", "this is not a picture at all, only some text that is long enough", "is not a plain Windows bitmap"},
        {"big_header", crafted_bmp(40, 40, 24, 0, 54, -1, 124),
         "is not a plain Windows bitmap (its header is not the 40-byte one)"},
        {"palette_past_256", crafted_bmp(4, 4, 8, 0, 54 + 4 * 100000), "has its pixels at an unsupported place"},
        {"run_length", crafted_bmp(40, 40, 8, 1, 54 + 1024), "is compressed"},
        {"seven_bits", crafted_bmp(40, 40, 7), "has an unsupported number of bits a pixel"},
        {"no_planes", no_planes, "is not a plain Windows bitmap (its number of colour planes is not 1)"},
    };
}
