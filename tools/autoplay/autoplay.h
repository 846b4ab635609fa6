// The automated player: plays the real campaign through the game's own main-loop pass,
// with the keyboard (Allegro's key[]: arrows and SPACE) as its only hands and the game's
// tables as its eyes. It never writes the game's state.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "world/world.h"

struct AutoplayReport {
    long frames = 0;
    std::vector<int> maps_visited;  // in order, the start map first
    int kills_by_kind[MONSTER_KINDS] = {};
    long damage_taken = 0;
    int items_collected[ARROW_TYPE_BASE] = {};
    int arrows_shot = 0;
    std::string result;  // "victory", "death" or "out of frames"
};

extern AutoplayReport autoplay_report;

// When not empty, a picture of each map is saved here two seconds after the hero first
// enters it ("map901.bmp", ...).
extern std::string autoplay_shots_dir;

// Headless start-up for the player, the soak run and the benchmarks: Allegro without a
// display, the assets, the tables and map 901, with rand seeded, time_scale fixed at 1
// and a manual clock, so that a run repeats exactly. No logo, no story, no SPACE wait.
void start_headless_game(unsigned seed);

// A new game on the assets already loaded, for the soak run: the tables are read again and
// the hero starts over on map 901. (The game itself never restarts; this is the harness.)
void restart_world();

// Forget everything learnt about the campaign (call after start_headless_game).
void autoplay_begin();
// Decides this pass's keys and writes them into key[].
void autoplay_choose_keys();
// Looks at what the pass did: kills, damage, pick-ups, map changes.
void autoplay_note_pass();

// Plays until the game ends or max_frames passes have run. Each pass advances the manual
// clock by one sixtieth of a second. Returns true on victory.
bool autoplay_run(long max_frames);

void print_autoplay_report(FILE *out);
