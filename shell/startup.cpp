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
#include "world/names.h"
#include "world/tables.h"

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
    // An error, so on standard error; the start-up lines keep standard output.
    if (places[0].empty())
        fprintf(stderr, "No game data: the folder of %s is unknown\n", program.c_str());
    else
        fprintf(stderr, "No game data: neither %s/data nor %s/data is a folder the game can read\n",
                places[0].c_str(), places[1].c_str());
    fflush(stderr);
    exit(1);
}

void start_program(s16 fullscreen_flag)
{
    time_scale = 1.0f;
    fade_level = 0.0f;
    fade_target = 1.0f;
    printf("Initializing game data...\n");
    fflush(stdout);
    init_video(GAME_DEPTH, fullscreen_flag, GAME_WIDTH, GAME_HEIGHT);
    load_assets();
}

void clear_world()
{
    reset_game_values();
    memset(triggers, 0, sizeof(triggers));
    hurt_flash_level = 0;
    contact_damage_carry = 0;
    next_shot_time = 0;
    bow_ready = 0;  // the SPACE that left the story is still down
    player_facing = FACING_UP;
    player_anim_state = 0;
    player_anim_frame = 0;
    ground_reached = 0;
    closing_screen_shown = CLOSING_NONE;
    view_vertices.clear();
    view_triangles.clear();
    clear_depth_buckets();
}

bool reset_world()
{
    clear_world();
    init_camera();
    if (!load_triggers() || !load_monsters() || !load_items() || !load_map_names())
        return false;
    // The start point is a trigger record of the first map: the map must have a floor there.
    // The game starts as every map change does, on the arrival point.
    const Trigger &start = triggers[START_RECORD + FIRST_MAP];
    char first[16];
    snprintf(first, sizeof(first), "%d", (int)FIRST_MAP);
    if (!change_map(first, start.e[1], start.e[2], start.e[3]))
        return false;
    follow_camera();
    depth_range = DEPTH_BUCKETS - 1;
    tick_frame_count = 60;
    return true;
}

void load_world()
{
    // A table or the first map that cannot be read ends start-up: there is no game without them.
    if (!reset_world())
        exit(1);
    printf("Game data initialized, starting main loop...\n");
    fflush(stdout);
}

bool time_pass_steps;
double pass_step_ms[PASS_STEPS];
const char *const pass_step_names[PASS_STEPS] = {
    "transform", "ordering", "hero and floor painting", "monsters", "triggers",
    "drawing", "HUD", "camera and map items", "present and clear",
};
static double step_started;

static unsigned steps_wanted;

// Runs one step of the pass when it is wanted; when the steps are being timed, adds its
// milliseconds to them.
static void run_step(int step, void (*run)())
{
    if (!(steps_wanted & pass_step(step)))
        return;
    run();
    if (!time_pass_steps)
        return;
    double now = monotonic_ms();
    pass_step_ms[step] += now - step_started;
    step_started = now;
}

static void order_scene()
{
    project_sprites();
    sort_scene();
}

static void follow_and_update_items()
{
    follow_camera();
    update_map_items();
}

// The frame shown, the buffer cleared for the next, the textures' scroll moved on.
static void present_and_clear()
{
    present_frame(1);
    clear_to_color(back_buffer, fog_color);
    texture_scroll += texture_scroll_step * time_scale;
    while (texture_scroll > 16)
        texture_scroll -= 16;
    if (player_health < 1)
        show_death_screen();
}

bool main_loop_pass(unsigned steps)
{
    steps_wanted = steps;
    poll_keyboard();
    // Ordering fills the depth buckets from empty: their markers start each pass reset.
    depth_low = (s16)depth_range;
    depth_high = 0;
    if (time_pass_steps)
        step_started = monotonic_ms();

    run_step(STEP_TRANSFORM, transform_scene);
    run_step(STEP_ORDERING, order_scene);
    // The hero's floor painter reads the buckets that ordering has just filled.
    run_step(STEP_HERO, update_player);
    run_step(STEP_MONSTERS, update_monsters);
    // A map change here empties the buckets: this pass draws nothing of the old scene, and
    // the next pass orders the new one.
    run_step(STEP_TRIGGERS, check_triggers);
    // Far to near, emptying the buckets as it goes; the HUD then goes over the world.
    run_step(STEP_DRAWING, draw_world);
    run_step(STEP_HUD, draw_hud);
    // The items after the camera: a pick-up may end the game with the victory screen.
    run_step(STEP_ITEMS, follow_and_update_items);
    // The death screen after the frame that shows the blow.
    run_step(STEP_PRESENT, present_and_clear);
    return !quit_requested() && player_health >= 1;
}

void shutdown_game()
{
    remove_sound();
    allegro_exit();
}
