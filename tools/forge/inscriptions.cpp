// The name on the ground at every arrival: where each plaque goes and what it paints.
#include "tools/forge/inscriptions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/forge/forge.h"

namespace {

// A difference of height this large is a step the forge draws a lip or rim on, and the step
// check reads the floor beside it: a plaque keeps off it.
const float PLAQUE_STEP = 0.5f;
// Rows tried for a plaque's first line, nearest the hero's feet first: in front of him, then
// farther in front, then behind him (his sprite covers the row just north of his spot).
const int ROW_OFFSETS[INSCRIPTION_ROW_CHOICES] = {1, 2, 3, -2, 4};
// The rows a plaque seen from the spot lies within, behind and in front of it.
const int ROWS_BEHIND = 3, ROWS_AHEAD = 4;

bool is_arrival(const MapSource &src, const std::map<std::string, int> &exit_triggers, const std::string &spot)
{
    return spot == "start" || spot == "gate" || exit_triggers.count(std::to_string(src.number) + ":" + spot);
}

// A cell a plaque may cover: plain still floor with nothing on it, no step beside it, and
// nothing south of it rising to hide it from the camera.
bool inscribable(const MapSource &src, int col, int row)
{
    if (!cell_is_plain_floor(src, col, row))
        return false;
    const CellStyle &s = cell_style(src, col, row);
    if (s.kind != 0 || s.transparency || s.has_bed || s.has_stairs || s.curtain_kind || s.post_width > 0 ||
        !s.crown_surface.empty() || !s.fence_surface.empty() || surface_glows(s.surface))
        return false;
    const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
    for (int k = 0; k < 4; k++) {
        const CellStyle &n = cell_style(src, col + dc[k], row + dr[k]);
        if (!n.is_void && s.height - n.height >= PLAQUE_STEP)
            return false;
    }
    // What rises south of it hides about as far north as it is tall, a hedge as much as a wall.
    for (int d = 1; d <= 3; d++) {
        const CellStyle &n = cell_style(src, col, row + d);
        if (!n.is_void && n.height + n.hedge_height - s.height >= PLAQUE_STEP + (d - 1))
            return false;
    }
    return true;
}

// The name in one to three lines at word breaks, the longest line as short as it can be.
std::vector<std::string> split_lines(const std::string &name, int count)
{
    std::vector<std::string> words;
    for (size_t at = 0; at < name.size();) {
        size_t end = name.find(' ', at);
        if (end == std::string::npos)
            end = name.size();
        if (end > at)
            words.push_back(name.substr(at, end - at));
        at = end + 1;
    }
    std::vector<std::string> best;
    size_t best_width = SIZE_MAX;
    int n = (int)words.size();
    count = std::min(count, n);
    // Every way to cut the words into `count` lines (at most eight words: few enough).
    for (unsigned cuts = 0; cuts < (1u << std::max(0, n - 1)); cuts++) {
        if (__builtin_popcount(cuts) != count - 1)
            continue;
        std::vector<std::string> lines(1);
        for (int w = 0; w < n; w++) {
            if (w && (cuts >> (w - 1)) & 1)
                lines.push_back("");
            lines.back() += (lines.back().empty() ? "" : " ") + words[w];
        }
        size_t width = 0;
        for (const std::string &l : lines)
            width = std::max(width, l.size());
        if (width < best_width) {
            best_width = width;
            best = lines;
        }
    }
    return best;
}

// Cells a line of this many characters needs: the letters and a margin of half a letter
// each side, rounded up to whole cells.
int cells_for(size_t characters)
{
    return (int)((characters * 8 + 8 + SHADOW_CELL - 1) / SHADOW_CELL);
}

bool fits(const MapSource &src, int col, int row, int width, int lines, float height)
{
    for (int r = row; r < row + lines; r++)
        for (int c = col; c < col + width; c++)
            if (!inscribable(src, c, r) || cell_style(src, c, r).height != height)
                return false;
    return true;
}

// Whether the plaque lies where the hero arriving at the spot sees it below or beside him.
bool seen_from(const Inscription &p, const SourceSpot &s)
{
    int rows = (int)p.lines.size();
    bool in_rows = p.row >= s.row - ROWS_BEHIND && p.row + rows - 1 <= s.row + ROWS_AHEAD;
    bool covers_spot = s.row >= p.row && s.row < p.row + rows && s.col >= p.col && s.col < p.col + p.width;
    return in_rows && !covers_spot && p.col >= s.col - INSCRIPTION_REACH &&
           p.col + p.width - 1 <= s.col + INSCRIPTION_REACH;
}

// Paints the plaque's ink: stone, a rim round it and the letters, line by line.
void ink_plaque(Inscription &p)
{
    int w = p.width * SHADOW_CELL;
    for (size_t l = 0; l < p.lines.size(); l++) {
        std::vector<unsigned char> band(w * SHADOW_CELL, 1);
        for (int x = 0; x < w; x++)
            band[x] = band[(SHADOW_CELL - 1) * w + x] = 0;
        for (int x = 1; x < w - 1; x++)
            band[1 * w + x] = band[(SHADOW_CELL - 2) * w + x] = 2;
        for (int y = 1; y < SHADOW_CELL - 1; y++) {
            band[y * w] = band[y * w + w - 1] = 0;
            band[y * w + 1] = band[y * w + w - 2] = 2;
        }
        const std::string &text = p.lines[l];
        int left = (w - 8 * (int)text.size()) / 2;
        for (size_t i = 0; i < text.size(); i++) {
            unsigned char g[8][8];
            glyph_mask(text[i], g);
            for (int y = 0; y < INSCRIPTION_LETTER_HEIGHT; y++)
                for (int x = 0; x < 8; x++)
                    if (g[y * 8 / INSCRIPTION_LETTER_HEIGHT][x])
                        band[(INSCRIPTION_LETTER_TOP + y) * w + left + 8 * (int)i + x] = 3;
        }
        for (int c = 0; c < p.width; c++) {
            InscribedCell cell;
            cell.col = p.col + c;
            cell.row = p.row + (int)l;
            for (int y = 0; y < SHADOW_CELL; y++)
                for (int x = 0; x < SHADOW_CELL; x++)
                    cell.ink[y][x] = band[y * w + c * SHADOW_CELL + x];
            p.cells.push_back(cell);
        }
    }
}

// The best place for a plaque seen from the spot that covers no cell of another: fewest
// lines, then nearest the hero's feet, then most nearly centred on him.
bool place_plaque(const MapSource &src, const SourceSpot &s, const std::vector<Inscription> &placed,
                  Inscription &out)
{
    auto taken = [&](int col, int row, int width, int lines) {
        for (const Inscription &p : placed)
            if (col < p.col + p.width && p.col < col + width && row < p.row + (int)p.lines.size() &&
                p.row < row + lines)
                return true;
        return false;
    };
    for (int lines = 1; lines <= INSCRIPTION_MAX_LINES; lines++) {
        std::vector<std::string> text = split_lines(src.title, lines);
        if ((int)text.size() < lines)
            break;
        size_t longest = 0;
        for (const std::string &t : text)
            longest = std::max(longest, t.size());
        int width = cells_for(longest);
        for (int dr : ROW_OFFSETS) {
            int row = s.row + dr;
            if (dr < 0)
                row -= lines - 1;  // behind him the plaque grows away from him
            float height = cell_style(src, s.col, s.row).height;
            for (int shift = 0; shift <= width; shift++)
                for (int sign : {1, -1}) {
                    int col = s.col - width / 2 + sign * shift;
                    Inscription p;
                    p.spot = s.name;
                    p.lines = text;
                    p.col = col;
                    p.row = row;
                    p.width = width;
                    if (!seen_from(p, s) || taken(col, row, width, lines))
                        continue;
                    // Level with the arrival, or with what lies there if it is all one floor.
                    float h = cell_style(src, col, row).height;
                    if (std::fabs(h - height) >= 1.5f || !fits(src, col, row, width, lines, h))
                        continue;
                    out = p;
                    ink_plaque(out);
                    return true;
                }
        }
    }
    return false;
}

}  // namespace

