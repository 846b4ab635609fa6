// The hero: floor maps, climbing, blocking, facing, shooting and the camera.
#include <cstdlib>
#include <vector>

#include "game/player.h"
#include "tests/gameplay_scene.h"

namespace {

// A pixel's decoded height relative to the hero, or a large value when it is not floor.
float height_at(int col, int row)
{
    int v = getpixel(height_map, col, row);
    return v == white() ? 99.0f : floor_height(v);
}

// Base floor at height 0 up to z = 0.075 (pixel row 64.6) and a second floor from there on,
// so row 64 is the base and row 65, where one step down leads, is the second floor only.
void step_ahead(float second_height)
{
    add_floor(-4, -4, 4, 0.075f, 0);
    add_floor(-4, 0.075f, 4, 4, second_height);
}

}  // namespace

typedef GameplayTest FloorMap;

TEST_F(FloorMap, HoldsTheHighestFloorAndItsKind)
{
    add_floor(-4, -4, 4, 4, 0, 1234);
    add_floor(-1, -1, 1, 1, 0.5f, 77);   // higher: wins where it lies
    add_floor(-4, -4, 4, 4, -0.5f, 55);  // lower: never shows
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(height_map, 64, 64), (int)(2.5f * 256));
    EXPECT_EQ(getpixel(kind_map, 64, 64), 77);
    EXPECT_EQ(getpixel(height_map, 64 + 16, 64), 512);  // x = 2: the base floor
    EXPECT_EQ(getpixel(kind_map, 64 + 16, 64), 1234);
    // Beyond x = 4 there is nothing: blocked, kind 0.
    EXPECT_EQ(getpixel(height_map, 64 + 40, 64), white());
    EXPECT_EQ(getpixel(kind_map, 64 + 40, 64), 0);
}

TEST_F(FloorMap, EqualHeightsKeepTheFirstPainted)
{
    add_floor(-4, -4, 4, 4, 0, 11);
    add_floor(-4, -4, 4, 4, 0, 22);
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), 11);
}

TEST_F(FloorMap, LeavesOutWallsFarCentroidsAndFloorsOutOfReach)
{
    add_triangle(-4, 0, -4, 4, 0, -4, 4, 0, 4, 5000, true);  // a wall is never floor
    add_floor(5.2f, -1, 5.4f, 1, 0);                          // centroid 5.3 units away
    add_floor(-4, -4, 4, 4, 1.5f);                            // exactly 1.5 above
    add_floor(-4, -4, 4, 4, -1.5f);                           // exactly 1.5 below
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(height_map, 64, 64), white());
    EXPECT_EQ(getpixel(height_map, 64 + 42, 64), white());
    EXPECT_EQ(getpixel(kind_map, 64, 64), 0);
}

TEST_F(FloorMap, ReadsTheGivenPosition)
{
    add_floor(9, 9, 11, 11, 3.25f, 9);
    paint_floor_maps(10, 3, 10);
    EXPECT_FLOAT_EQ(height_at(64, 64), 0.25f);
    EXPECT_EQ(getpixel(kind_map, 64, 64), 9);
    EXPECT_EQ(getpixel(height_map, 64, 64 + 12), white());  // z = 11.5
}

TEST_F(FloorMap, GatedKindsCountUntilTheHeroFirstStandsOnOrdinaryFloor)
{
    add_floor(-4, -4, 1, 4, 0.25f, KIND_CLEARED_FLOOR);
    add_floor(-4, -4, 1, 4, 0.5f, KIND_GATED_FLOOR);
    add_floor(2, -4, 4, 4, 0);  // ordinary floor, away from the hero's pixel

    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), KIND_GATED_FLOOR);
    EXPECT_EQ(ground_reached, 0) << "gated floors do not count as ground";

    paint_floor_maps(3, 0, 0);  // the hero over ordinary floor
    EXPECT_EQ(ground_reached, 1);
    EXPECT_EQ(getpixel(kind_map, 64, 64), 0) << "now gated floors need their conditions";

    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(height_map, 64, 64), white());

    map_cleared[TEST_MAP] = 1;
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), KIND_CLEARED_FLOOR);

    inventory[TEST_MAP / 100] = 1;  // key 3 opens kind 5 on maps 300..399
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), KIND_GATED_FLOOR);

    map_cleared[TEST_MAP] = 0;
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(kind_map, 64, 64), KIND_GATED_FLOOR);
    inventory[TEST_MAP / 100] = 0;
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(getpixel(height_map, 64, 64), white());
}

