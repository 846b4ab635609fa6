// Trigger floors, the gem gate and the map change.
#include <cstdio>
#include <string>

#include "game/triggers.h"
#include "tests/gameplay_scene.h"

namespace {

class TriggerTest : public GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        write_map(412);
        write_map(906);
        // Arrival points on the new map's floor (-2..2 both ways, height 0).
        set_trigger(1500, 412, 1.5f, 0.5f, -2);
        set_trigger(1600, 906, 1, 1, 1);
        set_trigger(2906, 7, -1, -0.5f, 2);
        add_floor(-4, -4, 4, 4, 0);  // the old scene, in this pass's buckets
        add_floor(-4, -4, 4, 4, 0);
        player_x = camera_x = camera_target_x = -7;
        check_triggers();  // a pass off every trigger floor: no failed change is remembered
    }
    void TearDown() override
    {
        for (int i : {1500, 1600, 2906})
            triggers[i] = Trigger();
        planes[0].active = 0;  // the loaded map's plane
        plane_last = 0;
        GameplayTest::TearDown();
    }

    // One active plane: a 4 x 4 floor of two triangles (or the top of a wall), with its
    // shadow map bitmap.
    void write_map(int number, bool wall = false)
    {
        std::string w = wall ? " 1 " : " 0 ";  // the triangles' wall field
        std::string triangles = "0 1 2 0 0 0 0" + w + "0 0  0 0 15 0 15 15  1\n0 2 3 0 0 0 0" + w + "0 0  0 0 15 15 0 15  1\n";
        dir.write("data/maps/" + std::to_string(number) + ".dtl",
                  "1 endplane 0 0 plane_info\n1 0  0 0 0  0 0 0 0 0 0 0 0 0 0  0 0 3 1 0 0\n"
                  "0 0 0 -2 0 -2 0 0 0 0 0\n0 0 0 2 0 -2 0 0 0 0 0\n"
                  "0 0 0 2 0 2 0 0 0 0 0\n0 0 0 -2 0 2 0 0 0 0 0\n" + triangles);
        dir.write("data/maps/shadowmap/.keep", "");
        BITMAP *cells = create_bitmap(32, 16);
        clear_to_color(cells, makecol(90, 60, 30));
        save_bitmap(("data/maps/shadowmap/i" + std::to_string(number) + "_0.bmp").c_str(), cells, palette);
        destroy_bitmap(cells);
    }

    static void set_trigger(int index, float map, float x, float y, float z)
    {
        triggers[index] = Trigger{{map, x, y, z}};
    }

    static void expect_hero_at(float x, float y, float z)
    {
        for (float *v : {&player_x, &camera_x, &camera_target_x})
            EXPECT_EQ(*v, x);
        for (float *v : {&player_y, &camera_y, &camera_target_y})
            EXPECT_EQ(*v, y);
        for (float *v : {&player_z, &camera_z, &camera_target_z})
            EXPECT_EQ(*v, z);
    }

    static void expect_nothing_changed()
    {
        EXPECT_EQ(current_map, TEST_MAP);
        EXPECT_EQ(player_x, -7.0f);
        EXPECT_EQ(view_triangles.size(), 4u);
    }

    // The trigger at the hero's pixel refuses its map with one line saying `why`; then he
    // steps off and on again, so that the next try is made.
    static void expect_refused(const char *why)
    {
        std::string err = stderr_of(check_triggers);
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find(why), std::string::npos) << err;
        expect_nothing_changed();
        putpixel(kind_map, 64, 64, 0);
        check_triggers();
        putpixel(kind_map, 64, 64, 1500);
    }

    ScratchDir dir;
};

}  // namespace

TEST_F(TriggerTest, FiresFromTheEdgeOfTheWindow)
{
    putpixel(kind_map, 64 + 3, 64, 1500);  // just outside
    putpixel(kind_map, 64, 64 - 3, 1500);
    check_triggers();
    expect_nothing_changed();

    putpixel(kind_map, 64 + 2, 64 - 2, 1500);
    check_triggers();
    EXPECT_EQ(current_map, 412);
    expect_hero_at(1.5f, 0.5f, -2);
    EXPECT_EQ(view_triangles.size(), 2u) << "the new map's scene";
    EXPECT_EQ(ground_reached, 0);
    int left = 0;
    for (int i = 0; i < DEPTH_BUCKETS; i++)
        left += depth_buckets[i] != 0;
    EXPECT_EQ(left, 0) << "no code of the old scene is left to draw";
}

