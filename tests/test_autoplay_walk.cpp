// The automated player's walk map against the game's own trigger check: wherever the map
// lets the hero stand, anywhere inside a node it counts as free, no trigger fires. A
// margin too thin once carried the player out of a map it had not finished, to a hub with
// no way back but the whole campaign.
#include "game/player.h"
#include "game/triggers.h"
#include "tests/gameplay_scene.h"
#include "tools/autoplay/autoplay.h"
#include "tools/autoplay/autoplay_mind.h"

namespace {

// Open floor on every side of the trigger, so its margin can be walked all round; a heart
// beyond it on the far side, a spawn point far from it.
const char *trigger_field = R"(map 901
cell # wall 2 wall
cell . grass 0
cell S grass 0 spot=start
cell E trigger 0 exit=906:start
cell r grass 0 spot=back
cell h grass 0 item=heart
cell x grass 0 kind=7
grid
#####################
#S.................x#
#...................#
#...................#
#....E...h..........#
#...................#
#...................#
#r..................#
#####################
end
monsters 1
)";

// Enters the forged world's first map anew and puts its one demon down at (dx, dz) from
// the start spot, on the start's level (a spawn point must be reached from the arrivals,
// so a demon beyond a barrier is put there by hand).
Monster &demon_from_start(ForgedWorld &world, int kind, int health, float dx, float dz)
{
    EXPECT_TRUE(world.enter_first_map());
    const Trigger &start = triggers[START_RECORD + 901];
    Monster &m = monsters[901][0];
    m.kind = kind;
    m.health = health;
    m.x = start.e[1] + dx;
    m.y = start.e[2];
    m.z = start.e[3] + dz;
    return m;
}

// The novice playing until map 901 is clean, the expert back however the test ends.
struct NoviceClearing901 {
    NoviceClearing901() { autoplay_skill = SKILL_NOVICE, autoplay_start_map = 901, use_manual_clock = true; }
    ~NoviceClearing901() { autoplay_skill = SKILL_EXPERT, autoplay_start_map = 0, autoplay_rate = 0; }
};

}  // namespace

typedef GameplayTest AutoplayWalk;

TEST_F(AutoplayWalk, NoFreeNodeIsWithinATriggersReach)
{
    using namespace autoplay_mind;
    ForgedWorld world(trigger_field);
    ASSERT_TRUE(world.enter_first_map());
    Rate rate(FIXED, 1);
    autoplay_begin();
    build_walk_map();

    int near = 0, fired = 0;
    const float inset = 0.01f, side = 1.0f / RES;
    for (int n = 0; n < walk.w * walk.h; n++) {
        if (!has_floor(n) || walk.trigger[n])
            continue;
        // Only the free nodes beside the margin can be near enough to matter.
        int i = n % walk.w, j = n / walk.w;
        bool beside = false;
        for (int dj = -1; dj <= 1; dj++)
            for (int di = -1; di <= 1; di++) {
                int a = i + di, b = j + dj;
                beside = beside || (a >= 0 && b >= 0 && a < walk.w && b < walk.h && walk.trigger[b * walk.w + a]);
            }
        if (!beside)
            continue;
        near++;
        const float corner_x = walk.x0 + i * side, corner_z = walk.z0 + j * side;
        for (float cx : {corner_x + inset, corner_x + side - inset})
            for (float cz : {corner_z + inset, corner_z + side - inset}) {
                player_x = cx;
                player_z = cz;
                player_y = walk.height[n];
                rate.pass();
                if (current_map != 901) {
                    fired++;
                    ADD_FAILURE() << "the trigger fires at x " << cx << " z " << cz << ", inside free node " << n;
                    ASSERT_TRUE(world.enter_first_map());
                }
            }
    }
    EXPECT_GT(near, 20) << "the margin was walked all round";
    EXPECT_EQ(fired, 0);
}

