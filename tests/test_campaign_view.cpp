// The shipped campaign as the player sees it: the forged maps drawn by the game's own renderer
// from the places the hero can stand, the camera at rest on him and trailing him by a step,
// and with the hero pressed against walls and in mid-walk. Nothing beyond a map's edge may
// show in the world band, the hero must stay in sight, and every step must read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "render/transform.h"
#include "tests/gameplay_scene.h"
#include "tests/view_steps.h"
#include "tools/forge/forge.h"
#include "tools/forge/mapbuild.h"

namespace {

// At most this many standing places a map besides every cell just behind a tall post: the
// cells at the ends of every row and column of the walkable floor (where the edge of the
// world is nearest) and an even spread of the rest.
// The sanitizer build draws a few a map, for the memory checks; the plain build judges.
#if defined(__SANITIZE_ADDRESS__)
const size_t PLACES_PER_MAP = 12;
#else
const size_t PLACES_PER_MAP = 90;
#endif
// The share of the world band that may show the back buffer's clear colour, and the share of
// the hero's pixels that must be seen.
const double MAX_UNCOVERED = 0.01;
const double MIN_HERO_SEEN = 0.60;
// The least luminance (0 to 255) a step's rim must stand out by from what shows across its
// edge, on average over the frames that see it.
const double MIN_STEP_CONTRAST = 24;

// Pressed against a wall the hero stands this far from it (he stops within a floor-map pixel,
// an eighth of a unit, of its face: this is nearly the nearest); walking at full pace the
// camera trails him by this much (a step of 0.16 a frame against 9 % of the way a frame).
const float PRESSED_GAP = 0.01f;
const float CAMERA_LAG = STEP_PER_FRAME / 0.09f;
// Up to this many places a side for each: pressed against a wall there, walking that way;
// among them up to this many beside each kind of cell that shuts the way. Of a map's steps at
// least a share of one in this many must be read, lest the measure say nothing.
#if defined(__SANITIZE_ADDRESS__)
const size_t PLACES_PER_SIDE = 2, PLACES_PER_KIND = 1;
const int STEPS_SEEN_PARTS = 100;
#else
const size_t PLACES_PER_SIDE = 12, PLACES_PER_KIND = 4;
const int STEPS_SEEN_PARTS = 2;
#endif

struct Place {
    int col, row;
};

// The hero's steps toward the four facings.
const int FACING_STEP[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
const char *FACING_NAME[4] = {"north", "south", "west", "east"};

// Whether the hero can step from one cell into the next (gates counted open).
bool can_enter(const MapSource &m, int col, int row, int nc, int nr)
{
    return cell_is_floor(m, nc, nr) &&
           std::fabs(cell_style(m, nc, nr).height - cell_style(m, col, row).height) < FLOOR_REACH;
}

// How much stands in front of the hero at a place: the most that a cell beside him or up to
// two rows south of him rises above his floor, posts counted.
float cover_in_front(const MapSource &m, int col, int row)
{
    float own = cell_style(m, col, row).height, most = 0;
    for (int dr = 0; dr <= 2; dr++)
        for (int dc = -1; dc <= 1; dc++) {
            const CellStyle &s = cell_style(m, col + dc, row + dr);
            if ((dr || dc) && !s.is_void)
                most = std::max(most, s.height + (s.post_width > 0 ? s.post_height : 0) - own);
        }
    return most;
}

// Reachable cells whose way toward `facing` is shut (pressed) or open (walked): those with the
// most in front of the hero first, a few beside every kind of cell that shuts the way, since
// each stands its own height, then the rest up to PLACES_PER_SIDE.
std::vector<Place> places_toward(const Campaign &c, const MapSource &m, int facing, bool shut)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::map<char, std::vector<std::pair<float, int>>> by_kind;
    std::vector<std::pair<float, int>> all;
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            int nc = col + FACING_STEP[facing][0], nr = row + FACING_STEP[facing][1];
            if (!reach[row * m.width + col] || can_enter(m, col, row, nc, nr) != shut)
                continue;
            std::pair<float, int> place(-cover_in_front(m, col, row), row * m.width + col);
            all.push_back(place);
            if (shut)
                by_kind[cell_style(m, nc, nr).symbol].push_back(place);
        }
    std::vector<char> taken(m.width * m.height, 0);
    std::vector<Place> out;
    auto take = [&](std::vector<std::pair<float, int>> &from, size_t n) {
        std::sort(from.begin(), from.end());
        for (size_t i = 0; i < from.size() && n > 0; i++)
            if (!taken[from[i].second]) {
                taken[from[i].second] = 1;
                out.push_back({from[i].second % m.width, from[i].second / m.width});
                n--;
            }
    };
    // GRIMHOLD_VIEW_EVERY=1 takes them all: a slow run for a map maker at work.
    size_t budget = getenv("GRIMHOLD_VIEW_EVERY") ? all.size() : PLACES_PER_SIDE;
    for (auto &kind : by_kind)
        take(kind.second, PLACES_PER_KIND);
    take(all, budget > out.size() ? budget - out.size() : 0);
    return out;
}

