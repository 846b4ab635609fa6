// The title: the logo fades in and holds, then the story waits for SPACE.
#include "shell/title.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "screens/hud.h"
#include "shell/video.h"
#include "world/picture.h"

static const char *const story_lines[5] = {
    "You are Velok, The Demon Slayer",
    "You have come from a far to the",
    "lands of Sorvane to rid the world",
    "of the demon Hord.",
    "Hit SPACE and let the killing begin!",
};
static const int story_offsets[5] = {4, 16, 28, 40, 60};
static const char LOGO_FILE[] = "data/logo.bmp";

// The logo's hold: two seconds, or until SPACE is pressed. False when the player asks to end.
static bool hold_logo(bool &skipped)
{
    double deadline = clock_ms() + 2000;
    while (clock_ms() < deadline) {
        poll_while_waiting();
        if (quit_requested())
            return false;
        if (key_hit(KEY_SPACE)) {
            skipped = true;
            break;
        }
    }
    return true;
}

// Waits for SPACE on the story. After a hold ended by SPACE, that press must end first: one
// press leaves the logo, the next the story. False when the player asks to end.
static bool wait_for_space(bool skipped)
{
    forget_key_hits();
    while (skipped && key[KEY_SPACE]) {
        poll_while_waiting();
        if (quit_requested())
            return false;
    }
    forget_key_hits();
    while (!key_hit(KEY_SPACE)) {
        if (quit_requested())
            return false;
        poll_while_waiting();
    }
    return !quit_requested();
}

bool show_title()
{
    // The title picture may be left out; one that is there must be sound, and a name that
    // cannot be read (a link loop, a dangling link) is refused as a damaged file is.
    BITMAP *logo = nullptr;
    if (!picture_left_out(LOGO_FILE)) {
        std::string why;
        logo = load_picture(LOGO_FILE, palette, why);
        if (!logo) {
            fprintf(stderr, "Can't load %s: %s\n", LOGO_FILE, why.c_str());
            fflush(stderr);
            exit(1);
        }
    }
    // Keys pressed from here on count; those of the start-up before do not.
    forget_key_hits();
    bool skipped = false;
    if (logo) {
        for (int alpha = 0; alpha < 256; alpha += 16) {
            set_trans_blender(0, 0, 0, alpha);
            clear_bitmap(back_buffer);
            draw_trans_sprite(back_buffer, logo, 0, 0);
            present_frame(1);
        }
        set_trans_blender(0, 0, 0, 0);
        bool held = hold_logo(skipped);
        // The back buffer keeps the last faded frame under the story; the picture itself is done.
        destroy_bitmap(logo);
        if (!held)
            return false;
    }

    present_frame(1);
    draw_text_panel(story_lines, story_offsets, 5);
    present_frame(1);
    if (!wait_for_space(skipped))
        return false;
    present_frame(1);
    return true;
}
