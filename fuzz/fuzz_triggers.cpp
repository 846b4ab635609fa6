// Fuzzes load_triggers. A table it takes sends the hero only to the game's maps, named by
// whole numbers, within reach of the world's middle. (A whole file is 90 000 values, longer than the fuzzer's
// inputs: mostly the checking walk is fuzzed, which is where the refusals are.)
#include <cmath>
#include <cstdlib>

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
    if (!load_triggers_text((const char *)data, size))
        return 0;
    for (const Trigger &t : triggers) {
        bool on_a_map = t.e[0] >= 0 && t.e[0] < MAP_NUMBERS && t.e[0] == std::floor(t.e[0]);
        bool near = std::fabs(t.e[1]) <= WORLD_REACH && std::fabs(t.e[2]) <= WORLD_REACH && std::fabs(t.e[3]) <= WORLD_REACH;
        if (!on_a_map || !near)
            abort();
    }
    return 0;
}
