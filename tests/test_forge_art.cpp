// Art a player can read: every demon kind stands out from the floors of the maps it lives
// on, so a map maker who puts a kind on a floor of its own colours hears of it.
#include <allegro.h>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapcells.h"

namespace {

bool solid_at(BITMAP *b, int x, int y)
{
    return _getpixel32(b, x, y) != pixel32(MASK_RGB);
}

// Contrast of a demon against a floor: the distance between the mean colour of its body
// (the drawn pixels without the outline ring) and the mean colour of the floor's texture,
// in RGB, each channel 0..255. Below about 60 a figure melts into the floor at game size.
float demon_contrast(int kind, const std::string &surface)
{
    BITMAP *tex = surface_texture(surface);
    if (!tex)
        return -1;
    double fr = 0, fg = 0, fb = 0;
    for (int y = 0; y < tex->h; y++)
        for (int x = 0; x < tex->w; x++) {
            Rgb c = rgb_of_pixel32(_getpixel32(tex, x, y));
            fr += red_of(c), fg += green_of(c), fb += blue_of(c);
        }
    int texels = tex->w * tex->h;
    fr /= texels, fg /= texels, fb /= texels;
    // Over the walk cycle facing down, the way a demon is mostly seen coming.
    double sr = 0, sg = 0, sb = 0;
    long n = 0;
    for (int frame = 0; frame < 6; frame++) {
        BITMAP *b = make_demon_frame(kind, 1, 1, frame);
        for (int y = 1; y < 39; y++)
            for (int x = 1; x < 39; x++) {
                if (!solid_at(b, x, y))
                    continue;
                if (!solid_at(b, x - 1, y) || !solid_at(b, x + 1, y) || !solid_at(b, x, y - 1) || !solid_at(b, x, y + 1))
                    continue;  // the outline ring
                Rgb c = rgb_of_pixel32(_getpixel32(b, x, y));
                sr += red_of(c), sg += green_of(c), sb += blue_of(c);
                n++;
            }
        destroy_bitmap(b);
    }
    if (!n)
        return 0;
    sr /= n, sg /= n, sb /= n;
    return (float)std::sqrt((sr - fr) * (sr - fr) + (sg - fg) * (sg - fg) + (sb - fb) * (sb - fb));
}

}  // namespace

TEST(ForgeArt, DemonsStandOutFromTheFloorsOfTheirMaps)
{
    const float floor_contrast = 60;
    Campaign c;
    std::string error;
    ASSERT_TRUE(load_campaign_sources(std::string(SOURCE_DIR) + "/content/maps", c, error)) << error;
    ASSERT_FALSE(c.maps.empty());
    for (const MapSource &src : c.maps) {
        std::set<std::string> floors;
        for (int row = 0; row < src.height; row++)
            for (int col = 0; col < src.width; col++) {
                const CellStyle &s = cell_style(src, col, row);
                // Where demons walk: plain and spawn floors (not triggers, gates or pools).
                if (!s.is_void && !s.blocking && s.transparency == 0 && s.exit_map.empty() &&
                    (s.kind == 0 || s.kind == 7))
                    floors.insert(s.surface);
            }
        std::set<int> kinds(src.monsters.begin(), src.monsters.end());
        for (int kind : kinds) {
            std::string line;
            for (const std::string &surface : floors) {
                float c = demon_contrast(kind, surface);
                char text[64];
                snprintf(text, sizeof(text), " %s %.0f", surface.c_str(), c);
                line += text;
                EXPECT_GE(c, floor_contrast) << "map " << src.number << " kind " << kind << " on " << surface;
            }
            printf("map %d kind %2d:%s\n", src.number, kind, line.c_str());
        }
    }
}