TEST_F(FloorMap, OnlyTheHerosOwnPixelSetsGroundReached)
{
    add_floor(0.5f, -4, 4, 4, 0);
    paint_floor_maps(0, 0, 0);
    EXPECT_EQ(ground_reached, 0);
    EXPECT_NE(getpixel(height_map, 64 + 8, 64), white());
}

// The literal painter: the whole scratch bitmap cleared for every triangle and the whole
// bounding box scanned, pixels outside the bitmap reading -1.
static void reference_paint(float px, float py, float pz)
{
    int w = white();
    clear_to_color(height_map, w);
    clear_to_color(kind_map, 0);
    for (int n = depth_high; n >= depth_low; n--) {
        if (depth_buckets[n] < BUCKET_TRIANGLE_BASE)
            continue;
        const ViewTriangle &t = view_triangles[depth_buckets[n] - BUCKET_TRIANGLE_BASE];
        const ViewVertex *v[3] = {&view_vertices[t.vertex[0]], &view_vertices[t.vertex[1]], &view_vertices[t.vertex[2]]};
        float cx = (v[0]->world_x + v[1]->world_x + v[2]->world_x) / 3;
        float cz = (v[0]->world_z + v[1]->world_z + v[2]->world_z) / 3;
        float top = std::max(v[0]->world_y, std::max(v[1]->world_y, v[2]->world_y));
        if (!(cx - px > -5 && cx - px < 5 && cz - pz > -5 && cz - pz < 5 && top - py > -1.5f && top - py < 1.5f))
            continue;
        V3D_f c[3];
        int minc = 128, minr = 128, maxc = -1, maxr = -1;
        for (int i = 0; i < 3; i++) {
            c[i] = V3D_f{(v[i]->world_x - px + 8) * 8, (v[i]->world_z - pz + 8) * 8, 1, 0, 0,
                         (int)((top - py + 2) * 256)};
            if (c[i].x < minc) minc = (int)c[i].x;
            if (c[i].x > maxc) maxc = (int)c[i].x;
            if (c[i].y < minr) minr = (int)c[i].y;
            if (c[i].y > maxr) maxr = (int)c[i].y;
        }
        clear_to_color(paint_scratch, 0);
        triangle3d_f(paint_scratch, POLYTYPE_FLAT, NULL, &c[0], &c[1], &c[2]);
        for (int col = minc; col <= maxc; col++) {
            for (int row = minr; row <= maxr; row++) {
                int s = getpixel(paint_scratch, col, row);
                int h = getpixel(height_map, col, row);
                if (h == w)
                    h = 0;
                if (s > 0 && h < s) {
                    putpixel(height_map, col, row, s);
                    putpixel(kind_map, col, row, t.kind);
                }
            }
        }
    }
}

