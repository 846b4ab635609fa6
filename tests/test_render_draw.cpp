// Drawing: painter's order, textures, scrolling, translucency, gates and sprites.
#include "tests/render_fixture.h"

namespace {

class DrawTest : public RenderTest {
protected:
    // The pixel at the screen position of a world point, after one pass.
    static int pixel_at(float x, float y, float z)
    {
        int sx, sy;
        screen_of(x, y, z, &sx, &sy);
        return getpixel(back_buffer, sx, sy);
    }

    // One translucent-or-not square at the focus over a white background; returns the pixel.
    int draw_over_white(int kind, int transparency)
    {
        clear_to_color(back_buffer, makecol(255, 255, 255));
        Plane &plane = open_plane(0);
        plane.last_vertex = plane.last_triangle = -1;
        add_square(plane, 0, 0, 0, 2, kind, red, transparency);
        build_scene();
        ground_reached = ground;
        render_pass();
        return pixel_at(0, 0, 0);
    }

    void SetUp() override
    {
        RenderTest::SetUp();
        red = solid(255, 0, 0, 16);
        green = solid(0, 255, 0, 16);
    }

    BITMAP *red = NULL, *green = NULL;
    uint8_t ground = 0;
};

TEST_F(DrawTest, NearerCoversFartherWhateverTheIndexOrder)
{
    for (int nearer_first = 0; nearer_first < 2; nearer_first++) {
        clear_to_color(back_buffer, 0);
        Plane &plane = open_plane(0);
        plane.last_vertex = plane.last_triangle = -1;
        if (nearer_first)
            add_square(plane, 0, 0.5f, 0, 1, 0, red);
        add_square(plane, 0, 0, 0, 3, 0, green);
        if (!nearer_first)
            add_square(plane, 0, 0.5f, 0, 1, 0, red);
        build_scene();
        render_pass();
        EXPECT_EQ(pixel_at(0, 0.5f, 0), makecol(255, 0, 0)) << nearer_first;
        EXPECT_EQ(pixel_at(0, 0, 2.5f), makecol(0, 255, 0)) << nearer_first;
        EXPECT_EQ(plane.triangles[0].e[TRIANGLE_DRAWN], 1);
        EXPECT_EQ(plane.vertices[0].e[VERTEX_DRAWN], 1.0f);
    }
}

TEST_F(DrawTest, TranslucencyByPercent)
{
    int white = makecol(255, 255, 255);
    EXPECT_EQ(draw_over_white(0, 0), makecol(255, 0, 0));
    EXPECT_EQ(draw_over_white(0, 100), white);
    EXPECT_EQ(draw_over_white(0, 150), white);  // held at 100, not a negative alpha
    int half = draw_over_white(0, 50);
    EXPECT_NEAR(getg(half), 128, 8);
    EXPECT_EQ(getr(half), 255);
}

TEST_F(DrawTest, GateTrianglesOpenAndClose)
{
    int opaque = makecol(255, 0, 0);
    current_map = 345;  // group 3
    ground = 0;         // before the hero first stands on ordinary floor: see-through
    EXPECT_NE(draw_over_white(KIND_GATED_SHOW, 0), opaque);
    EXPECT_NE(draw_over_white(KIND_CLEARED_SHOW, 0), opaque);
    ground = 1;
    EXPECT_EQ(draw_over_white(KIND_GATED_SHOW, 0), opaque);
    EXPECT_EQ(draw_over_white(KIND_CLEARED_SHOW, 0), opaque);
    inventory[3] = 1;
    map_cleared[345] = 1;
    int open = draw_over_white(KIND_GATED_SHOW, 0);
    EXPECT_NEAR(getg(open), 127, 8);
    EXPECT_NE(draw_over_white(KIND_CLEARED_SHOW, 0), opaque);
    EXPECT_EQ(draw_over_white(KIND_SPAWN, 0), opaque);  // other kinds are never gates
}

TEST_F(DrawTest, ScrollingWrapsWithinTheCell)
{
    // Cells in two halves, red and green, side by side or one above the other: a scroll of
    // 8 texels across the split swaps them.
    BITMAP *sides = solid(255, 0, 0, 16), *rows = solid(255, 0, 0, 16);
    rectfill(sides, 8, 0, 15, 15, makecol(0, 255, 0));
    rectfill(rows, 0, 8, 15, 15, makecol(0, 255, 0));
    auto picture = [&](int kind, float scroll, BITMAP *cell) {
        clear_to_color(back_buffer, 0);
        Plane &plane = open_plane(0);
        plane.last_vertex = plane.last_triangle = -1;
        add_square(plane, 0, 0, 0, 2, kind, cell);
        build_scene();
        texture_scroll = scroll;
        frames_last_tick = 1;  // keep the moving scenery at rest
        render_pass();
        BITMAP *copy = track(create_bitmap(640, 480));
        blit(back_buffer, copy, 0, 0, 0, 0, 640, 480);
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
    BITMAP *plain = picture(KIND_PLAIN, 0, sides);                      // only moving kinds scroll
    EXPECT_LT(differ(plain, picture(KIND_PLAIN, 8, sides)), 20);
    // Kind 2 runs along v only, seven times as fast.
    BITMAP *along = picture(KIND_SWAY, 0, rows);
    EXPECT_LT(differ(along, picture(KIND_SWAY, 16.0f / 7, rows)), 100);
    EXPECT_GT(differ(along, picture(KIND_SWAY, 8.0f / 7, rows)), 1000);
    BITMAP *across = picture(KIND_SWAY, 0, sides);
    EXPECT_LT(differ(across, picture(KIND_SWAY, 8.0f / 7, sides)), 20);
}

TEST_F(DrawTest, PlayerSpriteAtTheFocusAndFrameSix)
{
    BITMAP *first = solid(255, 0, 0), *last = solid(0, 0, 255);
    sprite_frames[0][1][3][0] = first;
    sprite_frames[0][1][3][5] = last;
    player_anim_state = 1;
    player_facing = 3;
    player_anim_frame = 6.0f;  // the wrap is late: the next cycle's first frame
    render_pass();
    EXPECT_EQ(getpixel(back_buffer, 266, 127), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 266 + 108, 127 + 108), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 265, 127), 0);
    EXPECT_EQ(getpixel(back_buffer, 266 + 109, 127 + 108), 0);
    EXPECT_EQ(getpixel(back_buffer, 266, 127 + 109), 0);
    player_anim_frame = 5.99f;
    render_pass();
    EXPECT_EQ(getpixel(back_buffer, 266, 127), makecol(0, 0, 255));
}

