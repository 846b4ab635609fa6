// Judging the soak run's memory: whether the heap grows from game to game.
#pragma once

#include <cstddef>
#include <vector>

// The heap's trend in bytes a game: the median of the slopes between every two samples
// (one sample a game, in order), which a few odd games cannot swing. 0 with fewer than two.
// With a `period`, only samples a whole number of periods apart are compared: games that
// cycle through the maps hold more or less memory by map, so a map is compared with itself.
double heap_trend(const std::vector<long> &samples, size_t period = 1);

// Whether the samples show the heap growing: a trend of more than `GROWTH_LIMIT` bytes a
// game. Jitter of a few hundred bytes with no direction stays well below it; a leak of a
// single allocation on every map change does not.
enum { GROWTH_LIMIT = 128, TREND_MIN_GAMES = 8 };
bool heap_grows(const std::vector<long> &samples, size_t period = 1);

// What a soak still needs before it can judge the heap, and what it has seen of the games'
// lengths. Two kinds of game: whole games (the settling ones, and all of them without
// --by-map) and, with --by-map, one-map games.
enum { SOAK_WHOLE, SOAK_ONE_MAP, SOAK_KINDS };
struct SoakPlan {
    long left[SOAK_KINDS];      // finished games still needed of each kind
    long shortest[SOAK_KINDS];  // passes of the shortest finished game of each kind; 0: none yet
    long played[SOAK_KINDS];    // passes and number of the finished games of each kind, for
    long games[SOAK_KINDS];     // their mean
    long maps;                  // maps a whole game crosses
};

// The plan of a soak that settles for `settling` whole games, then samples `samples`
// finished games of the kind given; a whole game crosses `maps` maps.
SoakPlan soak_plan(long settling, long samples, int sample_kind, long maps);

// One game of `kind` has been played for `passes`; `ended` when it was won or lost rather
// than cut off by the budget.
void soak_played(SoakPlan &plan, int kind, long passes, bool ended);

// Whether `passes_left` can still give every game the plan needs, were each as short as the
// shortest of its kind so far less a tenth (a kind not yet seen counts nothing): false only
// when the run cannot judge the heap whatever the games to come.
bool soak_can_finish(const SoakPlan &plan, long passes_left);

// The budget to ask for: the passes done and every game still needed at the mean length of
// its kind (a one-map game not yet seen at a whole game's share of one map), with a tenth
// to spare, rounded up to a thousand.
long soak_passes_to_ask(const SoakPlan &plan, long passes_done);
