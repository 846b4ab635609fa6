// The hero: floor maps, climbing, blocking, facing, shooting and the camera.
#include <vector>

#include "render/camera.h"
#include "tests/gameplay_scene.h"

typedef GameplayTest FloorMap;
typedef GameplayTest HeroMove;

// The floor maps' height and kind at a pixel; blocked pixels read white and kind 0.
static void expect_floor_at(int col, int row, int height, int kind)
{
    EXPECT_EQ(getpixel(height_map, col, row), height) << "height at " << col << "," << row;
    EXPECT_EQ(getpixel(kind_map, col, row), kind) << "kind at " << col << "," << row;
}

TEST_F(FloorMap, HighestFloorWinsAndGivesItsKind)
{
    add_floor(6, 6, 14, 14, 3, 1234);
    add_floor(9, 9, 11, 11, 3.5f, 77);  // higher: wins where it lies
    add_floor(6, 6, 14, 14, 2.5f, 55);  // lower: never shows
    add_floor(6, 6, 14, 14, 3, 66);     // as high as the first: the first keeps it
    paint_floor_maps(10, 3, 10);
    expect_floor_at(64, 64, (int)(2.5f * 256), 77);
    expect_floor_at(64 + 16, 64, 512, 1234);  // two units right: the base
    expect_floor_at(64 + 40, 64, white(), 0);  // beyond: blocked
}

TEST_F(FloorMap, LeavesOutWallsFarCentroidsAndFloorsOutOfReach)
{
    add_triangle({-4, 0, -4, 4, 0, -4, 4, 0, 4}, 5000, true);
    add_floor(5.2f, -1, 5.4f, 1, 0);   // centroid 5.3 units away
    add_floor(-4, -4, 4, 4, 1.5f);     // exactly 1.5 above
    add_floor(-4, -4, 4, 4, -1.5f);    // exactly 1.5 below
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(height_map, 64, 64), white());
    EXPECT_EQ(getpixel(height_map, 64 + 42, 64), white());
}

TEST_F(FloorMap, GatedKindsCountUntilTheHeroFirstStandsOnOrdinaryFloor)
{
    add_floor(-4, -4, 1, 4, 0.25f, KIND_CLEARED_FLOOR);
    add_floor(-4, -4, 1, 4, 0.5f, KIND_GATED_FLOOR);
    add_floor(2, -4, 4, 4, 0);  // ordinary floor, away from the hero's pixel
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), KIND_GATED_FLOOR);
    EXPECT_EQ(ground_reached, 0) << "neither gated floors nor other pixels count";

    paint_floor_maps(3, 0, 0);
    EXPECT_EQ(ground_reached, 1);
    // Kind 3 opens with the map cleared, kind 5 with key 3 (maps 300 to 399).
    const struct { int cleared, key, kind; } cases[] = {
        {0, 0, 0}, {1, 0, KIND_CLEARED_FLOOR}, {1, 1, KIND_GATED_FLOOR}, {0, 1, KIND_GATED_FLOOR}};
    for (auto c : cases) {
        map_cleared[TEST_MAP] = c.cleared;
        inventory[3] = c.key;
        paint_floor_maps(0, 0, 0);
        EXPECT_EQ(getpixel(kind_map, 64, 64), c.kind) << c.cleared << c.key;
    }
}

