// The heads-up display and the closing screens.
#include "screens/hud.h"

#include <cstdio>
#include <cstring>

#include "game/player.h"
#include "screens/assets.h"
#include "screens/mapname.h"
#include "shell/video.h"

float fade_level = 1.0f, fade_target = 1.0f, fade_step = 0.04f;
int closing_screen_shown;
bool closing_screens_return_at_once;

static const int BAR_LEFT = 40;
static const int BAR_TOP = 16;
static const int BAR_BOTTOM = 32;

// Segments narrower than this no longer read as segments: one pixel with no gap, or a
// rectangle turned inside out that covers the same three columns whatever the health.
static const int BAR_SEGMENT_MIN = 2;

static void draw_health_bar()
{
    int orange = makecol(255, 196, 64);
    int span = screen_width - 288 - 40;
    int w = (int)((float)span / player_health);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    if (w >= BAR_SEGMENT_MIN) {
        for (int i = 0; i < player_health; i++)
            rectfill(back_buffer, BAR_LEFT + i * w, BAR_TOP, BAR_LEFT - 2 + (i + 1) * w, BAR_BOTTOM, orange);
    } else {
        // As long as health 1's single segment: the bar never shrinks as health grows.
        rectfill(back_buffer, BAR_LEFT, BAR_TOP, BAR_LEFT - 2 + span, BAR_BOTTOM, orange);
    }
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
}

// The hurt flash's red. Allegro's own hue blender slides a pixel's hue toward the hue of
// what lies beneath it (black, hue 0, in the HUD bands) along the number line, so a
// crimson heart (hue near 360) passes through cyan and blue on its way to red. This one
// turns each pixel's hue toward the tint's the short way round the colour wheel, keeping
// its saturation and value, by n / 255.
static float tint_hue;

static bool tint_rgb(int r, int g, int b, unsigned long n, int *out)
{
    if (n == 0)
        return false;
    float h, s, v;
    rgb_to_hsv(r, g, b, &h, &s, &v);
    float turn = tint_hue - h;
    if (turn > 180)
        turn -= 360;
    else if (turn < -180)
        turn += 360;
    h += turn * (float)(n > 255 ? 255 : n) / 255.0f;
    if (h < 0)
        h += 360;
    else if (h >= 360)
        h -= 360;
    hsv_to_rgb(h, s, v, &out[0], &out[1], &out[2]);
    return true;
}

#define TINT_BLENDER(bits)                                                                 \
    static unsigned long tint_blend##bits(unsigned long x, unsigned long, unsigned long n) \
    {                                                                                      \
        int c[3];                                                                          \
        if (!tint_rgb(getr##bits(x), getg##bits(x), getb##bits(x), n, c))                  \
            return x;                                                                      \
        return makecol##bits(c[0], c[1], c[2]);                                            \
    }
TINT_BLENDER(15)
TINT_BLENDER(16)
TINT_BLENDER(24)
TINT_BLENDER(32)

void set_hurt_tint_blender(int r, int g, int b, int a)
{
    float s, v;
    rgb_to_hsv(r, g, b, &tint_hue, &s, &v);
    set_blender_mode_ex(tint_blend15, tint_blend16, tint_blend24, tint_blend32, tint_blend15, tint_blend16,
                        tint_blend24, r, g, b, a);
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
    set_hurt_tint_blender(255, 0, 0, hurt_flash);
    if (object_bitmaps[ITEM_HEART])
        draw_trans_sprite(back_buffer, object_bitmaps[ITEM_HEART], 4, 4);
    if (player_health >= 1)
        draw_health_bar();
    for (int i = 1; i <= ITEM_GEM_LAST; i++)
        if (inventory[i] > 0 && object_bitmaps[i])
            draw_trans_sprite(back_buffer, object_bitmaps[i], screen_width - 320 + INVENTORY_SLOT * i, 4);
    draw_map_name();
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
