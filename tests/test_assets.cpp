// Asset loading: every file the forge writes is found, frames are normalised to 40 x 40 on
// the mask colour, the start values are set, and a missing or broken file stops start-up
// with its name.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "game/player.h"
#include "render/draw.h"
#include "render/transform.h"
#include "screens/assets.h"
#include "tests/crafted_pictures.h"
#include "tests/headless.h"

namespace {

// The pictures of the data forged beside the tests (not its maps), copied into the scratch
// folder, where each test may break them.
void copy_forged_data()
{
    std::string from = std::string(FORGED_DATA_DIR) + "/";
    std::string cmd = "mkdir data && cp -r '" + from + "anim' '" + from + "objects' '" + from + "textures' '" + from +
                      "logo.bmp' data/";
    ASSERT_EQ(system(cmd.c_str()), 0);
}

void free_bitmap(BITMAP *&b)
{
    if (b)
        destroy_bitmap(b);
    b = nullptr;
}

// load_assets runs once in the game; the tests undo it so that each starts clean.
void free_assets()
{
    for (auto &c : sprite_frames)
        for (auto &a : c)
            for (auto &f : a)
                for (BITMAP *&b : f)
                    free_bitmap(b);
    for (BITMAP *&b : object_bitmaps)
        free_bitmap(b);
    free_bitmap(height_map);
    free_bitmap(paint_scratch);
    free_bitmap(kind_map);
}

// Each test loads from its own copy of the forged data and frees what it loaded.
class LoadAssets : public ::testing::Test {
protected:
    void SetUp() override { copy_forged_data(); }
    void TearDown() override { free_assets(); }
    ScratchDir dir;
};

// A BMP of the given size: left half in the colour, right half the mask colour.
void write_half_image(const char *name, int w, int h, int r, int g, int b)
{
    BITMAP *img = create_bitmap_ex(24, w, h);
    clear_to_color(img, makecol24(255, 0, 255));
    rectfill(img, 0, 0, w / 2 - 1, h - 1, makecol24(r, g, b));
    PALETTE pal;
    ASSERT_EQ(save_bitmap(name, img, pal), 0);
    destroy_bitmap(img);
}

bool same_pixels(BITMAP *a, BITMAP *b)
{
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return false;
    return true;
}

}  // namespace

TEST_F(LoadAssets, LoadsEveryForgedFileAndSetsTheStartValues)
{
    inventory[3] = 1, inventory[19] = 4;
    player_health = 2, monsters_killed = 7, item_count = 12, texture_scroll = 9;

    load_assets();

    int mask = makecol(255, 0, 255);
    for (int c = 0; c <= LAST_DEMON_KIND; c++)
        for (int a = 0; a < SPRITE_ACTIONS; a++)
            for (int f = 0; f < SPRITE_FACINGS; f++)
                for (int i = 0; i < SPRITE_FRAMES; i++) {
                    BITMAP *b = sprite_frames[c][a][f][i];
                    ASSERT_NE(b, nullptr) << c << " " << a << " " << f << " " << i;
                    // 40 x 40 at 16 bits, a see-through corner.
                    EXPECT_EQ(std::vector<int>({b->w, b->h, bitmap_color_depth(b), getpixel(b, 0, 0)}),
                              std::vector<int>({40, 40, 16, mask})) << c << " " << a << " " << f << " " << i;
                }
    for (int c = 16; c < SPRITE_CHARACTERS; c++)
        EXPECT_EQ(sprite_frames[c][1][0][0], nullptr);
    // A standing monster shows its attack picture, in a bitmap of its own.
    EXPECT_NE(sprite_frames[7][0][2][3], sprite_frames[7][2][2][3]);
    EXPECT_TRUE(same_pixels(sprite_frames[7][0][2][3], sprite_frames[7][2][2][3]));

    for (int i = 0; i < OBJECT_FILES; i++) {
        ASSERT_NE(object_bitmaps[i], nullptr) << i;
        EXPECT_EQ(object_bitmaps[i]->w, 32);
    }
    for (int i = OBJECT_FILES; i < OBJECT_BITMAPS; i++)
        EXPECT_EQ(object_bitmaps[i], nullptr);

    for (BITMAP *b : {height_map, paint_scratch, kind_map}) {
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->w == 128 && b->h == 128);
    }
    // Created in the order height_map, paint_scratch, kind_map: three distinct bitmaps.
    EXPECT_NE(height_map, paint_scratch);
    EXPECT_NE(paint_scratch, kind_map);

    EXPECT_FLOAT_EQ(texture_scroll, 0.0f);
    for (int i = 0; i < INVENTORY_SLOTS; i++)
        EXPECT_EQ(inventory[i], 0);
    EXPECT_EQ(std::vector<int>({player_health, monsters_killed, item_count}), std::vector<int>({8, 0, 0}));
}

