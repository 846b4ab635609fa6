// grimhold-forge: writes the game's data directory.
// Usage: grimhold-forge DATA_DIR [--maps DIR] [--overview DIR] [--contact-sheets DIR] [--icons DIR]
//                       [--facts FILE]
//        grimhold-forge --help   (the usage on standard output, status 0)
// The pictures always; the world (maps, items, monsters, triggers) when --maps names the
// folder of map sources; an overview picture per map when --overview names a folder; the
// desktop icon at every size when --icons names the root of an icon theme; the campaign's
// counts for the packaging texts when --facts names a file.
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tools/forge/campaign.h"
#include "shell/video.h"
#include "tools/headless/headless.h"
#include "tools/forge/forge.h"
#include "tools/forge/facts.h"
#include "tools/forge/icons.h"
#include "world/picture.h"

static double seconds_now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The game reads its data from a folder named "data": any other name is refused before
// anything is written.
static bool named_data(const char *data_dir)
{
    std::string data = data_dir;
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    size_t slash = data.rfind('/');
    if (data.substr(slash == std::string::npos ? 0 : slash + 1) == "data")
        return true;
    fprintf(stderr, "%s: the game's data is written into a folder named \"data\"\n", data_dir);
    return false;
}

// The window's icon, the menu's emblem at 64 pixels with its alpha, for the game to read.
static bool forge_window_icon(const std::string &data_dir)
{
    const int size = 64;
    BITMAP *icon = make_icon(size);
    if (!icon) {
        fprintf(stderr, "Can't make %s/icon.bmp\n", data_dir.c_str());
        return false;
    }
    std::vector<uint32_t> argb((size_t)size * size);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            int c = getpixel(icon, x, y);
            argb[y * size + x] = (uint32_t)geta32(c) << 24 | getr32(c) << 16 | getg32(c) << 8 | getb32(c);
        }
    }
    destroy_bitmap(icon);
    return save_argb_picture(data_dir + "/icon.bmp", argb, size, size);
}

int main(int argc, char **argv)
{
    const char *data_dir = nullptr;
    const char *sheets_dir = nullptr;
    const char *maps_dir = nullptr;
    const char *overview_dir = nullptr;
    const char *icons_dir = nullptr;
    const char *facts_file = nullptr;
    static const char usage[] =
        "usage: grimhold-forge DATA_DIR [--maps DIR] [--overview DIR] [--contact-sheets DIR] [--icons DIR] [--facts FILE]\n";
    // Asked for, the usage is the answer: on standard output, status 0.
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0) {
            fputs(usage, stdout);
            return 0;
        }
    }
    bool bad = argc < 2;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--contact-sheets") == 0 && i + 1 < argc)
            sheets_dir = argv[++i];
        else if (strcmp(argv[i], "--maps") == 0 && i + 1 < argc)
            maps_dir = argv[++i];
        else if (strcmp(argv[i], "--overview") == 0 && i + 1 < argc)
            overview_dir = argv[++i];
        else if (strcmp(argv[i], "--icons") == 0 && i + 1 < argc)
            icons_dir = argv[++i];
        else if (strcmp(argv[i], "--facts") == 0 && i + 1 < argc)
            facts_file = argv[++i];
        else if (!data_dir && argv[i][0] != '-')
            data_dir = argv[i];
        else
            bad = true;
    }
    if (!data_dir && (maps_dir || overview_dir || facts_file))
        bad = true;
    if (bad) {
        fputs(usage, stderr);
        return 2;
    }
    if (data_dir && !named_data(data_dir))
        return 1;

    // No display: build machines have none. The map writers draw their progress panel on
    // a memory screen.
    init_headless_video(32, GAME_WIDTH, GAME_HEIGHT);

    double start = seconds_now();
    if (data_dir) {
        if (!forge_images(data_dir) || !forge_window_icon(data_dir))
            return 1;
        if (maps_dir && !forge_world(maps_dir, data_dir, overview_dir ? overview_dir : ""))
            return 1;
        printf("grimhold-forge: %s written in %.2f s\n", data_dir, seconds_now() - start);
        if (facts_file && !forge_facts(data_dir, facts_file))
            return 1;
    }
    if (icons_dir) {
        if (!forge_icons(icons_dir, "grimhold"))
            return 1;
        printf("grimhold-forge: icons in %s\n", icons_dir);
    }
    if (sheets_dir) {
        if (!forge_contact_sheets(sheets_dir))
            return 1;
        printf("grimhold-forge: contact sheets in %s\n", sheets_dir);
    }
    return 0;
}
