// Reading map sources.
#include "tools/forge/mapsource.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "world/kinds.h"

// The pick-ups' names in the order of their types; the arrows' types follow them.
static const int ITEM_TYPES = ITEM_GEM_LAST + 1;
static const char *item_names[ITEM_TYPES] = {"heart", "key1", "key2", "key3", "key4",
                                             "key5", "gem1", "gem2", "gem3", "gem4"};

int item_type_from_name(const std::string &name)
{
    for (int i = 0; i < ITEM_TYPES; i++)
        if (name == item_names[i])
            return i;
    return -1;
}

const char *item_type_name(int type)
{
    return type >= 0 && type < ITEM_TYPES ? item_names[type] : "?";
}

namespace {

struct Reader {
    const std::string &file;
    std::string &error;
    int line = 0;
    bool fail(const std::string &what)
    {
        error = file + ":" + std::to_string(line) + ": " + what;
        return false;
    }
};

bool parse_int(const std::string &text, int &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (*end || v < -1000000 || v > 1000000)
        return false;
    out = (int)v;
    return true;
}

bool parse_float(const std::string &text, float &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (*end || !std::isfinite(v) || std::fabs(v) > 1000)
        return false;
    out = (float)v;
    return true;
}

// Splits "name:value" at the first colon.
bool split_pair(const std::string &text, std::string &a, std::string &b)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    a = text.substr(0, colon);
    b = text.substr(colon + 1);
    return true;
}

// A curtain is a seal standing across its cell: a kind that shows open or shut.
bool is_seal_kind(int kind)
{
    return kind >= 0 && floor_kind(kind).number == kind && floor_kind(kind).seal_open_when >= 0;
}

std::string curtain_forms()
{
    std::string forms;
    for (int i = 0; i < floor_kind_count; i++)
        if (is_seal_kind(floor_kinds[i].number))
            forms += (forms.empty() ? "" : " or ") + std::string("curtain=SURFACE:") +
                     std::to_string(floor_kinds[i].number);
    return forms;
}

// An option of a cell line that gives the cell a shape: a bed, a post, a crown, a fence, a
// hedge, a railing or stairs. False after a message when its value is wrong; `known` tells
// whether it was one.
bool parse_shape_option(Reader &r, const std::string &option, CellStyle &style, bool &known)
{
    known = true;
    if (option.compare(0, 4, "bed=") == 0) {
        std::string h;
        if (!split_pair(option.substr(4), style.bed_surface, h) || !parse_float(h, style.bed_height))
            return r.fail("bed= is written bed=SURFACE:HEIGHT");
        if (style.bed_height >= style.height)
            return r.fail("a bed lies below its cell's top");
        style.has_bed = true;
    } else if (option.compare(0, 5, "post=") == 0) {
        // post=SURFACE:HEIGHT or post=SURFACE:HEIGHT:WIDTH
        std::string rest, h, w = "0.5";
        if (!split_pair(option.substr(5), style.post_surface, rest))
            return r.fail("post= is written post=SURFACE:HEIGHT[:WIDTH]");
        if (!split_pair(rest, h, w))
            h = rest;
        if (!parse_float(h, style.post_height) || !parse_float(w, style.post_width) || style.post_height <= 0 ||
            style.post_width <= 0 || style.post_width > 1)
            return r.fail("a post needs a height above 0 and a width from above 0 to 1");
    } else if (option.compare(0, 6, "crown=") == 0) {
        std::string rest, lo, hi;
        if (!split_pair(option.substr(6), style.crown_surface, rest) || !split_pair(rest, lo, hi) ||
            !parse_float(lo, style.crown_bottom) || !parse_float(hi, style.crown_top))
            return r.fail("crown= is written crown=SURFACE:BOTTOM:TOP");
        if (style.crown_bottom < 0 || style.crown_top <= style.crown_bottom)
            return r.fail("a crown's top lies above its bottom, and its bottom not below the cell");
    } else if (option.compare(0, 6, "fence=") == 0) {
        style.fence_surface = option.substr(6);
        if (style.fence_surface.empty())
            return r.fail("fence= needs a surface");
    } else if (option.compare(0, 6, "hedge=") == 0) {
        std::string h;
        if (!split_pair(option.substr(6), style.hedge_surface, h) || !parse_float(h, style.hedge_height) ||
            style.hedge_height <= 0)
            return r.fail("hedge= is written hedge=SURFACE:HEIGHT, the height above the cell's top");
    } else if (option.compare(0, 5, "rail=") == 0) {
        style.rail_surface = option.substr(5);
        if (style.rail_surface.empty())
            return r.fail("rail= needs a surface");
    } else if (option.compare(0, 7, "stairs=") == 0) {
        if (!parse_float(option.substr(7), style.stairs_low))
            return r.fail("stairs= is written stairs=LOW, the height at the cell's south edge");
        style.has_stairs = true;
    } else {
        known = false;
    }
    return true;
}