// Velok's frames standing and walking in every facing, where the renderer takes them, for
// as long as the views are judged. Indexed as sprite_frames[0] is: action, facing, frame.
struct HeroFrames {
    static const int N = 2 * 4 * SPRITE_FRAMES;
    BITMAP *kept[N], *mine[N] = {};
    bool complete = true;
    BITMAP **slot(int i) { return &sprite_frames[0][i / (4 * SPRITE_FRAMES)][i / SPRITE_FRAMES % 4][i % SPRITE_FRAMES]; }
    HeroFrames()
    {
        for (int i = 0; i < N; i++) {
            std::string path = std::string("data/anim/") + (i < N / 2 ? "stand" : "walk") +
                               "udlr"[i / SPRITE_FRAMES % 4] + std::to_string(i % SPRITE_FRAMES + 1) + ".bmp";
            kept[i] = *slot(i);
            *slot(i) = mine[i] = load_bitmap(path.c_str(), NULL);
            complete = complete && mine[i];
        }
    }
    ~HeroFrames()
    {
        for (int i = 0; i < N; i++) {
            *slot(i) = kept[i];
            if (mine[i])
                destroy_bitmap(mine[i]);
        }
    }
};

// One judged view: where the hero stands and how, and where the camera is.
struct Pose {
    float x, y, z;
    int action, facing, frame;
    float camera_x, camera_z;
    bool whole_band;  // the band is judged too (at rest); else the hero alone
    Place place;
    std::string what;
};

std::vector<Place> standing_places(const Campaign &c, const MapSource &m)
{
    std::vector<char> reach = reachable_floor(c, m);
    std::vector<char> chosen(m.width * m.height, 0);
    std::vector<Place> ends, spread, behind;
    auto take = [&](std::vector<Place> &into, Place p) {
        if (!chosen[p.row * m.width + p.col]) {
            chosen[p.row * m.width + p.col] = 1;
            into.push_back(p);
        }
    };
    // Every cell just north of a post as tall as the hero, whatever the budget: there the
    // post stands between him and the camera.
    for (int row = 0; row + 1 < m.height; row++)
        for (int col = 0; col < m.width; col++) {
            const CellStyle &south = cell_style(m, col, row + 1);
            if (reach[row * m.width + col] && south.post_width > 0 && south.post_height >= 1.5f) {
                chosen[row * m.width + col] = 1;
                behind.push_back({col, row});
            }
        }
    // The first and last walkable cell of each line: every row, then every column.
    auto take_ends = [&](int lines, int length, Place (*at)(int line, int i)) {
        for (int line = 0; line < lines; line++) {
            int first = -1, last = -1;
            for (int i = 0; i < length; i++)
                if (reach[at(line, i).row * m.width + at(line, i).col]) {
                    last = i;
                    if (first < 0)
                        first = i;
                }
            if (first >= 0) {
                take(ends, at(line, first));
                take(ends, at(line, last));
            }
        }
    };
    take_ends(m.height, m.width, [](int row, int col) { return Place{col, row}; });
    take_ends(m.width, m.height, [](int col, int row) { return Place{col, row}; });
    for (int row = 0; row < m.height; row++)
        for (int col = 0; col < m.width; col++)
            if (reach[row * m.width + col] && !chosen[row * m.width + col])
                spread.push_back({col, row});
    std::vector<Place> out = behind;
    // Thin both lists evenly to the budget, the ends first.
    size_t room_for_ends = ends.size() < PLACES_PER_MAP * 2 / 3 ? ends.size() : PLACES_PER_MAP * 2 / 3;
    for (size_t i = 0; i < room_for_ends; i++)
        out.push_back(ends[i * ends.size() / room_for_ends]);
    size_t room = out.size() < PLACES_PER_MAP ? PLACES_PER_MAP - out.size() : 0;
    size_t n = spread.size() < room ? spread.size() : room;
    for (size_t i = 0; i < n; i++)
        out.push_back(spread[i * spread.size() / n]);
    return out;
}

