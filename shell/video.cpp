// Video set-up, panels and frame presentation.
#include "shell/video.h"

#include <allegro.h>
#include <xalleg.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "world/picture.h"

float focal_x, focal_y;
float view_scale;
float eye_offset_x, eye_offset_y, eye_offset_z;
float camera_angle_x, camera_angle_y, camera_angle_z;
s16 view_y_shift;
s16 tick_frame_count;
s16 frames_last_tick;
double next_tick_time;
float fixed_time_scale;
bool use_manual_clock;
double manual_clock;

static const int fallback_depths[] = {16, 24, 32, 15};

const char *const WINDOW_CLASS = "grimhold";
const char *const WINDOW_ICON_FILE = "data/icon.bmp";
volatile int close_button_pressed;
static bool tapped[KEY_MAX];

// Called on the X driver's own thread: it only leaves word for the main thread.
static void on_close_button()
{
    close_button_pressed = 1;
}

bool quit_requested()
{
    return close_button_pressed || key[KEY_ESC] || tapped[KEY_ESC];
}

void poll_while_waiting()
{
    usleep(1000);
    poll_keyboard();
    while (keyboard_driver && keypressed()) {
        int scancode = readkey() >> 8;
        if (scancode > 0 && scancode < KEY_MAX)
            tapped[scancode] = true;
    }
}

bool key_hit(int scancode)
{
    bool hit = key[scancode] || tapped[scancode];
    tapped[scancode] = false;
    return hit;
}

void forget_key_hits()
{
    if (keyboard_driver)
        clear_keybuf();
    for (bool &t : tapped)
        t = false;
}

double monotonic_ms()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1000000.0;
}

double clock_ms()
{
    return use_manual_clock ? manual_clock : monotonic_ms();
}

void set_screen_globals(s16 width, s16 height)
{
    screen_width = width;
    screen_height = height;
    screen_half_width = screen_width / 2;
    screen_half_height = screen_height / 2;
    focal_x = focal_y = (float)(screen_width / 1.6);
    view_scale = 7.0f;
}

void create_video_bitmaps()
{
    back_buffer = create_bitmap(screen_width, screen_height);
    if (!back_buffer) {
        printf("Error while allocating bitmaps!\n");
        fflush(stdout);
        exit(1);
    }
    clear_bitmap(back_buffer);
    for (int i = 0; i < TEXTURE_SLOTS; i++) {
        texture_slots[i] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
        if (!texture_slots[i]) {
            printf("Error while allocating bitmaps!\n");
            fflush(stdout);
            exit(1);
        }
        // A fresh bitmap holds whatever memory it got; a scene build may copy it.
        clear_bitmap(texture_slots[i]);
    }
}

void set_view_constants()
{
    eye_offset_x = 0.0f;
    eye_offset_y = -4.5f;
    eye_offset_z = 55.0f;
    camera_angle_x = 45.0f;
    camera_angle_y = 0.0f;
    camera_angle_z = 0.0f;
    view_y_shift = (s16)(screen_width * -12 / 320);
}

// An X server started without -noreset (Xvfb, as tests and build machines run it) resets
// when its last client leaves, and hangs up on any client still in its greeting then: the
// graphics library's connection, dropped so, fails to start with no reason given, about one
// start in thirty while other short-lived clients come and go. A connection of the game's
// own, held until the library's is up, keeps the server from resetting in between; one
// dropped by a reset is simply made again. Null when no display answers within two seconds.
static Display *hold_display()
{
    const char *name = getenv("DISPLAY");
    if (!name || !*name)
        return nullptr;
    // Xlib prints the server's reason when it refuses: only the last attempt's is shown.
    fflush(stderr);
    int kept = dup(2), quiet = open("/dev/null", O_WRONLY);
    if (kept >= 0 && quiet >= 0)
        dup2(quiet, 2);
    Display *held = nullptr;
    double give_up = monotonic_ms() + 2000;
    while (!held && monotonic_ms() < give_up) {
        held = XOpenDisplay(nullptr);
        if (!held)
            usleep(50 * 1000);
    }
    if (kept >= 0) {
        dup2(kept, 2);
        close(kept);
    }
    if (quiet >= 0)
        close(quiet);
    return held ? held : XOpenDisplay(nullptr);
}

