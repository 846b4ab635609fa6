// Pictures: the header check every picture passes before the bitmap loader sees it, and
// the writer that puts a picture on disk whole or not at all.
#include <allegro.h>
#include <cerrno>
#include <csignal>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/startup.h"
#include "shell/title.h"
#include "tests/crafted_pictures.h"
#include "tests/headless.h"
#include "world/picture.h"
#ifdef __SANITIZE_ADDRESS__
#endif

namespace {

bool file_exists(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

}  // namespace

TEST(Picture, CraftedHeadersAreRefusedWithTheirReason)
{
    ScratchDir dir;
    for (const CraftedPicture &c : crafted_pictures()) {
        dir.write("p.bmp", c.bytes);
        std::string why;
        PALETTE pal;
        BITMAP *b = load_picture("p.bmp", pal, why);
        if (c.reason) {
            EXPECT_EQ(b, nullptr) << c.name;
            EXPECT_EQ(why, c.reason) << c.name;
        } else {
            ASSERT_NE(b, nullptr) << c.name << ": " << why;
            EXPECT_TRUE(b->w == 40 && b->h == 40) << c.name;
        }
        if (b)
            destroy_bitmap(b);
    }
}

TEST(Picture, LimitsAreInclusiveAndTheLastByteCounts)
{
    PictureHeader h;
    // The check of a picture whose first `header` bytes are read, the file being `size` long.
    auto inspect = [&h](const std::string &bmp, size_t header, size_t size) {
        return inspect_picture((const unsigned char *)bmp.data(), header, size, PICTURE_SIDE_LIMIT, h);
    };
    // The largest picture allowed, complete: accepted. One pixel more either way: refused.
    std::string top = crafted_bmp(PICTURE_SIDE_LIMIT, 1, 8, 0, 54 + 1024);
    EXPECT_EQ(inspect(top, top.size(), top.size()), nullptr);
    EXPECT_EQ(h.row_bytes, PICTURE_SIDE_LIMIT);
    std::string wide = crafted_bmp(PICTURE_SIDE_LIMIT + 1, 1, 8, 0, 54 + 1024);
    EXPECT_STREQ(inspect(wide, wide.size(), wide.size()), "is too large");
    std::string tall = crafted_bmp(1, PICTURE_SIDE_LIMIT + 1, 8, 0, 54 + 1024);
    EXPECT_STREQ(inspect(tall, tall.size(), tall.size()), "is too large");

    // Rows are padded to four bytes: a 3-pixel 24-bit row takes 12, and one byte short is short.
    std::string padded = crafted_bmp(3, 5, 24);
    ASSERT_EQ(padded.size(), 54u + 12 * 5);
    EXPECT_EQ(inspect(padded, 54, padded.size()), nullptr);
    EXPECT_STREQ(inspect(padded, 54, padded.size() - 1), "is cut short");
    EXPECT_STREQ(inspect(padded, 54, padded.size() + 1), "is longer than its header says");
    // 1-bit rows: 33 pixels need 5 bytes, padded to 8.
    std::string mono = crafted_bmp(33, 2, 1, 0, 54 + 8);
    EXPECT_EQ(mono.size(), 54u + 8 + 16);
    EXPECT_EQ(inspect(mono, 54, mono.size()), nullptr);

    // Three colour masks sit right after the header, and the pixels right after them.
    std::string masks = crafted_bmp(4, 4, 16, 3, 66);
    EXPECT_EQ(inspect(masks, 54, masks.size()), nullptr);
    std::string masks_far = crafted_bmp(4, 4, 16, 3, 70);
    EXPECT_STREQ(inspect(masks_far, 54, masks_far.size()), "has its pixels at an unsupported place");
    // Colours come in whole entries of four bytes.
    std::string odd = crafted_bmp(4, 4, 8, 0, 56);
    EXPECT_STREQ(inspect(odd, 54, odd.size()), "has its pixels at an unsupported place");
}

TEST(Picture, EncodedPictureLoadsBackPixelForPixel)
{
    ScratchDir dir;
    BITMAP *b = create_bitmap(7, 5);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++)
            putpixel(b, x, y, makecol(x * 36, y * 60, 255 - x * 30));
    ASSERT_TRUE(save_picture("round.bmp", b, nullptr));
    EXPECT_FALSE(file_exists("round.tmp.bmp"));
    std::string why;
    PALETTE pal;
    BITMAP *back = load_picture("round.bmp", pal, why);
    ASSERT_NE(back, nullptr) << why;
    ASSERT_TRUE(back->w == 7 && back->h == 5);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 7; x++) {
            int p = getpixel(back, x, y), q = getpixel(b, x, y);
            int db = bitmap_color_depth(back), dq = bitmap_color_depth(b);
            EXPECT_EQ(std::vector<int>({getr_depth(db, p), getg_depth(db, p), getb_depth(db, p)}),
                      std::vector<int>({getr_depth(dq, q), getg_depth(dq, q), getb_depth(dq, q)})) << x << "," << y;
        }
    destroy_bitmap(back);
    destroy_bitmap(b);

    // A missing file names the system's reason.
    EXPECT_EQ(load_picture("absent.bmp", pal, why), nullptr);
    EXPECT_EQ(why, strerror(ENOENT));
}