TEST_F(TriggerTest, FirstPixelInScanOrderWinsAndTooLargeKindsAreIgnored)
{
    // Columns outer, rows inner: column 62 comes before column 63.
    putpixel(kind_map, 62, 62, MAX_TRIGGERS);
    putpixel(kind_map, 62, 63, KIND_GEM_GATE);  // only three gems: refused
    inventory[6] = inventory[7] = inventory[8] = 1;
    putpixel(kind_map, 62, 66, 1600);
    putpixel(kind_map, 63, 62, 1500);
    check_triggers();
    EXPECT_EQ(current_map, 906);
    expect_hero_at(1, 1, 1);
}

TEST_F(TriggerTest, GemGateWantsAllFourGems)
{
    putpixel(kind_map, 64, 64, KIND_GEM_GATE);
    inventory[6] = inventory[7] = inventory[9] = 1;
    for (int i = 0; i < 5; i++)
        check_triggers();
    expect_nothing_changed();
    inventory[8] = 1;
    check_triggers();
    EXPECT_EQ(current_map, 906);
    expect_hero_at(-1, -0.5f, 2);  // record 2000 + 906
}

TEST_F(TriggerTest, MissingMapLeavesTheHeroWhereHeIs)
{
    set_trigger(1500, 413, 3, 0.5f, -2);
    putpixel(kind_map, 64, 64, 1500);
    check_triggers();
    expect_nothing_changed();
    EXPECT_FALSE(change_map("413", 1, 0.5f, 1.5f));
    expect_nothing_changed();
    EXPECT_TRUE(change_map("412", 1, 0.5f, 1.5f));
    expect_hero_at(1, 0.5f, 1.5f);
}

// A map change that fails was tried, and its line printed, every pass while the hero stood
// on the trigger: now once, and again only after he has stepped off it.
TEST_F(TriggerTest, FailedChangeIsTriedOnceUntilTheHeroStepsOff)
{
    set_trigger(1500, 413, 1, 0, 1);  // no such map
    putpixel(kind_map, 64, 64, 1500);
    std::string err = stderr_of([] {
        for (int i = 0; i < 100; i++)
            check_triggers();
    });
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/maps/413.dtl"), std::string::npos) << err;
    expect_nothing_changed();

    // Still on it when the map appears: not yet tried again.
    write_map(413);
    check_triggers();
    expect_nothing_changed();

    // A failed gem gate is the same. (The retry once he has stepped off is in every refusal
    // of the next test.)
    putpixel(kind_map, 64, 64, KIND_GEM_GATE);
    for (int i = 6; i <= 9; i++)
        inventory[i] = 1;
    remove("data/maps/906.dtl");
    err = stderr_of([] {
        for (int i = 0; i < 10; i++)
            check_triggers();
    });
    EXPECT_EQ(line_count(err), 1) << err;
    expect_nothing_changed();

    // Another trigger in the window still leads on meanwhile.
    write_map(906);
    putpixel(kind_map, 65, 65, 1600);
    check_triggers();
    EXPECT_EQ(current_map, 906);
}

// An empty, one-byte or garbage map read as planes that were all inactive: the hero stood
// in a void with no floor and no way out. Such a map is refused like any other bad map.
TEST_F(TriggerTest, AMapWithoutPlanesOrWithoutFloorUnderTheArrivalOrOnAWallIsRefused)
{
    putpixel(kind_map, 64, 64, 1500);
    // Empty, garbage or cut short: refused where the reading stopped.
    for (const char *text : {"", "1", "garbage \x01\x02 not a map at all", "1 endplane 0 0 plane_info\n0 0"}) {
        write_map(412);
        dir.write("data/maps/412.dtl", text);
        expect_refused("data/maps/412.dtl: refused: reading stopped at");
    }
    // Whole, but its one plane inactive: a void with no way out.
    write_map(412);
    dir.write("data/maps/412.dtl", "1 endplane 0 0 plane_info\n0 0  0 0 0 0 0 0 0 0 0 0 0 0 0  0 0 0 0 0 0");
    expect_refused("data/maps/412.dtl: refused: has no active plane");

    // A sound map, but the arrival point is off its floor, or a floor too far above or below.
    write_map(412);
    struct Point {
        float x, y, z;
    };
    for (Point p : {Point{2.5f, 0, 0}, Point{0, 0, -2.01f}, Point{0, 1.5f, 0}, Point{0, -1.5f, 0}}) {
        set_trigger(1500, 412, p.x, p.y, p.z);
        expect_refused("data/maps/412.dtl: refused: has no floor under the arrival point");
    }

    // A wall's top is never floor, so it is no place to arrive on either.
    write_map(412, true);
    set_trigger(1500, 412, 0, 0, 0);
    expect_refused("data/maps/412.dtl: refused: has no floor under the arrival point");

    // On the floor's very edge, and within a step of it: taken.
    write_map(412);
    set_trigger(1500, 412, 2, 1.4f, -2);
    check_triggers();
    EXPECT_EQ(current_map, 412);
    expect_hero_at(2, 1.4f, -2);
}
