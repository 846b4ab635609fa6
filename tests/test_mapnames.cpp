// Every map a place of its own: the names table, the name on screen after an arrival, the
// name on the ground by every arrival of the shipped campaign, and neighbours that differ.
#include <climits>
#include <cstring>
#include <unistd.h>

#include "screens/mapname.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/inscriptions.h"
#include "tools/forge/regions.h"
#include "world/names.h"

namespace mapnames_test {

const char *const names_path = "data/names.dat";

bool load_names_quietly(std::string *err = nullptr)
{
    bool ok = false;
    std::string said = stderr_of([&] { ok = load_map_names(); });
    if (err)
        *err = said;
    return ok;
}

// The bottom band's rows where the name goes, as a mask of lit pixels.
std::vector<char> name_rows()
{
    std::vector<char> lit;
    for (int y = map_name_top(); y < map_name_top() + 8; y++)
        for (int x = 0; x < screen_width; x++)
            lit.push_back(getpixel(back_buffer, x, y) != 0);
    return lit;
}

// The same rows with only `text` written where the name goes.
std::vector<char> rows_showing(const char *text)
{
    clear_to_color(back_buffer, 0);
    textout_ex(back_buffer, font, text, screen_half_width - 4 * (int)strlen(text), map_name_top(),
               makecol(255, 255, 255), -1);
    return name_rows();
}

}  // namespace mapnames_test

using namespace mapnames_test;

TEST(MapNames, TheTableReadsBackAndADamagedOneIsRefusedByName)
{
    ScratchDir dir;
    mkdir("data", 0755);
    memset(map_names, 0, sizeof(map_names));
    strcpy(map_names[901], "Sorvane Gate");
    strcpy(map_names[0], "Zero");
    strcpy(map_names[999], "A Name Of Exactly Forty Characters Long!");
    ASSERT_TRUE(save_map_names());
    memset(map_names, 0, sizeof(map_names));
    ASSERT_TRUE(load_names_quietly());
    EXPECT_STREQ(map_name(901), "Sorvane Gate");
    EXPECT_STREQ(map_name(0), "Zero");
    EXPECT_STREQ(map_name(999), "A Name Of Exactly Forty Characters Long!");
    EXPECT_EQ(map_name(101), nullptr) << "a map without a name shows nothing";
    EXPECT_EQ(map_name(-1), nullptr);
    EXPECT_EQ(map_name(1000), nullptr);

    const std::pair<const char *, const char *> damaged[] = {
        {"1 1 1000 1 Far", "name 0 map is 1000"},
        {"1 1 -1 1 Low", "name 0 map is -1"},
        {"1 2 5 1 One 5 1 Two", "map 5 is named twice"},
        {"1 1 5 0", "word count is 0"},
        {"1 1 5 9 a b c d e f g h i", "word count is 9"},
        {"1 1 5 2 A_Name_Of_Exactly_Forty_Characters__ Long", "longer than 40 characters"},
        {"1 1 5 1 Caf\xc3\xa9", "byte 195"},
        {"1 1 5 1 Bell\x07", "byte 7"},
        {"1 2 5 1 Only", "the file ends"},
        {"1 1 5 2 One", "the file ends"},
        {"1 1 5 1 One Two", "text goes on"},
        {"1 1001", "the count is 1001"},
    };
    for (const auto &d : damaged) {
        dir.write(names_path, d.first);
        std::string err;
        EXPECT_FALSE(load_names_quietly(&err)) << d.first;
        EXPECT_NE(err.find("data/names.dat: refused"), std::string::npos) << err;
        EXPECT_NE(err.find(d.second), std::string::npos) << d.first << ": " << err;
        EXPECT_STREQ(map_name(901), "Sorvane Gate") << "a refused file leaves the table as it was";
    }
    unlink(names_path);
    EXPECT_FALSE(load_names_quietly());
    memset(map_names, 0, sizeof(map_names));
}

