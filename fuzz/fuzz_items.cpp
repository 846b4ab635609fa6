// Fuzzes load_items.
#include "fuzz/fuzz_common.h"
#include "world/tables.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Straight from memory: no file is written or read.
    load_items_text((const char *)data, size);
    return 0;
}