// Put down inside the margin west of the floor (an arrival, a shove, a turn on the spot
// can leave him there) with a demon walking at him from the west, the hero flees to the
// north or south, out of the margin, not east across the floor he does not want.
TEST_F(AutoplayWalk, FleeingFromInsideTheMarginLeadsOutNotAcross)
{
    using namespace autoplay_mind;
    ForgedWorld world(trigger_field);
    ASSERT_TRUE(world.enter_first_map());
    autoplay_begin();
    build_walk_map();
    float floor_x0 = FAR, floor_z0 = FAR, floor_z1 = -FAR;
    for (int n = 0; n < walk.w * walk.h; n++)
        if (has_floor(n) && walk.kind[n] >= KIND_TRIGGER_BASE) {
            floor_x0 = std::min(floor_x0, node_x(n));
            floor_z0 = std::min(floor_z0, node_z(n));
            floor_z1 = std::max(floor_z1, node_z(n));
        }
    ASSERT_LT(floor_x0, FAR);
    // The player's own clock: a sixtieth of a second a pass, time_scale 1.
    Rate rate(FIXED, 1);

    int tried = 0;
    for (float z = floor_z0; z <= floor_z1 + 0.01f; z += 1.0f / RES)
        for (float x = floor_x0 - 2.0f / RES; x < floor_x0 - 0.01f; x += 1.0f / RES) {
            ASSERT_TRUE(world.enter_first_map());
            player_x = x;
            player_z = z;
            rate.pass();
            if (current_map != 901)
                continue;  // within reach where he was put: no way to keep off
            tried++;
            Monster &m = monsters[901][0];
            m.kind = 3;
            m.health = 6;
            m.x = x - 1.2f;
            m.y = player_y;
            m.z = z;
            m.step_x = 1;
            m.step_z = 0;
            time_scale = 1;  // the map change left its own
            autoplay_begin();
            // Until the map is done: then the trigger is his way on.
            for (int pass = 0; pass < 120 && current_map == 901 && map_has_work(901); pass++)
                autoplay_run(1);
            EXPECT_EQ(current_map, 901) << "put down at x " << x << " z " << z;
        }
    EXPECT_GE(tried, 4);
}

// Two ways out: one on the open field, one at the end of a passage behind brambles that
// part only when the field is clean. While demons live, the player must not choose the
// shut one (it would stand before the brambles for good); once they are dead, both count.
TEST_F(AutoplayWalk, AWayOutBehindShutBramblesIsNoWayOut)
{
    using namespace autoplay_mind;
    ForgedWorld world(R"(map 901
cell # wall 2 wall
cell . grass 0
cell S grass 0 spot=start
cell E trigger 0 exit=906:start
cell F trigger 0 exit=906:gate
cell C grass 0 kind=3 curtain=barrier:4
cell r grass 0 spot=back
cell x grass 0 kind=7
grid
###############
#S...........x#
#.............#
#....E........#
#.............#
#.........#####
#.........C..F#
#.........#####
#r............#
###############
end
monsters 1
)");
    ASSERT_TRUE(world.enter_first_map());
    autoplay_begin();
    build_walk_map();
    // The passage's trigger floor is the one furthest east.
    int field = 0, passage = 0;
    float east = -FAR;
    for (int n = 0; n < walk.w * walk.h; n++)
        if (has_floor(n) && walk.kind[n] >= KIND_TRIGGER_BASE && node_x(n) > east) {
            east = node_x(n);
            passage = walk.kind[n];
        }
    for (int n = 0; n < walk.w * walk.h; n++)
        if (has_floor(n) && walk.kind[n] >= KIND_TRIGGER_BASE && walk.kind[n] != passage)
            field = walk.kind[n];
    ASSERT_TRUE(field && passage) << "both ways out drawn";
    learn_exits();

    measure_danger();
    find_paths(-1);
    std::set<int> open = reachable_exits();
    EXPECT_TRUE(open.count(field));
    EXPECT_FALSE(open.count(passage)) << "the brambles still stand";
    EXPECT_EQ(exit_toward(any_map), field) << "the way out taken is the open one";
    // Seen from other maps, the passage stays shut until something new comes to hand.
    EXPECT_TRUE(still_shut(901, passage));
    EXPECT_FALSE(still_shut(901, field));
    inventory[ITEM_KEY_FIRST] = 1;
    EXPECT_FALSE(still_shut(901, passage)) << "a new key may open it";
    inventory[ITEM_KEY_FIRST] = 0;

    map_cleared[901] = 1;
    ASSERT_TRUE(walk_map_stale());
    build_walk_map();
    measure_danger();
    find_paths(-1);
    open = reachable_exits();
    EXPECT_TRUE(open.count(field));
    EXPECT_TRUE(open.count(passage)) << "the brambles have parted";
}