TEST_F(FloorMap, HoldsEveryValueAtEveryColourDepth)
{
    BITMAP **maps[3] = {&height_map, &kind_map, &paint_scratch};
    BITMAP *keep[3] = {height_map, kind_map, paint_scratch};
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        set_color_depth(depth);
        for (BITMAP **map : maps)
            *map = create_bitmap(128, 128);
        int bad = 0;
        for (int v = 0; v < MAX_TRIGGERS; v++) {
            putpixel(height_map, 5, 7, v);
            putpixel(kind_map, 5, 7, v);
            bad += getpixel(height_map, 5, 7) != v || getpixel(kind_map, 5, 7) != v || v == white();
        }
        EXPECT_EQ(bad, 0);

        empty_scene();
        ground_reached = 0;
        add_floor(-4, -4, 0.5f, 4, 1.49f, MAX_TRIGGERS - 1);
        add_floor(0.5f, -4, 4, 4, -1.49f, 1000);
        paint_floor_maps(0, 0, 0);
        expect_floor_at(64, 64, 893, MAX_TRIGGERS - 1);
        expect_floor_at(80, 64, 130, 1000);
        expect_floor_at(104, 64, white(), 0);
        EXPECT_EQ(ground_reached, 1);
        for (BITMAP **map : maps)
            destroy_bitmap(*map);
    }
    set_color_depth(16);
    for (int i = 0; i < 3; i++)
        *maps[i] = keep[i];
}

TEST_F(HeroMove, ClimbsBelowOneAndAHalfAndRefusesMore)
{
    // Row 64 is the base floor; row 65, where a step down leads, is the second floor only.
    const struct { float second; bool moves; } cases[] = {{1.49f, true}, {-1.2f, true}, {FLOOR_REACH, false}, {-FLOOR_REACH, false}, {2, false}};
    for (auto c : cases) {
        SCOPED_TRACE(c.second);
        empty_scene();
        add_floor(-4, -4, 4, 0.075f, 0);
        add_floor(-4, 0.075f, 4, 4, c.second);
        player_y = player_z = 0;
        player_anim_state = 0;
        press(KEY_DOWN);
        update_player();
        EXPECT_FLOAT_EQ(player_z, c.moves ? STEP_PER_FRAME : 0);
        EXPECT_NEAR(player_y, c.moves ? c.second : 0, 1.0f / 256) << "his height jumps to the new top";
        EXPECT_EQ(player_anim_state, c.moves ? 1 : 0);
    }
}

TEST_F(HeroMove, StandsAtTheTopOfASlope)
{
    add_triangle({-4, 0, 4, 4, 0.5f, 4, 0, 1.0f, -4});
    add_triangle({-4, 0, 4, 0, 1.0f, -4, -4, 0, -4});
    update_player();
    update_player();
    EXPECT_FLOAT_EQ(player_y, 1.0f);
}

TEST_F(HeroMove, LaterKeyOfEachPairWinsAndSidewaysFacingWins)
{
    add_floor(-4, -4, 4, 4, 0);
    const struct { int keys[2]; float x, z; int facing; } cases[] = {
        {{KEY_UP, KEY_DOWN}, 0, STEP_PER_FRAME, FACING_DOWN},
        {{KEY_LEFT, KEY_RIGHT}, STEP_PER_FRAME, 0, FACING_RIGHT},
        {{KEY_UP, KEY_LEFT}, -STEP_PER_FRAME, -STEP_PER_FRAME, FACING_LEFT}};
    for (auto c : cases) {
        player_x = player_z = 0;
        release_all_keys();
        press(c.keys[0]);
        press(c.keys[1]);
        update_player();
        EXPECT_FLOAT_EQ(player_x, c.x);
        EXPECT_FLOAT_EQ(player_z, c.z);
        EXPECT_EQ(player_facing, c.facing);
    }
}

TEST_F(HeroMove, BlockedAxisIsDroppedBeforeTheDiagonal)
{
    // Floor from pixel row 63.5 on: the step up reads row 63 and is refused; the step right
    // then reads his own row and is taken, a pixel at a time, the step up refused each time.
    add_floor(-4, -0.0625f, 4, 4, 0);
    press(KEY_UP);
    press(KEY_RIGHT);
    update_player();
    expect_floats({player_x, player_z, (float)player_facing}, {STEP_PER_FRAME, 0, FACING_RIGHT});

    // Up free, right free on his own row but not on the row the step up leads to: he goes
    // up, along the wall's west face, until the way right is open on both rows.
    empty_scene();
    add_floor(-4, -4, 0.0625f, 4, 0);
    add_floor(0.0625f, -4, 4, -1.0f, 0);
    add_floor(0.0625f, -0.0625f, 4, 4, 0);
    player_x = 0;
    time_scale = 0.5f;
    update_player();
    expect_floats({player_x, player_z}, {0, -0.08f});
}

