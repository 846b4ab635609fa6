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
        for (int k = 0; k < MONSTER_KINDS; k++)
            kinds_kept[k] = monster_kinds[k];
        monster_kinds[1] = {2, 2, 0.2f};
        monster_kinds[5] = {10, 10, 1.0f};
    }
    void TearDown() override
    {
        for (int k = 0; k < MONSTER_KINDS; k++)
            monster_kinds[k] = kinds_kept[k];
        GameplayTest::TearDown();
    }

    // A living monster of kind 5 (speed 1) heading right.
    Monster &add_monster(float x, float y, float z, s16 step_x = 1, s16 step_z = 0)
    {
        Monster &m = monsters[TEST_MAP][monster_counts[TEST_MAP]++];
        m = Monster();
        m.kind = 5;
        m.health = m.max_health = 10;
        m.damage = 10;
        m.step_x = step_x;
        m.step_z = step_z;
        m.state = 1;
        m.x = x;
        m.y = y;
        m.z = z;
        return m;
    }

    MonsterKind kinds_kept[MONSTER_KINDS];
};

}  // namespace

TEST_F(MonsterTest, WalksOverFloorAtItsKindsSpeed)
{
    add_floor(-4, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    Monster &m = add_monster(2, 0, 2, 1, -1);
    update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.16f);
    EXPECT_FLOAT_EQ(m.z, 1.84f);
    EXPECT_EQ(m.facing, FACING_RIGHT) << "the horizontal heading wins";
    EXPECT_EQ(m.state, 1);
    EXPECT_FLOAT_EQ(m.anim_time, 0.32f);
    EXPECT_EQ(map_cleared[TEST_MAP], 0);

    m.kind = 1;  // speed 0.2
    m.step_x = 0;
    update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.16f);
    EXPECT_FLOAT_EQ(m.z, 1.84f - 0.032f);
    EXPECT_EQ(m.facing, FACING_UP);
}

// The floor map holds heights relative to the hero; the monster takes the floor under it.
TEST_F(MonsterTest, FollowsTheFloorWithoutDrifting)
{
    add_floor(-4, -4, 4, 4, 0);
    add_floor(1, -4, 4, 4, 0.25f);
    paint_floor_maps(0, 0, 0);
    Monster &m = add_monster(2, 0.25f, 2);
    for (int i = 0; i < 5; i++)
        update_monsters();
    EXPECT_FLOAT_EQ(m.x, 2.8f);
    EXPECT_FLOAT_EQ(m.y, 0.25f);

    // Walking off the step takes it down to the hero's floor.
    Monster &n = add_monster(1.05f, 0.25f, -2, -1, 0);
    update_monsters();
    EXPECT_FLOAT_EQ(n.x, 1.05f - 0.16f);
    EXPECT_FLOAT_EQ(n.y, 0.0f);
}

TEST_F(MonsterTest, TurnsOnTheSpotWhenTheFloorAheadIsBlocked)
{
    add_floor(-4, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    srand(7);
    for (int i = 0; i < 200; i++) {
        Monster &m = add_monster(3.95f, 0, 1, 1, 0);  // the next step leaves the floor
        update_monsters();
        EXPECT_EQ(m.x, 3.95f);
        EXPECT_EQ(m.z, 1.0f);
        EXPECT_TRUE(m.step_x >= -1 && m.step_x <= 1 && m.step_z >= -1 && m.step_z <= 1);
        EXPECT_NE(m.step_x, m.step_z) << "never standing, never on the main diagonal";
        monster_counts[TEST_MAP] = 0;
    }
}

TEST_F(MonsterTest, OutsideTheFloorMapNeitherMovesNorTurns)
{
    add_floor(-4, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    Monster &m = add_monster(7.95f, 0, 0, 1, 0);  // next step at column 128.8
    update_monsters();
    EXPECT_EQ(m.x, 7.95f);
    EXPECT_EQ(m.step_x, 1);
    EXPECT_EQ(m.step_z, 0);
    EXPECT_EQ(map_cleared[TEST_MAP], 0);
}

TEST_F(MonsterTest, OnAnotherLevelItIsFrozenAndHarmless)
{
    add_floor(-4, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    for (float y : {0.5f, -0.5f, 3.0f}) {
        SCOPED_TRACE(y);
        monster_counts[TEST_MAP] = 0;
        Monster &m = add_monster(0, y, 0);
        m.flash = 200;
        player_health = 8;
        update_monsters();
        EXPECT_EQ(m.x, 0.0f);
        EXPECT_EQ(m.state, 1);
        EXPECT_EQ(m.flash, 200);
        EXPECT_FLOAT_EQ(m.anim_time, 0.32f) << "its clock still runs";
        EXPECT_EQ(player_health, 8);
        EXPECT_EQ(map_cleared[TEST_MAP], 0) << "it is alive all the same";
    }
}

TEST_F(MonsterTest, HurtsInTheFirstThirdOfItsCycle)
{
    add_floor(-4, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    Monster &m = add_monster(0.5f, 0, 0, 0, 1);
    m.flash = 255;
    update_monsters();  // clock 0.32
    EXPECT_EQ(m.state, 2);
    EXPECT_EQ(player_health, -2);
    EXPECT_EQ(hurt_flash, 255);
    EXPECT_EQ(m.flash, 127);

    // Over whole cycles it hurts on the frames whose clock is below 2 after advancing.
    player_health = 1000;
    hurt_flash = 0;
    int hurting = 0;
    for (int frame = 0; frame < 19; frame++) {
        m.x = 0.5f;
        m.z = 0;
        s32 before = player_health;
        update_monsters();
        if (player_health < before)
            hurting++;
    }
    EXPECT_EQ(hurting, 7);

    m.anim_time = 1.8f;  // 2.12 after this frame's advance
    m.x = 0.5f;
    m.z = 0;
    player_health = 50;
    update_monsters();
    EXPECT_EQ(m.state, 2);
    EXPECT_EQ(player_health, 50);
}

TEST_F(MonsterTest, ContactIsTheStraightDistanceAndIgnoresWalls)
{
    paint_floor_maps(0, 0, 0);  // no floor at all: it stays and turns
    Monster &m = add_monster(0.6f, 0.3f, 0.7f, 0, 1);
    update_monsters();
    EXPECT_EQ(m.state, 2);  // sqrt(0.36 + 0.09 + 0.49) = 0.97
    EXPECT_EQ(player_health, -2);

    m.x = 0.6f;
    m.z = 0.8f;  // sqrt(0.36 + 0.09 + 0.64) = 1.04
    m.anim_time = 0;
    player_health = 8;
    update_monsters();
    EXPECT_EQ(m.state, 1);
    EXPECT_EQ(player_health, 8);
}

TEST_F(MonsterTest, AHitAboveThreeHundredIsCapped)
{
    add_monster(0.5f, 0, 0, 0, 1);
    player_health = 400;
    update_monsters();
    EXPECT_EQ(player_health, 300);
    monsters[TEST_MAP][0].anim_time = 0;
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
    EXPECT_EQ(a.anim_time, 0.32f) << "the dead are left alone";
    map_cleared[TEST_MAP + 1] = 0;
    EXPECT_EQ(map_cleared[TEST_MAP + 1], 0) << "other maps keep their value";
}