class CampaignView : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_up_shipped_view();
        kept_band = hud_band_height;
        hud_band_height = screen_height / 5;
        player_anim_state = 0, player_facing = FACING_DOWN, player_anim_frame = 0;
        sentinel = makecol(255, 0, 255);
        footprint = create_bitmap(screen_width, screen_height);
        without_hero = create_bitmap(screen_width, screen_height);
        // The water's swell as the game sets it up.
        wave_center_x = 0, wave_center_z = 3, wave_amplitude = 0.2f, wave_radius = 20;
        texture_scroll = 0;
    }
    void TearDown() override
    {
        hud_band_height = kept_band;
        memset(inventory, 0, sizeof(inventory));
        destroy_bitmap(footprint);
        destroy_bitmap(without_hero);
        empty_scene();
    }

    // One frame as the main loop draws it, into the back buffer cleared to the sentinel;
    // without the hero when asked.
    void render(bool hero_drawn)
    {
        clear_to_color(back_buffer, sentinel);
        main_loop_pass(pass_step(STEP_TRANSFORM) | pass_step(STEP_ORDERING));
        if (!hero_drawn)
            for (int i = depth_low; i <= depth_high; i++)
                if (depth_buckets[i] == BUCKET_PLAYER)
                    depth_buckets[i] = 0;
        draw_world();
    }

    // The view from where the hero and the camera stand now: the share of the world band
    // left uncovered, and the share of the hero's own pixels that are seen.
    struct View {
        double uncovered, hero_seen;
    };
    View judge_view()
    {
        render(false);
        blit(back_buffer, without_hero, 0, 0, 0, 0, screen_width, screen_height);
        render(true);
        int band_top = hud_band_height + 1, band_bottom = screen_height - hud_band_height - 1;
        long uncovered = 0;
        for (int row = band_top; row <= band_bottom; row++)
            for (int col = 0; col < screen_width; col++)
                uncovered += getpixel(back_buffer, col, row) == sentinel;

        // The hero's own pixels where the frame stands: those that differ from the frame
        // without him are seen (a see-through crown over him still shows him).
        clear_to_color(footprint, sentinel);
        int size = (int)(48 * player_sprite_scale);
        BITMAP *frame = sprite_frames[0][player_anim_state][player_facing][(int)player_anim_frame % SPRITE_FRAMES];
        stretch_sprite(footprint, frame, player_screen_x, player_screen_y, size, size);
        long mine = 0, seen = 0;
        for (int row = player_screen_y; row < player_screen_y + size; row++)
            for (int col = player_screen_x; col < player_screen_x + size; col++) {
                if (col < 0 || col >= screen_width || row < 0 || row >= screen_height ||
                    getpixel(footprint, col, row) == sentinel)
                    continue;
                mine++;
                seen += row >= band_top && row <= band_bottom &&
                        getpixel(back_buffer, col, row) != getpixel(without_hero, col, row);
            }
        return {(double)uncovered / ((long)(band_bottom - band_top + 1) * screen_width),
                mine ? (double)seen / mine : 0};
    }

    // Every judged view of one map: from its standing places the camera on the hero and a
    // step behind him each way; pressed against a wall on every side, the camera on him and
    // still trailing him as he arrives; walking every way, the camera trailing.
    std::vector<Pose> poses(const Campaign &c, const MapSource &m)
    {
        const float trail[5][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        const char *trail_names[5] = {"on him", "a step west", "a step east", "a step north", "a step south"};
        std::vector<Pose> out;
        for (const Place &p : standing_places(c, m)) {
            float x, y, z;
            cell_center(m, p.col, p.row, &x, &y, &z);
            for (int t = 0; t < 5; t++)
                out.push_back({x, y, z, 0, FACING_DOWN, 0, x - trail[t][0], z - trail[t][1], true, p,
                               std::string("at rest, camera ") + trail_names[t]});
        }
        for (int f = 0; f < 4; f++) {
            float dx = (float)FACING_STEP[f][0], dz = (float)FACING_STEP[f][1];
            for (const Place &p : places_toward(c, m, f, true)) {
                float x, y, z;
                cell_center(m, p.col, p.row, &x, &y, &z);
                x += dx * (0.5f - PRESSED_GAP), z += dz * (0.5f - PRESSED_GAP);
                std::string what = std::string("pressed against the wall to the ") + FACING_NAME[f];
                out.push_back({x, y, z, 0, f, 0, x, z, false, p, what + ", camera on him"});
                out.push_back({x, y, z, 0, f, 0, x - dx * CAMERA_LAG, z - dz * CAMERA_LAG, false, p,
                               what + ", camera trailing"});
            }
            int n = 0;
            for (const Place &p : places_toward(c, m, f, false)) {
                float x, y, z;
                cell_center(m, p.col, p.row, &x, &y, &z);
                x += dx * 0.5f, z += dz * 0.5f;
                out.push_back({x, y, z, 1, f, n++ % SPRITE_FRAMES, x - dx * CAMERA_LAG, z - dz * CAMERA_LAG, false, p,
                               std::string("walking ") + FACING_NAME[f]});
            }
        }
        return out;
    }

    // Judges every view of one map; a failure names the first few views that fail. The steps
    // near the middle of the view are read from every frame.
    void check_map(const Campaign &c, const MapSource &m)
    {
        int failures = 0;
        std::string examples;
        double worst_uncovered = 0, worst_seen = 1;
        std::vector<Pose> views = poses(c, m);
        StepMeter steps(c, m);
        EXPECT_FALSE(views.empty()) << m.number;
        for (const Pose &v : views) {
            player_x = v.x, player_y = v.y, player_z = v.z;
            player_anim_state = (s16)v.action, player_facing = (s16)v.facing, player_anim_frame = (float)v.frame;
            camera_x = v.camera_x, camera_y = v.y, camera_z = v.camera_z;
            View seen = judge_view();
            steps.read(without_hero);
            double uncovered = v.whole_band ? seen.uncovered : 0;
            worst_uncovered = std::max(worst_uncovered, uncovered);
            worst_seen = std::min(worst_seen, seen.hero_seen);
            if (uncovered <= MAX_UNCOVERED && seen.hero_seen >= MIN_HERO_SEEN)
                continue;
            // GRIMHOLD_VIEW_SHOTS=DIR keeps the first failing frames of each map there.
            const char *shots = getenv("GRIMHOLD_VIEW_SHOTS");
            if (shots && failures < 6)
                save_bitmap((std::string(shots) + "/" + std::to_string(m.number) + "_" +
                             std::to_string(v.place.col - m.ring_west) + "_" + std::to_string(v.place.row - m.ring_north) +
                             "_" + std::to_string(failures) + ".bmp").c_str(), back_buffer, NULL);
            if (failures++ < 6) {
                char line[200];
                snprintf(line, sizeof(line), "\n  column %d row %d of the grid, %s: %.1f %% uncovered, %.0f %% of the hero seen",
                         v.place.col - m.ring_west, v.place.row - m.ring_north, v.what.c_str(), 100 * uncovered,
                         100 * seen.hero_seen);
                examples += line;
            }
        }
        EXPECT_EQ(failures, 0) << "map " << m.number << " (" << m.file << "): " << failures << " of "
                               << views.size() << " views fail; the worst shows " << 100 * worst_uncovered
                               << " % of the band uncovered and " << 100 * worst_seen << " % of the hero" << examples;
        HeightEdge weakest;
        float contrast = steps.weakest(&weakest);
        EXPECT_GE(steps.steps_seen() * STEPS_SEEN_PARTS, steps.steps()) << "map " << m.number << ": only "
                                                                       << steps.steps_seen() << " of " << steps.steps()
                                                                       << " steps seen near the middle of a view";
        if (contrast >= 0) {
            EXPECT_GE(contrast, MIN_STEP_CONTRAST) << "map " << m.number << ": " << steps.describe(weakest)
                                                   << " reads only " << contrast << " levels of luminance";
        }
        printf("map %d: %d of %d steps read, the weakest by %.0f levels; the hero %.0f %% seen at worst\n", m.number,
               steps.steps_seen(), steps.steps(), contrast, 100 * worst_seen);
    }

    BITMAP *footprint = nullptr, *without_hero = nullptr;
    s32 kept_band = 0;
    int sentinel = 0;
};