TEST_F(FloorMap, ClearingOnlyTheBoxPaintsWhatAFullClearPaints)
{
    srand(4242);
    auto coord = [](float range) { return (float)rand() / RAND_MAX * 2 * range - range; };
    int differing = 0, painted = 0;
    for (int scene = 0; scene < 200; scene++) {
        view_vertices.clear();
        view_triangles.clear();
        empty_buckets();
        int count = 1 + rand() % 12;
        for (int i = 0; i < count; i++) {
            // Centres mostly within reach; corners up to several units out, some past the map.
            float cx = coord(5.5f), cz = coord(5.5f);
            float spread = rand() % 4 == 0 ? 9.0f : 2.0f;
            add_triangle(cx + coord(spread), coord(1.4f), cz + coord(spread), cx + coord(spread), coord(1.4f),
                         cz + coord(spread), cx + coord(spread), coord(1.4f), cz + coord(spread), 10 + rand() % 3000);  // no gated kinds
        }
        paint_floor_maps(0, 0, 0);
        std::vector<int> heights, kinds;
        for (int col = 0; col < 128; col++)
            for (int row = 0; row < 128; row++) {
                heights.push_back(getpixel(height_map, col, row));
                kinds.push_back(getpixel(kind_map, col, row));
            }
        reference_paint(0, 0, 0);
        size_t n = 0;
        for (int col = 0; col < 128; col++)
            for (int row = 0; row < 128; row++, n++) {
                if (heights[n] != getpixel(height_map, col, row) || kinds[n] != getpixel(kind_map, col, row))
                    differing++;
                if (heights[n] != white())
                    painted++;
            }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(painted, 100000) << "the scenes must actually paint floor";
}

// Every colour depth the video set-up may pick holds every height and kind, and white
// differs from all of them.
TEST_F(FloorMap, HoldsEveryValueAtEveryColourDepth)
{
    BITMAP *keep[3] = {height_map, kind_map, paint_scratch};
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        set_color_depth(depth);
        height_map = create_bitmap(128, 128);
        kind_map = create_bitmap(128, 128);
        paint_scratch = create_bitmap(128, 128);
        ASSERT_TRUE(height_map && kind_map && paint_scratch);
        int w = white();
        int bad = 0;
        for (int v = 0; v < MAX_TRIGGERS; v++) {
            putpixel(height_map, 5, 7, v);
            putpixel(kind_map, 5, 7, v);
            if (getpixel(height_map, 5, 7) != v || getpixel(kind_map, 5, 7) != v || v == w)
                bad++;
        }
        EXPECT_EQ(bad, 0);

        view_vertices.clear();
        view_triangles.clear();
        empty_buckets();
        ground_reached = 0;
        add_floor(-4, -4, 0.5f, 4, 1.49f, MAX_TRIGGERS - 1);
        add_floor(0.5f, -4, 4, 4, -1.49f, 1000);
        paint_floor_maps(0, 0, 0);
        EXPECT_EQ(getpixel(height_map, 64, 64), (int)((1.49f + 2) * 256));
        EXPECT_EQ(getpixel(kind_map, 64, 64), MAX_TRIGGERS - 1);
        EXPECT_EQ(getpixel(height_map, 64 + 16, 64), (int)((-1.49f + 2) * 256));
        EXPECT_EQ(getpixel(kind_map, 64 + 16, 64), 1000);
        EXPECT_EQ(getpixel(height_map, 64 + 40, 64), w);
        EXPECT_EQ(ground_reached, 1);

        destroy_bitmap(height_map);
        destroy_bitmap(kind_map);
        destroy_bitmap(paint_scratch);
    }
    set_color_depth(16);
    height_map = keep[0];
    kind_map = keep[1];
    paint_scratch = keep[2];
}

typedef GameplayTest HeroMove;

TEST_F(HeroMove, ClimbsAStepBelowOneAndAHalf)
{
    step_ahead(1.49f);
    press(KEY_DOWN);
    update_player();
    EXPECT_FLOAT_EQ(player_z, 0.16f);
    // The height jumps to the new floor's top, to 1/256 of a unit.
    EXPECT_NEAR(player_y, 1.49f, 1.0f / 256);
    EXPECT_EQ(player_facing, FACING_DOWN);
    EXPECT_EQ(player_anim_state, 1);
}

TEST_F(HeroMove, RefusesAStepOfOneAndAHalfUpOrDown)
{
    for (float h : {1.5f, -1.5f, 2.0f}) {
        SCOPED_TRACE(h);
        view_vertices.clear();
        view_triangles.clear();
        empty_buckets();
        step_ahead(h);
        player_x = player_y = player_z = 0;
        press(KEY_DOWN);
        update_player();
        EXPECT_EQ(player_z, 0.0f);
        EXPECT_EQ(player_y, 0.0f);
        EXPECT_EQ(player_anim_state, 0) << "a refused move is no move";
    }
}

TEST_F(HeroMove, StepsDownLessThanOneAndAHalf)
{
    step_ahead(-1.2f);
    press(KEY_DOWN);
    update_player();
    EXPECT_FLOAT_EQ(player_z, 0.16f);
    EXPECT_NEAR(player_y, -1.2f, 1.0f / 256);
}

TEST_F(HeroMove, StandsAtTheTopOfASlope)
{
    add_triangle(-4, 0, 4, 4, 0.5f, 4, 0, 1.0f, -4);
    add_triangle(-4, 0, 4, 0, 1.0f, -4, -4, 0, -4);
    update_player();
    EXPECT_FLOAT_EQ(player_y, 1.0f);
    EXPECT_EQ(player_x, 0.0f);
    update_player();
    EXPECT_FLOAT_EQ(player_y, 1.0f) << "standing on it, he stays at its top";
}