// Passing a wall's corner on a diagonal he keeps to the floor: the way along x must be open
// on his own row too, so he follows the wall's face past its corner and then turns; nor
// does he squeeze between two floors that touch only at a corner.
TEST_F(HeroMove, NoWallsCornerIsCutNorACornerSqueezedThrough)
{
    // The wall's corner a quarter pixel right of him and most of a pixel up.
    const float corner_x = 0.03f, corner_z = -0.09f;
    add_floor(-4, -4, corner_x, 4, 0);
    add_floor(corner_x, -4, 4, corner_z, 0);
    press(KEY_UP);
    press(KEY_RIGHT);
    for (float rate : {0.1f, 1.0f})
        for (int i = 0; i < 20; i++) {
            time_scale = rate;
            update_player();
            EXPECT_FALSE(player_x > corner_x && player_z > corner_z) << "inside the wall at " << player_x << ", " << player_z;
            EXPECT_NE(getpixel(height_map, 64, 64), white()) << "over no floor at " << player_x << ", " << player_z;
        }
    EXPECT_GT(player_x, 0.5f) << "past the corner he walks on diagonally";

    empty_scene();
    add_floor(-4, -4, 0, 0, 0);
    add_floor(0, 0, 4, 4, 0);
    player_x = player_z = 0;
    time_scale = 1;
    release_all_keys();
    press(KEY_UP);
    press(KEY_LEFT);
    update_player();
    EXPECT_TRUE(player_x == 0 && player_z == 0);
}

// A hero over no floor (a map change onto bad data) keeps his height while he stands, and
// steps onto the floor beside him; moves that end on nothing are refused.
TEST_F(HeroMove, OverNoFloorHeKeepsHisHeightAndStepsOntoTheFloorBeside)
{
    add_floor(-4, -4, -0.02f, 4, 0.5f);
    player_y = 0.25f;
    update_player();
    EXPECT_EQ(player_y, 0.25f);
    for (int k : {KEY_RIGHT, KEY_UP, KEY_DOWN}) {
        release_all_keys();
        press(k);
        update_player();
        EXPECT_TRUE(player_x == 0 && player_z == 0) << k;
    }
    release_all_keys();
    press(KEY_LEFT);
    update_player();
    EXPECT_FLOAT_EQ(player_x, -STEP_PER_FRAME);
    EXPECT_NEAR(player_y, 0.5f, 1.0f / 256);
}

// However long a frame, he ends against a wall within a pixel of its face, over floor, and
// a wall thinner than a frame's step still stops him.
TEST_F(HeroMove, AFrameOfAnyLengthEndsAgainstTheWallAndNoneCarriesHimThrough)
{
    for (float rate : {6.0f, 2.0f, 1.0f, 0.5f, 0.1f})
        for (int side : {1, -1}) {
            SCOPED_TRACE(testing::Message() << "time_scale " << rate << ", side " << side);
            empty_scene();
            const float face = 1.03f;
            add_floor(-face, -4, face, 4, 0);
            add_floor(face + 0.25f, -4, 4, 4, 0);  // past a thin wall
            add_floor(-4, -4, -face - 0.25f, 4, 0);
            player_x = player_z = 0;
            time_scale = rate;
            release_all_keys();
            press(side > 0 ? KEY_RIGHT : KEY_LEFT);
            for (int i = 0; i < 2 + (int)(2 / (STEP_PER_FRAME * rate)); i++)
                update_player();
            float gap = face - player_x * side;
            EXPECT_GE(gap, 0.0f);
            EXPECT_LE(gap, 0.125f);
            paint_floor_maps(player_x, player_y, player_z);
            EXPECT_NE(getpixel(height_map, 64, 64), white());
        }
}