// The name shows from the arrival for four game seconds, counted per game second at any
// rate, in the bottom band as the font writes it; a map without a name shows nothing.
TEST(MapNames, TheNameShowsForFourGameSecondsAfterEveryArrival)
{
    ForgedWorld world(R"(map 901 "The Test Court"
cell # wall 2 wall
cell . grass 0
cell x grass 0 kind=7
cell S grass 0 spot=start
cell r grass 0 spot=back
cell G gemgate 0 kind=8
grid
##########################
#....................x....#
#.S......................#
#........................#
#........................#
#.....r..................#
#G.......................#
##########################
end
monsters 1
)");
    ASSERT_TRUE(world.forged);
    const std::vector<char> court = rows_showing("The Test Court"), nothing = rows_showing("");
    ASSERT_NE(court, nothing);
    EXPECT_GE(map_name_top(), screen_height - hud_band_height) << "below the world, clear of the HUD's texts";
    for (float rate : {1.0f, 0.1f}) {
        SCOPED_TRACE(testing::Message() << "time_scale " << rate);
        ASSERT_TRUE(world.enter_first_map());
        time_scale = rate;
        int shown = 0, passes = 0;
        const int expected = (int)std::lround(ARRIVAL_NAME_SECONDS * FRAMES_PER_GAME_SECOND / rate);
        for (; passes < expected + 10; passes++) {
            clear_to_color(back_buffer, 0);
            main_loop_pass(pass_step(STEP_TRIGGERS) | pass_step(STEP_HUD));
            std::vector<char> rows = name_rows();
            bool full = rows == court, none = rows == nothing;
            EXPECT_TRUE(full || none || passes >= expected - ARRIVAL_NAME_FADE_SECONDS * FRAMES_PER_GAME_SECOND / rate - 1) << passes;
            if (none)
                break;
            shown++;
        }
        // The fade's last texels round down to black a few hundredths of a second early.
        EXPECT_NEAR(shown * rate / FRAMES_PER_GAME_SECOND, ARRIVAL_NAME_SECONDS, 0.03) << shown << " passes";
        // The map behind the gate has no name: nothing shows there, however fresh the arrival.
        ASSERT_TRUE(change_map("906", triggers[GATE_RECORD + 906].e[1], triggers[GATE_RECORD + 906].e[2],
                               triggers[GATE_RECORD + 906].e[3]));
        clear_to_color(back_buffer, 0);
        main_loop_pass(pass_step(STEP_HUD));
        EXPECT_EQ(name_rows(), nothing);
        EXPECT_FLOAT_EQ(arrival_name_left, ARRIVAL_NAME_SECONDS);
    }
}

namespace mapnames_test {

std::string neighbour(int number, const char *floor, const char *second, const char *exit)
{
    std::string text = "map " + std::to_string(number) + "\ncell # wall 2 wall\ncell . " + floor +
                       " 0\ncell , " + second + " 0\ncell x " + floor + " 0 kind=7\ncell S " + floor +
                       " 0 spot=start\ncell a " + floor + " 0 spot=gate\ncell E trigger 0 exit=" + exit +
                       "\ngrid\n##############\n#S....,,.....#\n#.a..........#\n#...........x#\n#E...........#\n"
                       "##############\nend\nmonsters 1\n";
    return text;
}

std::vector<std::string> neighbour_problems(const char *second_floor)
{
    Campaign c;
    for (const std::string &text : {neighbour(901, "grass", "dirt", "906:start"),
                                     neighbour(906, second_floor, "dirt", "901:start")}) {
        MapSource m;
        std::string error;
        EXPECT_TRUE(parse_map_text("m.map", text, m, error)) << error;
        c.maps.push_back(m);
    }
    assign_exit_triggers(c);
    std::vector<std::string> problems;
    check_regions(c, problems);
    return problems;
}

// The forged map's horizontal tops by cell (column, row from the world's x and z): the
// picture each shows.
std::map<std::pair<int, int>, BITMAP *> forged_tops()
{
    std::map<std::pair<int, int>, BITMAP *> tops;
    for (int p = 0; p <= plane_last; p++) {
        const Plane &pl = planes[p];
        for (int t = 0; pl.active && t <= pl.last_triangle; t++) {
            float y[3], x = 1e9f, z = 1e9f;
            for (int k = 0; k < 3; k++) {
                const float *v = pl.vertices[pl.triangles[t].e[k]].e;
                y[k] = v[4];
                x = std::min(x, pl.origin_x + v[3]);
                z = std::min(z, pl.origin_z + v[5]);
            }
            if (y[0] == y[1] && y[1] == y[2] && !pl.triangles[t].e[TRIANGLE_WALL])
                tops[{(int)std::floor(x), (int)std::floor(z)}] = pl.triangle_shadow[t];
        }
    }
    return tops;
}

bool near_rgb(int pixel, int rgb)
{
    return std::abs(getr(pixel) - (rgb >> 16)) < 24 && std::abs(getg(pixel) - ((rgb >> 8) & 255)) < 24 &&
           std::abs(getb(pixel) - (rgb & 255)) < 24;
}

// Whether the cell's picture has a plaque's rim along its top, or down its west or east side.
enum RimSide { RIM_TOP, RIM_WEST, RIM_EAST };
bool has_rim(const std::map<std::pair<int, int>, BITMAP *> &tops, int col, int row, RimSide side)
{
    auto at = tops.find({col, row});
    bool all = at != tops.end();
    for (int i = 1; all && i < 15; i++)
        all = near_rgb(getpixel(at->second, side == RIM_TOP ? i : side == RIM_WEST ? 1 : 14, side == RIM_TOP ? 1 : i),
                       INSCRIPTION_RIM_RGB);
    return all;
}

// The text of the row of plaque cells starting at the cell given, read back through the font:
// each letter's box squeezed back to 8 x 8 and matched to the nearest glyph.
std::string read_plaque_row(const std::map<std::pair<int, int>, BITMAP *> &tops, int col, int row)
{
    std::vector<std::vector<char>> ink(16);
    for (int c = col; has_rim(tops, c, row, RIM_TOP) && (c == col || !has_rim(tops, c, row, RIM_WEST)); c++)
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                ink[y].push_back(near_rgb(getpixel(tops.at({c, row}), x, y), INSCRIPTION_LETTER_RGB));
    std::string best;
    int best_misses = INT_MAX;
    for (int offset = 0; offset < 8; offset++) {
        std::string text;
        int misses = 0;
        for (size_t at = offset; at + 8 <= ink[0].size(); at += 8) {
            char found = ' ';
            int fewest = INT_MAX;
            for (char ch = ' '; ch <= '~'; ch++) {
                unsigned char g[8][8];
                glyph_mask(ch, g);
                int miss = 0;
                for (int y = 0; y < 8; y++)
                    for (int x = 0; x < 8; x++)
                        miss += g[y][x] != ink[INSCRIPTION_LETTER_TOP + (y * INSCRIPTION_LETTER_HEIGHT + 7) / 8][at + x];
                if (miss < fewest)
                    fewest = miss, found = ch;
            }
            text += found;
            misses += fewest;
        }
        if (misses < best_misses)
            best_misses = misses, best = text;
    }
    size_t a = best.find_first_not_of(' '), b = best.find_last_not_of(' ');
    return a == std::string::npos ? "" : best.substr(a, b - a + 1);
}

// Whether a plaque within the view of the arrival at (x, z) reads as the name, its lines
// (rows of plaque cells one under the other) joined by spaces.
bool arrival_reads(const std::map<std::pair<int, int>, BITMAP *> &tops, float x, float z, const std::string &name)
{
    int col = (int)std::floor(x), row = (int)std::floor(z);
    for (int r = row - 4; r <= row + 4; r++)
        for (int c = col - 9; c <= col + 9; c++) {
            if (!has_rim(tops, c, r, RIM_WEST) || has_rim(tops, c, r - 1, RIM_WEST))
                continue;
            std::string text;
            for (int line = r; has_rim(tops, c, line, RIM_WEST); line++)
                text += (text.empty() ? "" : " ") + read_plaque_row(tops, c, line);
            if (text == name)
                return true;
        }
    return false;
}

}  // namespace mapnames_test

