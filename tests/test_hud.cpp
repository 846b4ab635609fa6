// The HUD, the closing screens and the fade.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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

TEST_F(HudTest, PortraitAndItemsInTheirPlaces)
{
    inventory[ITEM_HEART] = 1, inventory[2] = 1, inventory[ITEM_GEM_LAST] = 3, draw_hud();  // no heart in the row
    EXPECT_EQ(getpixel(back_buffer, 11, 11), getpixel(object_bitmaps[ITEM_HEART], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 384, 4), getpixel(object_bitmaps[2], 0, 0));
    EXPECT_EQ(getpixel(back_buffer, 615, 11), getpixel(object_bitmaps[ITEM_GEM_LAST], 0, 0));
    for (int i : {0, 1, 3, 4, 5, 6, 7, 8})
        EXPECT_EQ(getpixel(back_buffer, 322 + 32 * i, 6), 0) << i;
}

// Health 8: segments 38 wide with a one-pixel gap, rows 16 to 32. At every health the bar
// starts at column 40 and ends short of column 350 by less than one segment's width;
// while the segments are 2 wide or more each health point is one run, past that the bar
// is whole, never the 3-pixel block of a rectangle drawn inside out. None at 0 or below.
TEST_F(HudTest, TheBarSpansItsWidthAtAnyHealth)
{
    player_health = 8, draw_hud();
    std::string eight = std::string(10, '.');
    for (int i = 0; i < 8; i++)
        eight += std::string(38, '#') + '.';
    EXPECT_EQ(bar_row(), eight + std::string(330 - eight.size(), '.'));
    EXPECT_TRUE(!getpixel(back_buffer, 60, 15) && getpixel(back_buffer, 60, 16) && getpixel(back_buffer, 60, 32) &&
                !getpixel(back_buffer, 60, 33));
    for (int health : {0, -5}) {
        player_health = health, clear_to_color(back_buffer, white()), draw_hud();
        EXPECT_EQ(bar_row(), std::string(330, '.'));
    }
    for (int health = 1; health <= 5000; health++) {
        player_health = health, clear_to_color(back_buffer, white()), draw_hud();
        std::string row = bar_row();
        size_t first = row.find('#'), last = row.rfind('#');
        ASSERT_EQ(first, 10u) << health;
        int short_by = 350 - (30 + (int)last), runs = 0;
        for (size_t x = first; x <= last; x++)
            runs += row[x] == '#' && (x == first || row[x - 1] == '.');
        if (312 / health >= 2) {
            ASSERT_TRUE(short_by >= 0 && short_by < health && runs == health) << health;
        } else {
            ASSERT_EQ(row, std::string(10, '.') + std::string(311, '#') + std::string(9, '.')) << health;
        }
    }
}

// The hue (degrees) of every coloured pixel of the HUD's top rows (heart, bar, keys and
// gems), -1 for the grey text and the black band.
static std::vector<float> hud_hues()
{
    std::vector<float> hues;
    for (int y = 4; y < 36; y++)
        for (int x = 0; x < 640; x++) {
            int p = getpixel(back_buffer, x, y);
            float h, s, v;
            rgb_to_hsv(getr(p), getg(p), getb(p), &h, &s, &v);
            hues.push_back(s >= 0.3f && v >= 0.25f ? h : -1);
        }
    return hues;
}

static float from_red(float hue) { return hue < 180 ? hue : 360 - hue; }

// The forged heart, keys and gems and the bar, through the hurt flash as it fades from
// 255 to 1: every coloured pixel's hue comes nearer red by the flash's strength, and never
// crosses to the far side of the wheel (the heart's crimson once turned cyan and blue).
TEST_F(HudTest, TheHurtFlashTintsRedAtEveryStrength)
{
    const char *names[] = {"heart", "key1", "key2", "key3", "key4", "key5", "gem1", "gem2", "gem3", "gem4"};
    for (int i = 0; i <= ITEM_GEM_LAST; i++) {
        destroy_bitmap(object_bitmaps[i]);
        object_bitmaps[i] = load_bitmap((std::string(FORGED_DATA_DIR) + "/objects/" + names[i] + ".bmp").c_str(), 0);
        ASSERT_TRUE(object_bitmaps[i]) << names[i];
        inventory[i] = 1;
    }
    draw_hud();  // calm
    std::vector<float> calm = hud_hues();
    ASSERT_GT(std::count_if(calm.begin(), calm.end(), [](float h) { return from_red(h) > 20; }), 1000) << "not red";
    for (hurt_flash = 255; hurt_flash >= 1; hurt_flash--) {
        draw_hud();  // the bar, the keys and the gems start far from red, the heart near it
        std::vector<float> now = hud_hues();
        for (size_t i = 0; i < now.size(); i++) {  // the pixels coloured in both frames
            float off = fabsf(from_red(now[i]) - from_red(calm[i]) * (255 - hurt_flash) / 255);
            ASSERT_LE((calm[i] >= 0 && now[i] >= 0) * off, 12)
                << "flash " << hurt_flash << " at " << i % 640 << ", " << 4 + i / 640 << " calm " << calm[i];
        }
    }
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