// One option of a cell line; false after a message when it is unknown or its value wrong.
bool parse_cell_option(Reader &r, const std::string &option, const std::string &raw_line, CellStyle &style)
{
    if (option == "wall") {
        style.blocking = true;
    } else if (option == "refuge") {
        style.refuge = true;
    } else if (option.compare(0, 5, "kind=") == 0) {
        if (!parse_int(option.substr(5), style.kind) || style.kind < 0 || style.kind >= KIND_TRIGGER_BASE ||
            floor_kind(style.kind).number != style.kind)
            return r.fail("kind must be 0 to " + std::to_string(last_listed_kind()) +
                          " (triggers are written with exit=)");
    } else if (option.compare(0, 6, "trans=") == 0) {
        if (!parse_int(option.substr(6), style.transparency) || style.transparency < 0 ||
            style.transparency > 100)
            return r.fail("trans must be 0 to 100 percent");
    } else if (option.compare(0, 5, "side=") == 0) {
        style.side_surface = option.substr(5);
        if (style.side_surface.empty())
            return r.fail("side= needs a surface");
    } else if (option.compare(0, 5, "exit=") == 0) {
        if (!split_pair(option.substr(5), style.exit_map, style.exit_spot))
            return r.fail("exit= is written exit=MAP:SPOT");
        int n;
        if (!parse_int(style.exit_map, n) || n < 1 || n > 999)
            return r.fail("exit map must be a map number from 1 to 999");
    } else if (option.compare(0, 8, "curtain=") == 0) {
        std::string kind_text;
        if (!split_pair(option.substr(8), style.curtain_surface, kind_text) ||
            !parse_int(kind_text, style.curtain_kind) || !is_seal_kind(style.curtain_kind))
            return r.fail("curtain= is written " + curtain_forms());
    } else if (option.compare(0, 5, "spot=") == 0) {
        style.spot = option.substr(5);
        if (style.spot.empty())
            return r.fail("spot= needs a name");
    } else if (option.compare(0, 5, "item=") == 0) {
        style.item = item_type_from_name(option.substr(5));
        if (style.item < 0)
            return r.fail("unknown item \"" + option.substr(5) + "\" (heart, key1..key5, gem1..gem4)");
    } else {
        bool known;
        if (!parse_shape_option(r, option, style, known))
            return false;
        if (!known)
            return r.fail("unknown cell option \"" + option + "\" in: " + raw_line);
    }
    return true;
}

bool parse_cell(Reader &r, std::istringstream &in, const std::string &raw_line, MapSource &out)
{
    // The symbol is the first non-blank character after "cell", or a quoted space.
    std::string symbol_text;
    in >> symbol_text;
    char symbol;
    if (symbol_text == "' '" || symbol_text == "space")
        symbol = ' ';
    else if (symbol_text.size() == 1)
        symbol = symbol_text[0];
    else
        return r.fail("a cell symbol is one character, not \"" + symbol_text + "\"");
    if (out.legend.count(symbol))
        return r.fail(std::string("cell '") + symbol + "' is defined twice");

    CellStyle style;
    style.symbol = symbol;
    style.line = r.line;
    std::string surface;
    if (!(in >> surface))
        return r.fail(std::string("cell '") + symbol + "' needs a surface (or void)");
    if (surface == "void") {
        style.is_void = true;
        out.legend[symbol] = style;
        return true;
    }
    style.surface = surface;
    style.side_surface = surface;
    std::string height;
    if (!(in >> height) || !parse_float(height, style.height))
        return r.fail(std::string("cell '") + symbol + "' needs a height in units");

    std::string option;
    while (in >> option)
        if (!parse_cell_option(r, option, raw_line, style))
            return false;
    if (style.refuge && style.kind != KIND_SPAWN)
        return r.fail("refuge marks a spawn point (kind=7) set apart from the floor on purpose");
    if (!style.exit_map.empty() && style.kind != 0)
        return r.fail("a trigger cell cannot have another kind");
    if (style.has_stairs && (style.stairs_low >= style.height || style.has_bed || style.blocking))
        return r.fail("stairs climb to the cell's height from below it, on a floor without a bed");
    out.legend[symbol] = style;
    return true;
}

