// The automated player on the shipped campaign: a game a long soak could not end. The last
// demon lived on map 801 while the player wandered the other maps: it had left 801 with
// the demon out of its reach and went back to a map it had left only once its inventory
// changed, which at the end of the campaign it never does. A map's survivors are scattered
// anew on every visit, so going back is what ends the game (for a person too).
#include <cstdlib>
#include <unistd.h>

#include "game/triggers.h"
#include "render/draw.h"
#include "shell/startup.h"
#include "shell/video.h"
#include "tests/headless.h"
#include "tools/autoplay/autoplay.h"

namespace {

// True when the game is won with the last demon of 801 dead.
bool play_last_demon_case()
{
    start_headless_game(5);
    draw_world_pixels = false;  // the same game at half the CPU

    // Everything done but one wounded kind-13 demon on map 801.
    for (int m = 0; m < MAP_NUMBERS; m++)
        for (int j = 0; j < monster_counts[m]; j++)
            monsters[m][j].health = 0;
    for (int i = 0; i < item_count; i++)
        item_placements[i].present = 0;
    for (int i = 1; i <= 9; i++)
        inventory[i] = 1;
    monsters_killed = monster_total - 1;
    const Trigger &arrival = triggers[START_RECORD + 801];
    if (!change_map("801", arrival.e[1], arrival.e[2], arrival.e[3]) || monster_counts[801] <= 9)
        return false;
    // Out of reach on this visit: down in the water channel, two units below the halls'
    // floor, where no arrow flies and no step leads.
    Monster &m = monsters[801][9];
    m.health = 20;
    m.x = -2.5f, m.y = arrival.e[2] - 2, m.z = 0.5f;

    bool won = autoplay_run(20000);
    std::vector<int> &maps = autoplay_report.maps_visited;
    int visits = 0;
    for (int v : maps)
        visits += v == 801;
    fprintf(stderr, "%s after %ld passes; %d visits to 801; the demon at %.3f, %.3f, %.3f with health %d\n",
            autoplay_report.result.c_str(), autoplay_report.frames, visits, m.x, m.y, m.z, m.health);
    return won && m.health <= 0 && visits >= 2;
}

// True when the novice, on 301 without key 3 and the last demon across the sealed ford,
// fetches the key from the fen (203) and comes back to win, within `passes`.
bool play_sealed_ford_case(long passes)
{
    start_headless_game(3);
    draw_world_pixels = false;  // the same game at half the CPU
    autoplay_skill = SKILL_NOVICE;

    for (int m = 0; m < MAP_NUMBERS; m++)
        for (int j = 0; j < monster_counts[m]; j++)
            monsters[m][j].health = 0;
    for (int i = 0; i < item_count; i++)
        item_placements[i].present = item_placements[i].type == ITEM_KEY_FIRST + 2;
    inventory[ITEM_KEY_FIRST] = inventory[ITEM_KEY_FIRST + 1] = 1;
    monsters_killed = monster_total - 1;
    const Trigger &arrival = triggers[START_RECORD + 301];
    if (!change_map("301", arrival.e[1], arrival.e[2], arrival.e[3]) || monster_counts[301] < 1)
        return false;
    // The arrival is the cave's west end, cell (3, 13); the ford is column 26. This demon
    // stands on the east bank, cell (40, 16), where no arrow from the west bank reaches.
    Monster &m = monsters[301][0];
    m.health = 10;
    m.x = arrival.e[1] + 37, m.y = arrival.e[2], m.z = arrival.e[3] + 3;

    bool won = autoplay_run(passes);
    int visits = 0;
    for (int v : autoplay_report.maps_visited)
        visits += v == 203;
    fprintf(stderr, "%s after %ld passes; %d visits to 203; key 3 %d\n", autoplay_report.result.c_str(),
            autoplay_report.frames, visits, inventory[ITEM_KEY_FIRST + 2]);
    return won && visits >= 1;
}

}  // namespace

// Played in a child process on the campaign forged beside the tests: its tables and the
// assets stay out of the other tests. The child ends without the exit handlers, which
// would report the assets it never frees as leaks.
TEST(AutoplayReturnDeathTest, TheLastDemonOutOfReachIsFoundOnALaterVisit)
{
    EXPECT_EXIT(
        {
            bool won = play_last_demon_case();
            fflush(stderr);
            _exit(won ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A novice that has looked everywhere it can reach gives the map up: the demon it cannot
// reach waits behind the seal while the key that opens it lies on another map.
TEST(AutoplayReturnDeathTest, TheNoviceFetchesTheKeyToADemonBehindASeal)
{
    EXPECT_EXIT(
        {
            bool won = play_sealed_ford_case(30000);
            fflush(stderr);
            _exit(won ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