TEST_F(HeroMove, AnimationClocksHurtFlashAndCameraTarget)
{
    add_floor(-4, -4, 4, 4, 0);
    player_anim_frame = 5.9f;
    hurt_flash = 255;
    press(KEY_RIGHT);
    update_player();
    EXPECT_NEAR(player_anim_frame, 0.22f, 1e-5);  // 2 x step, wrapped at 6
    EXPECT_EQ(hurt_flash, 127);
    EXPECT_FLOAT_EQ(camera_target_x, STEP_PER_FRAME);
    release_all_keys();
    time_scale = 2;
    update_player();
    EXPECT_EQ(player_anim_state, 0);
    EXPECT_NEAR(player_anim_frame, 0.22f + 0.48f, 1e-5);  // 1.5 x step standing
    EXPECT_EQ(hurt_flash, 31) << "two sixtieths of a second: halved twice";
}

TEST_F(HeroMove, ArrowLeavesAboveTheHeroWithACooldown)
{
    player_x = 2, player_y = 1, player_z = 3;
    player_facing = FACING_LEFT;
    press(KEY_SPACE);
    update_player();
    const MapItem &a = map_items[0];
    EXPECT_TRUE(a.present == 1 && a.type == ARROW_TYPE_BASE + FACING_LEFT);
    expect_floats({a.y, a.target_x, a.target_z}, {2.5f, -8, 3});
    EXPECT_DOUBLE_EQ(next_shot_time, 1 + SHOT_INTERVAL);
    // Three frames at 60 a second, whatever the rounding of the clock's sums.
    for (int frame = 1; frame <= 2; frame++) {
        game_clock += 1.0f * GAME_CLOCK_PER_FRAME;
        update_player();
        EXPECT_EQ(map_items[1].present, 0) << "still cooling down on frame " << frame;
    }
    game_clock += 1.0f * GAME_CLOCK_PER_FRAME;
    update_player();
    EXPECT_EQ(map_items[1].present, 1);
    EXPECT_DOUBLE_EQ(next_shot_time, 1 + 2 * SHOT_INTERVAL) << "due one interval after the last was due";

    // Let go for longer than the interval, the next arrow leaves at once and the rhythm
    // starts from it.
    release_all_keys();
    game_clock += 0.5;
    update_player();
    press(KEY_SPACE);
    game_clock += GAME_CLOCK_PER_FRAME;
    update_player();
    EXPECT_DOUBLE_EQ(next_shot_time, game_clock + SHOT_INTERVAL);

    // Standing, the pose runs 4 x step a frame until it passes 6: ten frames in all.
    release_all_keys();
    int frames = 1;
    for (; player_anim_state == 2 && frames < 100; frames++)
        update_player();
    EXPECT_EQ(frames, 10);
}

TEST_F(HeroMove, ArrowsNeverTakeAPickUpsSlot)
{
    for (int k = 0; k < MAP_ITEM_SLOTS - 1; k++) {
        map_items[k].present = 1;
        map_items[k].type = (s16)(k % ARROW_TYPE_BASE);
    }
    player_facing = FACING_DOWN;
    press(KEY_SPACE);
    update_player();
    EXPECT_EQ(map_items[MAP_ITEM_SLOTS - 1].type, ARROW_TYPE_BASE + FACING_DOWN) << "the first free slot";
    game_clock += 1;
    player_facing = FACING_UP;
    update_player();  // all fifty taken: the only arrow gives way, no pick-up does
    EXPECT_EQ(map_items[MAP_ITEM_SLOTS - 1].type, ARROW_TYPE_BASE + FACING_UP);
    EXPECT_FLOAT_EQ(map_items[MAP_ITEM_SLOTS - 1].target_z, -10);
    for (int k = 0; k < MAP_ITEM_SLOTS - 1; k++)
        EXPECT_EQ(map_items[k].type, k % ARROW_TYPE_BASE) << "slot " << k;

    // Only pick-ups: no arrow, no pose, no cooldown.
    map_items[MAP_ITEM_SLOTS - 1].type = ITEM_HEART;
    game_clock += 1;
    double due = next_shot_time;
    player_anim_state = 0;
    update_player();
    EXPECT_EQ(next_shot_time, due);
    EXPECT_EQ(player_anim_state, 0);
    for (int k = 0; k < MAP_ITEM_SLOTS; k++)
        EXPECT_LT(map_items[k].type, ARROW_TYPE_BASE) << "slot " << k;
}

