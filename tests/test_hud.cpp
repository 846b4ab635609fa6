// The HUD, the closing screens and the fade.
#include <cstring>

#include "screens/assets.h"
#include "screens/hud.h"
#include "tests/gameplay_scene.h"

namespace {

class HudTest : public GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        band_kept = hud_band_height;
        hud_band_height = 96;
        for (int i = 0; i < OBJECT_BITMAPS; i++)
            objects_kept[i] = object_bitmaps[i];
        for (int i = 0; i <= ITEM_GEM_LAST; i++) {
            object_bitmaps[i] = create_bitmap(8, 8);
            clear_to_color(object_bitmaps[i], makecol(40 + 20 * i, 200, 100));
        }
        clear_to_color(back_buffer, makecol(255, 255, 255));
    }
    void TearDown() override
    {
        for (int i = 0; i <= ITEM_GEM_LAST; i++)
            destroy_bitmap(object_bitmaps[i]);
        for (int i = 0; i < OBJECT_BITMAPS; i++)
            object_bitmaps[i] = objects_kept[i];
        hud_band_height = band_kept;
        clear_bitmap(back_buffer);
        drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
        GameplayTest::TearDown();
    }

    static bool lit(int x, int y) { return getpixel(back_buffer, x, y) != 0; }

    // The bar's pixels on one row: true where a segment is drawn.
    static std::string bar_row()
    {
        std::string row;
        for (int x = 30; x < 360; x++)
            row += lit(x, 24) ? '#' : '.';
        return row;
    }

    s32 band_kept;
    BITMAP *objects_kept[OBJECT_BITMAPS];
};

}  // namespace

TEST_F(HudTest, TopBandIsOneRowTallerThanTheBottomBand)
{
    int w = makecol(255, 255, 255);
    draw_hud();
    for (int x : {0, 330, 639}) {
        EXPECT_EQ(getpixel(back_buffer, x, 96), 0);
        EXPECT_EQ(getpixel(back_buffer, x, 97), w);
        EXPECT_EQ(getpixel(back_buffer, x, 383), w);
        EXPECT_EQ(getpixel(back_buffer, x, 384), 0);
        EXPECT_EQ(getpixel(back_buffer, x, 479), 0);
    }
}

TEST_F(HudTest, TitleAndKillCountInGrey)
{
    monsters_killed = 3;
    monster_total = 41;
    draw_hud();
    BITMAP *expected = create_bitmap(640, 48);
    clear_bitmap(expected);
    int grey = makecol(192, 192, 192);
    textout(expected, font, "Velok The Demon Slayer", 40, 4, grey);
    textout(expected, font, "Enemis Killed 3/41", 40, 36, grey);
    int differing = 0, text = 0;
    for (int x = 40; x < 40 + 8 * 22; x++)
        for (int y : {4, 5, 6, 7, 8, 9, 10, 11, 36, 37, 38, 39, 40, 41, 42, 43}) {
            differing += getpixel(expected, x, y) != getpixel(back_buffer, x, y);
            text += getpixel(expected, x, y) == grey;
        }
    destroy_bitmap(expected);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(text, 100);
}

TEST_F(HudTest, HealthBarSegments)
{
    player_health = 1;  // one segment 311 pixels wide
    draw_hud();
    EXPECT_EQ(bar_row(), std::string(10, '.') + std::string(311, '#') + std::string(9, '.'));

    player_health = 8;  // 38 wide, a one-pixel gap before the next
    draw_hud();
    std::string eight = std::string(10, '.');
    for (int i = 0; i < 8; i++)
        eight += std::string(38, '#') + '.';
    eight += std::string(330 - eight.size(), '.');
    EXPECT_EQ(bar_row(), eight);
    EXPECT_FALSE(lit(60, 15));
    EXPECT_TRUE(lit(60, 16));
    EXPECT_TRUE(lit(60, 32));
    EXPECT_FALSE(lit(60, 33));
}

TEST_F(HudTest, AboveThreeHundredAndTwelveTheBarIsOneSmallBlock)
{
    for (int health : {313, 400, 2000000000}) {
        SCOPED_TRACE(health);
        player_health = health;
        draw_hud();
        EXPECT_EQ(bar_row(), std::string(8, '.') + "###" + std::string(319, '.'));
    }
    player_health = 200;  // w = 1: the segments run together into one bar
    draw_hud();
    EXPECT_EQ(bar_row(), std::string(9, '.') + std::string(201, '#') + std::string(120, '.'));  // 39 to 239
}

TEST_F(HudTest, NoBarWithoutHealth)
{
    for (int health : {0, -5}) {
        player_health = health;
        draw_hud();
        EXPECT_EQ(bar_row(), std::string(330, '.'));
    }
}

TEST_F(HudTest, PortraitAndCollectedItems)
{
    inventory[ITEM_HEART] = 1;  // never shown in the row
    inventory[2] = 1;
    inventory[ITEM_GEM_LAST] = 3;
    draw_hud();
    EXPECT_EQ(getpixel(back_buffer, 4, 4), getpixel(object_bitmaps[ITEM_HEART], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 11, 11), getpixel(object_bitmaps[ITEM_HEART], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 384, 4), getpixel(object_bitmaps[2], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 608 + 7, 11), getpixel(object_bitmaps[ITEM_GEM_LAST], 0, 0));
    for (int i : {1, 3, 4, 5, 6, 7, 8})
        EXPECT_EQ(getpixel(back_buffer, 320 + 32 * i + 2, 6), 0) << i;
    EXPECT_EQ(getpixel(back_buffer, 320 + 2, 6), 0);
}