void glyph_mask(char c, unsigned char mask[8][8])
{
    static BITMAP *scratch = nullptr;
    if (!scratch)
        scratch = create_bitmap_ex(32, 8, 8);
    clear_to_color(scratch, makecol32(0, 0, 0));
    char text[2] = {c, 0};
    textout_ex(scratch, font, text, 0, 0, makecol32(255, 255, 255), -1);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            mask[y][x] = getpixel(scratch, x, y) != makecol32(0, 0, 0);
}

std::vector<Inscription> plan_inscriptions(const MapSource &src, const std::map<std::string, int> &exit_triggers,
                                           std::vector<std::string> &problems)
{
    std::vector<Inscription> placed;
    if (src.title.empty())
        return placed;
    for (const SourceSpot &s : src.spots) {
        if (!is_arrival(src, exit_triggers, s.name))
            continue;
        bool seen = false;
        for (const Inscription &p : placed)
            seen = seen || seen_from(p, s);
        if (seen)
            continue;
        Inscription p;
        if (place_plaque(src, s, placed, p))
            placed.push_back(p);
        else
            problems.push_back("map " + std::to_string(src.number) + " (" + src.file + "): no room for the name by arrival \"" +
                               s.name + "\" at column " + std::to_string(s.col - src.ring_west) + " row " +
                               std::to_string(s.row - src.ring_north) +
                               ": a plaque needs a row of plain level floor in front of it or behind it, " +
                               std::to_string(cells_for(src.title.size())) + " cells wide (or two or three rows, narrower)");
    }
    return placed;
}

void inscribe_cell(BITMAP *cell, const InscribedCell &ink)
{
    const int rgb[4] = {0, INSCRIPTION_STONE_RGB, INSCRIPTION_RIM_RGB, INSCRIPTION_LETTER_RGB};
    for (int y = 0; y < SHADOW_CELL; y++)
        for (int x = 0; x < SHADOW_CELL; x++) {
            int k = ink.ink[y][x];
            if (!k)
                continue;
            int c = rgb[k];
            putpixel(cell, x, y, makecol((c >> 16) & 255, (c >> 8) & 255, c & 255));
        }
}
