// Pick-ups, arrows, kills and the victory.
#include "game/items.h"
#include "tests/gameplay_scene.h"

namespace {

class ItemTest : public GameplayTest {
protected:
    MapItem &pick_up(int slot, s16 type, float x, float y, float z, s16 placement)
    {
        MapItem &item = map_items[slot];
        item = MapItem();
        item.present = 1;
        item.type = type;
        item.x = item.target_x = x;
        item.y = y;
        item.target_y = y + 1.5f;
        item.z = item.target_z = z;
        item.placement = placement;
        item_placements[placement].present = 1;
        item_placements[placement].type = type;
        return item;
    }

    MapItem &arrow(int slot, float x, float y, float z, float tx, float tz)
    {
        MapItem &a = map_items[slot];
        a = MapItem();
        a.present = 1;
        a.type = ARROW_TYPE_BASE + FACING_RIGHT;
        a.x = x;
        a.y = a.target_y = y;
        a.z = z;
        a.target_x = tx;
        a.target_z = tz;
        return a;
    }

    Monster &add_monster(float x, float y, float z, s16 health, s16 max_health)
    {
        Monster &m = monsters[TEST_MAP][monster_counts[TEST_MAP]++];
        m = Monster();
        m.kind = 1;
        m.health = health;
        m.max_health = max_health;
        m.x = x;
        m.y = y;
        m.z = z;
        return m;
    }
};

}  // namespace

TEST_F(ItemTest, PickUpRisesThreePercentOfTheWayAFrame)
{
    MapItem &heart = pick_up(3, ITEM_HEART, 5, 0, 5, 12);
    update_map_items();
    EXPECT_FLOAT_EQ(heart.y, 0.045f);
    time_scale = 2;
    update_map_items();
    EXPECT_FLOAT_EQ(heart.y, 0.045f + (1.5f - 0.045f) * 0.06f);
    EXPECT_EQ(heart.present, 1);
}

TEST_F(ItemTest, HeartMultipliesHealthByOneAndAHalf)
{
    for (int health : {1, 8, 3}) {
        SCOPED_TRACE(health);
        player_health = health;
        pick_up(0, ITEM_HEART, 0, 1.5f, 0.5f, 4);
        update_map_items();
        EXPECT_EQ(map_items[0].present, 0);
        EXPECT_EQ(item_placements[4].present, 0) << "gone for good";
        EXPECT_EQ(inventory[ITEM_HEART], 1);
        EXPECT_EQ(player_health, health * 3 / 2);
    }
    player_health = 2000000000;  // past the largest count: kept at it
    pick_up(0, ITEM_HEART, 0, 1.5f, 0, 4);
    update_map_items();
    EXPECT_EQ(player_health, 2147483647);
}

TEST_F(ItemTest, KeysAndGemsOnlySetTheirSlot)
{
    inventory[ITEM_KEY_FIRST + 2] = 1;
    pick_up(0, ITEM_KEY_FIRST + 2, 0.2f, 1.5f, 0, 0);
    pick_up(1, ITEM_GEM_LAST, 0, 1.6f, -0.3f, 1);
    update_map_items();
    EXPECT_EQ(inventory[ITEM_KEY_FIRST + 2], 1);
    EXPECT_EQ(inventory[ITEM_GEM_LAST], 1);
    EXPECT_EQ(player_health, 8);
    EXPECT_EQ(map_items[0].present + map_items[1].present, 0);
}

TEST_F(ItemTest, PickUpOneUnitAwayStays)
{
    // Measured from 1.5 above the hero's feet.
    pick_up(0, ITEM_HEART, 0, 0.5f, 0, 0);
    map_items[0].target_y = 0.5f;
    update_map_items();
    EXPECT_EQ(map_items[0].present, 1);
    EXPECT_EQ(player_health, 8);
}

TEST_F(ItemTest, ArrowSettlesOnTheHundredAndFiftySecondFrame)
{
    arrow(0, 0, 1.5f, 0, 10, 0);
    int frames = 0;
    while (map_items[0].present && frames < 500) {
        update_map_items();
        frames++;
    }
    EXPECT_EQ(frames, 152);
}

TEST_F(ItemTest, ArrowHitsInsideTheBoxAroundTheMonster)
{
    // The arrow flies 1.5 above the feet; the box reaches 1.2 each way, strictly.
    Monster &m = add_monster(5, 0, 0, 10, 10);
    MapItem &a = arrow(0, 3.9f, 1.5f + 1.1f, 1.1f, 3.9f, 1.1f);  // stands still in the box
    update_map_items();
    EXPECT_EQ(a.present, 0);
    EXPECT_EQ(m.health, 8);
    EXPECT_EQ(m.flash, 255);
    EXPECT_EQ(monsters_killed, 0);

    MapItem &b = arrow(1, 5, 1.5f, 1.25f, 5, 1.25f);  // 1.25 off in z
    update_map_items();
    EXPECT_EQ(b.present, 0) << "settled where it stands";
    EXPECT_EQ(m.health, 8);
    MapItem &c = arrow(2, 5, 1.5f - 1.25f, 0, 5, 20);  // below the box
    update_map_items();
    EXPECT_EQ(c.present, 1);
    EXPECT_EQ(m.health, 8);
}

TEST_F(ItemTest, OneArrowWoundsEveryMonsterItIsInside)
{
    Monster &m1 = add_monster(0, 0, 0, 6, 6);
    Monster &m2 = add_monster(0.5f, 0, 0, 6, 6);
    Monster &far = add_monster(3, 0, 0, 6, 6);
    arrow(0, 0.2f, 1.5f, 0, 10, 0);
    update_map_items();
    EXPECT_EQ(m1.health, 4);
    EXPECT_EQ(m2.health, 4);
    EXPECT_EQ(far.health, 6);
}

TEST_F(ItemTest, SecondArrowNoLongerSeesTheDead)
{
    monster_total = 5;
    Monster &m = add_monster(4, 0, 0, 2, 12);
    arrow(0, 4, 1.5f, 0, 14, 0);
    arrow(1, 4, 1.5f, 0, 14, 0);
    update_map_items();
    EXPECT_EQ(m.health, 0);
    EXPECT_EQ(monsters_killed, 1);
    EXPECT_EQ(player_health, 8 + 6) << "a kill heals half the monster's health";
    EXPECT_EQ(map_items[0].present, 0);
    EXPECT_EQ(map_items[1].present, 1);
    EXPECT_EQ(closing_screen_shown, CLOSING_NONE);
}

TEST_F(ItemTest, MonstersOfKindHealthZeroCannotBeHit)
{
    Monster &m = add_monster(4, 0, 0, 0, 0);
    arrow(0, 4, 1.5f, 0, 14, 0);
    update_map_items();
    EXPECT_EQ(map_items[0].present, 1);
    EXPECT_EQ(m.health, 0);
    EXPECT_EQ(monsters_killed, 0);
}

TEST_F(ItemTest, LastKillShowsTheVictory)
{
    closing_screens_return_at_once = true;
    monsters_killed = 6;
    monster_total = 7;
    add_monster(4, 0, 0, 1, 9);
    arrow(0, 4, 1.5f, 0, 14, 0);
    FrameTimingKept keep;
    update_map_items();
    EXPECT_EQ(monsters_killed, 7);
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
    EXPECT_EQ(player_health, 0);
}
