// Fuzzes load_map: the input is the map text and, after STRIP_MARK, one shadow-map strip
// that planes 0 to 7 share (hard links to one file). A map it takes has every corner of its
// active planes within reach of the world's middle.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "fuzz/fuzz_common.h"
#include "world/mapfile.h"
#include "world/tables.h"

enum { SHARED_STRIPS = 8 };

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    write_file("data/maps/shadowmap/i1_0.bmp", nullptr, 0);
    for (int p = 1; p < SHARED_STRIPS; p++) {
        std::string link_name = "data/maps/shadowmap/i1_" + std::to_string(p) + ".bmp";
        if (link("data/maps/shadowmap/i1_0.bmp", link_name.c_str()) != 0)
            abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *mark = (const uint8_t *)memmem(data, size, STRIP_MARK, strlen(STRIP_MARK));
    size_t text_size = mark ? (size_t)(mark - data) : size;
    size_t strip_at = mark ? text_size + strlen(STRIP_MARK) : size;
    write_file("data/maps/1.dtl", data, text_size);
    // Written in place, so every link sees the new strip.
    write_file("data/maps/shadowmap/i1_0.bmp", data + strip_at, size - strip_at);
    if (!load_map("1"))
        return 0;
    for (int p = 0; p <= plane_last; p++) {
        const float origin[3] = {planes[p].origin_x, planes[p].origin_y, planes[p].origin_z};
        for (int i = 0; planes[p].active && i <= planes[p].last_vertex; i++)
            for (int k = 0; k < 3; k++)
                if (!(std::fabs(origin[k] + planes[p].vertices[i].e[3 + k]) <= WORLD_REACH))
                    abort();
    }
    return 0;
}
