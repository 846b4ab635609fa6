// The program's spine: start-up, the main loop and shutdown.
#pragma once

#include <string>

#include "screens/hud.h"
#include "world/world.h"


// Start-up steps 1 to 4: timing start values, the first progress line, video, assets.
void start_program(s16 fullscreen_flag);

// Every value a game changes back at its start, with nothing loaded: the monster, item and
// trigger tables empty, no pick-up, arrow or scene, the hero's health, flashes, pose and bow
// as a game starts, no closing screen shown. Reads no file.
void clear_world();

// A new game on the assets already loaded: clear_world, the tables read, the hero on the
// start of the first map and the loop's timing as it starts. False when a table or the
// first map cannot be read (the reader has said why). The game, the automated player's
// soak and every test that plays start their worlds through it.
bool reset_world();

// Start-up's world: reset_world, or exit status 1, since there is no game without it.
void load_world();

// The steps of a pass, in their order. For the benchmarks: when time_pass_steps is set,
// each pass adds the milliseconds spent in each of its steps to pass_step_ms.
enum {
    STEP_TRANSFORM, STEP_ORDERING, STEP_HERO, STEP_MONSTERS, STEP_TRIGGERS,
    STEP_DRAWING, STEP_HUD, STEP_ITEMS, STEP_PRESENT, PASS_STEPS,
};
constexpr unsigned pass_step(int step) { return 1u << step; }
const unsigned EVERY_PASS_STEP = (1u << PASS_STEPS) - 1;
// The world's picture alone, into the back buffer: what the renderer's tests and
// benchmarks run.
const unsigned PICTURE_STEPS = pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING) | pass_step(STEP_DRAWING);

// One pass of the main loop. Returns false when the loop must end. The game runs every
// step; a test or tool that needs part of a pass names the steps it wants (pass_step bits)
// and they run in the pass's order. The drawing step empties the depth buckets, so a pass
// without it leaves them as ordering filled them. The present step also clears the back
// buffer, advances the texture scroll and shows the death screen when the hero is dead.
bool main_loop_pass(unsigned steps = EVERY_PASS_STEP);
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
