// The program's spine: start-up, the main loop and shutdown.
#pragma once

#include <string>

#include "screens/hud.h"
#include "world/world.h"


// Start-up steps 1 to 4: timing start values, the first progress line, video, assets.
void start_program(s16 fullscreen_flag);

// Loads the world and the first map, places the hero and prepares the loop.
void load_world();

// One pass of the main loop. Returns false when the loop must end.
bool main_loop_pass();

// For the benchmarks: when time_pass_steps is set, each pass adds the milliseconds spent in
// each of its steps to pass_step_ms.
enum {
    STEP_TRANSFORM, STEP_ORDERING, STEP_HERO, STEP_MONSTERS, STEP_TRIGGERS,
    STEP_DRAWING, STEP_HUD, STEP_ITEMS, STEP_PRESENT, PASS_STEPS,
};
extern bool time_pass_steps;
extern double pass_step_ms[PASS_STEPS];
extern const char *const pass_step_names[PASS_STEPS];

void shutdown_game();

// The running program's own path (argv[0] when the system cannot tell).
std::string program_path(const char *argv0);

// The two folders that may hold the game's data/, in the order they are tried: the program's
// own folder, then share/games/grimhold beside that folder (the installed tree, wherever it
// was moved).
void data_directory_places(const std::string &program, std::string places[2]);

// Changes into the first of those folders whose data/ is a readable directory, so the game
// finds "data/..." wherever it is started from. False when neither is.
bool enter_data_directory(const std::string &program);

// The same, but a game without data says where it looked, in one line on standard error,
// and ends with status 1: it never plays whatever data/ the working folder happens to hold.
void require_data_directory(const std::string &program);
