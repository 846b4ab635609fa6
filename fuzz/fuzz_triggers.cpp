// Fuzzes load_triggers.
#include "fuzz/fuzz_common.h"
#include "world/tables.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    write_file("data/triggers.dat", data, size);
    load_triggers();
    return 0;
}
