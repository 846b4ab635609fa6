// The content forge: same bytes on every run, figures that sit in their frames, facings
// and animation frames that differ, objects and textures fit for their use.
#include <allegro.h>
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "screens/assets.h"
#include "tests/headless.h"
#include "tools/forge/forge.h"

namespace {

// Every file under a folder by its path from there, with its content.
std::map<std::string, std::string> contents_under(const std::string &root)
{
    std::map<std::string, std::string> out;
    for (const std::string &path : files_under(root))
        out[path] = file_text(root + "/" + path);
    return out;
}

struct Shape {
    int opaque = 0;
    int left = 99, right = -1, top = 99, bottom = -1;
};

bool see_through(BITMAP *b, int x, int y)
{
    return _getpixel32(b, x, y) == pixel32(MASK_RGB);
}

Shape shape_of(BITMAP *b)
{
    Shape s;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            if (!see_through(b, x, y)) {
                s.opaque++;
                s.left = std::min(s.left, x);
                s.right = std::max(s.right, x);
                s.top = std::min(s.top, y);
                s.bottom = std::max(s.bottom, y);
            }
    return s;
}

std::string pixels_of(BITMAP *b)
{
    std::string s;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++) {
            int p = _getpixel32(b, x, y);
            s.append((const char *)&p, sizeof(p));
        }
    return s;
}

// Velok is character 0, and stands, walks and shoots; the demons walk and attack.
BITMAP *frame_of(int who, int action, int facing, int frame)
{
    return who == 0 ? make_hero_frame(action, facing, frame) : make_demon_frame(who, action, facing, frame);
}
std::vector<int> actions_of(int who) { return who == 0 ? std::vector<int>{0, 1, 2} : std::vector<int>{1, 2}; }

}  // namespace

TEST(Forge, WritesTheSameBytesOnEveryRun)
{
    ScratchDir dir;
    ASSERT_TRUE(forge_images("first"));
    ASSERT_TRUE(forge_images("second"));

    std::map<std::string, std::string> a = contents_under(dir.path() + "/first"), b = contents_under(dir.path() + "/second");
    // 72 hero frames, 720 demon frames, 14 objects, the logo and the textures.
    EXPECT_EQ(a.size(), 72u + 720u + 14u + 1u + SURFACE_COUNT);
    ASSERT_EQ(a.size(), b.size());
    for (const auto &file : a) {
        ASSERT_TRUE(b.count(file.first)) << file.first;
        EXPECT_TRUE(file.second == b[file.first]) << file.first << " differs between runs";
        EXPECT_GT(file.second.size(), 54u) << file.first;
    }
    for (const char *name :
         {"anim/walkd1.bmp", "anim/en14_3_6.bmp", "anim/enf0_0_1.bmp", "logo.bmp", "textures/grass.bmp"})
        EXPECT_TRUE(a.count(name)) << name;
}

TEST(Forge, ReportsAFolderItCannotWrite)
{
    ScratchDir dir;
    dir.write("blocked", "a file where a folder should be");
    EXPECT_FALSE(forge_images("blocked/data"));
}

// Every frame of every figure stands whole in its frame: the bottom row is the ground line
// and no other edge is touched, so nothing is cut flat where the frame ends. The four
// facings differ; walking and attacking move, standing breathes.
TEST(Forge, FiguresStandWholeInFramesThatDiffer)
{
    for (int who = 0; who <= LAST_DEMON_KIND; who++) {
        for (int action : actions_of(who)) {
            std::set<std::string> facings;
            for (int facing = 0; facing < SPRITE_FACINGS; facing++) {
                std::set<std::string> frames;
                for (int frame = 0; frame < SPRITE_FRAMES; frame++) {
                    SCOPED_TRACE(::testing::Message() << "character " << who << " action " << action << " facing "
                                                      << facing << " frame " << frame);
                    BITMAP *b = frame_of(who, action, facing, frame);
                    ASSERT_TRUE(b->w == SPRITE_SIZE && b->h == SPRITE_SIZE);
                    int touching = 0;
                    for (int i = 0; i < 40; i++)
                        touching += !see_through(b, i, 0) + !see_through(b, 0, i) + !see_through(b, 39, i);
                    EXPECT_EQ(touching, 0);
                    // A sensible part of the frame, neither a speck nor a block, with its
                    // feet on the line where the game anchors the sprite.
                    Shape s = shape_of(b);
                    EXPECT_GT(s.opaque, 40 * 40 / 10);
                    EXPECT_LT(s.opaque, 40 * 40 * 3 / 4);
                    EXPECT_GE(s.bottom - s.top, 16);
                    EXPECT_GE(s.bottom, 35);
                    std::string p = pixels_of(b);
                    destroy_bitmap(b);
                    frames.insert(p);
                    if (frame == 0)
                        facings.insert(p);
                }
                EXPECT_GE(frames.size(), action == 0 ? 3u : 4u)
                    << "character " << who << " action " << action << " facing " << facing;
            }
            EXPECT_EQ(facings.size(), 4u) << "character " << who << " action " << action;
        }
    }
}