// Frames of any size are scaled to 40 x 40 with their mask kept. Demon files count kinds
// from zero and frames from one: kind 1, facing up, frame 0 walking; kind 15, facing right,
// frame 5 attacking; kind 6, facing left, frame 2 walking.
TEST_F(LoadAssets, ScalesFramesOfAnySizeAndCountsDemonKindsFromZeroAndFramesFromOne)
{
    write_half_image("data/anim/walkd1.bmp", 80, 80, 0, 255, 0);   // larger
    write_half_image("data/anim/atr6.bmp", 10, 10, 0, 0, 255);      // smaller
    write_half_image("data/anim/en0_0_1.bmp", 40, 40, 10, 200, 30);
    write_half_image("data/anim/enf14_3_6.bmp", 40, 40, 200, 200, 30);
    write_half_image("data/anim/en5_2_3.bmp", 40, 40, 30, 30, 200);
    load_assets();

    // Both halves end at column 19 / 20 of the 40 x 40 frame.
    BITMAP *big = sprite_frames[0][1][FACING_DOWN][0], *small = sprite_frames[0][2][FACING_RIGHT][5];
    const struct { BITMAP *frame; int x, y, r, g, b; } probes[] = {
        {big, 5, 20, 0, 255, 0}, {big, 19, 39, 0, 255, 0}, {big, 20, 0, 255, 0, 255}, {big, 39, 39, 255, 0, 255},
        {small, 0, 0, 0, 0, 255}, {small, 19, 39, 0, 0, 255}, {small, 20, 0, 255, 0, 255}};
    for (const auto &p : probes)
        EXPECT_EQ(getpixel(p.frame, p.x, p.y), makecol(p.r, p.g, p.b))
            << (p.frame == big ? "big " : "small ") << p.x << "," << p.y;

    EXPECT_EQ(getpixel(sprite_frames[1][1][FACING_UP][0], 2, 2), makecol(10, 200, 30));
    EXPECT_NE(getpixel(sprite_frames[1][1][FACING_DOWN][0], 2, 2), makecol(10, 200, 30));
    EXPECT_EQ(getpixel(sprite_frames[15][2][FACING_RIGHT][5], 2, 2), makecol(200, 200, 30));
    EXPECT_EQ(getpixel(sprite_frames[15][0][FACING_RIGHT][5], 2, 2), makecol(200, 200, 30));
    EXPECT_NE(getpixel(sprite_frames[15][1][FACING_RIGHT][5], 2, 2), makecol(200, 200, 30));
    EXPECT_EQ(getpixel(sprite_frames[6][1][FACING_LEFT][2], 2, 2), makecol(30, 30, 200));
}

// A frame or an object missing, or a frame that is no picture: start-up stops naming it.
TEST(LoadAssetsDeathTest, AMissingOrUnreadableFileStopsStartUpByName)
{
    const struct { const char *file, *text, *message; } cases[] = {
        {"data/anim/en3_2_4.bmp", nullptr, "No such file or directory"},
        {"data/objects/gem3.bmp", nullptr, "No such file or directory"},
        {"data/anim/standl2.bmp", "this is not a picture", "is not a plain Windows bitmap"}};
    ScratchDir dir;
    copy_forged_data();
    for (const auto &c : cases) {
        std::string good = dir.read(c.file);
        if (c.text)
            dir.write(c.file, c.text);
        else
            ASSERT_EQ(remove(c.file), 0);
        EXPECT_EXIT(load_assets(), ::testing::ExitedWithCode(1),
                    "^" + regex_literal(std::string("Can't load ") + c.file + ": " + c.message) + "\n$");
        dir.write(c.file, good);
    }

    // A link to a device was read until memory ran out, and a folder is no picture.
    alarm(60);
    const char *heart = "data/objects/heart.bmp";
    ASSERT_EQ(remove(heart), 0);
    ASSERT_EQ(symlink("/dev/zero", heart), 0);
    EXPECT_EXIT(load_assets(), ::testing::ExitedWithCode(1),
                "^Can't load data/objects/heart\\.bmp: is not a plain file \\(a device, a pipe or a socket\\)\n$");
    ASSERT_EQ(remove(heart), 0);
    ASSERT_EQ(mkdir(heart, 0755), 0);
    EXPECT_EXIT(load_assets(), ::testing::ExitedWithCode(1), "^Can't load data/objects/heart\\.bmp: is a folder, not a file\n$");
    alarm(0);
}

// A crafted size crashed the bitmap loader and a file cut short loaded with garbage: every
// picture is checked first, and start-up stops naming the file and what is wrong with it.
TEST(LoadAssetsDeathTest, ACraftedOrCutPictureStopsStartUpByName)
{
    ScratchDir dir;
    copy_forged_data();
    const char *files[3] = {"data/anim/walkd1.bmp", "data/anim/enf14_3_6.bmp", "data/objects/arrowr.bmp"};
    int n = 0;
    for (const CraftedPicture &c : crafted_pictures()) {
        if (!c.reason)
            continue;
        // Each case in one of the three kinds of picture, in turn.
        const char *file = files[n++ % 3];
        std::string good = dir.read(file);
        dir.write(file, c.bytes);
        EXPECT_EXIT(load_assets(), ::testing::ExitedWithCode(1),
                    "^" + regex_literal(std::string("Can't load ") + file + ": " + c.reason) + "\n$")
            << c.name;
        dir.write(file, good);
    }

    // A forged picture short of its last row.
    std::string whole = dir.read("data/objects/heart.bmp");
    dir.write("data/objects/heart.bmp", whole.substr(0, whole.size() - 96));
    EXPECT_EXIT(load_assets(), ::testing::ExitedWithCode(1), "^Can't load data/objects/heart\\.bmp: is cut short\n$");
}
