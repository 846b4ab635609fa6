// Drawing the ordered scene into the back buffer.
#include "render/draw.h"

float texture_scroll;
float texture_scroll_step;
int fog_color;