TEST_F(CampaignView, EveryMapFillsTheWorldBandAndShowsTheHero)
{
    HeroFrames frames;
    ASSERT_TRUE(frames.complete) << "data/anim: Velok's standing and walking frames, forged beside the tests";
    Campaign c = shipped_campaign();
    ASSERT_FALSE(c.maps.empty());
    // GRIMHOLD_VIEW_MAPS="101 102" judges those maps alone, for a map maker at work.
    const char *only = getenv("GRIMHOLD_VIEW_MAPS");
    for (const MapSource &m : c.maps) {
        if (only && std::string(" ") .append(only).append(" ").find(" " + std::to_string(m.number) + " ") == std::string::npos)
            continue;
        s16 kept_monsters = 0;
        ASSERT_NO_FATAL_FAILURE(enter_map_without_demons(m, &kept_monsters));
        map_cleared[m.number] = 1;
        check_map(c, m);
        monster_counts[m.number] = kept_monsters;
        map_cleared[m.number] = 0;
    }
}

// Whether a pixel shows the colour, lit or shaded: near the line from black through it.
bool wears(int pixel, Rgb colour)
{
    float p[3] = {(float)getr(pixel), (float)getg(pixel), (float)getb(pixel)};
    float c[3] = {(float)red_of(colour), (float)green_of(colour), (float)blue_of(colour)};
    float pc = p[0] * c[0] + p[1] * c[1] + p[2] * c[2], cc = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    float t = pc / cc, off = 0;
    for (int i = 0; i < 3; i++)
        off += (p[i] - t * c[i]) * (p[i] - t * c[i]);
    return t > 0.45f && t < 1.6f && off < 32 * 32;
}

