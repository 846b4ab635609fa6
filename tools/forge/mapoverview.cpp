// The map compiler's overview picture, for map makers.
#include "tools/forge/mapoverview.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/forge/forge.h"
#include "tools/forge/inscriptions.h"

namespace {

const int OVERVIEW_CELL = 12;

int average_colour(BITMAP *tex, float light)
{
    long r = 0, g = 0, b = 0;
    for (int y = 0; y < tex->h; y++)
        for (int x = 0; x < tex->w; x++) {
            int c = getpixel(tex, x, y), depth = bitmap_color_depth(tex);
            r += getr_depth(depth, c);
            g += getg_depth(depth, c);
            b += getb_depth(depth, c);
        }
    long n = (long)tex->w * tex->h;
    return makecol(std::min(255, (int)(r / n * light)), std::min(255, (int)(g / n * light)),
                   std::min(255, (int)(b / n * light)));
}

int colour_of(int rgb)
{
    return makecol(red_of(rgb), green_of(rgb), blue_of(rgb));
}

void mark(BITMAP *pic, int col, int row, const char *text, int colour)
{
    int x = col * OVERVIEW_CELL + OVERVIEW_CELL / 2 - 4 * (int)strlen(text);
    int y = 14 + row * OVERVIEW_CELL + 2;
    textout_ex(pic, font, text, x + 1, y + 1, makecol(0, 0, 0), -1);
    textout_ex(pic, font, text, x, y, colour, -1);
}

// The name's plaques as the ground shows them: dark stone in a bronze rim, the name in pale
// letters across it.
void draw_plaques(BITMAP *pic, const MapSource &src, const std::map<std::string, int> &exit_triggers)
{
    std::vector<std::string> unplaced;
    for (const Inscription &p : plan_inscriptions(src, exit_triggers, unplaced))
        for (size_t l = 0; l < p.lines.size(); l++) {
            int x0 = p.col * OVERVIEW_CELL, y0 = 14 + (p.row + (int)l) * OVERVIEW_CELL;
            int x1 = x0 + p.width * OVERVIEW_CELL - 1, y1 = y0 + OVERVIEW_CELL - 1;
            rectfill(pic, x0, y0, x1, y1, colour_of(INSCRIPTION_STONE_RGB));
            rect(pic, x0, y0, x1, y1, colour_of(INSCRIPTION_RIM_RGB));
            const std::string &text = p.lines[l];
            textout_ex(pic, font, text.c_str(), (x0 + x1 + 1) / 2 - 4 * (int)text.size(), y0 + 2,
                       colour_of(INSCRIPTION_LETTER_RGB), -1);
        }
}

}  // namespace

BITMAP *draw_map_overview(const MapSource &src, const std::map<std::string, int> &exit_triggers)
{
    std::vector<std::string> legend;
    for (const auto &entry : src.legend)
        if (!entry.second.exit_map.empty())
            legend.push_back(std::string(1, entry.first) + " leads to map " + entry.second.exit_map + ", spot " +
                             entry.second.exit_spot);
    legend.push_back("S start  o arrival  x spawn  G gem gate  h heart  1-5 keys  6-9 gems");
    legend.push_back("cyan: to another map   a key's or gem's colour: sealed until it is held");
    legend.push_back("violet: opens when the map is clean   darker = lower, outlined = wall");
    int w = std::max(src.width * OVERVIEW_CELL, 8 * 72);
    int h = 14 + src.height * OVERVIEW_CELL + 4 + 10 * (int)legend.size();
    BITMAP *pic = create_bitmap(w, h);
    if (!pic)
        return nullptr;
    clear_to_color(pic, makecol(0, 0, 0));
    // The name as the game writes it on arrival, in the same parchment.
    std::string number = "map " + std::to_string(src.number) + (src.title.empty() ? "" : ": ");
    textout_ex(pic, font, number.c_str(), 2, 2, makecol(255, 255, 255), -1);
    textout_ex(pic, font, src.title.c_str(), 2 + 8 * (int)number.size(), 2, makecol(232, 212, 160), -1);

    for (int row = 0; row < src.height; row++)
        for (int col = 0; col < src.width; col++) {
            const CellStyle &s = cell_style(src, col, row);
            if (s.is_void)
                continue;
            BITMAP *tex = surface_texture(s.surface);
            float light = std::max(0.35f, std::min(1.3f, 0.8f + s.height * 0.12f));
            int colour = tex ? average_colour(tex, light) : makecol(255, 0, 255);
            // The floors that matter in the colours the game draws them in; a curtain over a
            // cell may give it the stronger look.
            const FloorKind &k = cell_floor_kind(s.kind, !s.exit_map.empty());
            int look = std::max(k.look, s.curtain_kind ? floor_kind(s.curtain_kind).look : (int)LOOK_SURFACE);
            int group = map_group_of(src.number);
            Rgb seal = group >= ITEM_KEY_FIRST && group <= ITEM_GEM_LAST ? item_colour(group) : rgb(170, 170, 180);
            if (look == LOOK_EXIT)
                colour = colour_of(EXIT_RGB);
            else if (look == LOOK_GROUP_SEAL)
                colour = colour_of(seal);
            else if (look == LOOK_CLEARED)
                colour = colour_of(CLEARED_RGB);
            int x = col * OVERVIEW_CELL, y = 14 + row * OVERVIEW_CELL;
            rectfill(pic, x, y, x + OVERVIEW_CELL - 1, y + OVERVIEW_CELL - 1, colour);
            if (k.look == LOOK_GEMS)
                for (int q = 0; q < 4; q++) {
                    Rgb c = item_colour(ITEM_GEM_FIRST + q);
                    int qx = x + (q % 2) * OVERVIEW_CELL / 2, qy = y + (q / 2) * OVERVIEW_CELL / 2;
                    rectfill(pic, qx, qy, qx + OVERVIEW_CELL / 2 - 1, qy + OVERVIEW_CELL / 2 - 1, colour_of(c));
                }
            if (s.blocking)
                rect(pic, x, y, x + OVERVIEW_CELL - 1, y + OVERVIEW_CELL - 1, makecol(20, 20, 20));
            // A way out shows its symbol, which the legend explains.
            if (!s.exit_map.empty())
                mark(pic, col, row, std::string(1, s.symbol).c_str(), colour_of(k.mark_rgb));
            else if (*k.mark)
                mark(pic, col, row, k.mark, colour_of(k.mark_rgb));
        }
    draw_plaques(pic, src, exit_triggers);
    for (const SourceSpot &s : src.spots)
        mark(pic, s.col, s.row, s.name == "start" ? "S" : "o", makecol(80, 255, 80));
    for (const SourceItem &it : src.items) {
        char text[2] = {it.type == 0 ? 'h' : (char)('0' + it.type), 0};
        mark(pic, it.col, it.row, text, it.type == 0 ? makecol(255, 90, 120) : makecol(255, 255, 255));
    }
    int y = 14 + src.height * OVERVIEW_CELL + 4;
    for (const std::string &line : legend) {
        textout_ex(pic, font, line.c_str(), 2, y, makecol(200, 200, 200), -1);
        y += 10;
    }
    return pic;
}
