// grimhold-viewcheck: draws forged maps through the game's renderer from where the hero can
// stand and judges what the player would see.
// Usage: grimhold-viewcheck DATA_DIR MAPS_DIR [--map N]... [--places N] [--every] [--shots DIR]
//        grimhold-viewcheck --help   (the usage on standard output, status 0)
// One line a map with its figures, then the verdict: status 0 when every map holds, 1 when
// one breaks a rule (each failure names the map, the place and the rule), 2 on a bad
// command line.
#include <allegro.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "shell/video.h"
#include "tools/headless/headless.h"
#include "tools/viewcheck/viewcheck.h"

namespace {

const char usage[] =
    "usage: grimhold-viewcheck DATA_DIR MAPS_DIR [--map N]... [--places N] [--every] [--shots DIR]\n"
    "  DATA_DIR  the forged data folder (named data), MAPS_DIR the map sources it was forged from\n"
    "  --map N   judges map N alone (may be given again)\n"
    "  --places N  standing places a map (90 by default; fewer judge faster and find less)\n"
    "  --every   also every place beside a wall and every step of a walk (slow)\n"
    "  --shots DIR  keeps the first failing frames of each map there as BMP files\n";

struct Options {
    std::string data_dir, maps_dir, shots;
    std::vector<int> maps;
    int places = FULL_VIEW_PLACES;
    bool every = false;
};

// A whole positive number, or -1.
int number_of(const char *text)
{
    char *end = nullptr;
    long n = strtol(text, &end, 10);
    return *text && !*end && n > 0 && n < INT_MAX ? (int)n : -1;
}

bool read_options(int argc, char **argv, Options &o)
{
    std::vector<std::string> plain;
    for (int i = 1; i < argc; i++) {
        bool has_value = i + 1 < argc;
        if (strcmp(argv[i], "--map") == 0 && has_value && number_of(argv[i + 1]) > 0)
            o.maps.push_back(number_of(argv[++i]));
        else if (strcmp(argv[i], "--places") == 0 && has_value && number_of(argv[i + 1]) > 0)
            o.places = number_of(argv[++i]);
        else if (strcmp(argv[i], "--shots") == 0 && has_value)
            o.shots = argv[++i];
        else if (strcmp(argv[i], "--every") == 0)
            o.every = true;
        else if (argv[i][0] != '-')
            plain.push_back(argv[i]);
        else
            return false;
    }
    if (plain.size() != 2)
        return false;
    o.data_dir = plain[0], o.maps_dir = plain[1];
    return true;
}

// The game reads "data/...": works from the data folder's parent, as the forge writes it.
bool enter_parent_of_data(std::string data)
{
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    size_t slash = data.rfind('/');
    if (data.substr(slash == std::string::npos ? 0 : slash + 1) != "data") {
        fprintf(stderr, "grimhold-viewcheck: %s: the forged data is a folder named \"data\"\n", data.c_str());
        return false;
    }
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : data.substr(0, slash);
    if (chdir(parent.c_str()) != 0) {
        fprintf(stderr, "grimhold-viewcheck: %s cannot be entered\n", parent.c_str());
        return false;
    }
    return true;
}

std::string absolute(const std::string &path)
{
    char cwd[PATH_MAX];
    if (path.empty() || path[0] == '/' || !getcwd(cwd, sizeof(cwd)))
        return path;
    return std::string(cwd) + "/" + path;
}

bool wanted(const Options &o, int number)
{
    for (int n : o.maps)
        if (n == number)
            return true;
    return o.maps.empty();
}

// Judges every map wanted; the failing ones' numbers into `failed`.
int judge_campaign(const Campaign &c, const Options &o, std::string &failed)
{
    ViewBudget budget = view_budget(o.places, o.every);
    int judged = 0;
    begin_view_check();
    for (const MapSource &m : c.maps) {
        if (!wanted(o, m.number))
            continue;
        MapView v = check_map_view(c, m, budget, o.shots);
        judged++;
        printf("%s\n", map_view_line(v).c_str());
        for (const std::string &f : v.failures)
            printf("  map %d (%s): %s\n", m.number, m.file.c_str(), f.c_str());
        if (!v.failures.empty())
            failed += (failed.empty() ? "" : ", ") + std::to_string(m.number);
        fflush(stdout);
    }
    end_view_check();
    return judged;
}

}  // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--help") == 0) {
            fputs(usage, stdout);
            return 0;
        }
    Options o;
    if (!read_options(argc, argv, o)) {
        fputs(usage, stderr);
        return 2;
    }
    init_headless_video(GAME_DEPTH, GAME_WIDTH, GAME_HEIGHT);
    Campaign c;
    std::string error;
    if (!load_campaign_sources(o.maps_dir, c, error)) {
        fprintf(stderr, "grimhold-viewcheck: %s\n", error.c_str());
        return 1;
    }
    for (int n : o.maps)
        if (!find_map(c, n)) {
            fprintf(stderr, "grimhold-viewcheck: no map %d in %s\n", n, o.maps_dir.c_str());
            return 2;
        }
    o.shots = absolute(o.shots);
    if (!enter_parent_of_data(o.data_dir))
        return 1;
    HeroFrames frames("data");
    if (!frames.complete) {
        fprintf(stderr, "grimhold-viewcheck: data/anim: Velok's standing and walking frames are missing\n");
        return 1;
    }
    std::string failed;
    int judged = judge_campaign(c, o, failed);
    if (!failed.empty()) {
        printf("grimhold-viewcheck: FAILED: of %d map%s judged, %s breaks a rule\n", judged, judged == 1 ? "" : "s",
               failed.c_str());
        return 1;
    }
    printf("grimhold-viewcheck: %d map%s judged, every rule holds\n", judged, judged == 1 ? "" : "s");
    return 0;
}