// Every object fits its 32-pixel slot of the inventory row, and no two keys or gems look
// alike: the row is all that tells the player which ones he holds.
TEST(Forge, ObjectsFitTheInventoryRowAndKeysAndGemsAreTellApart)
{
    std::set<std::string> keys_and_gems;
    for (int i = 0; i < OBJECT_FILES; i++) {
        BITMAP *b = make_object(i);
        EXPECT_TRUE(b->w == 32 && b->h == 32) << i;
        Shape s = shape_of(b);
        EXPECT_GT(s.opaque, 32 * 32 / 10) << i;
        EXPECT_TRUE(see_through(b, 0, 0) && see_through(b, 31, 31) && see_through(b, 31, 0)) << i;
        if (i >= ITEM_KEY_FIRST && i <= ITEM_GEM_LAST)
            keys_and_gems.insert(pixels_of(b));
        destroy_bitmap(b);
    }
    EXPECT_EQ(keys_and_gems.size(), 9u);
}

TEST(Forge, ArrowsPointTheirWay)
{
    // Up, down, left, right: the steel head lies that way from the red fletching.
    const int dirs[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (int a = 0; a < 4; a++) {
        BITMAP *b = make_object(ARROW_TYPE_BASE + a);
        double hx = 0, hy = 0, fx = 0, fy = 0;
        int hn = 0, fn = 0;
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++) {
                Rgb c = rgb_of_pixel32(_getpixel32(b, x, y));
                if (c == MASK_RGB)
                    continue;
                if (blue_of(c) > 190 && green_of(c) > 190) {
                    hx += x, hy += y, hn++;
                } else if (red_of(c) > 150 && green_of(c) < 80) {
                    fx += x, fy += y, fn++;
                }
            }
        ASSERT_GT(hn, 0) << a;
        ASSERT_GT(fn, 0) << a;
        double dx = hx / hn - fx / fn, dy = hy / hn - fy / fn;
        EXPECT_GT(dx * dirs[a][0] + dy * dirs[a][1], 15) << a;
        destroy_bitmap(b);
    }
}

// No texel of a surface may become the mask: the triangles are drawn masked, so it would
// be a hole in the floor. And no two surfaces are the same picture.
TEST(Forge, SurfacesAreSolidAndDistinct)
{
    std::set<std::string> seen;
    for (int s = 0; s < SURFACE_COUNT; s++) {
        BITMAP *b = make_surface(s);
        ASSERT_TRUE(b->w == SHADOW_CELL && b->h == SHADOW_CELL);
        seen.insert(pixels_of(b));
        for (int y = 0; y < SHADOW_CELL; y++)
            for (int x = 0; x < SHADOW_CELL; x++) {
                Rgb c = rgb_of_pixel32(_getpixel32(b, x, y));
                EXPECT_FALSE(red_of(c) >= 248 && green_of(c) < 8 && blue_of(c) >= 248) << surface_names[s];
            }
        destroy_bitmap(b);
    }
    EXPECT_EQ(seen.size(), (size_t)SURFACE_COUNT);
}

TEST(Forge, ColoursNearTheMaskAreMovedOffIt)
{
    BITMAP *b = create_bitmap_ex(32, 3, 1);
    _putpixel32(b, 0, 0, pixel32(MASK_RGB));
    _putpixel32(b, 1, 0, pixel32(rgb(250, 3, 251)));
    _putpixel32(b, 2, 0, pixel32(rgb(240, 3, 251)));
    keep_off_mask(b);
    EXPECT_EQ(rgb_of_pixel32(_getpixel32(b, 0, 0)), MASK_RGB);
    EXPECT_EQ(rgb_of_pixel32(_getpixel32(b, 1, 0)), rgb(250, 8, 251));
    EXPECT_EQ(rgb_of_pixel32(_getpixel32(b, 2, 0)), rgb(240, 3, 251));
    destroy_bitmap(b);
}

TEST(Forge, TheLogoFillsTheScreen)
{
    BITMAP *b = make_logo();
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->w == 640 && b->h == 480);
    // Drawn with draw_trans_sprite: no hole of the mask anywhere in it.
    EXPECT_EQ(shape_of(b).opaque, 640 * 480);
    destroy_bitmap(b);
}