TEST_F(HudTest, HurtFlashTintsThroughTheHueBlender)
{
    inventory[2] = 1;
    draw_hud();
    int calm_heart = getpixel(back_buffer, 6, 6), calm_key = getpixel(back_buffer, 386, 6);
    hurt_flash = 255;
    draw_hud();
    BITMAP *expected = create_bitmap(8, 8);
    clear_bitmap(expected);
    set_hue_blender(255, 0, 0, 255);
    draw_trans_sprite(expected, object_bitmaps[ITEM_HEART], 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 6, 6), getpixel(expected, 2, 2));
    clear_bitmap(expected);
    draw_trans_sprite(expected, object_bitmaps[2], 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 386, 6), getpixel(expected, 2, 2));
    EXPECT_NE(getpixel(back_buffer, 6, 6), calm_heart) << "red shows while hurt";
    EXPECT_NE(getpixel(back_buffer, 386, 6), calm_key);

    clear_bitmap(expected);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(expected, 0, 0, 7, 7, makecol(255, 196, 64));
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 60, 24), getpixel(expected, 2, 2)) << "the bar too";
    destroy_bitmap(expected);
}

TEST_F(HudTest, VictoryEndsTheGameAndDeathDoesNotHideIt)
{
    FrameTimingKept keep;
    closing_screens_return_at_once = true;
    show_victory_screen();
    EXPECT_EQ(player_health, 0);
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
    show_death_screen();
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
}

// The headless screen has no size, so the panels are looked for in the back buffer.
TEST_F(HudTest, DeathScreenDrawsItsPanel)
{
    FrameTimingKept keep;
    clear_bitmap(back_buffer);
    press(KEY_ESC);  // already held: the screen returns at once
    show_death_screen();
    EXPECT_EQ(closing_screen_shown, CLOSING_DEATH);
    EXPECT_EQ(player_health, 8);
    EXPECT_EQ(getpixel(back_buffer, 170, 210), makecol(50, 97, 153)) << "the panel's fill";
    EXPECT_EQ(getpixel(back_buffer, 100, 100), 0);

    // The lines centred for the 8-pixel font below the panel's top (160, 204).
    BITMAP *expected = create_bitmap(640, 480);
    clear_bitmap(expected);
    BITMAP *real = back_buffer;
    back_buffer = expected;  // the panel draws into the back buffer
    draw_panel(0, 160, 204, 480, 276);
    back_buffer = real;
    int grey = makecol(192, 192, 192);
    textout(expected, font, "Velok, The Great Demon Slayer", 320 - 4 * 29, 208, grey);
    textout(expected, font, "Has Fallen", 280, 220, grey);
    textout(expected, font, "Hit ESC to quit", 320 - 4 * 15, 264, grey);
    int differing = 0;
    for (int x = 150; x < 490; x++)
        for (int y = 200; y < 280; y++)
            differing += getpixel(expected, x, y) != getpixel(back_buffer, x, y);
    destroy_bitmap(expected);
    EXPECT_EQ(differing, 0);
}

TEST_F(HudTest, VictoryPanelLiesOverTheLastFrame)
{
    FrameTimingKept keep;
    press(KEY_ESC);
    show_victory_screen();
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
    EXPECT_EQ(getpixel(back_buffer, 100, 100), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(back_buffer, 170, 210), makecol(50, 97, 153));
    // "demon hords!" on the third line.
    BITMAP *expected = create_bitmap(96, 8);
    clear_to_color(expected, makecol(50, 97, 153));
    textout(expected, font, "demon hords!", 0, 0, makecol(192, 192, 192));
    int differing = 0;
    for (int x = 0; x < 96; x++)
        for (int y = 0; y < 8; y++)
            differing += getpixel(expected, x, y) != getpixel(back_buffer, 320 - 48 + x, 204 + 28 + y);
    destroy_bitmap(expected);
    EXPECT_EQ(differing, 0);
}

TEST_F(HudTest, FadeStepsTowardItsTarget)
{
    float level = fade_level, target = fade_target;
    fade_level = 0;
    fade_target = 1;
    fade_screen();
    EXPECT_FLOAT_EQ(fade_level, 0.04f);
    int p = getpixel(back_buffer, 10, 10);
    EXPECT_LT(getr(p), 20) << "almost black at 4 percent";

    clear_to_color(back_buffer, makecol(255, 255, 255));
    fade_level = 0.98f;
    fade_screen();
    EXPECT_EQ(fade_level, 1.0f) << "it stops exactly at the target";
    EXPECT_EQ(getpixel(back_buffer, 10, 10), makecol(255, 255, 255)) << "clear: nothing drawn";

    fade_target = 0;
    fade_level = 0.02f;
    fade_screen();
    EXPECT_EQ(fade_level, 0.0f);
    EXPECT_EQ(getpixel(back_buffer, 10, 10), 0);
    fade_level = level;
    fade_target = target;
}
