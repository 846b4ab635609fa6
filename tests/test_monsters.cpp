// The demons: wandering, turning, freezing on another level, contact damage.
#include <cstdlib>

#include "game/monsters.h"
#include "tests/gameplay_scene.h"

namespace {

class MonsterTest : public GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        kept = monster_kinds[5];
        monster_kinds[5] = {10, 10, 1.0f};
        add_floor(-4, -4, 4, 4, 0);
        add_floor(1, -4, 4, -1, 0.25f);  // a low step to the right, behind the hero
        paint_floor_maps(0, 0, 0);
    }
    void TearDown() override
    {
        monster_kinds[5] = kept;
        GameplayTest::TearDown();
    }

    // A living monster of kind 5: speed 1, damage 10.
    Monster &add_monster(float x, float y, float z, s16 step_x = 1, s16 step_z = 0)
    {
        Monster &m = place_monster(5, x, y, z);
        m.health = m.damage = 10;
        m.step_x = step_x, m.step_z = step_z;
        return m;
    }

    MonsterKind kept;
};

}  // namespace

TEST_F(MonsterTest, WalksAtItsKindsSpeedAndFollowsTheFloor)
{
    Monster &m = add_monster(2, 0, 2, 1, -1);
    update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.16f);
    EXPECT_FLOAT_EQ(m.z, 1.84f);
    EXPECT_EQ(m.facing, FACING_RIGHT) << "the horizontal heading wins";
    EXPECT_FLOAT_EQ(m.anim_time, 0.32f);
    EXPECT_EQ(map_cleared[TEST_MAP], 0);

    // Heights are relative to the hero: the monster takes the floor under it, up the
    // step and along it without drifting, then down again.
    Monster &n = add_monster(0.9f, 0, -2);
    for (int i = 0; i < 5; i++)
        update_monsters();
    EXPECT_FLOAT_EQ(n.y, 0.25f);
    n.step_x = -1;
    for (int i = 0; i < 5; i++)
        update_monsters();
    EXPECT_FLOAT_EQ(n.y, 0.0f);
}

TEST_F(MonsterTest, AHeroSteppingOffADaisLeavesTheDemonsOnTheirFloor)
{
    // The floor maps are painted before the hero moves. In the pass he steps down, a demon
    // that reads them against his new feet sinks by the step, and half a unit below him it
    // stays frozen for good.
    add_floor(-4, -4, 0.1f, 4, 0.5f);
    player_y = 0.5f;
    Monster &m = add_monster(2, 0, 2);
    press(KEY_RIGHT);
    update_player();
    ASSERT_NEAR(player_y, 0, 1.0f / 256) << "he is down on the floor";
    update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.16f) << "on his level again, it walks";
    EXPECT_NEAR(m.y, 0, 1.0f / 256);
    update_player();
    update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.32f) << "and goes on walking";
}

TEST_F(MonsterTest, TurnsOnTheSpotWhenBlockedAndIgnoresWhatLiesOffTheMap)
{
    srand(7);
    for (int i = 0; i < 100; i++) {
        monster_counts[TEST_MAP] = 0;
        Monster &m = add_monster(3.95f, 0, 1);  // the next step leaves the floor
        update_monsters();
        EXPECT_EQ(m.x, 3.95f);
        EXPECT_NE(m.step_x, m.step_z) << "never standing, never on the main diagonal";
        EXPECT_TRUE(m.step_x >= -1 && m.step_x <= 1 && m.step_z >= -1 && m.step_z <= 1);
    }
    monster_counts[TEST_MAP] = 0;
    Monster &far = add_monster(7.95f, 0, 0);  // next step at column 128.8: outside
    update_monsters();
    EXPECT_EQ(far.x, 7.95f);
    EXPECT_EQ(far.step_x, 1);
    EXPECT_EQ(far.step_z, 0);
}

TEST_F(MonsterTest, OnAnotherLevelItIsFrozenAndHarmless)
{
    for (float y : {0.5f, -0.5f, 3.0f}) {
        SCOPED_TRACE(y);
        monster_counts[TEST_MAP] = 0;
        Monster &m = add_monster(0, y, 0);
        m.flash = 200;
        update_monsters();
        EXPECT_EQ(m.x, 0.0f);
        EXPECT_EQ(m.flash, 200);
        EXPECT_FLOAT_EQ(m.anim_time, 0.32f) << "its clock still runs";
        EXPECT_EQ(player_health, 8);
        EXPECT_EQ(map_cleared[TEST_MAP], 0) << "it is alive all the same";
    }
}

TEST_F(MonsterTest, HurtsInTheFirstThirdOfItsCycle)
{
    Monster &m = add_monster(0.5f, 0, 0, 0, 1);
    m.flash = 255;
    update_monsters();
    EXPECT_EQ(m.state, 2);
    EXPECT_EQ(player_health, -2);
    EXPECT_EQ(hurt_flash, 255);
    EXPECT_EQ(m.flash, 127);

    player_health = 200;
    int hurting = 0;
    for (int frame = 0; frame < 19; frame++) {
        m.x = 0.5f;
        m.z = 0;
        s32 before = player_health;
        update_monsters();
        hurting += player_health < before;
        EXPECT_EQ(m.state, 2);
    }
    EXPECT_EQ(hurting, 7) << "clock below 2 after its advance of 0.32";
}

TEST_F(MonsterTest, ContactIsTheStraightDistanceAndAHitIsCappedAtThreeHundred)
{
    paint_floor_maps(50, 0, 0);  // no floor: it stays and turns
    Monster &m = add_monster(0.6f, 0.3f, 0.8f);  // 1.04 away
    update_monsters();
    EXPECT_EQ(m.state, 1);
    EXPECT_EQ(player_health, 8);
    m.z = 0.7f;  // 0.97
    m.anim_time = 0;
    player_health = 400;
    update_monsters();
    EXPECT_EQ(m.state, 2);
    EXPECT_EQ(player_health, 300);
    m.anim_time = 0;
    player_health = 305;
    update_monsters();
    EXPECT_EQ(player_health, 295) << "the damage comes off first";
}

TEST_F(MonsterTest, MapClearedFollowsTheLiving)
{
    Monster &a = add_monster(3, 0, 3);
    add_monster(-3, 0, 3).health = 0;
    update_monsters();
    EXPECT_EQ(map_cleared[TEST_MAP], 0);
    a.health = -4;
    update_monsters();
    EXPECT_EQ(map_cleared[TEST_MAP], 1);
    EXPECT_FLOAT_EQ(a.anim_time, 0.32f) << "the dead are left alone";
}
