// Windows bitmap files: header check, checked loading, and encoding for the writers.
//
// The bitmap loader trusts its input: a header claiming 65536 x 65536 pixels or a negative
// height crashes it, and a file cut short loads with garbage pixels. So every picture is
// read whole, its header checked against what the file holds, and only then handed to the
// loader, from memory.
#include "world/picture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

enum { BI_RGB_CODE = 0, BI_BITFIELDS_CODE = 3, BITFIELD_MASKS = 12, PALETTE_BYTES = 256 * 4 };

static uint32_t le32(const unsigned char *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}

static uint16_t le16(const unsigned char *p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

const char *inspect_picture(const unsigned char *h, size_t got, int64_t size, long side_limit, PictureHeader &out)
{
    if (got < PICTURE_HEADER_SIZE || size < PICTURE_HEADER_SIZE || h[0] != 'B' || h[1] != 'M')
        return "is not a plain Windows bitmap";
    if (le32(h + 14) != 40)
        return "is not a plain Windows bitmap (its header is not the 40-byte one)";
    if (le16(h + 26) != 1)
        return "is not a plain Windows bitmap (its number of colour planes is not 1)";
    out.offset = le32(h + 10);
    out.width = (int32_t)le32(h + 18);
    out.height = (int32_t)le32(h + 22);
    out.bits = le16(h + 28);
    out.compression = le32(h + 30);
    bool bits_ok = out.bits == 1 || out.bits == 4 || out.bits == 8 || out.bits == 16 || out.bits == 24 ||
                   out.bits == 32;
    if (!bits_ok)
        return "has an unsupported number of bits a pixel";
    // The loader reads the colours (or the three masks) right after the header and the
    // pixels right after them: anything else between would shift every row.
    bool layout_ok;
    if (out.compression == BI_RGB_CODE)
        layout_ok = out.offset >= PICTURE_HEADER_SIZE && out.offset <= PICTURE_HEADER_SIZE + PALETTE_BYTES &&
                    (out.offset - PICTURE_HEADER_SIZE) % 4 == 0;
    else if (out.compression == BI_BITFIELDS_CODE)
        layout_ok = (out.bits == 16 || out.bits == 32) && out.offset == PICTURE_HEADER_SIZE + BITFIELD_MASKS;
    else
        return "is compressed";
    if (!layout_ok)
        return "has its pixels at an unsupported place";
    if (out.height < 0)
        return "is stored top-down";
    if (out.width < 1 || out.height < 1)
        return "has no pixels";
    if (out.width > side_limit || out.height > side_limit)
        return "is too large";
    out.row_bytes = ((int64_t)out.width * out.bits + 31) / 32 * 4;
    // The body must be what the header says: a header that claims less than the file holds
    // would show a sliver of the picture (a 1 x 1 heart is one transparent pixel).
    int64_t whole = (int64_t)out.offset + out.row_bytes * out.height;
    if (size < whole)
        return "is cut short";
    if (size > whole)
        return "is longer than its header says";
    return nullptr;
}

// A file held in memory, for the bitmap loader and writer.
struct MemoryFile {
    const unsigned char *data;
    size_t size, pos;
    std::vector<unsigned char> *written;
};

static int memory_close(void *)
{
    return 0;
}

static int memory_getc(void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    return m->pos < m->size ? m->data[m->pos++] : EOF;
}

static int memory_ungetc(int c, void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    if (m->pos == 0)
        return EOF;
    m->pos--;
    return c;
}

static long memory_read(void *p, long n, void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    size_t left = m->size - m->pos;
    size_t count = n < 0 ? 0 : ((size_t)n < left ? (size_t)n : left);
    memcpy(p, m->data + m->pos, count);
    m->pos += count;
    return (long)count;
}

static int memory_putc(int c, void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    if (!m->written)
        return EOF;
    m->written->push_back((unsigned char)c);
    return c;
}

static long memory_write(const void *p, long n, void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    if (!m->written || n < 0)
        return 0;
    const unsigned char *bytes = (const unsigned char *)p;
    m->written->insert(m->written->end(), bytes, bytes + n);
    return n;
}

static int memory_seek(void *u, int offset)
{
    MemoryFile *m = (MemoryFile *)u;
    if (offset < 0 || (size_t)offset > m->size - m->pos)
        return -1;
    m->pos += offset;
    return 0;
}

static int memory_eof(void *u)
{
    MemoryFile *m = (MemoryFile *)u;
    return m->pos >= m->size;
}

static int memory_error(void *)
{
    return 0;
}

static const PACKFILE_VTABLE memory_vtable = {
    memory_close, memory_getc, memory_ungetc, memory_read, memory_putc,
    memory_write, memory_seek, memory_eof,    memory_error,
};

bool picture_left_out(const char *path)
{
    struct stat st;
    return lstat(path, &st) != 0 && errno == ENOENT;
}

BITMAP *load_picture(const char *path, RGB *pal, std::string &why)
{
    // Not kept between calls: one large picture would hold its size for the whole game.
    std::vector<unsigned char> bytes;
    if (read_plain_file(path, PICTURE_FILE_LIMIT, bytes, why) != PLAIN_READ)
        return nullptr;
    return decode_picture(bytes.data(), bytes.size(), pal, why);
}

BITMAP *decode_picture(const unsigned char *bytes, size_t size, RGB *pal, std::string &why)
{
    PictureHeader header;
    const char *problem = inspect_picture(bytes, size, (int64_t)size, PICTURE_SIDE_LIMIT, header);
    if (problem) {
        why = problem;
        return nullptr;
    }
    MemoryFile m = {bytes, size, 0, nullptr};
    PACKFILE *pf = pack_fopen_vtable(&memory_vtable, &m);
    if (!pf) {
        why = "no memory to read it";
        return nullptr;
    }
    BITMAP *image = load_bmp_pf(pf, pal);
    pack_fclose(pf);
    if (!image)
        why = "could not be decoded";
    return image;
}

bool encode_picture(BITMAP *bmp, const RGB *pal, std::vector<unsigned char> &out)
{
    out.clear();
    MemoryFile m = {nullptr, 0, 0, &out};
    PACKFILE *pf = pack_fopen_vtable(&memory_vtable, &m);
    if (!pf)
        return false;
    static PALETTE unused_palette;  // truecolour files carry none
    bool ok = save_bmp_pf(pf, bmp, pal ? pal : unused_palette) == 0;
    pack_fclose(pf);
    return ok && !out.empty();
}

bool write_picture_file(SafeFile &out, const std::string &path, BITMAP *bmp, const RGB *pal)
{
    static std::vector<unsigned char> bytes;
    if (!bmp || !encode_picture(bmp, pal, bytes)) {
        fprintf(stderr, "%s: cannot write: the picture could not be made\n", path.c_str());
        return false;
    }
    if (!begin_write(out, path))
        return false;
    fwrite(bytes.data(), 1, bytes.size(), out.file);
    return end_write(out);
}

bool save_picture(const std::string &path, BITMAP *bmp, const RGB *pal)
{
    SafeFile out;
    return write_picture_file(out, path, bmp, pal) && commit_write(out);
}

static void put_le(std::vector<unsigned char> &b, size_t at, uint32_t v, int size)
{
    for (int i = 0; i < size; i++)
        b[at + i] = (unsigned char)(v >> (8 * i));
}

bool load_argb_picture(const char *path, std::vector<uint32_t> &argb, long &width, long &height, std::string &why)
{
    std::vector<unsigned char> bytes;
    if (read_plain_file(path, PICTURE_FILE_LIMIT, bytes, why) != PLAIN_READ)
        return false;
    PictureHeader h;
    const char *problem = inspect_picture(bytes.data(), bytes.size(), (int64_t)bytes.size(), ICON_SIDE_LIMIT, h);
    if (!problem && (h.bits != 32 || h.compression != BI_RGB_CODE))
        problem = "is not a 32-bit picture with alpha";
    if (problem) {
        why = problem;
        return false;
    }
    width = h.width;
    height = h.height;
    argb.resize((size_t)width * height);
    for (long y = 0; y < height; y++) {
        const unsigned char *row = bytes.data() + h.offset + (height - 1 - y) * h.row_bytes;
        for (long x = 0; x < width; x++)
            argb[y * width + x] = le32(row + 4 * x);  // blue, green, red, alpha
    }
    return true;
}

bool save_argb_picture(const std::string &path, const std::vector<uint32_t> &argb, long width, long height)
{
    size_t pixels = (size_t)width * height * 4;
    std::vector<unsigned char> bytes(PICTURE_HEADER_SIZE + pixels, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, (uint32_t)bytes.size(), 4);
    put_le(bytes, 10, PICTURE_HEADER_SIZE, 4);
    put_le(bytes, 14, 40, 4);
    put_le(bytes, 18, (uint32_t)width, 4);
    put_le(bytes, 22, (uint32_t)height, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, 32, 2);
    put_le(bytes, 34, (uint32_t)pixels, 4);
    for (long y = 0; y < height; y++)
        for (long x = 0; x < width; x++)
            put_le(bytes, PICTURE_HEADER_SIZE + ((height - 1 - y) * width + x) * 4, argb[y * width + x], 4);
    SafeFile out;
    if (!begin_write(out, path))
        return false;
    fwrite(bytes.data(), 1, bytes.size(), out.file);
    return end_write(out) && commit_write(out);
}
