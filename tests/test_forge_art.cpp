// Art a player can read: figures whole inside their frames, attacks and walks with real
// poses, and demons that stand out from the floors of the maps they live on.
#include <allegro.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <set>
#include <string>
#include <vector>

#include "tests/headless.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapsource.h"

namespace {

BITMAP *art_frame(int who, int action, int facing, int frame)
{
    return who == 0 ? make_hero_frame(action, facing, frame) : make_demon_frame(who, action, facing, frame);
}

bool solid_at(BITMAP *b, int x, int y)
{
    return _getpixel32(b, x, y) != pixel32(MASK_RGB);
}


// Pixels where two frames differ in their silhouettes (drawn in one, not in the other),
// within rows [top, bottom), as a share of the larger figure's drawn pixels there. Only
// the shape counts: flickering flames or a blinking eye do not make a new pose.
float difference(BITMAP *a, BITMAP *b, int top = 0, int bottom = 40)
{
    int differ = 0, na = 0, nb = 0;
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < 40; x++) {
            bool sa = solid_at(a, x, y), sb = solid_at(b, x, y);
            na += sa;
            nb += sb;
            if (sa != sb)
                differ++;
        }
    int n = std::max(na, nb);
    return n ? (float)differ / n : 0;
}

// The most frames of the six that all differ pairwise by at least `share`.
int distinct_poses(BITMAP *const frames[6], float share, int top = 0, int bottom = 40)
{
    int best = 1;
    for (int set = 1; set < 64; set++) {
        int members[6], n = 0;
        for (int i = 0; i < 6; i++)
            if (set & (1 << i))
                members[n++] = i;
        if (n <= best)
            continue;
        bool ok = true;
        for (int i = 0; i < n && ok; i++)
            for (int j = i + 1; j < n && ok; j++)
                ok = difference(frames[members[i]], frames[members[j]], top, bottom) >= share;
        if (ok)
            best = n;
    }
    return best;
}

}  // namespace

// Kinds 1 to 4 are drawn at two thirds of the others' size with their health pips along
// the frame's top: walking, their heads come up near it; no pose leaves a third of the
// frame empty above them.
TEST(ForgeArt, SmallDemonsReachTowardTheTopOfTheirFrames)
{
    for (int kind = 1; kind <= 4; kind++)
        for (int action = 1; action <= 2; action++)
            for (int facing = 0; facing < 4; facing++)
                for (int frame = 0; frame < 6; frame++) {
                    BITMAP *b = make_demon_frame(kind, action, facing, frame);
                    int top = 40;
                    for (int y = 39; y >= 0; y--)
                        for (int x = 0; x < 40; x++)
                            if (solid_at(b, x, y))
                                top = y;
                    EXPECT_LE(top, action == 1 ? 8 : 13) << "kind " << kind << " action " << action << " facing " << facing << " frame "
                                      << frame;
                    destroy_bitmap(b);
                }
}

// An attack is a movement, not two poses held: at least four of its six frames differ from
// each other in a tenth of the figure. A walk steps: in the lowest third of the frame, where
// the feet are, the cycle shows at least three distinct placings of the feet. Both in every
// facing.
TEST(ForgeArt, AttacksAndWalksHaveDistinctPoses)
{
    const struct { int action, top, poses; } moves[] = {{2, 0, 4}, {1, 27, 3}};
    for (const auto &move : moves)
        for (int who = 0; who <= 15; who++)
            for (int facing = 0; facing < 4; facing++) {
                BITMAP *frames[6];
                for (int f = 0; f < 6; f++)
                    frames[f] = art_frame(who, move.action, facing, f);
                EXPECT_GE(distinct_poses(frames, 0.10f, move.top, 40), move.poses)
                    << "character " << who << " action " << move.action << " facing " << facing;
                for (BITMAP *b : frames)
                    destroy_bitmap(b);
            }
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

// Every demon against every floor it walks on in the shipped maps.
TEST(ForgeArt, DemonsStandOutFromTheFloorsOfTheirMaps)
{
    const float floor_contrast = 60;
    std::string dir = std::string(SOURCE_DIR) + "/content/maps";
    DIR *d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> files;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".map")
            files.push_back(name);
    }
    closedir(d);
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    for (const std::string &name : files) {
        MapSource src;
        std::string error;
        ASSERT_TRUE(parse_map_source(dir + "/" + name, src, error)) << error;
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
