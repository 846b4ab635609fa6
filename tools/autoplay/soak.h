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
