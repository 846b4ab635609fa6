// The depth buckets, sprite projection and triangle culling.
#include <algorithm>

#include "tests/render_fixture.h"

namespace {

class OrderingTest : public RenderTest {
protected:
    // A triangle straight from its screen corners and depth key, as sort_scene sees it.
    static void screen_triangle(const float (&xy)[3][2], float key, bool hidden = false)
    {
        ViewTriangle tri = {};
        for (int c = 0; c < 3; c++) {
            ViewVertex v = {};
            v.screen_x = xy[c][0], v.screen_y = xy[c][1], v.depth_key = key;
            v.hidden = hidden;
            tri.vertex[c] = (s32)view_vertices.size();
            view_vertices.push_back(v);
        }
        view_triangles.push_back(tri);
    }
    static std::vector<int> entered_codes()
    {
        std::vector<int> codes;
        for (int i = depth_low; i <= depth_high; i++)
            if (depth_buckets[i])
                codes.push_back(depth_buckets[i]);
        std::sort(codes.begin(), codes.end());
        return codes;
    }
};

TEST_F(OrderingTest, CollisionsProbeFartherAndFallOffTheEnd)
{
    place_in_bucket(500, 7);
    place_in_bucket(500, 8);  // lands behind the first
    place_in_bucket(499, 9);
    place_in_bucket(22998, 10);
    place_in_bucket(22998, 11);
    place_in_bucket(22998, 12);  // the run reaches the end: dropped
    place_in_bucket(23000, 13);
    place_in_bucket(-1, 14);
    EXPECT_EQ(depth_buckets[501], 8);
    EXPECT_EQ(depth_buckets[22999], 11);
    EXPECT_EQ(depth_low, 499);
    EXPECT_EQ(depth_high, 22999);
    int used = 0;
    for (s16 code : depth_buckets)
        used += code != 0;
    EXPECT_EQ(used, 5);
}

TEST_F(OrderingTest, PlayerAtTheFocusAndTenUnitsAway)
{
    const float z[3] = {0, -10, 10};
    const int corner[3][2] = {{266, 127}, {292, 3}, {-1, -1}};
    const float scale[3] = {2.2727f, 1.1818f, -1};
    const int key[3] = {3725, 7437, 12};  // the last very near the eye, still entered
    for (int i = 0; i < 3; i++) {
        clear_depth_buckets();
        player_z = z[i];
        project_sprites();
        EXPECT_EQ(depth_buckets[key[i]], BUCKET_PLAYER) << i;
        EXPECT_EQ(depth_low, key[i]);
        if (corner[i][0] < 0)
            continue;
        EXPECT_EQ(player_screen_x, corner[i][0]);
        EXPECT_EQ(player_screen_y, corner[i][1]);
        EXPECT_NEAR(player_sprite_scale, scale[i], 1e-4);
    }
}

TEST_F(OrderingTest, SpritesBehindTheEyeOrFarOffConvertSafely)
{
    for (float z : {11.11f, 20.0f, 1e30f}) {  // just short of the eye plane, behind it, beyond
        player_z = z;
        project_sprites();
        EXPECT_LT(depth_high, depth_low) << z;
    }
    // Far to the side at the focus depth: the corner stays at the edge of the 16-bit range
    // instead of wrapping back onto the screen.
    player_z = 0;
    player_x = 5000;
    project_sprites();
    EXPECT_EQ(depth_buckets[3725], BUCKET_PLAYER);
    EXPECT_GT(player_screen_x, 640);
    sprite_frames[0][0][0][0] = solid(255, 255, 255);
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
    map_items[5].screen_x = -77;
    project_sprites();

    EXPECT_EQ(entered_codes(), (std::vector<int>{BUCKET_PLAYER, BUCKET_MONSTER_BASE, BUCKET_MONSTER_BASE + 2,
                                                 BUCKET_ITEM_BASE + 4}));
    EXPECT_EQ(monsters[1][1].screen_x, -77);  // the dead keep their old fields
    EXPECT_EQ(map_items[5].screen_x, -77);
    // Monster 0 stands where the player stands: the player, entered first, takes the key.
    EXPECT_EQ(depth_buckets[3725], BUCKET_PLAYER);
    EXPECT_EQ(depth_buckets[3726], BUCKET_MONSTER_BASE);
}

TEST_F(OrderingTest, BackFacesAndKeys)
{
    screen_triangle({{0, 0}, {10, 0}, {0, 10}}, 100);       // clockwise: c = -100, dropped
    screen_triangle({{0, 0}, {0, 10}, {10, 0}}, 100.9f);    // counter-clockwise: kept
    screen_triangle({{0, 0}, {5, 5}, {10, 10}}, 100.9f);    // no area: kept, same key
    screen_triangle({{0, 0}, {0, 10}, {10, 0}}, 50, true);  // a hidden corner: dropped
    sort_scene();
    // Key trunc(3 x 100.9) / 3 = 100; the later triangle goes one bucket farther, drawn behind.
    EXPECT_EQ(depth_buckets[100], BUCKET_TRIANGLE_BASE + 1);
    EXPECT_EQ(depth_buckets[101], BUCKET_TRIANGLE_BASE + 2);
    EXPECT_EQ(depth_low, 100);
    EXPECT_EQ(depth_high, 101);
}

TEST_F(OrderingTest, TrianglesPartlyOutsideTheWindowAreLeftOut)
{
    Plane &plane = open_plane(0);
    add_square(plane, 0, 0, 0, 1);        // well inside: the only two entered
    add_square(plane, 0, -200, -200, 1);  // far below and away: visible, key above the range
    add_square(plane, 9.4f, 0, 0, 1);     // across the right edge of the window
    add_square(plane, 0, 0, -15, 1);      // across the 20 rows left out at the top
    int sx, sy, top, bottom, left, right;
    screen_of(0, 0, -16, &sx, &top);
    screen_of(0, 0, -14, &sx, &bottom);
    screen_of(8.4f, 0, 1, &left, &sy);
    screen_of(10.4f, 0, 1, &right, &sy);
    ASSERT_TRUE(top < 20 && bottom > 20 && left < 800 && right > 800);
    build_scene();
    transform_scene();
    sort_scene();
    EXPECT_EQ(entered_codes(), (std::vector<int>{BUCKET_TRIANGLE_BASE, BUCKET_TRIANGLE_BASE + 1}));
}

}  // namespace
