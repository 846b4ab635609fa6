// Map sources: the human-readable text a map maker writes, one file per map.
//
//   map 901 "Sorvane Gate"
//   sun -0.45 0.8 0.4            direction toward the sun (optional)
//   cell . grass 0               symbol, surface, height, then options:
//   cell # wallstone 2 wall        wall          never floor (blocks)
//   cell ~ water -2 kind=1 trans=35 bed=sand:-3
//   cell | planks 0 kind=5 curtain=seal:6
//   cell A pad 0 exit=101:west   a trigger floor to spot "west" of map 101
//   cell S flagstone 0 spot=start  the spot named "start" lies on the one cell marked S
//   cell k flagstone 0 item=key1   a key 1 lies on every cell marked k
//   cell space void              nothing at all (the space character is void unless defined)
//   cell T roots 0 wall post=bark:2.2:0.45 crown=leaves:1.8:3.4    a tree: a trunk standing
//                                in the cell and a see-through crown over it (heights above
//                                the cell's top)
//   cell P bone 0 wall post=bone:2.4:0.7   a pillar (width optional, 0.5 by default)
//   cell _ mud 0.2 wall fence=wood  a low fence of posts and rails across the cell, along
//                                the line the fenced cells beside it make
//   cell ; leaves 0.3 wall hedge=leaves:0.6   a hedge filling the cell, this high above its top
//   cell b flagstone 3 rail=wood  a railing along the sides where the floor drops away (1.5
//                                or more down to the cell beside it, or nothing there)
//   cell y rock 1 kind=7 refuge   a spawn point a step above or below the floor around it,
//                                where its demons stay out of the hero's reach: a choice
//                                the map's comments must give the reason for
//   cell s tiles 0.5 stairs=0      three steps climbing from 0 at the cell's south edge
//                                to its height at the north edge
//   grid                         then one line per row, ended by "end"
//   spot start 4 7               column, row (start = where the game starts on this map;
//   spot gate 10 3               gate = arrival through the gem gate; any other name is
//                                an arrival point that exits of other maps lead to)
//   item key1 12 5               heart, key1..key5, gem1..gem4 at a cell
//   monsters 1 1 2 3             the kinds of the map's demons
//   ring west 7 T T ^ .          seven columns of scenery west of the grid, each cell one of
//                                these symbols (repeat one to make it likelier); rings go
//                                around the grid in the order written, each outside the last,
//                                and spot and item lines keep counting from the grid as written
#pragma once

#include <map>
#include <string>
#include <vector>

struct CellStyle {
    char symbol = 0;
    bool is_void = false;
    std::string surface;        // top face
    std::string side_surface;   // the faces down to lower neighbours
    float height = 0;
    int kind = 0;               // triangle kind of the top face (a row of floor_kinds)
    bool blocking = false;      // top is never floor
    bool refuge = false;        // a spawn point set off the floor's level on purpose
    int transparency = 0;
    std::string exit_map;       // trigger: destination map number (text) ...
    std::string exit_spot;      // ... and the spot there
    int curtain_kind = 0;       // 4 or 6: a see-through-when-open curtain over the cell
    std::string curtain_surface;
    bool has_bed = false;       // a floor seen through a translucent top
    std::string bed_surface;
    float bed_height = 0;
    std::string spot;           // the named spot lies on this cell (the symbol is used once)
    std::string post_surface;   // scenery: a square post in the middle of the cell ...
    float post_height = 0;      // ... this high above the top ...
    float post_width = 0;       // ... and this wide (0: no post)
    std::string crown_surface;  // a see-through crown over the cell (a tree's leaves) ...
    float crown_bottom = 0, crown_top = 0;  // ... between these heights above the top
    std::string fence_surface;  // a low fence of posts and rails along the fenced cells' line
    std::string hedge_surface;  // a hedge filling the cell ...
    float hedge_height = 0;     // ... this high above the top
    std::string rail_surface;   // a railing along the sides where the floor drops away
    bool has_stairs = false;    // the top climbs in three steps from stairs_low (south)
    float stairs_low = 0;       // to the height (north)
    int item = -1;              // an item lies on every cell with this symbol
    int line = 0;
};

struct SourceSpot {
    std::string name;
    int col = 0, row = 0;
    int line = 0;
};

struct SourceItem {
    int type = 0;
    int col = 0, row = 0;
    int line = 0;
};

// A band of scenery laid around the grid: its cells are picked from the symbols.
struct SourceRing {
    std::string side;
    int width = 0;
    std::string symbols;
    int line = 0;
};

struct MapSource {
    std::string file;
    int number = -1;
    std::string title;
    float sun[3] = {-0.45f, 0.8f, 0.4f};
    std::map<char, CellStyle> legend;
    std::vector<std::string> grid;  // rows, padded to the same width with spaces
    int width = 0, height = 0;
    std::vector<SourceSpot> spots;
    std::vector<SourceItem> items;
    std::vector<int> monsters;
    int monsters_line = 0;
    std::vector<SourceRing> rings;
    int ring_west = 0, ring_north = 0;  // where the grid as written starts, inside the rings
};

// Parses one source. On failure returns false with "file:line: what" in error.
bool parse_map_source(const std::string &path, MapSource &out, std::string &error);
bool parse_map_text(const std::string &file, const std::string &text, MapSource &out, std::string &error);

// Item type from its source name (heart, key1..key5, gem1..gem4); -1 when unknown.
int item_type_from_name(const std::string &name);
const char *item_type_name(int type);