// The ring cells' symbols, picked from the ring's list by position: the same map always gets
// the same scenery, and the pick is patchy (pairs of cells share a pick half the time) so that
// woods and rocks clump rather than alternate.
char ring_symbol(const MapSource &m, const SourceRing &ring, int col, int row)
{
    unsigned h = (unsigned)m.number * 2654435761u;
    unsigned c = (unsigned)col, w = (unsigned)row;
    unsigned fine = (c * 73856093u) ^ (w * 19349663u) ^ h;
    unsigned coarse = ((c / 2) * 83492791u) ^ ((w / 2) * 2971215073u) ^ h;
    unsigned pick = (fine * 0x9E3779B1u >> 16) & 1 ? fine : coarse;
    pick ^= pick >> 13;
    pick *= 0x5bd1e995u;
    pick ^= pick >> 15;
    return ring.symbols[pick % ring.symbols.size()];
}

// Lays the rings around the grid in the order written, each outside what is there, and
// moves the spots and items placed by column and row with the grid.
bool add_rings(MapSource &m, std::string &error)
{
    for (const SourceRing &ring : m.rings) {
        int w = ring.width;
        if (m.width + 2 * w > 400 || m.height + 2 * w > 400) {
            error = m.file + ":" + std::to_string(ring.line) + ": the rings make the map too large";
            return false;
        }
        if (ring.side == "west" || ring.side == "east") {
            for (int row = 0; row < m.height; row++) {
                std::string cells;
                for (int i = 0; i < w; i++)
                    cells += ring_symbol(m, ring, ring.side == "west" ? -1 - i : m.width + i, row);
                if (ring.side == "west")
                    m.grid[row] = std::string(cells.rbegin(), cells.rend()) + m.grid[row];
                else
                    m.grid[row] += cells;
            }
            if (ring.side == "west") {
                m.ring_west += w;
                for (SourceSpot &s : m.spots)
                    s.col += w;
                for (SourceItem &it : m.items)
                    it.col += w;
            }
            m.width += w;
        } else {
            std::vector<std::string> rows;
            for (int i = 0; i < w; i++) {
                std::string cells;
                int row = ring.side == "north" ? -w + i : m.height + i;
                for (int col = 0; col < m.width; col++)
                    cells += ring_symbol(m, ring, col, row);
                rows.push_back(cells);
            }
            if (ring.side == "north") {
                m.grid.insert(m.grid.begin(), rows.begin(), rows.end());
                m.ring_north += w;
                for (SourceSpot &s : m.spots)
                    s.row += w;
                for (SourceItem &it : m.items)
                    it.row += w;
            } else {
                m.grid.insert(m.grid.end(), rows.begin(), rows.end());
            }
            m.height += w;
        }
    }
    return true;
}

// "ring SIDE WIDTH SYMBOLS...": scenery around the grid.
bool parse_ring_line(Reader &r, std::istringstream &in, MapSource &out)
{
    SourceRing ring;
    std::string w;
    ring.line = r.line;
    if (!(in >> ring.side >> w) || !parse_int(w, ring.width) || ring.width < 1 || ring.width > 40 ||
        (ring.side != "north" && ring.side != "south" && ring.side != "west" && ring.side != "east"))
        return r.fail("ring is written: ring north|south|west|east WIDTH SYMBOLS...");
    std::string symbols;
    while (in >> symbols)
        ring.symbols += symbols;
    if (ring.symbols.empty())
        return r.fail("a ring needs the symbols of its cells");
    out.rings.push_back(ring);
    return true;
}

// "monsters KIND...": the map's demons.
bool parse_monsters_line(Reader &r, std::istringstream &in, MapSource &out)
{
    out.monsters_line = r.line;
    std::string k;
    while (in >> k) {
        int kind;
        if (!parse_int(k, kind) || kind < 1 || kind > 15)
            return r.fail("monster kinds are 1 to 15, not \"" + k + "\"");
        out.monsters.push_back(kind);
    }
    return true;
}