// A still demon beyond a low scree, a little off the hero's column. The novice's hands
// hold a key at least CHANGE_SPACING, so he moves in steps of about two units; if "in
// line" is narrower than one such step he stops on either side of it by turns (seen on
// 402: left, right, left for twelve minutes). He must get it in line and kill it soon.
TEST_F(AutoplayWalk, TheNoviceLinesUpAStillDemonBeyondAScree)
{
    using namespace autoplay_mind;
    ForgedWorld world(R"(map 901
cell # wall 2 wall
cell ; sand 0.8 wall
cell . grass 0
cell S grass 0 spot=start
cell E trigger 0 exit=906:start
cell x grass 0 kind=7
cell r grass 0 spot=back
grid
###################
#.................#
#;;;;;;;;;;;;;;;;;#
#;;;;;;;;;;;;;;;;;#
#................x#
#.................#
#E................#
#.................#
#.................#
#r........S.......#
#.................#
###################
end
monsters 1
)");
    ASSERT_TRUE(world.forged);
    monster_kinds[7].speed = 0;  // it stands still (the world puts the kinds back)
    NoviceClearing901 novice;
    for (float rate : {1.0f, 0.1f})
        for (float off : {0.75f, 0.95f, -0.95f}) {
            autoplay_rate = fixed_time_scale = rate;
            // Beyond the scree, a column west and eight rows north of the start.
            Monster &m = demon_from_start(world, 7, 6, -1, -8);
            // Where he would shoot from, south of it, but a little aside.
            player_x = m.x + off;
            player_z = m.z + 3.5f;
            player_facing = off > 0 ? FACING_LEFT : FACING_RIGHT;  // as if come sideways
            // Three game seconds: about one with the line as wide as his steps, five to
            // nine (a random step out of the dance) with the expert's.
            autoplay_run(long(180 / rate));
            EXPECT_LE(m.health, 0) << "rate " << rate << ", " << off << " aside: the demon at x " << m.x
                                   << " still lives, the hero at x " << player_x << " z " << player_z;
        }
}

// A still demon across a moat, which a bridge to the west crosses. From the south bank
// the demon is in sight and within a bow's reach, but the places in line with it there lie
// at the brink: the novice's hands carry him to the brink and past the place, he cannot
// turn north there (a turn is a step), and he corrects back and forth along the bank
// (seen on 906: ten minutes of it, the campaign lost to the clock). From wherever he
// stands on the bank he must kill it soon, from the bank or over the bridge.
TEST_F(AutoplayWalk, TheNoviceDoesNotSidleAlongABankHeCannotShootFrom)
{
    using namespace autoplay_mind;
    ForgedWorld world(R"(map 901
cell # wall 2 wall
cell . grass 0
cell ~ water -2 kind=1
cell = planks 0
cell S grass 0 spot=start
cell E trigger 0 exit=906:start
cell x grass 0 kind=7
cell r grass 0 spot=back
grid
####################
#.................x#
#..................#
#..................#
#..................#
#~~~==~~~~~~~~~~~~~#
#~~~==~~~~~~~~~~~~~#
#..................#
#E.................#
#..................#
#..................#
#r........S........#
####################
end
monsters 1
)");
    ASSERT_TRUE(world.forged);
    monster_kinds[12].speed = 0;  // it stands still (the world puts the kinds back)
    NoviceClearing901 novice;
    // Where he starts, from the demon: east and at the brink, west and in the middle of
    // the bank, east and at its south edge.
    const float starts[3][2] = {{1.6f, 5.8f}, {-1.0f, 6.5f}, {1.6f, 7.77f}};
    for (float rate : {1.0f, 0.1f})
        for (const auto &at : starts) {
            autoplay_rate = fixed_time_scale = rate;
            // The start is cell (10, 11); the demon stands in cell (8, 1), 5.67 north of
            // the south bank, as on 906.
            Monster &m = demon_from_start(world, 12, 30, -2.2f, -10.17f);
            player_x = m.x + at[0];
            player_z = m.z + at[1];
            // Fifteen game seconds: under eight when he finds his place, half a minute to
            // the clock's end when he sidles.
            autoplay_run(long(15 * 60 / rate));
            EXPECT_LE(m.health, 0) << "rate " << rate << ", from " << at[0] << " " << at[1]
                                   << ": the demon still lives, the hero at x " << player_x - m.x
                                   << " z " << player_z - m.z << " from it";
        }
}