// Every sealed floor of the campaign as the game draws it: shut, it shows the colour of the
// key or gem that opens it (violet for a floor that opens when the map is clean); once open
// it looks otherwise.
TEST_F(CampaignView, SealsShowWhatOpensThemAndChangeOnceOpen)
{
    Campaign c = shipped_campaign();
    BITMAP *shut = create_bitmap(screen_width, screen_height);
    int judged = 0;
    for (const MapSource &m : c.maps)
        for (int kind : {KIND_GATED_FLOOR, KIND_CLEARED_FLOOR}) {
            // The first such cell of the map, the camera on it.
            int at = -1;
            for (int i = 0; i < m.width * m.height && at < 0; i++)
                if (cell_style(m, i % m.width, i / m.width).kind == kind)
                    at = i;
            if (at < 0)
                continue;
            s16 kept_monsters = 0;
            ASSERT_NO_FATAL_FAILURE(enter_map_without_demons(m, &kept_monsters));
            monster_counts[m.number] = kept_monsters;
            cell_center(m, at % m.width, at / m.width, &camera_x, &camera_y, &camera_z);
            Rgb colour = kind == KIND_CLEARED_FLOOR ? CLEARED_RGB : item_colour(map_group);
            inventory[map_group] = 0;
            map_cleared[m.number] = 0;
            render(false);
            blit(back_buffer, shut, 0, 0, 0, 0, screen_width, screen_height);
            inventory[map_group] = 1;
            map_cleared[m.number] = 1;
            render(false);
            long changed = 0, coloured = 0;
            for (int row = hud_band_height + 1; row < screen_height - hud_band_height; row++)
                for (int col = 0; col < screen_width; col++)
                    if (getpixel(shut, col, row) != getpixel(back_buffer, col, row)) {
                        changed++;
                        coloured += wears(getpixel(shut, col, row), colour);
                    }
            map_cleared[m.number] = 0;
            judged++;
            EXPECT_GT(changed, 500) << "map " << m.number << " kind " << kind << ": opening changes too little";
            EXPECT_GT(coloured * 8, changed) << "map " << m.number << " kind " << kind << ": " << coloured << " of "
                                             << changed << " pixels that change show the colour of what opens it";
        }
    destroy_bitmap(shut);
    EXPECT_GE(judged, 20);
}

// The forged data directory beside the tests: its files together stay within what a
// download and an install should cost.
TEST(ForgedData, StaysUnder250Megabytes)
{
    long long bytes = 0;
    struct stat st;
    for (const std::string &path : files_under("data"))
        bytes += lstat(("data/" + path).c_str(), &st) == 0 ? st.st_size : 0;
    EXPECT_GT(bytes, 1000000) << "the forged data lies beside the tests";
    EXPECT_LT(bytes, 250LL * 1000 * 1000) << bytes << " bytes";
}

}  // namespace
