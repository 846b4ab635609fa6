// Drawing: painter's order, translucency, gates, scrolling and sprites, on real pixels.
#include "tests/render_fixture.h"

namespace {

class DrawTest : public RenderTest {
protected:
    static int pixel_of(float x, float y, float z)
    {
        int sx, sy;
        screen_of(x, y, z, &sx, &sy);
        return getpixel(back_buffer, sx, sy);
    }
    // A fresh map of `squares`, drawn in one pass; returns the pixel under the focus.
    template <typename Build>
    static int draw_map(Build squares, int background = 0)
    {
        clear_to_color(back_buffer, background);
        Plane &plane = open_plane(0);
        squares(plane);
        build_scene();
        render_pass();
        return pixel_of(0, 0, 0);
    }
    // One red square at the focus over white, after `ground` has been set by the scene build.
    int red_over_white(int kind, int transparency)
    {
        return draw_map([&](Plane &p) { add_square(p, 0, 0, 0, 2, kind, red, transparency); },
                        makecol(255, 255, 255));
    }
    void SetUp() override
    {
        RenderTest::SetUp();
        red = solid(255, 0, 0, 16);
    }
    BITMAP *red = NULL;
};

TEST_F(DrawTest, NearerCoversFartherWhateverTheIndexOrder)
{
    BITMAP *green = solid(0, 255, 0, 16);
    // A platform 2 units up: each of its triangles is nearer than either of the floor's.
    for (int nearer_first = 0; nearer_first < 2; nearer_first++) {
        draw_map([&](Plane &p) {
            if (nearer_first)
                add_square(p, 0, 2, 0, 1, 0, red);
            add_square(p, 0, 0, 0, 3, 0, green);
            if (!nearer_first)
                add_square(p, 0, 2, 0, 1, 0, red);
        });
        EXPECT_EQ(pixel_of(0, 2, 0), makecol(255, 0, 0)) << nearer_first;
        EXPECT_EQ(pixel_of(0, 0, 2.5f), makecol(0, 255, 0)) << nearer_first;
        EXPECT_EQ(planes[0].triangles[3].e[TRIANGLE_DRAWN], 1);
        EXPECT_EQ(planes[0].vertices[7].e[VERTEX_DRAWN], 1.0f);
    }
}

TEST_F(DrawTest, TranslucencyAndGates)
{
    int opaque = makecol(255, 0, 0), white = makecol(255, 255, 255);
    EXPECT_EQ(red_over_white(0, 0), opaque);
    EXPECT_EQ(red_over_white(0, 100), white);
    EXPECT_EQ(red_over_white(0, 150), white);  // held at 100, not a negative alpha
    EXPECT_NEAR(getg(red_over_white(0, 50)), 128, 8);

    current_map = 345;  // group 3
    for (int kind : {KIND_GATED_SHOW, KIND_CLEARED_SHOW}) {
        uint8_t *own = kind == KIND_GATED_SHOW ? (uint8_t *)&inventory[3] : &map_cleared[345];
        uint8_t *other = kind == KIND_GATED_SHOW ? &map_cleared[345] : (uint8_t *)&inventory[3];
        *own = *other = 0;
        // Until the hero first stands on ordinary floor, gates are see-through.
        EXPECT_NEAR(getg(red_over_white(kind, 0)), 128, 8) << kind;
        ground_reached = 1;
        *other = 1;
        render_pass();
        EXPECT_EQ(pixel_of(0, 0, 0), opaque) << kind;
        *own = 1;
        clear_to_color(back_buffer, white);
        render_pass();
        EXPECT_NEAR(getg(pixel_of(0, 0, 0)), 128, 8) << kind;
    }
}

TEST_F(DrawTest, ScrollingWrapsWithinTheCell)
{
    // Cells of two halves, side by side or one above the other: 8 texels across the split swap them.
    BITMAP *sides = solid(255, 0, 0, 16), *rows = solid(255, 0, 0, 16);
    rectfill(sides, 8, 0, 15, 15, makecol(0, 255, 0));
    rectfill(rows, 0, 8, 15, 15, makecol(0, 255, 0));
    frames_last_tick = 1;  // keeps the moving scenery at rest
    auto picture = [&](int kind, float scroll, BITMAP *cell) {
        texture_scroll = scroll;
        draw_map([&](Plane &p) { add_square(p, 0, 0, 0, 2, kind, cell); });
        BITMAP *copy = keep(create_bitmap(GAME_WIDTH, GAME_HEIGHT));
        blit(back_buffer, copy, 0, 0, 0, 0, GAME_WIDTH, GAME_HEIGHT);
        return copy;
    };
    auto differ = [](BITMAP *a, BITMAP *b) {
        int n = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                n += getpixel(a, x, y) != getpixel(b, x, y);
        return n;
    };
    BITMAP *diagonal = picture(KIND_RIPPLE, 0, sides);
    EXPECT_LT(differ(diagonal, picture(KIND_RIPPLE, 16, sides)), 20);  // a full turn of the cell
    EXPECT_GT(differ(diagonal, picture(KIND_RIPPLE, 8, sides)), 1000);
    EXPECT_LT(differ(picture(KIND_PLAIN, 0, sides), picture(KIND_PLAIN, 8, sides)), 20);
    // Kind 2 runs along v only, seven times as fast.
    BITMAP *along = picture(KIND_SWAY, 0, rows);
    EXPECT_LT(differ(along, picture(KIND_SWAY, 16.0f / 7, rows)), 100);
    EXPECT_GT(differ(along, picture(KIND_SWAY, 8.0f / 7, rows)), 1000);
    EXPECT_LT(differ(picture(KIND_SWAY, 0, sides), picture(KIND_SWAY, 8.0f / 7, sides)), 20);
}

TEST_F(DrawTest, PlayerAndItemAtTheFocus)
{
    sprite_frames[0][1][3][0] = solid(255, 0, 0);
    sprite_frames[0][1][3][5] = solid(0, 0, 255);
    object_bitmaps[7] = solid(0, 255, 0, 12);
    // Nearer: drawn over the player, 36 x 36 at 8 x scale up and left.
    map_items[3].present = 1, map_items[3].type = 7, map_items[3].z = 4;
    player_anim_state = 1, player_facing = 3;
    player_anim_frame = 6.0f;  // the clock wraps late: this is the next cycle's first frame
    render_pass();
    int r = makecol(255, 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 266, 127), r);  // 109 x 109 at (266, 127)
    EXPECT_EQ(getpixel(back_buffer, 266 + 108, 127 + 108), r);
    for (auto p : {std::make_pair(265, 127), std::make_pair(266 + 109, 127), std::make_pair(266, 127 + 109)})
        EXPECT_EQ(getpixel(back_buffer, p.first, p.second), 0) << p.first << "," << p.second;
    int ix = map_items[3].screen_x, iy = map_items[3].screen_y, size = (int)(16 * map_items[3].sprite_scale);
    EXPECT_EQ(getpixel(back_buffer, ix + size - 1, iy + size - 1), makecol(0, 255, 0));
    EXPECT_NE(getpixel(back_buffer, ix + size, iy + size - 1), makecol(0, 255, 0));
    player_anim_frame = 5.99f;
    render_pass();
    EXPECT_EQ(getpixel(back_buffer, 266, 127), makecol(0, 0, 255));
}

