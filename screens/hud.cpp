// The heads-up display and the closing screens.
#include "screens/hud.h"

float fade_level = 1.0f, fade_target = 1.0f, fade_step = 0.04f;