TEST(Picture, AFailedWriteNamesTheCauseAndLeavesTheOldFile)
{
    ScratchDir dir;
    dir.write("keep.bmp", "the old picture");
    BITMAP *b = create_bitmap(64, 64);
    clear_to_color(b, makecol(10, 20, 30));

    // A file size limit stands in for a full disk: the write fails part way with a cause of
    // its own, which is what must be reported.
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    bool ok = save_picture("keep.bmp", b, nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(err, std::string("keep.bmp: cannot write: ") + strerror(EFBIG) + "\n");
    EXPECT_EQ(dir.read("keep.bmp"), "the old picture");
    EXPECT_FALSE(file_exists("keep.tmp.bmp"));

    // Where no file can be made at all, the reason is the system's too.
    err = stderr_of([b] { EXPECT_FALSE(save_picture("no/such/folder/x.bmp", b, nullptr)); });
    EXPECT_EQ(err, std::string("no/such/folder/x.bmp: cannot write: ") + strerror(ENOENT) + "\n");
    destroy_bitmap(b);
}

TEST(PictureDeathTest, ACraftedTitlePictureStopsStartUpByName)
{
    ScratchDir dir;
    mkdir("data", 0777);
    for (const CraftedPicture &c : crafted_pictures()) {
        if (!c.reason)
            continue;
        dir.write("data/logo.bmp", c.bytes);
        EXPECT_EXIT(show_title(), ::testing::ExitedWithCode(1),
                    "^" + regex_literal(std::string("Can't load data/logo.bmp: ") + c.reason) + "\n$")
            << c.name;
    }
}

// A title picture that is there but cannot be read stops start-up as a damaged one does;
// only a name with nothing at all behind it counts as left out.
TEST(PictureDeathTest, AnUnreadableTitlePictureIsRefusedLikeADamagedOne)
{
    ScratchDir dir;
    mkdir("data", 0777);
    const std::pair<void (*)(), const char *> cases[] = {
        {[] { symlink("logo.bmp", "data/logo.bmp"); }, "Too many levels of symbolic links"},
        {[] { symlink("missing.bmp", "data/logo.bmp"); }, "No such file or directory"},
        {[] { mkdir("data/logo.bmp", 0777); }, "is a folder, not a file"},
        {[] { mkfifo("data/logo.bmp", 0644); }, "is not a plain file"},
    };
    for (const auto &c : cases) {
        c.first();
        EXPECT_EXIT(show_title(), ::testing::ExitedWithCode(1), "^Can't load data/logo.bmp: " + regex_literal(c.second))
            << c.second;
        if (rmdir("data/logo.bmp") != 0)
            unlink("data/logo.bmp");
    }
    EXPECT_TRUE(picture_left_out("data/logo.bmp"));
}

// The file's bytes are let go once the picture is made: a large title picture must not keep
// its size in use for the rest of the game.
TEST(Picture, ALargePictureKeepsNoMemoryOnceLoaded)
{
    ScratchDir dir;
    dir.write("big.bmp", crafted_bmp(2048, 2048, 24));  // 12 MB
    long before = heap_in_use();
    std::string why;
    BITMAP *b = load_picture("big.bmp", palette, why);
    ASSERT_TRUE(b) << why;
    destroy_bitmap(b);
    EXPECT_LT(heap_in_use() - before, 1 << 20);
}

// The window's icon: 32 bits with alpha read back as written; any other picture refused.
TEST(Picture, TheWindowIconKeepsItsAlpha)
{
    ScratchDir dir;
    const std::vector<uint32_t> argb = {0x00102030, 0x2a203040, 0x54304050, 0x7e405060, 0xa8506070, 0xff607080};
    ASSERT_TRUE(save_argb_picture("icon.bmp", argb, 3, 2));
    std::vector<uint32_t> back;
    long w = 0, h = 0;
    std::string why;
    ASSERT_TRUE(load_argb_picture("icon.bmp", back, w, h, why)) << why;
    EXPECT_TRUE(w == 3 && h == 2 && back == argb);
    for (const auto &c : {std::make_pair(crafted_bmp(4, 4, 24), "is not a 32-bit picture with alpha"),
                          std::make_pair(crafted_bmp(ICON_SIDE_LIMIT + 1, 1, 32), "is too large")}) {
        dir.write("bad.bmp", c.first);
        EXPECT_FALSE(load_argb_picture("bad.bmp", back, w, h, why));
        EXPECT_EQ(why, c.second);
    }
}
