// grimhold: Velok against the demon hordes.
#include <allegro.h>

#include "shell/startup.h"
#include "shell/title.h"

#ifndef FULLSCREEN_FLAG
#define FULLSCREEN_FLAG 0
#endif

static const s16 fullscreen_flag = FULLSCREEN_FLAG;

int main(int argc, char **argv)
{
    (void)argc;
    require_data_directory(program_path(argv[0]));
    start_program(fullscreen_flag);
    show_title();
    load_world();
    while (main_loop_pass()) {
    }
    shutdown_game();
    return 0;
}
END_OF_MAIN()
