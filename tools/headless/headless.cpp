// Headless start-up for the automated player, the tests and the benchmarks.
#include "tools/headless/headless.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);  // from the sanitizer's runtime
#endif

#include "screens/assets.h"
#include "shell/startup.h"
#include "shell/video.h"

void init_headless_video(int depth, s16 width, s16 height)
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        started = true;
    }
    set_color_depth(depth);
    set_screen_globals(width, height);
    create_video_bitmaps();
    screen = create_bitmap(screen_width, screen_height);
    if (!screen) {
        printf("Error while allocating bitmaps!\n");
        fflush(stdout);
        exit(1);
    }
    clear_bitmap(screen);
    set_view_constants();
    text_mode(-1);
}

void start_headless_game(unsigned seed, bool measured_rate)
{
    init_headless_video(GAME_DEPTH, GAME_WIDTH, GAME_HEIGHT);
    use_manual_clock = true;
    manual_clock = 1000;
    fixed_time_scale = measured_rate ? 0 : 1.0f;
    closing_screens_return_at_once = true;
    time_scale = 1.0f;
    srand(seed);  // before the world loads: placing the monsters draws from rand
    load_assets();
    load_world();
}

long heap_in_use()
{
#ifdef __SANITIZE_ADDRESS__
    return (long)__sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return (long)(info.uordblks + info.hblkhd);
#endif
}
