// The HUD, the closing screens and the fade.
#include <algorithm>
#include <string>

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
        for (int i = 0; i <= ITEM_GEM_LAST; i++) {
            objects_kept[i] = object_bitmaps[i];
            object_bitmaps[i] = create_bitmap(8, 8);
            clear_to_color(object_bitmaps[i], makecol(40 + 20 * i, 200, 100));
        }
        clear_to_color(back_buffer, white());
    }
    void TearDown() override
    {
        for (int i = 0; i <= ITEM_GEM_LAST; i++) {
            destroy_bitmap(object_bitmaps[i]);
            object_bitmaps[i] = objects_kept[i];
        }
        hud_band_height = band_kept;
        clear_bitmap(back_buffer);
        GameplayTest::TearDown();
    }

    // The bar's pixels on one row, from column 30: '#' where a segment is drawn.
    static std::string bar_row()
    {
        std::string row;
        for (int x = 30; x < 360; x++)
            row += getpixel(back_buffer, x, 24) ? '#' : '.';
        return row;
    }

    // Whether the back buffer shows the text in grey at (x, y) over the background colour.
    static bool shows_text(const char *text, int x, int y, int background)
    {
        int w = 8 * (int)strlen(text);
        BITMAP *expected = create_bitmap(w, 8);
        clear_to_color(expected, background);
        textout(expected, font, text, 0, 0, makecol(192, 192, 192));
        int differing = 0;
        for (int i = 0; i < w * 8; i++)
            differing += getpixel(expected, i % w, i / w) != getpixel(back_buffer, x + i % w, y + i / w);
        destroy_bitmap(expected);
        return differing == 0;
    }

    s32 band_kept;
    BITMAP *objects_kept[ITEM_GEM_LAST + 1];
    FrameTimingKept timing;  // the closing screens present frames
};

int panel_fill() { return makecol(50, 97, 153); }

}  // namespace

TEST_F(HudTest, BandsTitleAndKillCount)
{
    monsters_killed = 3, monster_total = 41;
    draw_hud();
    for (int x : {0, 330, 639}) {  // the top band is one row taller than the bottom one
        EXPECT_EQ(getpixel(back_buffer, x, 96), 0);
        EXPECT_EQ(getpixel(back_buffer, x, 97), white());
        EXPECT_EQ(getpixel(back_buffer, x, 383), white());
        EXPECT_EQ(getpixel(back_buffer, x, 384), 0);
        EXPECT_EQ(getpixel(back_buffer, x, 479), 0);
    }
    EXPECT_TRUE(shows_text("Velok The Demon Slayer", 40, 4, 0));
    EXPECT_TRUE(shows_text("Enemis Killed 3/41", 40, 36, 0));
}

TEST_F(HudTest, HealthBarSegments)
{
    const struct { int health; std::string row; } cases[] = {
        {1, std::string(10, '.') + std::string(311, '#') + std::string(9, '.')},
        {200, std::string(9, '.') + std::string(201, '#') + std::string(120, '.')},  // w = 1: one bar
        {313, std::string(8, '.') + "###" + std::string(319, '.')},                 // w = 0: one block
        {2000000000, std::string(8, '.') + "###" + std::string(319, '.')},
        {0, std::string(330, '.')},
        {-5, std::string(330, '.')}};
    for (const auto &c : cases) {
        player_health = c.health;
        draw_hud();
        EXPECT_EQ(bar_row(), c.row) << c.health;
    }
    player_health = 8;  // 38 wide, a one-pixel gap before the next, rows 16 to 32
    draw_hud();
    std::string eight = std::string(10, '.');
    for (int i = 0; i < 8; i++)
        eight += std::string(38, '#') + '.';
    EXPECT_EQ(bar_row(), eight + std::string(330 - eight.size(), '.'));
    EXPECT_TRUE(!getpixel(back_buffer, 60, 15) && getpixel(back_buffer, 60, 16) && getpixel(back_buffer, 60, 32) &&
                !getpixel(back_buffer, 60, 33));
}

