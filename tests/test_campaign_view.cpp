// The shipped campaign as the player sees it: the forged maps drawn by the game's own renderer
// from the places the hero can stand, the camera at rest on him and trailing him by a step.
// Nothing beyond a map's edge may show in the world band, and the hero must stay in sight.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "game/player.h"
#include "game/scene.h"
#include "render/camera.h"
#include "render/draw.h"
#include "render/ordering.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "tools/forge/mapbuild.h"
#include "world/mapfile.h"

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

struct Place {
    int col, row;
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
        set_screen_globals(640, 480);
        set_view_constants();
        init_camera();
        kept_band = hud_band_height;
        hud_band_height = screen_height / 5;
        kept_hero = sprite_frames[0][0][FACING_DOWN][0];
        hero = load_bitmap("data/anim/standd1.bmp", NULL);
        sprite_frames[0][0][FACING_DOWN][0] = hero;
        player_anim_state = 0;
        player_facing = FACING_DOWN;
        player_anim_frame = 0;
        sentinel = makecol(255, 0, 255);
        footprint = create_bitmap(screen_width, screen_height);
        without_hero = create_bitmap(screen_width, screen_height);
        memset(map_items, 0, sizeof(map_items));
        memcpy(kept_inventory, inventory, sizeof(inventory));
        for (int i = 0; i < INVENTORY_SLOTS; i++)
            inventory[i] = 1;
        // The water's swell as the game sets it up.
        wave_center_x = 0;
        wave_center_z = 3;
        wave_amplitude = 0.2f;
        wave_radius = 20;
        tick_frame_count = 0;
        frames_last_tick = 60;
        texture_scroll = 0;
        depth_range = DEPTH_BUCKETS - 1;
    }
    void TearDown() override
    {
        sprite_frames[0][0][FACING_DOWN][0] = kept_hero;
        hud_band_height = kept_band;
        memcpy(inventory, kept_inventory, sizeof(inventory));
        if (hero)
            destroy_bitmap(hero);
        destroy_bitmap(footprint);
        destroy_bitmap(without_hero);
        view_vertices.clear();
        view_triangles.clear();
        clear_depth_buckets();
    }

    // One frame as the main loop draws it, into the back buffer cleared to the sentinel;
    // without the hero when asked.
    void render(bool hero_drawn)
    {
        clear_to_color(back_buffer, sentinel);
        depth_low = (s16)depth_range;
        depth_high = 0;
        transform_scene();
        project_sprites();
        sort_scene();
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
        stretch_sprite(footprint, hero, player_screen_x, player_screen_y, size, size);
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

    // Every view of one map from its standing places, the camera on the hero and a step
    // behind him each way; a failure names the first few views that fail.
    void check_map(const Campaign &c, const MapSource &m)
    {
        const float trail[5][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        const char *trail_names[5] = {"on him", "a step west", "a step east", "a step north", "a step south"};
        int failures = 0;
        std::string examples;
        double worst_uncovered = 0, worst_seen = 1;
        std::vector<Place> places = standing_places(c, m);
        EXPECT_FALSE(places.empty()) << m.number;
        for (const Place &p : places) {
            float x, y, z;
            cell_center(m, p.col, p.row, &x, &y, &z);
            for (int t = 0; t < 5; t++) {
                player_x = x, player_y = y, player_z = z;
                camera_x = x - trail[t][0], camera_y = y, camera_z = z - trail[t][1];
                View v = judge_view();
                worst_uncovered = std::max(worst_uncovered, v.uncovered);
                worst_seen = std::min(worst_seen, v.hero_seen);
                if (v.uncovered <= MAX_UNCOVERED && v.hero_seen >= MIN_HERO_SEEN)
                    continue;
                // GRIMHOLD_VIEW_SHOTS=DIR keeps the first failing frames of each map there.
                const char *shots = getenv("GRIMHOLD_VIEW_SHOTS");
                if (shots && failures < 6)
                    save_bitmap((std::string(shots) + "/" + std::to_string(m.number) + "_" + std::to_string(p.col) +
                                 "_" + std::to_string(p.row) + "_" + std::to_string(t) + ".bmp").c_str(),
                                back_buffer, NULL);
                if (failures++ < 6) {
                    char line[160];
                    snprintf(line, sizeof(line),
                             "\n  column %d row %d of the grid, camera %s: %.1f %% uncovered, %.0f %% of the hero seen",
                             p.col - m.ring_west, p.row - m.ring_north, trail_names[t], 100 * v.uncovered,
                             100 * v.hero_seen);
                    examples += line;
                }
            }
        }
        EXPECT_EQ(failures, 0) << "map " << m.number << " (" << m.file << "): " << failures << " of "
                               << places.size() * 5 << " views fail; the worst shows " << 100 * worst_uncovered
                               << " % of the band uncovered and " << 100 * worst_seen << " % of the hero" << examples;
    }

    BITMAP *hero = nullptr, *kept_hero = nullptr;
    BITMAP *footprint = nullptr, *without_hero = nullptr;
    s32 kept_band = 0;
    s16 kept_inventory[INVENTORY_SLOTS];
    int sentinel = 0;
};

TEST_F(CampaignView, EveryMapFillsTheWorldBandAndShowsTheHero)
{
    ASSERT_NE(hero, nullptr) << "data/anim/standd1.bmp: the forged data lies beside the tests";
    Campaign c;
    std::string error;
    ASSERT_TRUE(load_campaign_sources(std::string(SOURCE_DIR) + "/content/maps", c, error)) << error;
    ASSERT_FALSE(c.maps.empty());
    for (const MapSource &m : c.maps) {
        ASSERT_TRUE(load_map(std::to_string(m.number).c_str())) << m.number;
        s16 kept_monsters = monster_counts[m.number];
        monster_counts[m.number] = 0;
        build_scene();
        ground_reached = 1;
        map_cleared[m.number] = 1;
        check_map(c, m);
        monster_counts[m.number] = kept_monsters;
        map_cleared[m.number] = 0;
    }
}

// The forged data directory beside the tests: its files together stay within what a
// download and an install should cost.
long long tree_size(const std::string &path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return 0;
    if (!S_ISDIR(st.st_mode))
        return st.st_size;
    long long total = 0;
    if (DIR *d = opendir(path.c_str())) {
        while (dirent *e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..")
                total += tree_size(path + "/" + name);
        }
        closedir(d);
    }
    return total;
}

TEST(ForgedData, StaysUnder250Megabytes)
{
    long long bytes = tree_size("data");
    EXPECT_GT(bytes, 1000000) << "the forged data lies beside the tests";
    EXPECT_LT(bytes, 250LL * 1000 * 1000) << bytes << " bytes";
}

}  // namespace
