// grimhold-forge: writes the game's data directory.
// Usage: grimhold-forge DATA_DIR [--contact-sheets DIR]
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "tools/forge/forge.h"

static double seconds_now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    const char *data_dir = nullptr;
    const char *sheets_dir = nullptr;
    bool bad = argc < 2;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--contact-sheets") == 0 && i + 1 < argc)
            sheets_dir = argv[++i];
        else if (!data_dir && argv[i][0] != '-')
            data_dir = argv[i];
        else
            bad = true;
    }
    if (bad) {
        fprintf(stderr, "usage: grimhold-forge DATA_DIR [--contact-sheets DIR]\n");
        return 2;
    }

    // No display: build machines have none.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "Can't start Allegro\n");
        return 1;
    }
    set_color_depth(32);

    double start = seconds_now();
    if (data_dir) {
        if (!forge_images(data_dir))
            return 1;
        printf("grimhold-forge: %s written in %.2f s\n", data_dir, seconds_now() - start);
    }
    if (sheets_dir) {
        if (!forge_contact_sheets(sheets_dir))
            return 1;
        printf("grimhold-forge: contact sheets in %s\n", sheets_dir);
    }
    return 0;
}