TEST_F(DrawTest, LargeMonsterGrowsUpwardAndPipsStayAtTheAnchor)
{
    BITMAP *blue = solid(0, 0, 255);
    sprite_frames[5][1][0][2] = blue;
    Monster &m = monsters[1][0];
    m = Monster();
    m.kind = 5, m.state = 1, m.anim_time = 2.5f, m.health = 3, m.flash = 255;
    m.screen_x = 100, m.screen_y = 200, m.sprite_scale = 1.0f;
    draw_sprite_slot(0);
    int b = makecol(0, 0, 255);
    EXPECT_EQ(getpixel(back_buffer, 100 + 71, 176), b);  // 72 x 72, top 24 above the anchor
    EXPECT_EQ(getpixel(back_buffer, 100 + 72, 176), 0);
    EXPECT_EQ(getpixel(back_buffer, 100, 175), 0);
    EXPECT_EQ(getpixel(back_buffer, 100, 176 + 72), 0);
    for (int i = 0; i < 3; i++) {  // pips 7 x 9 at x offsets 0, 8, 16, tinted by the flash
        EXPECT_NE(getpixel(back_buffer, 100 + 8 * i, 200), b) << i;
        EXPECT_NE(getpixel(back_buffer, 106 + 8 * i, 208), b) << i;
        EXPECT_EQ(getpixel(back_buffer, 107 + 8 * i, 204), b) << i;
        EXPECT_EQ(getpixel(back_buffer, 100 + 8 * i, 209), b) << i;
    }
    EXPECT_EQ(getpixel(back_buffer, 124, 204), b);

    // A small kind at scale 0.5: 24 x 24 at the anchor itself; a scale of 0 draws nothing.
    clear_to_color(back_buffer, 0);
    sprite_frames[4][1][0][2] = blue;
    m.kind = 4, m.health = 0, m.sprite_scale = 0.5f;
    draw_sprite_slot(0);
    EXPECT_EQ(getpixel(back_buffer, 123, 223), b);
    EXPECT_EQ(getpixel(back_buffer, 124, 223), 0);
    m.sprite_scale = 0;
    draw_sprite_slot(0);
}

TEST_F(DrawTest, MapItemsAtTheirProjectedSize)
{
    object_bitmaps[7] = solid(0, 255, 0, 12);
    map_items[3].present = 1;
    map_items[3].type = 7;
    render_pass();  // at the focus, scale 2.2727: 36 pixels, corner 8 x scale up and left
    int g = makecol(0, 255, 0);
    EXPECT_EQ(getpixel(back_buffer, 320 - 18, 231 - 18), g);
    EXPECT_EQ(getpixel(back_buffer, 320 - 18 + 35, 231 - 18 + 35), g);
    EXPECT_EQ(getpixel(back_buffer, 320 - 18 + 36, 231 - 18), 0);
    EXPECT_EQ(getpixel(back_buffer, 320 - 19, 231 - 18), 0);
}

}  // namespace
