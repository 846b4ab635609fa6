// grimhold-autoplay: the automated player, headless.
//
//   grimhold-autoplay [--minutes M] [--seed S] [--skill expert|novice] [--rate S]
//                     [--start-map N] [--log FILE]
//       plays the campaign once within M game minutes. The expert's exit status is 0 only
//       on victory with every demon dead; the novice's whenever the game ends (won or
//       lost). Either fails when its report disagrees with the game's counts.
//   grimhold-autoplay --shots DIR ...
//       also saves a picture of each map two seconds after the hero first enters it.
//   grimhold-autoplay --soak PASSES [--seed S] [--by-map]
//       plays game after game for that many passes of the main loop and checks that every
//       game ends and that the memory in use shows no upward trend from game to game once
//       every map has been seen. With --by-map, the games after the first are each one
//       map of the campaign in turn, as --start-map plays it: shorter games, so that a short
//       soak still has enough of them to judge the trend.
//   grimhold-autoplay --help
//       the usage on standard output, status 0.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

#include "render/draw.h"
#include "shell/startup.h"
#include "tools/autoplay/autoplay.h"
#include "tools/autoplay/autoplay_mind.h"
#include "tools/autoplay/soak.h"

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

static int play_once(double minutes, const char *shots)
{
    autoplay_shots_dir = shots ? shots : "";
    if (!autoplay_enter_start_map()) {
        printf("FAILED: map %d is not one of the campaign's\n", autoplay_start_map);
        return 1;
    }
    autoplay_run_minutes(minutes);
    print_autoplay_report(stdout);
    const std::string &result = autoplay_report.result;
    std::string problem;
    if (!autoplay_counts_agree(&problem)) {
        printf("FAILED: %s\n", problem.c_str());
        return 1;
    }
    if (result == "out of time") {
        printf("FAILED: no end within %g game minutes\n", minutes);
        return 1;
    }
    if (autoplay_skill == SKILL_NOVICE)
        return 0;
    if (autoplay_start_map ? result != "map cleared" && result != "victory"
                           : result != "victory" || monsters_killed != monster_total) {
        printf("FAILED: the %s was not won with every demon dead\n", autoplay_start_map ? "map" : "campaign");
        return 1;
    }
    return 0;
}

// Plays game after game. The first game sees every map (the scene arrays reach their
// largest and every shadow cell is made); from then on the heap, sampled at the end of every
// finished game, must show no upward trend (see heap_grows). Each later game reads the
// tables again; what the first re-reading leaves differs at most in the first sample, one
// pair among many in the trend's median. Every game must end, won or lost, within
// GAME_PASS_LIMIT passes.
enum { GAME_PASS_LIMIT = 60000, SETTLING_GAMES = 1 };

static bool soak_by_map = false;

// The maps the games after the settling ones go through, with --by-map: the campaign's
// order without the hub, whose gem-4 yard cannot be cleared before the campaign's end.
static int soak_map_count()
{
    return (int)(sizeof(autoplay_mind::campaign_order) / sizeof(autoplay_mind::campaign_order[0])) - 1;
}

// Starts game number `game` (from 1): a new world, and with --by-map after the settling
// games one map of the campaign in turn, entered with what the campaign gives before it.
static void start_soak_game(long game)
{
    if (game > 1)
        load_world();
    autoplay_start_map = 0;
    if (!soak_by_map || game <= SETTLING_GAMES)
        return;
    autoplay_start_map = autoplay_mind::campaign_order[1 + (game - SETTLING_GAMES - 1) % soak_map_count()];
    if (!autoplay_enter_start_map()) {
        printf("FAILED: map %d could not be entered\n", autoplay_start_map);
        exit(1);
    }
}

