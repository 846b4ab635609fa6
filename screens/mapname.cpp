// The arriving map's name in the bottom band.
#include "screens/mapname.h"

#include <cstring>

#include "game/triggers.h"
#include "screens/assets.h"
#include "world/names.h"

int map_name_top()
{
    return screen_height - hud_band_height / 2 - 4;
}

void draw_map_name()
{
    const char *name = map_name(current_map);
    if (!name || arrival_name_left <= 0)
        return;
    float strength = arrival_name_left / ARRIVAL_NAME_FADE_SECONDS;
    if (strength > 1)
        strength = 1;
    // Parchment on the band's black: it reads as a title, apart from the HUD's grey.
    int colour = makecol((int)(232 * strength), (int)(212 * strength), (int)(160 * strength));
    int x = screen_half_width - 4 * (int)strlen(name);
    textout_ex(back_buffer, font, name, x, map_name_top(), colour, -1);
}
