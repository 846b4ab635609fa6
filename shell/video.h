// Video set-up, the bevelled text panel and frame presentation with frame-rate timing.
#pragma once

#include "world/upcalls.h"
#include "world/world.h"

enum { TICK_INTERVAL = 100 };  // ms per timing tick

// The frame the game draws into, and the colour depth it asks for first.
enum { GAME_WIDTH = 640, GAME_HEIGHT = 480, GAME_DEPTH = 16 };

// time_scale 1 is the pace every per-frame amount is tuned for: FRAMES_PER_TICK frames a
// tick, 60 a game second, each moving the game clock GAME_CLOCK_PER_FRAME.
enum { FRAMES_PER_TICK = 6, FRAMES_PER_GAME_SECOND = FRAMES_PER_TICK * 1000 / TICK_INTERVAL };
const double GAME_CLOCK_PER_FRAME = 0.001;
const double GAME_CLOCK_PER_SECOND = GAME_CLOCK_PER_FRAME * FRAMES_PER_GAME_SECOND;

extern float focal_x, focal_y;
extern float view_scale;
extern float eye_offset_x, eye_offset_y, eye_offset_z;
extern float camera_angle_x, camera_angle_y, camera_angle_z;
extern s16 view_y_shift;
extern s16 tick_frame_count;
extern s16 frames_last_tick;
extern double next_tick_time;

// When positive, present_frame keeps time_scale at this value instead of measuring it:
// the automated player and the benchmarks run at a fixed, repeatable pace.
extern float fixed_time_scale;

// Brings Allegro up with a real window or full screen; ends the process on failure. The
// window is named for the desktop (class "grimhold"), carries the game's icon when the data
// has one, and its close button asks the game to end.
void init_video(s16 depth, s16 fullscreen_flag, s16 width, s16 height);

// The window class, which the menu entry's StartupWMClass names too.
extern const char *const WINDOW_CLASS;
// The window's icon, drawn by the forge: a 32-bit picture with alpha. The game plays without
// it when the file is absent; one that is there must be sound.
extern const char *const WINDOW_ICON_FILE;

// The player asked to end the game: ESC is down or was tapped during a wait, or the window's
// close button was pressed. Either request holds until the program ends, as a held ESC would.
bool quit_requested();
// The close button's request, as the window manager's thread sets it (tests set it too).
extern volatile int close_button_pressed;

// One step of a screen that waits for a key: sleeps a millisecond, so that the wait leaves
// the processor to others, then polls the keyboard and notes every key pressed since,
// however short the press: the keyboard's buffer keeps a tap that is over before the key
// state is looked at.
void poll_while_waiting();
// Whether the key is down, or was tapped since it was last asked for or forgotten.
bool key_hit(int scancode);
// Forgets every tap noted so far, and the keyboard's buffer with them.
void forget_key_hits();

// The parts of init_video shared with the headless set-up (tools/headless/).
void set_screen_globals(s16 width, s16 height);
void create_video_bitmaps();   // back_buffer and the texture slots; exits on failure
void set_view_constants();     // eye offset, camera angles, view_y_shift

// present_frame and draw_panel are declared in world/upcalls.h: the map writers call them.

// Monotonic milliseconds; stands in for the runtime clock, which measures processor time here.
double clock_ms();
double monotonic_ms();  // the same, never the manual clock below

// When use_manual_clock is set, clock_ms returns manual_clock: headless runs advance it
// themselves so that the timing ticks, and everything animated by them, repeat exactly.
extern bool use_manual_clock;
extern double manual_clock;
