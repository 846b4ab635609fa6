// grimhold-autoplay: the automated player, headless.
//
//   grimhold-autoplay [--frames N] [--seed S]
//       plays the campaign once; exit status 0 only on victory with every demon dead.
//   grimhold-autoplay --shots DIR ...
//       also saves a picture of each map two seconds after the hero first enters it.
//   grimhold-autoplay --soak PASSES [--seed S]
//       plays game after game for that many passes of the main loop and checks that the
//       memory in use does not grow once every map has been seen.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "shell/startup.h"
#include "tools/autoplay/autoplay.h"

// Resident memory in kilobytes.
static long resident_kb()
{
    FILE *f = fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The data folder sits beside the game, one level up from this tool.
static void find_data(const char *argv0)
{
    std::string self = program_path(argv0);
    if (enter_data_directory(self))
        return;
    size_t slash = self.rfind('/');
    if (slash != std::string::npos && enter_data_directory(self.substr(0, slash)))
        return;
}

static int play_once(long frames, const char *shots)
{
    autoplay_shots_dir = shots ? shots : "";
    bool won = autoplay_run(frames);
    print_autoplay_report(stdout);
    if (!won || monsters_killed != monster_total) {
        printf("FAILED: the campaign was not won with every demon dead\n");
        return 1;
    }
    return 0;
}

static int soak(long passes)
{
    long games = 0, settled_kb = 0, start_kb = resident_kb();
    long done = 0;
    while (done < passes) {
        autoplay_run(passes - done);
        done += autoplay_report.frames;
        games++;
        printf("game %ld: %s after %ld passes; %ld passes in all; resident %ld kB\n", games,
               autoplay_report.result.c_str(), autoplay_report.frames, done, resident_kb());
        fflush(stdout);
        if (games == 1)
            settled_kb = resident_kb();  // every map seen: scene arrays and shadow cells are grown
        if (done < passes)
            restart_world();
    }
    long end_kb = resident_kb();
    printf("soak: %ld passes, %ld games; resident %ld kB at the start, %ld kB after the first game, %ld kB at the end\n",
           done, games, start_kb, settled_kb, end_kb);
    if (games > 1 && end_kb - settled_kb > 2048) {
        printf("FAILED: memory grew by %ld kB after every map had been seen\n", end_kb - settled_kb);
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    long frames = 200000, soak_passes = 0;
    const char *shots = nullptr;
    unsigned seed = 1;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = atol(argv[++i]);
        else if (!strcmp(argv[i], "--seed") && i + 1 < argc)
            seed = (unsigned)atol(argv[++i]);
        else if (!strcmp(argv[i], "--shots") && i + 1 < argc)
            shots = argv[++i];
        else if (!strcmp(argv[i], "--soak") && i + 1 < argc)
            soak_passes = atol(argv[++i]);
        else {
            fprintf(stderr, "usage: grimhold-autoplay [--frames N] [--seed S] [--shots DIR] [--soak PASSES]\n");
            return 2;
        }
    }
    find_data(argv[0]);
    start_headless_game(seed);
    return soak_passes > 0 ? soak(soak_passes) : play_once(frames, shots);
}
