// The automated player: plays the real campaign through the game's own main-loop pass,
// with the keyboard (Allegro's key[]: arrows and SPACE) as its only hands and the game's
// tables as its eyes. It never writes the game's state.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/headless/headless.h"
#include "world/world.h"

// How a map went: game seconds spent on it, health lost there, deaths there.
struct MapPlay {
    double seconds = 0;
    long damage = 0;
    int deaths = 0;
    double without_demon = 0;  // the longest stretch with no demon in view that ended here
};

struct AutoplayDeath {
    int map = 0;
    float x = 0, z = 0;
    int kind = 0;  // the demon whose bite was the last, 0 when none was touching
    double after = 0;  // game seconds since the hero entered the map
};

struct AutoplayReport {
    long frames = 0;                // passes of the main loop
    double game_seconds = 0;        // game time: the game clock's advance over GAME_CLOCK_PER_SECOND
    std::vector<int> maps_visited;  // in order, the start map first
    int kills_by_kind[MONSTER_KINDS] = {};
    long damage_taken = 0;
    long health_tally = 0;          // the start health plus every gain, less every loss seen
    int items_collected[ARROW_TYPE_BASE] = {};
    int arrows_shot = 0;
    std::map<int, MapPlay> maps;
    std::vector<AutoplayDeath> deaths;
    // The hands' record: key-set changes, the most in any one game second, the shortest
    // hold of a direction or SPACE, and how old the demons seen were (game seconds).
    long key_changes = 0;
    int most_changes_in_a_second = 0;
    double shortest_hold = -1;
    double youngest_sight = -1, oldest_sight = -1;
    // The longest stretch of game time with no living demon on screen (in the world band),
    // and the map it ended on.
    double longest_without_demon = 0;
    int longest_without_demon_map = 0;
    std::string result;  // "victory", "death", "map cleared" or "out of time"
};

// The expert sees every demon where it is now and knows its heading; the novice plays
// with a person's limits (see docs/autoplay.md): only demons on screen, as they were 250 ms of
// game time ago, no guessing where they will walk, at most five key-set changes a game
// second.
enum { SKILL_EXPERT, SKILL_NOVICE };
extern int autoplay_skill;

// 0: time_scale fixed at 1. Otherwise present_frame measures the rate from the manual
// clock, which moves 1000 / 60 x autoplay_rate ms a pass (0.1 is 600 frames a second).
extern float autoplay_rate;

// When set, the run starts on this map with the campaign's items and kills up to there,
// and ends when the map is done.
extern int autoplay_start_map;
// When above 0, the hero starts autoplay_start_map with this health instead of what the
// campaign's hearts and kills before it would give: a map maker's way to try a map with the
// health a player brings there.
extern int autoplay_start_health;

// Seeds the novice's imprecision (his aim points are a little off), so that a run repeats;
// the command line's --seed.
extern unsigned autoplay_seed;

// When not empty, the hands' key changes and the age of each sight are logged here.
extern std::string autoplay_log_path;

extern AutoplayReport autoplay_report;

// When not empty, a picture of each map is saved here two seconds after the hero first
// enters it ("map901.bmp", ...).
extern std::string autoplay_shots_dir;

// Forget everything learnt about the campaign (call after start_headless_game).
void autoplay_begin();
// Decides this pass's keys and writes them into key[].
void autoplay_choose_keys();
// Looks at what the pass did: kills, damage, pick-ups, map changes.
void autoplay_note_pass();

// Plays until the game ends or max_frames passes have run. Each pass advances the manual
// clock by one sixtieth of a second. Returns true on victory.
bool autoplay_run(long max_frames);
// The same with a budget of game minutes; the manual clock moves at autoplay_rate.
bool autoplay_run_minutes(double minutes);

// Puts the hero on the start of autoplay_start_map with what the campaign gives before it
// (call after start_headless_game).
bool autoplay_enter_start_map();

// Whether the report's own counts (kills, items, health) agree with the game's; the
// disagreement is described in `problem`.
bool autoplay_counts_agree(std::string *problem);

void print_autoplay_report(FILE *out);