TEST_F(HudTest, PortraitAndItemsTakeTheHurtFlashHue)
{
    inventory[ITEM_HEART] = 1;  // never shown in the row
    inventory[2] = 1, inventory[ITEM_GEM_LAST] = 3;
    draw_hud();
    EXPECT_EQ(getpixel(back_buffer, 11, 11), getpixel(object_bitmaps[ITEM_HEART], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 384, 4), getpixel(object_bitmaps[2], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 615, 11), getpixel(object_bitmaps[ITEM_GEM_LAST], 0, 0));
    for (int i : {0, 1, 3, 4, 5, 6, 7, 8})
        EXPECT_EQ(getpixel(back_buffer, 322 + 32 * i, 6), 0) << i;

    int calm_heart = getpixel(back_buffer, 6, 6);
    hurt_flash = 255;
    draw_hud();
    BITMAP *expected = create_bitmap(8, 8);
    clear_bitmap(expected);
    set_hue_blender(255, 0, 0, 255);
    draw_trans_sprite(expected, object_bitmaps[ITEM_HEART], 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 6, 6), getpixel(expected, 2, 2));
    EXPECT_NE(getpixel(back_buffer, 6, 6), calm_heart) << "red shows while hurt";
    clear_bitmap(expected);
    draw_trans_sprite(expected, object_bitmaps[2], 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 386, 6), getpixel(expected, 2, 2));
    clear_bitmap(expected);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(expected, 0, 0, 7, 7, makecol(255, 196, 64));
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    EXPECT_EQ(getpixel(back_buffer, 60, 24), getpixel(expected, 2, 2)) << "the bar too";
    destroy_bitmap(expected);
}

// The headless screen has no size, so the panels are looked for in the back buffer.
TEST_F(HudTest, DeathScreenDrawsItsPanelAndWaitsForEscape)
{
    press(KEY_ESC);  // already held: the screen returns at once
    show_death_screen();
    EXPECT_EQ(closing_screen_shown, CLOSING_DEATH);
    EXPECT_EQ(player_health, 8);
    EXPECT_EQ(getpixel(back_buffer, 170, 210), panel_fill());
    EXPECT_EQ(getpixel(back_buffer, 100, 100), white());
    EXPECT_TRUE(shows_text("Velok, The Great Demon Slayer", 320 - 4 * 29, 208, panel_fill()));
    EXPECT_TRUE(shows_text("Has Fallen", 280, 220, panel_fill()));
    EXPECT_TRUE(shows_text("Hit ESC to quit", 320 - 4 * 15, 264, panel_fill()));
}

TEST_F(HudTest, VictoryEndsTheGameAndTheDeathScreenAfterItKeepsIt)
{
    closing_screens_return_at_once = true;
    show_victory_screen();
    EXPECT_EQ(player_health, 0);
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
    EXPECT_TRUE(shows_text("Has Rid these lands of the", 320 - 4 * 26, 220, panel_fill()));
    EXPECT_TRUE(shows_text("demon hords!", 320 - 4 * 12, 232, panel_fill()));
    show_death_screen();
    EXPECT_EQ(closing_screen_shown, CLOSING_VICTORY);
}

TEST_F(HudTest, FadeStepsTowardItsTarget)
{
    float level = fade_level, target = fade_target;
    fade_level = 0, fade_target = 1;
    fade_screen();
    EXPECT_FLOAT_EQ(fade_level, 0.04f);
    EXPECT_LT(std::max(getr(getpixel(back_buffer, 10, 10)), getr(getpixel(back_buffer, 639, 479))), 20)
        << "almost black at 4 percent";

    clear_to_color(back_buffer, white());
    fade_level = 0.98f;
    fade_screen();
    EXPECT_EQ(fade_level, 1.0f) << "it stops exactly at the target";
    EXPECT_EQ(getpixel(back_buffer, 10, 10), white()) << "clear: nothing drawn";

    fade_target = 0, fade_level = 0.02f;
    fade_screen();
    EXPECT_EQ(fade_level, 0.0f);
    EXPECT_EQ(getpixel(back_buffer, 10, 10), 0);
    fade_level = level, fade_target = target;
}