TEST_F(DrawTest, LargeMonsterGrowsUpwardAndPipsStayAtTheAnchor)
{
    BITMAP *blue = solid(0, 0, 255);
    sprite_frames[5][1][0][2] = sprite_frames[4][1][0][2] = blue;
    Monster &m = monsters[1][0];
    m = Monster();
    m.kind = 5, m.state = 1, m.anim_time = 2.5f, m.health = 3, m.flash = 255;
    m.screen_x = 100, m.screen_y = 200, m.sprite_scale = 1.0f;
    draw_sprite_slot(0);
    int b = makecol(0, 0, 255);
    EXPECT_EQ(getpixel(back_buffer, 171, 176), b);  // 72 x 72, its top 24 above the anchor
    for (auto p : {std::make_pair(172, 176), std::make_pair(100, 175), std::make_pair(100, 248)})
        EXPECT_EQ(getpixel(back_buffer, p.first, p.second), 0) << p.first << "," << p.second;
    for (int i = 0; i < 3; i++) {  // pips of 7 x 9 at x offsets 0, 8 and 16, tinted by the flash
        EXPECT_NE(getpixel(back_buffer, 100 + 8 * i, 200), b) << i;
        EXPECT_NE(getpixel(back_buffer, 106 + 8 * i, 208), b) << i;
        EXPECT_EQ(getpixel(back_buffer, 107 + 8 * i, 204), b) << i;
        EXPECT_EQ(getpixel(back_buffer, 100 + 8 * i, 209), b) << i;
    }
    EXPECT_EQ(getpixel(back_buffer, 124, 204), b);

    clear_to_color(back_buffer, 0);
    m.kind = 4, m.health = 0, m.sprite_scale = 0.5f;  // small: 24 x 24 at the anchor itself
    draw_sprite_slot(0);
    EXPECT_EQ(getpixel(back_buffer, 123, 223), b);
    EXPECT_TRUE(getpixel(back_buffer, 124, 223) == 0 && getpixel(back_buffer, 100, 199) == 0);

    // A small kind's pips are centred over its frame, where its head is: health 2 on a
    // 24-pixel frame starts 12 - 8 = 4 pixels in.
    clear_to_color(back_buffer, 0);
    m.health = 2, m.flash = 0;
    draw_sprite_slot(0);
    EXPECT_EQ(getpixel(back_buffer, 103, 204), b) << "left of the pips: the frame";
    EXPECT_TRUE(getpixel(back_buffer, 104, 204) != b && getpixel(back_buffer, 118, 204) != b);
    EXPECT_EQ(getpixel(back_buffer, 119, 204), b) << "right of the pips: the frame";
    m.sprite_scale = 0;
    draw_sprite_slot(0);
}

}  // namespace
