// Start-up sequence, main loop and shutdown.
#include "shell/startup.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "game/items.h"
#include "game/monsters.h"
#include "game/player.h"
#include "game/scene.h"
#include "game/triggers.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "screens/hud.h"
#include "shell/video.h"
#include "world/mapfile.h"
#include "world/tables.h"

int closing_screen_shown;
bool closing_screens_return_at_once;

static const char *const story_lines[5] = {
    "You are Velok, The Demon Slayer",
    "You have come from a far to the",
    "lands of Sorvane to rid the world",
    "of the demon Hord.",
    "Hit SPACE and let the killing begin!",
};
static const int story_offsets[5] = {4, 16, 28, 40, 60};

std::string program_path(const char *argv0)
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n > 0) {
        path[n] = 0;
        return path;
    }
    return argv0 ? argv0 : "";
}

// The folder a program lives in; empty when the path names no folder.
static std::string program_folder(const std::string &program)
{
    size_t slash = program.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : program.substr(0, slash);
}

void data_directory_places(const std::string &program, std::string places[2])
{
    std::string dir = program_folder(program);
    places[0] = dir;
    places[1].clear();
    if (dir.empty())
        return;
    // The folder above, spelled out rather than with "..", so that the message reads well.
    size_t slash = dir.rfind('/');
    std::string last = slash == std::string::npos ? dir : dir.substr(slash + 1);
    std::string parent;
    if (last == "." || last == "..")
        parent = dir + "/..";
    else if (slash == std::string::npos)
        parent = ".";
    else
        parent = slash == 0 ? "" : dir.substr(0, slash);
    places[1] = parent + "/share/games/grimhold";
}

// A data folder the game can read: a directory (a link to one will do) it may list and enter.
// A file, a dangling link or a link loop named "data" is not one.
static bool usable_data_folder(const std::string &folder)
{
    std::string data = folder + "/data";
    struct stat st;
    return stat(data.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(data.c_str(), R_OK | X_OK) == 0;
}

bool enter_data_directory(const std::string &program)
{
    std::string places[2];
    data_directory_places(program, places);
    for (const std::string &place : places) {
        if (place.empty() || !usable_data_folder(place))
            continue;
        if (chdir(place.c_str()) != 0) {
            perror(place.c_str());
            return false;
        }
        return true;
    }
    return false;
}

void require_data_directory(const std::string &program)
{
    if (enter_data_directory(program))
        return;
    std::string places[2];
    data_directory_places(program, places);
    if (places[0].empty())
        printf("No game data: the folder of %s is unknown\n", program.c_str());
    else
        printf("No game data: neither %s/data nor %s/data is a folder the game can read\n",
               places[0].c_str(), places[1].c_str());
    fflush(stdout);
    exit(1);
}

void start_program(s16 fullscreen_flag)
{
    time_scale = 1.0f;
    fade_level = 0.0f;
    fade_target = 1.0f;
    printf("Initializing game data...\n");
    fflush(stdout);
    init_video(16, fullscreen_flag, 640, 480);
    load_assets();
}

void show_title()
{
    BITMAP *logo = load_bitmap("data/logo.bmp", palette);
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

// A table or the first map that cannot be read ends start-up: there is no game without them.
static void require(bool loaded)
{
    if (!loaded)
        exit(1);
}

void load_world()
{
    init_camera();
    require(load_triggers());
    require(load_monsters());
    require(load_items());
    require(load_map("901"));
    build_scene();
    place_monsters();

    const Trigger &start = triggers[START_RECORD + current_map];
    player_x = camera_x = camera_target_x = start.e[1];
    player_y = camera_y = camera_target_y = start.e[2];
    player_z = camera_z = camera_target_z = start.e[3];

    printf("Game data initialized, starting main loop...\n");
    fflush(stdout);
    follow_camera();
    depth_range = DEPTH_BUCKETS - 1;
    tick_frame_count = 60;
    bow_ready = 0;  // the SPACE that left the story is still down
    contact_damage_carry = 0;
}

bool time_pass_steps;
double pass_step_ms[PASS_STEPS];
const char *const pass_step_names[PASS_STEPS] = {
    "transform", "ordering", "hero and floor painting", "monsters", "triggers",
    "drawing", "HUD", "camera and map items", "present and clear",
};
static double step_started;

// Adds the time since the last mark to a step of the pass, when the steps are being timed.
static void mark_step(int step)
{
    if (!time_pass_steps)
        return;
    double now = monotonic_ms();
    if (step >= 0)
        pass_step_ms[step] += now - step_started;
    step_started = now;
}

bool main_loop_pass()
{
    poll_keyboard();
    depth_low = (s16)depth_range;
    depth_high = 0;
    mark_step(-1);
    transform_scene();
    mark_step(STEP_TRANSFORM);
    project_sprites();
    sort_scene();
    mark_step(STEP_ORDERING);
    update_player();
    mark_step(STEP_HERO);
    update_monsters();
    mark_step(STEP_MONSTERS);
    check_triggers();
    mark_step(STEP_TRIGGERS);
    draw_world();
    mark_step(STEP_DRAWING);
    draw_hud();
    mark_step(STEP_HUD);
    follow_camera();
    update_map_items();
    mark_step(STEP_ITEMS);
    present_frame(1);
    clear_to_color(back_buffer, fog_color);
    mark_step(STEP_PRESENT);
    texture_scroll += texture_scroll_step * time_scale;
    while (texture_scroll > 16)
        texture_scroll -= 16;
    if (player_health < 1)
        show_death_screen();
    return !key[KEY_ESC] && player_health >= 1;
}

void shutdown_game()
{
    remove_sound();
    allegro_exit();
}
