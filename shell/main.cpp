// grimhold: Velok against the demon hordes.
#include <allegro.h>
#include <cstdio>
#include <cstring>

#include "shell/startup.h"
#include "shell/title.h"

#ifndef FULLSCREEN_FLAG
#define FULLSCREEN_FLAG 0
#endif
#ifndef GRIMHOLD_VERSION
#define GRIMHOLD_VERSION "unknown"
#endif

static const s16 fullscreen_flag = FULLSCREEN_FLAG;

static const char *const program_name = FULLSCREEN_FLAG ? "grimhold-fullscreen" : "grimhold";

static void print_usage()
{
    printf("Usage: %s [--help | --version]\n"
           "Velok the archer against the demon hordes, %s.\n"
           "The arrow keys walk, SPACE shoots and leaves the story, ESC or the window's\n"
           "close button quits.\n"
           "The game reads its data from data/ beside the program, or from\n"
           "../share/games/grimhold/data from the program's folder. It reads no other\n"
           "option and no configuration, and keeps no saves.\n"
           "\n"
           "  --help     print this text and exit\n"
           "  --version  print the version and exit\n",
           program_name, FULLSCREEN_FLAG ? "on the full screen" : "in a 640 x 480 window");
}

// A packager's and a user's two questions, answered before the game starts anything (no
// display, no data needed). Any other argument is ignored. Returns -1 when the game is to
// start, else the exit status: 1 when standard output could not take the text.
static int answer_arguments(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0)
            print_usage();
        else if (strcmp(argv[i], "--version") == 0)
            printf("grimhold %s\n", GRIMHOLD_VERSION);
        else
            continue;
        if (fflush(stdout) != 0 || ferror(stdout)) {
            fprintf(stderr, "%s: cannot write to standard output\n", program_name);
            return 1;
        }
        return 0;
    }
    return -1;
}

int main(int argc, char **argv)
{
    int answered = answer_arguments(argc, argv);
    if (answered >= 0)
        return answered;
    require_data_directory(program_path(argv[0]));
    start_program(fullscreen_flag);
    // ESC or the close button on the logo or the story ends the game as it does in play.
    if (!show_title()) {
        shutdown_game();
        return 0;
    }
    load_world();
    while (main_loop_pass()) {
    }
    shutdown_game();
    return 0;
}
END_OF_MAIN()
