// Fuzzes load_items. A table it takes holds only what the game can use: every item on one
// of the game's maps (or none), within reach of the world's middle, of a type it draws.
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
    if (!load_items_text((const char *)data, size))
        return 0;
    for (int i = 0; i < item_count; i++) {
        const ItemPlacement &p = item_placements[i];
        bool placed = p.map >= 0 && p.map < MAP_NUMBERS && p.type >= ITEM_HEART && p.type <= ITEM_GEM_LAST;
        bool near = std::fabs(p.x) <= WORLD_REACH && std::fabs(p.y) <= WORLD_REACH && std::fabs(p.z) <= WORLD_REACH;
        if (!placed || !near || !p.present)
            abort();
    }
    return 0;
}
