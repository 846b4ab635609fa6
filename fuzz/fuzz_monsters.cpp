// Fuzzes load_monsters with every monster kind filled in.
#include "fuzz/fuzz_common.h"
#include "world/tables.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    for (int k = 1; k < MONSTER_KINDS; k++)
        monster_kinds[k] = MonsterKind{(s16)(k * 2), (s16)k, 0.25f * k};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Straight from memory: no file is written or read.
    monster_total = 0;  // counts up on every read; one run must not overflow it
    load_monsters_text((const char *)data, size);
    return 0;
}
