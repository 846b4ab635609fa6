// The whole game, headless, on the shipped campaign: a full main-loop pass on the densest
// map (the most triangles) with the automated player walking, start-up to the first frame,
// map changes (all maps in turn; the densest entered for the first time, when its shadow
// cells are created, and again), and the share of a pass each step takes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "game/triggers.h"
#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tools/autoplay/autoplay.h"
#include "world/mapfile.h"

namespace {

std::string self_path;
std::vector<int> campaign_maps;
int densest_map = 901;
size_t densest_triangles;

const Trigger &start_of(int map) { return triggers[START_RECORD + map]; }

void go_to(int map)
{
    const Trigger &t = start_of(map);
    change_map(std::to_string(map).c_str(), t.e[1], t.e[2], t.e[3]);
}

// Loads the game once per process and finds the map with the most triangles.
void start_once()
{
    static bool started;
    if (started)
        return;
    started = true;
    start_headless_game(1);
    for (int m = 1; m < MAP_NUMBERS; m++)
        if ((int)start_of(m).e[0] == m)
            campaign_maps.push_back(m);
    for (int m : campaign_maps) {
        go_to(m);
        if (view_triangles.size() > densest_triangles) {
            densest_triangles = view_triangles.size();
            densest_map = m;
        }
    }
    // "Everything but the copy to the screen": the screen shrinks to one pixel.
    screen = create_bitmap(1, 1);
}

// The demons of the map come back when the hero has killed them all, so that he keeps
// hunting here instead of leaving.
void revive_demons(int map)
{
    bool alive = false;
    for (int j = 0; j < monster_counts[map]; j++)
        alive = alive || monsters[map][j].health > 0;
    if (!alive)
        for (int j = 0; j < monster_counts[map]; j++)
            monsters[map][j].health = monsters[map][j].max_health;
}

void BM_FullPass(benchmark::State &state)
{
    start_once();
    go_to(densest_map);
    autoplay_begin();
    memset(pass_step_ms, 0, sizeof(pass_step_ms));
    time_pass_steps = true;
    double pass_ms = 0;
    long passes = 0;
    for (auto _ : state) {
        revive_demons(densest_map);
        autoplay_choose_keys();  // the player's thinking is not part of the game's pass
        manual_clock += 1000.0 / 60;
        double t0 = monotonic_ms();
        main_loop_pass();
        double ms = monotonic_ms() - t0;
        state.SetIterationTime(ms / 1000.0);
        pass_ms += ms;
        passes++;
        autoplay_note_pass();
        if (current_map != densest_map || player_health < 1) {
            if (player_health < 1) {
                player_health = 100;
                closing_screen_shown = CLOSING_NONE;
            }
            go_to(densest_map);
        }
    }
    time_pass_steps = false;
    double total = 0;
    for (double ms : pass_step_ms)
        total += ms;
    for (int i = 0; i < PASS_STEPS; i++)
        state.counters[std::string("% ") + pass_step_names[i]] = 100.0 * pass_step_ms[i] / total;
    state.counters["passes/s"] = passes / (pass_ms / 1000.0);
    state.counters["triangles"] = (double)densest_triangles;
    state.SetLabel("map " + std::to_string(densest_map));
}
BENCHMARK(BM_FullPass)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_MapChange(benchmark::State &state)
{
    start_once();
    size_t next = 0;
    for (auto _ : state) {
        go_to(campaign_maps[next]);
        next = (next + 1) % campaign_maps.size();
    }
    state.SetLabel("load, scene build, placement; all maps in turn");
}
BENCHMARK(BM_MapChange)->Unit(benchmark::kMillisecond);

// Any campaign map but the densest, to come from.
int other_map()
{
    for (int m : campaign_maps)
        if (m != densest_map)
            return m;
    return densest_map;
}

// Every shadow cell freed, as before the first visit of any map.
void free_shadow_cells()
{
    for (int p = 0; p < MAX_PLANES; p++)
        for (int t = 0; t < MAX_PLANE_TRIANGLES; t++) {
            if (planes[p].triangle_shadow[t])
                destroy_bitmap(planes[p].triangle_shadow[t]);
            planes[p].triangle_shadow[t] = nullptr;
            planes[p].triangle_shadow_state[t] = 0;
        }
}

// The first entry into the densest map: every one of its shadow cells is created.
void BM_MapChangeFirstEntry(benchmark::State &state)
{
    start_once();
    for (auto _ : state) {
        state.PauseTiming();
        go_to(other_map());
        free_shadow_cells();
        state.ResumeTiming();
        go_to(densest_map);
    }
    state.SetLabel("map " + std::to_string(densest_map) + ", its shadow cells created");
}
BENCHMARK(BM_MapChangeFirstEntry)->Unit(benchmark::kMillisecond);

// A return to the densest map: its cells are there and are painted over.
void BM_MapChangeReturn(benchmark::State &state)
{
    start_once();
    for (auto _ : state) {
        state.PauseTiming();
        go_to(other_map());
        state.ResumeTiming();
        go_to(densest_map);
    }
    state.SetLabel("map " + std::to_string(densest_map) + ", its shadow cells reused");
}
BENCHMARK(BM_MapChangeReturn)->Unit(benchmark::kMillisecond);

// Start-up in a fresh process each time: this program runs itself with --start-up, which
// does everything from main to the first frame but the logo hold and the SPACE wait.
void BM_StartUp(benchmark::State &state)
{
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        pid_t child = fork();
        if (child == 0) {
            dup2(fds[1], 1);
            execl(self_path.c_str(), self_path.c_str(), "--start-up", (char *)nullptr);
            _exit(127);
        }
        close(fds[1]);
        char text[256] = {0};
        std::string out;
        ssize_t n;
        while ((n = read(fds[0], text, sizeof(text) - 1)) > 0)
            out.append(text, n);
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        size_t at = out.find("start-up ms ");
        if (at == std::string::npos) {
            state.SkipWithError("the child did not report");
            return;
        }
        state.SetIterationTime(atof(out.c_str() + at + 12) / 1000.0);
    }
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char **argv)
{
    self_path = program_path(argv[0]);
    // The data sits in the build folder, one up from this program.
    std::string parent = self_path.substr(0, self_path.rfind('/'));
    parent = parent.substr(0, parent.rfind('/'));
    if (!enter_data_directory(self_path))
        enter_data_directory(parent + "/bench_game");
    if (argc > 1 && !strcmp(argv[1], "--start-up")) {
        double t0 = monotonic_ms();
        start_headless_game(1);
        printf("start-up ms %.3f\n", monotonic_ms() - t0);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
