// Fuzzes load_monsters with every monster kind filled in. A table it takes holds only
// demons that can be hit and killed: kinds 1 to 15, with their kind's health.
#include <cstdlib>

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
    if (!load_monsters_text((const char *)data, size))
        return 0;
    for (int m = 0; m < MAP_NUMBERS; m++) {
        if (monster_counts[m] < 0 || monster_counts[m] > MONSTERS_PER_MAP)
            abort();
        for (int j = 0; j < monster_counts[m]; j++)
            if (monsters[m][j].kind < 1 || monsters[m][j].kind >= MONSTER_KINDS || monsters[m][j].health < 1)
                abort();
    }
    return 0;
}