TEST_F(HeroMove, WithNoFreeSlotTheArrowNearestItsTargetGivesWay)
{
    for (int k = 0; k < MAP_ITEM_SLOTS; k++) {
        MapItem &a = map_items[k];
        a = MapItem();
        a.present = 1;
        a.type = (s16)(k < 10 ? (int)ITEM_HEART : ARROW_TYPE_BASE + FACING_LEFT);
        a.target_x = k < 10 ? 0 : -(float)(k % 7) - 1;
    }
    map_items[3].target_x = 0.01f;  // a pick-up nearly risen: not an arrow, never taken
    map_items[20].target_x = -0.5f;  // the arrow next to settle
    player_facing = FACING_RIGHT;
    press(KEY_SPACE);
    update_player();
    EXPECT_EQ(map_items[20].type, ARROW_TYPE_BASE + FACING_RIGHT);
    EXPECT_EQ(map_items[3].type, ITEM_HEART);
}

TEST_F(HeroMove, TheBowWaitsUntilSpaceHasBeenUpOnce)
{
    bow_ready = 0;  // as the main loop starts, SPACE still down from the story
    press(KEY_SPACE);
    for (int frame = 0; frame < 10; frame++, game_clock += GAME_CLOCK_PER_FRAME)
        update_player();
    for (const MapItem &it : map_items)
        EXPECT_EQ(it.present, 0);
    release_all_keys();
    update_player();
    press(KEY_SPACE);
    game_clock += GAME_CLOCK_PER_FRAME;
    update_player();
    EXPECT_EQ(map_items[0].present, 1);
}

// Planes 0 and 1 with three vertices and two triangles each, no marks; plane_last as given.
static void two_small_planes(int last)
{
    for (int p = 0; p < 2; p++) {
        for (int i = 0; i < 3; i++) {
            planes[p].triangles[i].e[TRIANGLE_INCLUDE] = planes[p].triangles[i].e[TRIANGLE_DRAWN] = 0;
            planes[p].vertices[i].e[VERTEX_SKIP] = planes[p].vertices[i].e[VERTEX_DRAWN] = 0;
        }
        planes[p].last_vertex = last ? 2 : 0;
        planes[p].last_triangle = last ? 1 : 0;
    }
    plane_last = last;
}

TEST_F(HeroMove, CameraEasesAndPruningMarksWhatWasNeverDrawn)
{
    camera_target_x = 10;
    camera_target_y = -10;
    follow_camera();
    expect_floats({camera_x, camera_y}, {0.9f, -0.9f});

    two_small_planes(1);  // whatever earlier tests left
    planes[0].triangles[0].e[TRIANGLE_DRAWN] = 1;
    planes[0].vertices[1].e[VERTEX_DRAWN] = 1;
    prune_map();
    // The third lies beyond the last triangle.
    const PlaneTriangle *t = planes[0].triangles;
    EXPECT_EQ(std::vector<int>({t[0].e[TRIANGLE_INCLUDE], t[1].e[TRIANGLE_INCLUDE], t[2].e[TRIANGLE_INCLUDE]}),
              std::vector<int>({0, 2, 0}));
    EXPECT_EQ(planes[0].vertices[0].e[VERTEX_SKIP], 1.0f);
    EXPECT_EQ(planes[0].vertices[1].e[VERTEX_SKIP], 0.0f);
    EXPECT_EQ(planes[1].vertices[2].e[VERTEX_SKIP], 1.0f) << "inactive planes too";
    two_small_planes(0);
}
