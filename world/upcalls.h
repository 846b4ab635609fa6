// The calls the lower layers make to a layer above them, declared once here, at the bottom,
// so that no file includes a header above its own layer. There are three:
// - the map writers show their progress in a panel on the screen (draw_panel, and
//   present_frame to show it: shell/video.cpp);
// - the items end the game won when the last demon dies (screens/hud.cpp).
// Declared rather than passed in through a hook: the call stays where it is made and
// readable, and no harness has to remember to connect it.
#pragma once

#include "world/world.h"

// Shows the back buffer (show != 0) and measures the frame's time scale.
void present_frame(int show);
// The bevelled panel of the given style between the two corners.
void draw_panel(s16 style, s16 x1, s16 y1, s16 x2, s16 y2);

// The victory screen; waits for ESC unless closing screens return at once.
void show_victory_screen();
