// Fuzzes the picture check and the bitmap loader behind it: the input is a picture file,
// taken straight from memory.
#include "fuzz/fuzz_common.h"
#include "world/picture.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static PALETTE pal;
    std::string why;
    BITMAP *b = decode_picture(data, size, pal, why);
    if (b)
        destroy_bitmap(b);
    return 0;
}