TEST_F(HeroMove, LaterKeyOfEachPairWins)
{
    add_floor(-4, -4, 4, 4, 0);
    press(KEY_UP);
    press(KEY_DOWN);
    update_player();
    EXPECT_EQ(player_x, 0.0f);
    EXPECT_FLOAT_EQ(player_z, 0.16f);
    release_all_keys();
    press(KEY_LEFT);
    press(KEY_RIGHT);
    update_player();
    EXPECT_FLOAT_EQ(player_x, 0.16f);
    EXPECT_FLOAT_EQ(player_z, 0.16f);
    EXPECT_EQ(player_facing, FACING_RIGHT);
}

TEST_F(HeroMove, DiagonalFacesSideways)
{
    add_floor(-4, -4, 4, 4, 0);
    press(KEY_UP);
    press(KEY_LEFT);
    update_player();
    EXPECT_FLOAT_EQ(player_x, -0.16f);
    EXPECT_FLOAT_EQ(player_z, -0.16f);
    EXPECT_EQ(player_facing, FACING_LEFT);
}

TEST_F(HeroMove, BlockedAxisIsDroppedBeforeTheDiagonalProbe)
{
    // Floor from pixel row 62.6 on: the step up reads row 62 (blocked), the step right
    // reads row 64 and the diagonal would read row 62 again.
    add_floor(-4, -0.175f, 4, 4, 0);
    press(KEY_UP);
    press(KEY_RIGHT);
    update_player();
    EXPECT_FLOAT_EQ(player_x, 0.16f);
    EXPECT_EQ(player_z, 0.0f);
    EXPECT_EQ(player_facing, FACING_RIGHT);
}

TEST_F(HeroMove, SideStepIsProbedOnTheRowOfTheStepUp)
{
    // Up alone and right alone are free; the corner between them is not, so the step
    // right is refused and the step up kept.
    add_floor(-4, -0.05f, 4, 4, 0);
    add_floor(-4, -4, 0.075f, 4, 0);
    press(KEY_UP);
    press(KEY_RIGHT);
    update_player();
    EXPECT_EQ(player_x, 0.0f);
    EXPECT_FLOAT_EQ(player_z, -0.16f);
    EXPECT_EQ(player_facing, FACING_UP);
}

TEST_F(HeroMove, KeepsHisHeightOverNothing)
{
    player_y = 7;
    press(KEY_DOWN);
    update_player();
    EXPECT_EQ(player_y, 7.0f);
    EXPECT_EQ(player_z, 0.0f);
}

TEST_F(HeroMove, AnimationClockAndCameraTarget)
{
    add_floor(-4, -4, 4, 4, 0);
    player_anim_frame = 5.9f;
    press(KEY_RIGHT);
    update_player();
    EXPECT_NEAR(player_anim_frame, 5.9f + 0.32f - 6, 1e-5);
    EXPECT_FLOAT_EQ(camera_target_x, 0.16f);
    release_all_keys();
    update_player();
    EXPECT_EQ(player_anim_state, 0);
    EXPECT_NEAR(player_anim_frame, 0.22f + 0.24f, 1e-5);

    time_scale = 2;
    press(KEY_RIGHT);
    update_player();
    EXPECT_FLOAT_EQ(player_x, 0.16f + 0.32f);
}

TEST_F(HeroMove, HurtFlashHalvesEveryFrame)
{
    hurt_flash = 255;
    update_player();
    EXPECT_EQ(hurt_flash, 127);
    update_player();
    EXPECT_EQ(hurt_flash, 63);
}

typedef GameplayTest Shooting;

TEST_F(Shooting, ArrowLeavesFromAboveTheHeroTowardHisFacing)
{
    player_x = 2;
    player_y = 1;
    player_z = 3;
    player_facing = FACING_LEFT;
    press(KEY_SPACE);
    update_player();
    const MapItem &a = map_items[0];
    EXPECT_EQ(a.present, 1);
    EXPECT_EQ(a.type, ARROW_TYPE_BASE + FACING_LEFT);
    EXPECT_FLOAT_EQ(a.y, 2.5f);
    EXPECT_FLOAT_EQ(a.target_x, -8);
    EXPECT_FLOAT_EQ(a.target_y, 2.5f);
    EXPECT_FLOAT_EQ(a.target_z, 3);
    EXPECT_EQ(player_anim_state, 2);
    EXPECT_FLOAT_EQ(player_anim_frame, 4 * 0.16f);
    EXPECT_DOUBLE_EQ(next_shot_time, 1 + 0.002);
}

