// The heads-up display and the closing screens.
#include "screens/hud.h"

#include <cstdio>
#include <cstring>

#include "game/player.h"
#include "screens/assets.h"
#include "shell/video.h"

float fade_level = 1.0f, fade_target = 1.0f, fade_step = 0.04f;
int closing_screen_shown;
bool closing_screens_return_at_once;

static const int BAR_LEFT = 40;
static const int BAR_TOP = 16;
static const int BAR_BOTTOM = 32;

enum { BLOCK_PIXELS = 3 * (BAR_BOTTOM - BAR_TOP + 1) };

// The three columns that every segment covers once the segments have no width left.
static void read_bar_block(int *out)
{
    int n = 0;
    for (int x = BAR_LEFT - 2; x <= BAR_LEFT; x++)
        for (int y = BAR_TOP; y <= BAR_BOTTOM; y++)
            out[n++] = getpixel(back_buffer, x, y);
}

static void draw_health_bar()
{
    int orange = makecol(255, 196, 64);
    int w = (int)((float)(screen_width - 288 - 40) / player_health);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    if (w > 0) {
        for (int i = 0; i < player_health; i++)
            rectfill(back_buffer, BAR_LEFT + i * w, BAR_TOP, BAR_LEFT - 2 + (i + 1) * w, BAR_BOTTOM, orange);
    } else {
        // Every segment is the same block (the rectangle's right edge lies left of its left
        // edge). Once a fill leaves it unchanged, the rest of a huge health count would too.
        int before[BLOCK_PIXELS], after[BLOCK_PIXELS];
        for (int i = 0; i < player_health; i++) {
            read_bar_block(before);
            rectfill(back_buffer, BAR_LEFT, BAR_TOP, BAR_LEFT - 2, BAR_BOTTOM, orange);
            read_bar_block(after);
            if (memcmp(before, after, sizeof(before)) == 0)
                break;
        }
    }
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
}

void draw_hud()
{
    int grey = makecol(192, 192, 192);
    rectfill(back_buffer, 0, 0, screen_width - 1, hud_band_height, 0);
    rectfill(back_buffer, 0, screen_height - hud_band_height, screen_width - 1, screen_height - 1, 0);
    textout(back_buffer, font, "Velok The Demon Slayer", 40, 4, grey);
    char kills[64];
    snprintf(kills, sizeof(kills), "Enemis Killed %d/%d", (int)monsters_killed, (int)monster_total);
    textout(back_buffer, font, kills, 40, 36, grey);

    // The heart, the bar and the items all take a red hue while the hero is hurt.
    set_hue_blender(255, 0, 0, hurt_flash);
    if (object_bitmaps[ITEM_HEART])
        draw_trans_sprite(back_buffer, object_bitmaps[ITEM_HEART], 4, 4);
    if (player_health >= 1)
        draw_health_bar();
    for (int i = 1; i <= ITEM_GEM_LAST; i++)
        if (inventory[i] > 0 && object_bitmaps[i])
            draw_trans_sprite(back_buffer, object_bitmaps[i], screen_width - 320 + 32 * i, 4);
}

void draw_text_panel(const char *const *lines, const int *offsets, int count)
{
    int grey = makecol(192, 192, 192);
    int left = screen_half_width - 160;
    int top = screen_half_height - 36;
    draw_panel(0, left, top, left + 320, top + 72);
    for (int i = 0; i < count; i++)
        textout(back_buffer, font, lines[i], screen_half_width - 4 * (int)strlen(lines[i]), top + offsets[i], grey);
}

static void wait_for_escape()
{
    if (closing_screens_return_at_once)
        return;
    while (!quit_requested())
        poll_while_waiting();
}

void show_death_screen()
{
    static const char *const lines[] = {"Velok, The Great Demon Slayer", "Has Fallen", "Hit ESC to quit"};
    static const int offsets[] = {4, 16, 60};
    present_frame(1);
    draw_text_panel(lines, offsets, 3);
    present_frame(1);
    // A victory ends in the death screen too; the game was still won.
    if (closing_screen_shown != CLOSING_VICTORY)
        closing_screen_shown = CLOSING_DEATH;
    wait_for_escape();
}

void show_victory_screen()
{
    static const char *const lines[] = {"Velok, The Great Demon Slayer", "Has Rid these lands of the", "demon hords!",
                                        "Hit ESC to quit"};
    static const int offsets[] = {4, 16, 28, 60};
    present_frame(1);
    draw_text_panel(lines, offsets, 4);
    present_frame(1);
    player_health = 0;
    closing_screen_shown = CLOSING_VICTORY;
    wait_for_escape();
}

void fade_screen()
{
    if (fade_level < fade_target) {
        fade_level += fade_step;
        if (fade_level > fade_target)
            fade_level = fade_target;
    } else if (fade_level > fade_target) {
        fade_level -= fade_step;
        if (fade_level < fade_target)
            fade_level = fade_target;
    }
    if (fade_level >= 0 && fade_level < 1) {
        set_trans_blender(0, 0, 0, 255 - (int)(fade_level * 255));
        drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
        rectfill(back_buffer, 0, 0, screen_width, screen_height, 0);
        drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    }
}
