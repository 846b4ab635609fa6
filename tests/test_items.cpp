// Pick-ups, arrows, kills and the victory.
#include <vector>

#include "game/items.h"
#include "tests/gameplay_scene.h"

namespace {

class ItemTest : public GameplayTest {
protected:
    // A pick-up from placement 4, or an arrow, at (x, y, z) heading for the target.
    MapItem &item(int slot, s16 type, float x, float y, float z, float tx, float ty, float tz)
    {
        MapItem &it = map_items[slot];
        it = MapItem{1, x, y, z, tx, ty, tz, 0, type, 0, 0, 4};
        item_placements[4].present = 1;
        return it;
    }
    MapItem &arrow(int slot, float x, float y, float z) { return item(slot, 13, x, y, z, x + 10, y, z); }

    Monster &add_monster(float x, float y, float z, s16 health, s16 max_health)
    {
        Monster &m = place_monster(1, x, y, z);
        m.health = health, m.max_health = max_health;
        return m;
    }
};

}  // namespace

TEST_F(ItemTest, HeartMultipliesHealthByOneAndAHalf)
{
    for (int health : {1, 8, 3, 2000000000}) {
        SCOPED_TRACE(health);
        player_health = health;
        item(0, ITEM_HEART, 0, 1.5f, 0.5f, 0, 1.5f, 0.5f);
        update_map_items();
        EXPECT_EQ(map_items[0].present, 0);
        EXPECT_EQ(item_placements[4].present, 0) << "gone for good";
        EXPECT_EQ(player_health, health < 1000 ? health * 3 / 2 : 2147483647) << "kept in range";
    }
    // One unit from 1.5 above the feet is not close enough.
    item(0, ITEM_HEART, 0, 0.5f, 0, 0, 0.5f, 0);
    update_map_items();
    EXPECT_EQ(map_items[0].present, 1);
}

TEST_F(ItemTest, KeysAndGemsOnlySetTheirSlot)
{
    inventory[3] = 1;
    item(0, 3, 0.2f, 1.5f, 0, 0.2f, 1.5f, 0);
    item(1, ITEM_GEM_LAST, 0, 1.6f, -0.3f, 0, 1.6f, -0.3f);
    update_map_items();
    EXPECT_TRUE(inventory[3] == 1 && inventory[ITEM_GEM_LAST] == 1 && player_health == 8);
}

TEST_F(ItemTest, ArrowSettlesOnTheHundredAndFiftySecondFrame)
{
    arrow(0, 0, 1.5f, 0);
    int frames = 0;
    for (; map_items[0].present && frames < 500; frames++)
        update_map_items();
    EXPECT_EQ(frames, 152);
}

TEST_F(ItemTest, ArrowWoundsEveryMonsterWhoseBoxItIsInside)
{
    // The box reaches 1.2 each way, strictly, with the arrow's height lowered by 1.5.
    Monster &a = add_monster(0, 0, 0, 6, 6);
    Monster &b = add_monster(1.1f, -1.1f, 1.1f, 6, 6);
    Monster &c = add_monster(0, 0, 1.25f, 6, 6);
    Monster &d = add_monster(0, 1.25f, 0, 6, 6);
    arrow(0, 0, 1.5f, 0).target_x = 0;  // moves nowhere
    update_map_items();
    // Health of the two inside, the flash, the health of the two outside, the arrow, the kills.
    EXPECT_EQ(std::vector<int>({a.health, b.health, b.flash, c.health + d.health}),
              std::vector<int>({4, 4, 255, 12}));
    EXPECT_TRUE(map_items[0].present == 0 && monsters_killed == 0);
}

TEST_F(ItemTest, SecondArrowNoLongerSeesTheDeadAndKillsHeal)
{
    monster_total = 5;
    Monster &m = add_monster(4, 0, 0, 2, 13);
    add_monster(0, 0, 0, 0, 0);  // of a kind with no health: never hit
    arrow(0, 4, 1.5f, 0);
    arrow(1, 4, 1.5f, 0);
    arrow(2, 0, 1.5f, 0);
    update_map_items();
    EXPECT_EQ(m.health, 0);
    EXPECT_EQ(monsters_killed, 1);
    EXPECT_EQ(player_health, 8 + 6) << "half the monster's health, rounded down";
    EXPECT_TRUE(map_items[0].present == 0 && map_items[1].present == 1 && map_items[2].present == 1);
    EXPECT_EQ(closing_screen_shown, CLOSING_NONE);
}

TEST_F(ItemTest, LastKillShowsTheVictory)
{
    FrameTimingKept keep;
    closing_screens_return_at_once = true;
    monsters_killed = 6, monster_total = 7;
    add_monster(4, 0, 0, 1, 9);
    arrow(0, 4, 1.5f, 0);
    update_map_items();
    EXPECT_EQ(monsters_killed, 7);
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
    EXPECT_EQ(player_health, 0);
}