TEST_F(Shooting, CooldownHoldsTheNextArrow)
{
    press(KEY_SPACE);
    update_player();
    game_clock += 0.001;  // one frame later
    update_player();
    EXPECT_EQ(map_items[1].present, 0);
    game_clock += 0.0011;
    update_player();
    EXPECT_EQ(map_items[1].present, 1);
}

TEST_F(Shooting, TakesTheFirstFreeSlotOrElseSlotZero)
{
    for (int k = 0; k < MAP_ITEM_SLOTS - 1; k++) {
        map_items[k].present = 1;
        map_items[k].type = ITEM_HEART;
    }
    player_facing = FACING_DOWN;
    press(KEY_SPACE);
    update_player();
    EXPECT_EQ(map_items[MAP_ITEM_SLOTS - 1].type, ARROW_TYPE_BASE + FACING_DOWN);
    EXPECT_EQ(map_items[0].type, ITEM_HEART);

    // All fifty taken: the pick-up in slot 0 gives way.
    game_clock += 1;
    player_facing = FACING_UP;
    update_player();
    EXPECT_EQ(map_items[0].type, ARROW_TYPE_BASE + FACING_UP);
    EXPECT_FLOAT_EQ(map_items[0].target_z, -10);

    map_items[7].present = 0;
    game_clock += 1;
    update_player();
    EXPECT_EQ(map_items[7].present, 1);
    EXPECT_EQ(map_items[7].type, ARROW_TYPE_BASE + FACING_UP);
}

TEST_F(Shooting, PoseEndsWhenTheClockPassesSix)
{
    press(KEY_SPACE);
    update_player();
    release_all_keys();
    int frames = 1;
    while (player_anim_state == 2 && frames < 100) {
        update_player();
        frames++;
    }
    EXPECT_EQ(frames, 10);  // 0.64 a frame: past 6 on the tenth
    EXPECT_EQ(player_anim_frame, 0.0f);
}

TEST(Camera, EasesNinePercentAFrame)
{
    camera_x = camera_y = camera_z = 0;
    camera_target_x = 10;
    camera_target_y = -10;
    camera_target_z = 0;
    time_scale = 1;
    follow_camera();
    EXPECT_FLOAT_EQ(camera_x, 0.9f);
    EXPECT_FLOAT_EQ(camera_y, -0.9f);
    EXPECT_EQ(camera_z, 0.0f);
    camera_x = camera_y = camera_target_x = camera_target_y = 0;
}

TEST(PruneMap, MarksWhatWasNeverDrawn)
{
    plane_last = 1;
    for (int p = 0; p <= 1; p++) {
        planes[p].last_vertex = 2;
        planes[p].last_triangle = 1;
    }
    planes[1].active = 0;  // inactive planes are pruned too
    planes[0].triangles[0].e[TRIANGLE_DRAWN] = 1;
    planes[0].vertices[1].e[VERTEX_DRAWN] = 1;
    planes[0].triangles[2].e[TRIANGLE_INCLUDE] = 0;  // beyond the last triangle
    prune_map();
    EXPECT_EQ(planes[0].triangles[0].e[TRIANGLE_INCLUDE], 0);
    EXPECT_EQ(planes[0].triangles[1].e[TRIANGLE_INCLUDE], 2);
    EXPECT_EQ(planes[0].triangles[2].e[TRIANGLE_INCLUDE], 0);
    EXPECT_EQ(planes[0].vertices[0].e[VERTEX_SKIP], 1.0f);
    EXPECT_EQ(planes[0].vertices[1].e[VERTEX_SKIP], 0.0f);
    EXPECT_EQ(planes[0].vertices[3].e[VERTEX_SKIP], 0.0f);
    EXPECT_EQ(planes[1].triangles[1].e[TRIANGLE_INCLUDE], 2);
    EXPECT_EQ(planes[1].vertices[2].e[VERTEX_SKIP], 1.0f);
    for (int p = 0; p <= 1; p++) {
        for (int i = 0; i < 4; i++) {
            planes[p].triangles[i].e[TRIANGLE_INCLUDE] = planes[p].triangles[i].e[TRIANGLE_DRAWN] = 0;
            planes[p].vertices[i].e[VERTEX_SKIP] = planes[p].vertices[i].e[VERTEX_DRAWN] = 0;
        }
        planes[p].last_vertex = planes[p].last_triangle = 0;
    }
    plane_last = 0;
}
