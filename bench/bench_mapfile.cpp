// Times load_map and save_map on generated maps of 20 and 50 planes of 1000 triangles and
// 1000 vertices each, every triangle with its own shadow cell, and a whole map change (load
// and scene build) on the 20-plane map. Headless, 16-bit colour.
#include <benchmark/benchmark.h>

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "game/scene.h"
#include "render/camera.h"
#include "shell/video.h"
#include "tools/headless/headless.h"
#include "world/mapfile.h"
#include "world/tables.h"

static void build_big_map(int plane_count)
{
    srand(7);
    plane_last = (s16)(plane_count - 1);
    map_extra_count = 2;
    for (int p = 0; p < plane_count; p++) {
        Plane &pl = planes[p];
        pl.active = 1;
        pl.origin_x = p * 16.5f;
        pl.origin_z = -p * 3.25f;
        pl.last_vertex = MAX_PLANE_VERTICES - 1;
        pl.last_triangle = MAX_PLANE_TRIANGLES - 1;
        for (int i = 0; i < MAX_PLANE_VERTICES; i++) {
            float *e = pl.vertices[i].e;
            e[3] = (i % 32) * 1.137f;
            e[4] = (rand() % 1000) / 997.0f;
            e[5] = (i / 32) * 1.093f;
            e[VERTEX_SKIP] = 0;
        }
        for (int t = 0; t < MAX_PLANE_TRIANGLES; t++) {
            s16 *e = pl.triangles[t].e;
            e[0] = (s16)(t % 998);
            e[1] = (s16)(t % 998 + 1);
            e[2] = (s16)(t % 998 + 2);
            e[TRIANGLE_TEXTURE] = (s16)(t % TEXTURE_SLOTS);
            e[TRIANGLE_KIND] = (s16)(t % 9);
            for (int k = 0; k < 6; k++)
                pl.triangle_uvs[t][k] = (s16)(k % 2 ? SHADOW_CELL - 1 : 0);
            if (!pl.triangle_shadow[t])
                pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
            pl.triangle_shadow_state[t] = 2;
            for (int y = 0; y < SHADOW_CELL; y++)
                for (int x = 0; x < SHADOW_CELL; x++)
                    putpixel(pl.triangle_shadow[t], x, y, makecol(rand() & 255, rand() & 255, rand() & 255));
        }
    }
}

static std::string map_name(int plane_count)
{
    return "big" + std::to_string(plane_count);
}

static void BM_load_map(benchmark::State &state)
{
    int plane_count = (int)state.range(0);
    build_big_map(plane_count);
    std::string name = map_name(plane_count);
    if (!save_map(name.c_str())) {
        state.SkipWithError("save_map failed");
        return;
    }
    for (auto _ : state)
        if (!load_map(name.c_str()))
            state.SkipWithError("load_map failed");
    state.counters["triangles"] = plane_count * MAX_PLANE_TRIANGLES;
}
BENCHMARK(BM_load_map)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);

// What a trigger floor costs: the map load, the scene build and the monster placement.
static void BM_map_change(benchmark::State &state)
{
    int plane_count = (int)state.range(0);
    build_big_map(plane_count);
    std::string name = map_name(plane_count);
    if (!save_map(name.c_str())) {
        state.SkipWithError("save_map failed");
        return;
    }
    for (auto _ : state) {
        if (!load_map(name.c_str()))
            state.SkipWithError("load_map failed");
        build_scene();
        place_monsters();
    }
    state.counters["scene_triangles"] = (double)view_triangles.size();
}
BENCHMARK(BM_map_change)->Arg(20)->Unit(benchmark::kMillisecond);

// The tables read at start-up, all full: 10 000 trigger records, 20 monsters on every map,
// 100 item placements.
static void BM_load_tables(benchmark::State &state)
{
    FILE *f = fopen("data/triggers.dat", "w");
    for (int i = 0; i < MAX_TRIGGERS; i++)
        for (int j = 0; j < 9; j++)
            fprintf(f, "%f\n", j == 0 ? 901.0 : i * 0.37 + j);
    fclose(f);
    for (int m = 0; m < MAP_NUMBERS; m++) {
        monster_counts[m] = MONSTERS_PER_MAP;
        for (int j = 0; j < MONSTERS_PER_MAP; j++)
            monsters[m][j].kind = (s16)(1 + j % LAST_DEMON_KIND);
    }
    item_count = MAX_ITEM_PLACEMENTS;
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        item_placements[i] = ItemPlacement{1, i * 1.5f, 0.25f, -i * 0.75f, (s16)(i % (ITEM_GEM_LAST + 1)), 900 + i % 10};
    if (!save_monsters() || !save_items()) {
        state.SkipWithError("could not write the tables");
        return;
    }
    for (auto _ : state) {
        monster_total = 0;
        if (!load_triggers() || !load_monsters() || !load_items())
            state.SkipWithError("a table failed to load");
    }
}
BENCHMARK(BM_load_tables)->Unit(benchmark::kMillisecond);

static void BM_save_map(benchmark::State &state)
{
    int plane_count = (int)state.range(0);
    build_big_map(plane_count);
    std::string name = map_name(plane_count);
    for (auto _ : state)
        if (!save_map(name.c_str()))
            state.SkipWithError("save_map failed");
    state.counters["triangles"] = plane_count * MAX_PLANE_TRIANGLES;
}
BENCHMARK(BM_save_map)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    init_headless_video(GAME_DEPTH, GAME_WIDTH, GAME_HEIGHT);
    init_camera();
    char dir[] = "/tmp/grimhold-bench-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) {
        perror(dir);
        return 1;
    }
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    mkdir("data/maps/shadowmap", 0777);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::string cmd = std::string("rm -rf '") + dir + "'";
    return system(cmd.c_str()) == 0 ? 0 : 1;
}