// The game's own message, and before it one line on stderr saying why.
static void no_window(const std::string &why)
{
    const char *name = getenv("DISPLAY");
    if (!name || !*name)
        fprintf(stderr, "No window: DISPLAY is not set, so there is no X display to open it on\n");
    else
        fprintf(stderr, "No window: %s\n", why.c_str());
    fflush(stderr);
    allegro_message("Can't init graphics window!");
    exit(1);
}

// The window the desktop manages: the one it decorates, where the driver keeps one apart.
static Window managed_window()
{
    return _xwin.wm_window != None ? _xwin.wm_window : _xwin.window;
}

// The window's class for the desktop, which ties it to the menu entry (the graphics library
// would call it "allegro"). The library's own call keeps its copy for any window it makes.
static void name_window()
{
    xwin_set_window_name(WINDOW_CLASS, WINDOW_CLASS);
    if (!_xwin.display || managed_window() == None)
        return;
    XClassHint hint;
    hint.res_name = (char *)WINDOW_CLASS;
    hint.res_class = (char *)WINDOW_CLASS;
    XLOCK();
    XSetClassHint(_xwin.display, managed_window(), &hint);
    XFlush(_xwin.display);
    XUNLOCK();
}

// The forge's icon as the window's _NET_WM_ICON: width, height, then each pixel as ARGB in
// a long, as Xlib's 32-bit properties are. A damaged icon ends start-up as a damaged title
// picture does.
static void set_window_icon()
{
    if (picture_left_out(WINDOW_ICON_FILE))
        return;
    std::vector<uint32_t> argb;
    long width, height;
    std::string why;
    if (!load_argb_picture(WINDOW_ICON_FILE, argb, width, height, why)) {
        fprintf(stderr, "Can't load %s: %s\n", WINDOW_ICON_FILE, why.c_str());
        fflush(stderr);
        exit(1);
    }
    if (!_xwin.display || managed_window() == None)
        return;
    std::vector<long> property;
    property.reserve(argb.size() + 2);
    property.push_back(width);
    property.push_back(height);
    for (uint32_t pixel : argb)
        property.push_back((long)pixel);
    XLOCK();
    Atom icon = XInternAtom(_xwin.display, "_NET_WM_ICON", False);
    XChangeProperty(_xwin.display, managed_window(), icon, XA_CARDINAL, 32, PropModeReplace,
                    (const unsigned char *)property.data(), (int)property.size());
    XFlush(_xwin.display);
    XUNLOCK();
}

// Sets a mode at the requested depth, then at each fallback depth in turn; false when none
// gives one.
static bool set_video_mode(int card, s16 depth)
{
    set_color_depth(depth);
    if (set_gfx_mode(card, screen_width, screen_height, 0, 0) == 0)
        return true;
    for (int d : fallback_depths) {
        set_color_depth(d);
        if (set_gfx_mode(card, screen_width, screen_height, 0, 0) == 0)
            return true;
    }
    return false;
}

void init_video(s16 depth, s16 fullscreen_flag, s16 width, s16 height)
{
    srand((unsigned)time(NULL));
    set_screen_globals(width, height);
    int card = fullscreen_flag == 1 ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;

    printf("Initalizing Allegro...\n");
    fflush(stdout);
    std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    Display *held = hold_display();
    if (!held)
        no_window("could not connect to the X display " + display);
    bool started = allegro_init() == 0;
    XCloseDisplay(held);
    // Before the mode is set, so that the window carries its class from the moment it is
    // mapped, and again after, in case the driver made its window anew.
    if (started)
        name_window();
    // Without a system driver the keyboard would crash.
    if (!started)
        no_window("the graphics library could not start on the X display " + display);
    if (install_keyboard() != 0)
        no_window("the keyboard of the X display " + display + " could not be installed");

    printf("Setting graphics mode...\n");
    fflush(stdout);
    if (!set_video_mode(card, depth)) {
        std::string why = "the X display " + display + " refused a " + std::to_string(screen_width) + " x " +
                          std::to_string(screen_height) + (fullscreen_flag == 1 ? " full screen" : " window") +
                          " at every colour depth";
        if (allegro_error[0])
            why += std::string(" (") + allegro_error + ")";
        no_window(why);
    }

    name_window();
    set_window_icon();
    set_close_button_callback(on_close_button);

    create_video_bitmaps();
    textout(screen, font, "Initializing", 0, 0, 7);
    set_view_constants();
    text_mode(-1);
}

