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

void show_title()
{
    // The title picture may be left out; one that is there must be sound.
    BITMAP *logo = nullptr;
    if (access(LOGO_FILE, F_OK) == 0) {
        std::string why;
        logo = load_picture(LOGO_FILE, palette, why);
        if (!logo) {
            fprintf(stderr, "Can't load %s: %s\n", LOGO_FILE, why.c_str());
            fflush(stderr);
            exit(1);
        }
    }
    if (logo) {
        for (int alpha = 0; alpha < 256; alpha += 16) {
            set_trans_blender(0, 0, 0, alpha);
            clear_bitmap(back_buffer);
            draw_trans_sprite(back_buffer, logo, 0, 0);
            present_frame(1);
        }
        set_trans_blender(0, 0, 0, 0);
        double deadline = clock_ms() + 2000;
        while (clock_ms() < deadline) {
        }
        // The back buffer keeps the last faded frame under the story; the picture itself is done.
        destroy_bitmap(logo);
    }

    present_frame(1);
    draw_text_panel(story_lines, story_offsets, 5);
    present_frame(1);
    while (!key[KEY_SPACE])
        poll_keyboard();
    present_frame(1);
}
