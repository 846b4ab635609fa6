// The soak run's judgement of memory: a trend over many games, not one sample against another.
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "tools/autoplay/soak.h"

namespace {

// Jitter without direction, as the heap showed over games 2 to 100 of a long soak: it moves
// within 9 559 744 .. 9 560 032 bytes.
std::vector<long> jitter(int games)
{
    std::vector<long> s;
    unsigned x = 12345;
    for (int i = 0; i < games; i++) {
        x = x * 1103515245u + 12345u;
        s.push_back(9559744 + (long)((x >> 8) % 289));
    }
    return s;
}

}  // namespace

TEST(SoakHeap, JitterIsNoGrowth)
{
    for (int games : {8, 16, 99}) {
        std::vector<long> s = jitter(games);
        EXPECT_FALSE(heap_grows(s)) << games << " games, trend " << heap_trend(s);
    }
    // The old rule, "the end may not exceed the value after two games", failed on such a run.
    std::vector<long> s = jitter(99);
    s.back() = 9560032, s.front() = 9559744;
    EXPECT_FALSE(heap_grows(s));

    // A few odd games, high or low, do not make a trend.
    s = jitter(20);
    s[3] += 40000, s[17] += 60000, s[18] -= 50000;
    EXPECT_FALSE(heap_grows(s)) << heap_trend(s);
}

TEST(SoakHeap, SteadyGrowthIsFoundUnderTheJitter)
{
    // One small allocation kept on each of a game's nine map changes: 9 x 32 bytes a game.
    for (int games : {8, 16, 99}) {
        std::vector<long> s = jitter(games);
        for (int i = 0; i < games; i++)
            s[i] += 288L * i;
        EXPECT_TRUE(heap_grows(s)) << games << " games, trend " << heap_trend(s);
        EXPECT_NEAR(heap_trend(s), 288, 60);
    }
    // Growth that stops after a while is still growth over the run.
    std::vector<long> s = jitter(30);
    for (int i = 0; i < 30; i++)
        s[i] += 4096L * std::min(i, 20);
    EXPECT_TRUE(heap_grows(s));
}

TEST(SoakHeap, TrendIsTheMedianSlope)
{
    EXPECT_EQ(heap_trend({}), 0);
    EXPECT_EQ(heap_trend({100}), 0);
    EXPECT_EQ(heap_trend({100, 300}), 200);
    // Slopes 10, 5, 0: the median.
    EXPECT_EQ(heap_trend({0, 10, 10}), 5);
    // Slopes 10, 30, 30, 30, 40, 50: the mean of the middle two.
    EXPECT_EQ(heap_trend({0, 10, 60, 90}), 30);
    EXPECT_EQ(heap_trend({500, 400, 300, 200}), -100);
}

TEST(SoakHeap, GamesThatCycleThroughMapsAreComparedMapWithMap)
{
    // Nineteen maps in turn, each holding its own amount of memory (up to 250 kB apart), as
    // the one-map games of a short soak do; two rounds and a half.
    const size_t maps = 19;
    std::vector<long> s = jitter(48);
    for (size_t i = 0; i < s.size(); i++)
        s[i] += 13000L * (long)((i * 7) % maps);
    EXPECT_FALSE(heap_grows(s, maps)) << heap_trend(s, maps);
    // Compared game with game, the maps' differences swing the trend far past the limit.
    EXPECT_GT(std::abs(heap_trend(s)), 128.0);
    // A leak of one small allocation a game is found under the maps' differences.
    for (size_t i = 0; i < s.size(); i++)
        s[i] += 200L * (long)i;
    EXPECT_TRUE(heap_grows(s, maps)) << heap_trend(s, maps);
    EXPECT_NEAR(heap_trend(s, maps), 200, 60);
}

// The rule's own arithmetic: a soak too short to judge the heap says so after its first
// game, not after the rest of its budget, and names the budget to ask for.
TEST(SoakPlan, ABudgetTooShortIsSaidAsSoonAsAGameShowsIt)
{
    // Without --by-map: ten whole games, two to settle and eight to compare.
    SoakPlan whole = soak_plan(2, 8, SOAK_WHOLE, 23);
    EXPECT_TRUE(soak_can_finish(whole, 300000)) << "nothing is known before a game ends";
    soak_played(whole, SOAK_WHOLE, 38785, true);
    // Nine more at 0.9 x 38 785 at the least: 314 158 passes.
    EXPECT_FALSE(soak_can_finish(whole, 300000 - 38785));
    EXPECT_TRUE(soak_can_finish(whole, 450000 - 38785));
    EXPECT_EQ(soak_passes_to_ask(whole, 38785), 423000) << "38 785 + 9 x 38 785 x 1.1, to the thousand above";

    // A game cut off by the budget is neither counted nor measured.
    soak_played(whole, SOAK_WHOLE, 1000, false);
    EXPECT_EQ(whole.left[SOAK_WHOLE], 9);
    EXPECT_EQ(whole.shortest[SOAK_WHOLE], 38785);
    // The shortest game sets the least, the mean what to ask for.
    soak_played(whole, SOAK_WHOLE, 41000, true);
    EXPECT_EQ(whole.shortest[SOAK_WHOLE], 38785);
    EXPECT_TRUE(soak_can_finish(whole, 8 * 34907));
    EXPECT_FALSE(soak_can_finish(whole, 8 * 34906));
    EXPECT_EQ(soak_passes_to_ask(whole, 79785), 431000) << "79 785 + 8 x 39 892.5 x 1.1";
    for (int i = 0; i < 8; i++)
        soak_played(whole, SOAK_WHOLE, 40000, true);
    EXPECT_TRUE(soak_can_finish(whole, 0)) << "every game it needs has finished";
}

TEST(SoakPlan, OneMapGamesAreMeasuredOnTheirOwn)
{
    // With --by-map: two whole games, then a round of 23 maps and seven more.
    SoakPlan plan = soak_plan(2, 30, SOAK_ONE_MAP, 23);
    soak_played(plan, SOAK_WHOLE, 40000, true);
    EXPECT_FALSE(soak_can_finish(plan, 35999)) << "the second whole game cannot fit";
    EXPECT_TRUE(soak_can_finish(plan, 36000)) << "one-map games not seen yet count nothing";
    soak_played(plan, SOAK_WHOLE, 42000, true);
    // Not seen yet, a one-map game is guessed at a whole game's share of a map: 41 000 / 23.
    EXPECT_EQ(soak_passes_to_ask(plan, 82000), 141000) << "82 000 + 30 x 1 782.6 x 1.1";
    soak_played(plan, SOAK_ONE_MAP, 2000, true);
    EXPECT_TRUE(soak_can_finish(plan, 29 * 1800));
    EXPECT_FALSE(soak_can_finish(plan, 29 * 1800 - 1));
    EXPECT_EQ(soak_passes_to_ask(plan, 84000), 148000) << "84 000 + 29 x 2 000 x 1.1";
}