// A demon can stand a hair inside a wall's cell (the floor map's pixels do not line up
// with the cells). Pressed into a corner like that, no floor lies straight along either
// axis from it; the player must still find a place to shoot it from (seen: thirty-six
// minutes on 102 looking for the last demon).
TEST_F(AutoplayWalk, ADemonInACornerHasAPlaceToBeShotFrom)
{
    using namespace autoplay_mind;
    ForgedWorld world(trigger_field);
    ASSERT_TRUE(world.enter_first_map());
    autoplay_begin();
    build_walk_map();
    // The start is cell (1, 1); the north-east floor cell is (19, 1).
    const Trigger &start = triggers[START_RECORD + 901];
    float east = start.e[1] + 18.5f, north = start.e[3] - 0.5f;
    for (float inside : {-0.2f, 0.01f, 0.1f}) {
        Demon d{0, east + inside, start.e[2], north - inside, 7, 0, 0, 0};
        demons.clear();
        known = {d};
        measure_danger();
        find_paths(-1);
        int n = firing_place();
        ASSERT_GE(n, 0) << inside << " inside the corner";
        float off_x = std::fabs(node_x(n) - d.x), off_z = std::fabs(node_z(n) - d.z);
        EXPECT_LT(std::min(off_x, off_z), EXPERT_LINE) << "in line with the demon, " << inside << " inside";
        EXPECT_GE(std::max(off_x, off_z), 2.0f) << "and not on top of it";
    }
}

// Paths are kept from one think to the next while what they are made from holds: danger
// or a place found impassable on the way must each be searched anew.
TEST_F(AutoplayWalk, KeptPathsFollowTheDangerAndTheImpassable)
{
    using namespace autoplay_mind;
    ForgedWorld world(trigger_field);
    ASSERT_TRUE(world.enter_first_map());
    autoplay_begin();
    build_walk_map();
    demons.clear(), known.clear();
    measure_danger();
    find_paths(-1);
    const std::vector<float> first = cost_to;
    const Trigger &start = triggers[START_RECORD + 901];
    std::vector<int> path;
    for (int n = node_at(start.e[1] + 12, start.e[3] + 5); n >= 0; n = came_from[n])
        path.push_back(n);
    ASSERT_GT(path.size(), 10u);
    int mid = path[path.size() / 2];
    float calm = danger[mid];
    danger[mid] = calm + 400;
    find_paths(-1);
    EXPECT_GE(cost_to[mid], 400) << "danger on the way";
    danger[mid] = calm;
    avoid_until[mid] = now_s() + 4;
    find_paths(-1);
    EXPECT_GE(cost_to[mid], first[mid] + 60) << "found impassable";
    avoid_until[mid] = 0;
    find_paths(-1);
    EXPECT_EQ(cost_to, first) << "both gone";
}
