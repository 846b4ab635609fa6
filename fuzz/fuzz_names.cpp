// Fuzzes load_map_names. A table it takes holds only names the font draws whole: printable
// characters, at most 40, single spaces between words and none at either end.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_common.h"
#include "world/names.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    start_fuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!load_map_names_text((const char *)data, size))
        return 0;
    for (int m = 0; m < MAP_NUMBERS; m++) {
        const char *name = map_names[m];
        size_t n = strnlen(name, MAP_NAME_LENGTH + 1);
        if (n > MAP_NAME_LENGTH || (n && (name[0] == ' ' || name[n - 1] == ' ')) || strstr(name, "  "))
            abort();
        for (size_t i = 0; i < n; i++)
            if (name[i] < ' ' || name[i] > '~')
                abort();
    }
    return 0;
}