// One line outside the grid, its first word read; false after a message.
bool parse_line(Reader &r, const std::string &word, std::istringstream &in, const std::string &raw, MapSource &out,
                bool &in_grid, bool grid_done)
{
    if (word == "map") {
        std::string number;
        if (!(in >> number) || !parse_int(number, out.number) || out.number < 1 || out.number > 999)
            return r.fail("map needs its number, 1 to 999");
        std::string rest;
        std::getline(in, rest);
        size_t a = rest.find('"'), b = rest.rfind('"');
        if (a != std::string::npos && b > a)
            out.title = rest.substr(a + 1, b - a - 1);
    } else if (word == "sun") {
        std::string v[3];
        for (auto &s : v)
            in >> s;
        for (int i = 0; i < 3; i++)
            if (!parse_float(v[i], out.sun[i]))
                return r.fail("sun needs three numbers");
        float len = std::sqrt(out.sun[0] * out.sun[0] + out.sun[1] * out.sun[1] + out.sun[2] * out.sun[2]);
        if (len < 1e-3f || out.sun[1] <= 0)
            return r.fail("the sun must stand above the horizon");
        for (float &s : out.sun)
            s /= len;
    } else if (word == "cell") {
        return parse_cell(r, in, raw, out);
    } else if (word == "grid") {
        if (grid_done)
            return r.fail("a map has one grid");
        in_grid = true;
    } else if (word == "spot") {
        SourceSpot s;
        std::string c, w;
        s.line = r.line;
        if (!(in >> s.name >> c >> w) || !parse_int(c, s.col) || !parse_int(w, s.row))
            return r.fail("spot is written: spot NAME COLUMN ROW");
        for (const SourceSpot &other : out.spots)
            if (other.name == s.name)
                return r.fail("spot \"" + s.name + "\" is defined twice");
        out.spots.push_back(s);
    } else if (word == "item") {
        SourceItem it;
        std::string name, c, w;
        it.line = r.line;
        if (!(in >> name >> c >> w) || !parse_int(c, it.col) || !parse_int(w, it.row))
            return r.fail("item is written: item TYPE COLUMN ROW");
        it.type = item_type_from_name(name);
        if (it.type < 0)
            return r.fail("unknown item \"" + name + "\" (heart, key1..key5, gem1..gem4)");
        out.items.push_back(it);
    } else if (word == "ring") {
        return parse_ring_line(r, in, out);
    } else if (word == "monsters") {
        return parse_monsters_line(r, in, out);
    } else {
        return r.fail("unknown line: " + raw);
    }
    return true;
}

// The grid read: rows padded to the widest, rings added, spots and items of cells placed.
bool finish_map_source(const std::string &file, MapSource &out, std::string &error)
{
    out.height = (int)out.grid.size();
    for (std::string &row : out.grid)
        row.resize(out.width, ' ');
    if (!add_rings(out, error))
        return false;
    if (!out.legend.count(' ')) {
        CellStyle space;
        space.symbol = ' ';
        space.is_void = true;
        out.legend[' '] = space;
    }
    for (int row = 0; row < out.height; row++)
        for (int col = 0; col < out.width; col++) {
            auto it = out.legend.find(out.grid[row][col]);
            if (it == out.legend.end()) {
                error = file + ": grid row " + std::to_string(row) + " column " + std::to_string(col) +
                        ": no cell is defined for '" + out.grid[row][col] + "'";
                return false;
            }
            const CellStyle &st = it->second;
            if (!st.spot.empty()) {
                for (const SourceSpot &other : out.spots)
                    if (other.name == st.spot) {
                        error = file + ":" + std::to_string(st.line) + ": spot \"" + st.spot +
                                "\" is placed more than once";
                        return false;
                    }
                out.spots.push_back(SourceSpot{st.spot, col, row, st.line});
            }
            if (st.item >= 0)
                out.items.push_back(SourceItem{st.item, col, row, st.line});
        }
    return true;
}

}  // namespace

bool parse_map_text(const std::string &file, const std::string &text, MapSource &out, std::string &error)
{
    out = MapSource();
    out.file = file;
    Reader r{file, error};
    std::istringstream lines(text);
    std::string raw;
    bool in_grid = false, grid_done = false;
    while (std::getline(lines, raw)) {
        r.line++;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        if (in_grid) {
            if (raw == "end") {
                in_grid = false;
                grid_done = true;
                continue;
            }
            out.grid.push_back(raw);
            if ((int)raw.size() > out.width)
                out.width = (int)raw.size();
            continue;
        }
        // Comments run from "#" to the end of the line; on a cell line the symbol itself may be
        // '#', and on a ring line the symbols may hold it, so there a comment starts with " # ".
        bool is_cell = raw.compare(0, 5, "cell ") == 0;
        bool is_ring = raw.compare(0, 5, "ring ") == 0;
        size_t hash = is_cell ? raw.find(" #", 6) : is_ring ? raw.find(" # ") : raw.find('#');
        std::string line = hash == std::string::npos ? raw : raw.substr(0, hash);
        std::istringstream in(line);
        std::string word;
        if (!(in >> word))
            continue;
        if (!parse_line(r, word, in, raw, out, in_grid, grid_done))
            return false;
    }
    if (in_grid)
        return r.fail("the grid has no \"end\"");
    if (out.number < 0) {
        r.line = 1;
        return r.fail("the source has no \"map NUMBER\" line");
    }
    if (out.grid.empty()) {
        r.line = 1;
        return r.fail("the source has no grid");
    }
    return finish_map_source(file, out, error);
}

bool parse_map_source(const std::string &path, MapSource &out, std::string &error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return parse_map_text(path, ss.str(), out, error);
}
