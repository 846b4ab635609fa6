// The depth buckets, sprite projection and triangle culling.
#include "tests/render_fixture.h"

namespace {

class OrderingTest : public RenderTest {
protected:
    // A triangle on screen straight from its corner positions and keys, as sort_scene sees it.
    static void screen_triangle(const float (&xy)[3][2], float key, bool hidden = false)
    {
        ViewTriangle tri = {};
        for (int c = 0; c < 3; c++) {
            ViewVertex v = {};
            v.screen_x = xy[c][0];
            v.screen_y = xy[c][1];
            v.depth_key = key;
            v.hidden = hidden && c == 2;
            tri.vertex[c] = (s32)view_vertices.size();
            view_vertices.push_back(v);
        }
        view_triangles.push_back(tri);
    }
};

TEST_F(OrderingTest, CollisionsProbeFartherAndFallOffTheEnd)
{
    place_in_bucket(500, 7);
    place_in_bucket(500, 8);  // lands behind the first
    place_in_bucket(499, 9);
    EXPECT_EQ(depth_buckets[500], 7);
    EXPECT_EQ(depth_buckets[501], 8);
    EXPECT_EQ(depth_low, 499);
    EXPECT_EQ(depth_high, 501);

    place_in_bucket(22998, 10);
    place_in_bucket(22998, 11);
    place_in_bucket(22998, 12);  // the run reaches the end: dropped
    place_in_bucket(23000, 13);
    place_in_bucket(-1, 14);
    EXPECT_EQ(depth_buckets[22999], 11);
    EXPECT_EQ(depth_high, 22999);
    int used = 0;
    for (s16 code : depth_buckets)
        used += code != 0;
    EXPECT_EQ(used, 5);
}

TEST_F(OrderingTest, PlayerAtTheFocusAndTenUnitsAway)
{
    project_sprites();
    EXPECT_EQ(player_screen_x, 266);
    EXPECT_EQ(player_screen_y, 127);
    EXPECT_NEAR(player_sprite_scale, 2.2727, 1e-4);
    EXPECT_EQ(depth_buckets[3725], BUCKET_PLAYER);
    EXPECT_EQ(depth_low, 3725);

    clear_depth_buckets();
    player_z = -10;
    project_sprites();
    EXPECT_EQ(player_screen_x, 292);
    EXPECT_EQ(player_screen_y, 3);
    EXPECT_NEAR(player_sprite_scale, 1.1818, 1e-4);
    EXPECT_EQ(depth_buckets[7437], BUCKET_PLAYER);

    clear_depth_buckets();
    player_z = 10;  // very near the eye, still drawn
    project_sprites();
    EXPECT_EQ(depth_buckets[12], BUCKET_PLAYER);
}

TEST_F(OrderingTest, SpritesAtOrBehindTheEyeOrFarOffConvertSafely)
{
    // Behind the eye, and on the eye plane's near side: no entry, no undefined conversion.
    for (float z : {20.0f, 11.11f, 1e30f}) {
        player_z = z;
        project_sprites();
        EXPECT_LT(depth_high, depth_low) << z;
    }
    // Far to the side at the focus depth: the corner is held at the edge of the 16-bit
    // range instead of wrapping back onto the screen.
    player_z = 0;
    player_x = 5000;
    project_sprites();
    EXPECT_EQ(depth_buckets[3725], BUCKET_PLAYER);
    EXPECT_GT(player_screen_x, 640);
    BITMAP *frame = solid(255, 255, 255);
    sprite_frames[0][0][0][0] = frame;
    draw_world();
    EXPECT_EQ(getpixel(back_buffer, 320, 240), 0);
}

TEST_F(OrderingTest, OnlyLiveMonstersAndPresentItemsAreEntered)
{
    monster_counts[1] = 3;
    for (int j = 0; j < 3; j++) {
        monsters[1][j] = Monster();
        monsters[1][j].health = j == 1 ? 0 : 4;
        monsters[1][j].x = 2.0f * j;
        monsters[1][j].screen_x = -77;
    }
    map_items[4].present = 1;
    map_items[4].z = -3;
    map_items[5].z = -6;
    map_items[5].screen_x = -77;
    project_sprites();

    int seen[100] = {};
    for (int i = depth_low; i <= depth_high; i++)
        if (depth_buckets[i] < 100)
            seen[depth_buckets[i]]++;
    EXPECT_EQ(seen[BUCKET_PLAYER], 1);
    EXPECT_EQ(seen[BUCKET_MONSTER_BASE + 0], 1);
    EXPECT_EQ(seen[BUCKET_MONSTER_BASE + 1], 0);
    EXPECT_EQ(seen[BUCKET_MONSTER_BASE + 2], 1);
    EXPECT_EQ(seen[BUCKET_ITEM_BASE + 4], 1);
    EXPECT_EQ(seen[BUCKET_ITEM_BASE + 5], 0);
    EXPECT_EQ(monsters[1][1].screen_x, -77);  // the dead keep their old fields
    EXPECT_EQ(map_items[5].screen_x, -77);
    // The player stands where monster 0 stands: entered first, it takes the key.
    EXPECT_EQ(depth_buckets[3725], BUCKET_PLAYER);
    EXPECT_EQ(depth_buckets[3726], BUCKET_MONSTER_BASE);
}

TEST_F(OrderingTest, BackFacesAndKeys)
{
    screen_triangle({{0, 0}, {10, 0}, {0, 10}}, 100);      // clockwise: c = -100, dropped
    screen_triangle({{0, 0}, {0, 10}, {10, 0}}, 100.9f);   // counter-clockwise: kept
    screen_triangle({{0, 0}, {5, 5}, {10, 10}}, 100.9f);   // no area: kept, same key
    screen_triangle({{0, 0}, {0, 10}, {10, 0}}, 50, true); // a hidden corner: dropped
    sort_scene();
    // Key trunc(3 x 100.9) / 3 = 100; the later triangle is drawn behind, one bucket farther.
    EXPECT_EQ(depth_buckets[100], BUCKET_TRIANGLE_BASE + 1);
    EXPECT_EQ(depth_buckets[101], BUCKET_TRIANGLE_BASE + 2);
    EXPECT_EQ(depth_low, 100);
    EXPECT_EQ(depth_high, 101);
}

TEST_F(OrderingTest, TrianglesPartlyOutsideTheWindowAreLeftOut)
{
    Plane &plane = open_plane(0);
    add_square(plane, 0, 0, 0, 1);       // well inside: two triangles
    add_square(plane, 0, -200, -200, 1); // far below and away: visible, key above the range
    add_square(plane, 9.4f, 0, 0, 1);    // straddles the right edge of the window
    add_square(plane, 0, 0, -15, 1);     // straddles the 20 rows left out at the top
    int sx, sy, top, bottom, left, right;
    screen_of(0, 0, -16, &sx, &top);
    screen_of(0, 0, -14, &sx, &bottom);
    screen_of(8.4f, 0, 1, &left, &sy);
    screen_of(10.4f, 0, 1, &right, &sy);
    ASSERT_TRUE(top < 20 && bottom > 20 && left < 800 && right > 800);
    screen_of(0, -200, -200, &sx, &sy);
    ASSERT_TRUE(sx > 0 && sx < 640 && sy > 20 && sy < 480);
    build_scene();
    transform_scene();
    sort_scene();
    int entered = 0;
    for (int i = depth_low; i <= depth_high; i++)
        if (depth_buckets[i]) {
            EXPECT_LT(depth_buckets[i] - BUCKET_TRIANGLE_BASE, 2);
            entered++;
        }
    EXPECT_EQ(entered, 2);
}

TEST_F(OrderingTest, MapChangeBetweenOrderingAndDrawing)
{
    Plane &plane = open_plane(0);
    add_square(plane, 0, 0, 0, 2, 0, solid(0, 255, 0, 16));
    build_scene();
    transform_scene();
    project_sprites();
    sort_scene();
    ASSERT_GT(depth_high, depth_low);

    plane.last_triangle = -1;  // the new map has no triangles at all
    build_scene();
    draw_world();
    EXPECT_EQ(getpixel(back_buffer, 320, 260), 0);
    for (s16 code : depth_buckets)
        ASSERT_EQ(code, 0);
    EXPECT_EQ(depth_low, 22999);
    EXPECT_EQ(depth_high, 0);
}

}  // namespace