TEST(MapNames, TheForgeRefusesNeighboursWearingTheSameTwoFloorsMost)
{
    std::vector<std::string> alike = neighbour_problems("grass");
    ASSERT_EQ(alike.size(), 1u);
    for (const char *part : {"map 901", "map 906", "(dirt and grass)"})
        EXPECT_NE(alike[0].find(part), std::string::npos) << alike[0];
    EXPECT_TRUE(neighbour_problems("sand").empty()) << "one floor of their two shared is no fault";
}

// Every arrival the forged triggers name, on every map the forged names table names, has
// the name written on the ground within its view, as the font reads it back.
TEST(MapNames, EveryArrivalOfTheCampaignHasItsNameOnTheGround)
{
    char cwd[PATH_MAX];
    ASSERT_TRUE(getcwd(cwd, sizeof(cwd)));
    std::string data = FORGED_DATA_DIR;
    ASSERT_EQ(chdir(data.substr(0, data.rfind('/')).c_str()), 0);
    ASSERT_TRUE(load_triggers() && load_map_names());
    std::map<int, std::vector<int>> arrivals;  // map -> trigger records arriving on it
    for (int i = START_RECORD; i < MAX_TRIGGERS; i++)
        if (triggers[i].e[0] > 0)
            arrivals[(int)triggers[i].e[0]].push_back(i);
    for (int m = 0; m < MAP_NUMBERS; m++)
        if (map_name(m))
            arrivals[m];
    EXPECT_EQ(arrivals.size(), 24u);
    int checked = 0;
    for (const auto &entry : arrivals) {
        ASSERT_NE(map_name(entry.first), nullptr) << "map " << entry.first << " has no name";
        ASSERT_TRUE(load_map(std::to_string(entry.first).c_str()));
        auto tops = forged_tops();
        for (int record : entry.second) {
            const Trigger &t = triggers[record];
            EXPECT_TRUE(arrival_reads(tops, t.e[1], t.e[3], map_name(entry.first)))
                << "map " << entry.first << " record " << record << " at " << t.e[1] << ", " << t.e[3];
            checked++;
        }
    }
    EXPECT_GE(checked, 24 + 1 + 24);
    memset(triggers, 0, sizeof(triggers));
    memset(map_names, 0, sizeof(map_names));
    ASSERT_EQ(chdir(cwd), 0);
}