// A frame that lasted longer than a whole tick, and more than twice as long as the frame
// before it, was held up: the window dragged, the machine busy, a wait that presented
// nothing. The frames of its tick do not measure the rate of the frames to come.
static double last_present_ms = -1;
static double last_frame_ms;
// When the last frame longer than a tick ended. For a second after it the rate may rise many
// times over from one tick to the next (the busy machine settling), and a tick measured on
// the slow frames would make the fast ones race: those ticks end early instead, once their
// frames have carried two ticks' worth of game time.
static double long_frame_end = -1;
static const double SETTLING_MS = 1000;

// The scale that makes `frames` frames over `ms` milliseconds carry that much game time.
static float measured_scale(int frames, double ms)
{
    double scale = (double)FRAMES_PER_TICK * ms / ((double)TICK_INTERVAL * frames);
    double least = (double)FRAMES_PER_TICK / 32767;
    return (float)(scale < least ? least : scale > FRAMES_PER_TICK ? (double)FRAMES_PER_TICK : scale);
}

void present_frame(int show)
{
    if (tick_frame_count < 32767)
        tick_frame_count++;
    // The game clock moves by the scale this frame's world moved by, before a tick that ends
    // here sets the next one: game time stays the measure of what the rules did.
    game_clock += time_scale * GAME_CLOCK_PER_FRAME;
    double now = clock_ms();
    double tick_start = next_tick_time - TICK_INTERVAL;
    // A frame's length is known once the frame before it was presented in this tick (or as
    // it began): a tick set up by hand, or the very first, has none.
    bool known = next_tick_time > 0 && last_present_ms >= tick_start - 1;
    double frame_ms = known ? now - last_present_ms : 0;
    bool held = frame_ms > TICK_INTERVAL && frame_ms > 2 * last_frame_ms;
    bool settling = long_frame_end >= 0 && tick_start >= long_frame_end - 1 && tick_start < long_frame_end + SETTLING_MS;
    bool ends = now > next_tick_time;
    if (ends) {
        frames_last_tick = tick_frame_count;
        if (!held) {
            // Keep the fraction: a whole-number quotient would stop the world above 65 frames a second.
            time_scale = (float)FRAMES_PER_TICK / (frames_last_tick > 0 ? frames_last_tick : 1);
        } else if (frames_last_tick > 1 && last_present_ms > tick_start) {
            // The tick's frames before the hold, over the time they took.
            time_scale = measured_scale(frames_last_tick - 1, last_present_ms - tick_start);
        }  // else the hold was the tick's only frame: the rate before it stands
    } else if (settling && tick_frame_count * time_scale >= 2 * FRAMES_PER_TICK) {
        frames_last_tick = tick_frame_count;
        time_scale = measured_scale(frames_last_tick, now - tick_start);
        ends = true;
    }
    if (ends) {
        tick_frame_count = 0;
        next_tick_time = clock_ms() + TICK_INTERVAL;
    }
    if (frame_ms > TICK_INTERVAL)
        long_frame_end = now;
    last_frame_ms = frame_ms;
    last_present_ms = now;
    if (fixed_time_scale > 0)
        time_scale = fixed_time_scale;
    if (show & 0xff)
        blit(back_buffer, screen, 0, 0, 0, 0, screen->w, screen->h);  // the video mode's size; headless, the memory screen's
}

void draw_panel(s16 style, s16 x1, s16 y1, s16 x2, s16 y2)
{
    int fill = makecol(50, 97, 153);
    int edge = style == 1 ? makecol(192, 192, 192) : makecol(33, 64, 102);
    rectfill(back_buffer, x1, y1, x2 - 6, y2, fill);
    if (style < 4) {
        hline(back_buffer, x1, y1, x2 - 6, edge);
        hline(back_buffer, x1, y2, x2, edge);
        vline(back_buffer, x1, y1, y2, edge);
        for (int i = 0; i <= 6; i++)
            vline(back_buffer, x2 - 6 + i, y1 + i, y2, edge);
    } else {
        hline(back_buffer, x1, y2, x2 - 6, edge);
        hline(back_buffer, x1, y1, x2, edge);
        vline(back_buffer, x1, y1, y2, edge);
        for (int i = 0; i <= 6; i++)
            vline(back_buffer, x2 - 6 + i, y1, y2 - i, edge);
    }
}