static int soak(long passes)
{
    long games = 0, done = 0;
    long start_heap = heap_in_use(), settled_kb = 0, start_kb = resident_kb();
    // Room for every sample up front: the list growing as the games go would itself show as
    // a heap that grows from game to game. (A game is a few hundred passes at the least.)
    std::vector<long> samples;
    samples.reserve((size_t)(passes / 200 + 16));
    bool stuck = false, too_short = false;
    size_t period = soak_by_map ? (size_t)soak_map_count() : 1;
    SoakPlan plan = soak_plan(SETTLING_GAMES, TREND_MIN_GAMES + period - 1, soak_by_map ? SOAK_ONE_MAP : SOAK_WHOLE,
                              soak_map_count());
    printf("soak: %ld passes; the heap is judged on %d games that settle and %zu finished games after them%s\n", passes,
           (int)SETTLING_GAMES, TREND_MIN_GAMES + period - 1, soak_by_map ? ", each of one map" : "");
    while (done < passes) {
        long budget = std::min<long>(passes - done, GAME_PASS_LIMIT);
        start_soak_game(games + 1);
        autoplay_run(budget);
        done += autoplay_report.frames;
        games++;
        // A game cut off by the pass budget reports "out of time": it has not ended.
        bool ended = autoplay_report.result != "out of time";
        printf("game %ld%s: %s after %ld passes; %ld passes in all; heap in use %ld bytes, resident %ld kB\n", games,
               autoplay_start_map ? (" (map " + std::to_string(autoplay_start_map) + ")").c_str() : "",
               autoplay_report.result.c_str(), autoplay_report.frames, done, heap_in_use(), resident_kb());
        fflush(stdout);
        if (!ended && budget == GAME_PASS_LIMIT) {
            printf("FAILED: game %ld did not end within %d passes\n", games, (int)GAME_PASS_LIMIT);
            stuck = true;
            break;
        }
        if (ended && games > SETTLING_GAMES)
            samples.push_back(heap_in_use());
        if (games == SETTLING_GAMES)
            settled_kb = resident_kb();
        // Said as soon as it is plain, not after the rest of the budget.
        soak_played(plan, autoplay_start_map ? SOAK_ONE_MAP : SOAK_WHOLE, autoplay_report.frames, ended);
        if (!soak_can_finish(plan, passes - done)) {
            too_short = true;
            break;
        }
    }
    long end_heap = heap_in_use(), end_kb = resident_kb();
    printf("soak: %ld passes, %ld games\n", done, games);
    long low = samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
    long high = samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
    printf("heap in use: %ld bytes at the start, %ld at the end; from game %d on %ld to %ld over %zu games, "
           "trend %+.1f bytes a game (limit %d)\n",
           start_heap, end_heap, (int)SETTLING_GAMES + 1, low, high, samples.size(), heap_trend(samples, period),
           (int)GROWTH_LIMIT);
    printf("resident: %ld kB at the start, %ld kB after the first game, %ld kB at the end\n", start_kb, settled_kb, end_kb);
    if (stuck)
        return 1;
    if (too_short || samples.size() < TREND_MIN_GAMES + period - 1) {
        printf("FAILED: too few passes to tell whether memory grows: %zu games finished after the first %d, %zu "
               "needed; ask for --soak %ld or more\n",
               samples.size(), (int)SETTLING_GAMES, TREND_MIN_GAMES + period - 1, soak_passes_to_ask(plan, done));
        return 1;
    }
    if (heap_grows(samples, period)) {
        printf("FAILED: the heap grows by %.1f bytes a game once every map has been seen\n", heap_trend(samples, period));
        return 1;
    }
    return 0;
}

static const char usage[] =
    "usage: grimhold-autoplay [--minutes M] [--seed S] [--skill expert|novice] [--rate S]\n"
    "                         [--start-map N [--start-health H]] [--no-draw] [--log FILE] [--shots DIR]\n"
    "                         [--soak PASSES [--by-map]]\n";

int main(int argc, char **argv)
{
    // Asked for, the usage is the answer: on standard output, status 0.
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help")) {
            fputs(usage, stdout);
            return fflush(stdout) == 0 ? 0 : 1;
        }
    }
    long soak_passes = 0;
    double minutes = 30;
    const char *shots = nullptr;
    unsigned seed = 1;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--minutes") && i + 1 < argc)
            minutes = atof(argv[++i]);
        else if (!strcmp(argv[i], "--seed") && i + 1 < argc)
            seed = (unsigned)atol(argv[++i]);
        else if (!strcmp(argv[i], "--shots") && i + 1 < argc)
            shots = argv[++i];
        else if (!strcmp(argv[i], "--soak") && i + 1 < argc)
            soak_passes = atol(argv[++i]);
        else if (!strcmp(argv[i], "--by-map"))
            soak_by_map = true;
        else if (!strcmp(argv[i], "--skill") && i + 1 < argc && !strcmp(argv[i + 1], "expert"))
            autoplay_skill = SKILL_EXPERT, i++;
        else if (!strcmp(argv[i], "--skill") && i + 1 < argc && !strcmp(argv[i + 1], "novice"))
            autoplay_skill = SKILL_NOVICE, i++;
        else if (!strcmp(argv[i], "--rate") && i + 1 < argc && atof(argv[i + 1]) > 0)
            autoplay_rate = (float)atof(argv[++i]);
        else if (!strcmp(argv[i], "--start-map") && i + 1 < argc)
            autoplay_start_map = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--start-health") && i + 1 < argc && atoi(argv[i + 1]) > 0)
            autoplay_start_health = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--no-draw"))
            draw_world_pixels = false;
        else if (!strcmp(argv[i], "--log") && i + 1 < argc)
            autoplay_log_path = argv[++i];
        else {
            fputs(usage, stderr);
            return 2;
        }
    }
    if ((shots && !draw_world_pixels) || (autoplay_start_health && !autoplay_start_map)) {
        fprintf(stderr, "grimhold-autoplay: %s\n", shots && !draw_world_pixels ? "--shots needs the pictures drawn"
                                                                               : "--start-health needs --start-map");
        return 2;
    }
    find_data(argv[0]);
    autoplay_seed = seed;
    start_headless_game(seed, autoplay_rate > 0);
    return soak_passes > 0 ? soak(soak_passes) : play_once(minutes, shots);
}
