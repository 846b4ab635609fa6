// The program shell: screen globals, frame timing, the bevelled panel, the failure paths.
#include <allegro.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "screens/hud.h"
#include "shell/startup.h"
#include "shell/title.h"
#include "shell/video.h"
#include "tests/headless.h"

TEST(ScreenGlobals, OddWidthTruncatesTowardZero)
{
    set_screen_globals(641, 481);
    set_view_constants();
    EXPECT_EQ(screen_half_width, 320);
    EXPECT_EQ(screen_half_height, 240);
    EXPECT_EQ(view_y_shift, -24);  // -7692 / 320 = -24.03
    set_screen_globals(100, 100);
    set_view_constants();
    EXPECT_EQ(view_y_shift, -3);  // -1200 / 320 = -3.75
    set_screen_globals(640, 480);
    set_view_constants();
}

// Each case reads the manual clock and leaves the timing as it found it.
class FrameTiming : public ::testing::Test {
protected:
    void SetUp() override { use_manual_clock = true; }
    FrameTimingKept keep;
};

TEST_F(FrameTiming, FirstCallEndsATickWithOneFrameAndAFixedScaleOverridesIt)
{
    manual_clock = 5000;
    tick_frame_count = 0;
    next_tick_time = 0;
    present_frame(0);
    EXPECT_TRUE(frames_last_tick == 1 && tick_frame_count == 0);
    EXPECT_FLOAT_EQ(time_scale, 6.0f);
    EXPECT_DOUBLE_EQ(next_tick_time, 5100);

    manual_clock = 5200;
    fixed_time_scale = 1.0f;
    present_frame(0);
    EXPECT_EQ(frames_last_tick, 1);
    EXPECT_FLOAT_EQ(time_scale, 1.0f);
}

TEST_F(FrameTiming, ScaleKeepsItsFractionAtAnyRate)
{
    const int frames[] = {1, 2, 4, 6, 7, 12, 60, 600};
    for (int n : frames) {
        manual_clock = 10000;
        next_tick_time = 10000;
        tick_frame_count = 0;
        for (int i = 0; i < n - 1; i++)
            present_frame(0);  // a reading equal to the deadline does not end the tick
        EXPECT_EQ(tick_frame_count, n - 1);
        manual_clock = 10000.5;
        present_frame(0);
        EXPECT_EQ(frames_last_tick, n);
        EXPECT_FLOAT_EQ(time_scale, 6.0f / n) << n << " frames";
        EXPECT_GT(time_scale, 0.0f);
    }
}

TEST_F(FrameTiming, ManyFramesInOneTickNeverOverflow)
{
    manual_clock = 1;
    next_tick_time = 2;
    tick_frame_count = 32766;
    present_frame(0);
    present_frame(0);
    EXPECT_EQ(tick_frame_count, 32767);
    manual_clock = 3;
    present_frame(0);
    EXPECT_EQ(frames_last_tick, 32767);
    EXPECT_GT(time_scale, 0.0f);
}

TEST_F(FrameTiming, PresentCopiesTheBackBufferOnlyWhenAsked)
{
    clear_to_color(back_buffer, makecol(10, 200, 30));
    clear_bitmap(screen);
    present_frame(0x100);  // only the low 8 bits count
    EXPECT_EQ(getpixel(screen, 5, 5), 0);
    present_frame(0x101);
    EXPECT_EQ(getpixel(screen, 5, 5), makecol(10, 200, 30));
    EXPECT_EQ(getpixel(screen, 639, 479), makecol(10, 200, 30));
    clear_bitmap(back_buffer);
    clear_bitmap(screen);
}

namespace {
int fill_of_panels() { return makecol(50, 97, 153); }
int panel_edge() { return makecol(33, 64, 102); }
}  // namespace

// The story's panel stays within its rectangle and fills it (a panel drawn a pixel too far
// would spill over the picture under it).
TEST(Panel, StoryPanelStaysInsideItsRectangle)
{
    clear_bitmap(back_buffer);
    draw_panel(0, 160, 204, 480, 276);
    for (int x = 150; x <= 490; x++)
        for (int y = 195; y <= 285; y++)
            ASSERT_TRUE((x >= 160 && x <= 480 && y >= 204 && y <= 276) || getpixel(back_buffer, x, y) == 0)
                << x << "," << y;
    EXPECT_EQ(getpixel(back_buffer, 320, 240), fill_of_panels());
}

TEST(Panel, StyleOneHasAGreyEdgeAndStyleFourIsUpsideDown)
{
    clear_bitmap(back_buffer);
    draw_panel(1, 10, 10, 100, 50);
    EXPECT_EQ(getpixel(back_buffer, 10, 10), makecol(192, 192, 192));
    EXPECT_EQ(getpixel(back_buffer, 50, 30), fill_of_panels());

    clear_bitmap(back_buffer);
    draw_panel(4, 10, 10, 100, 50);
    int edge = panel_edge();
    EXPECT_EQ(getpixel(back_buffer, 100, 10), edge);  // top line runs the full width
    EXPECT_EQ(getpixel(back_buffer, 94, 50), edge);   // bottom line stops at x2 - 6
    EXPECT_EQ(getpixel(back_buffer, 95, 50), 0);
    for (int i = 0; i <= 6; i++) {
        EXPECT_EQ(getpixel(back_buffer, 94 + i, 50 - i), edge) << i;
        EXPECT_TRUE(i == 0 || getpixel(back_buffer, 94 + i, 50 - i + 1) == 0) << i;
    }
    clear_bitmap(back_buffer);
}

static void allocate_a_two_gigabyte_back_buffer()
{
    dup2(2, 1);  // the message goes to standard output
#ifndef __SANITIZE_ADDRESS__
    // Refused by an address-space limit; the sanitizer build sets an allocation limit instead.
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = 1u << 30;
    setrlimit(RLIMIT_AS, &limit);
#endif
    set_color_depth(32);
    set_screen_globals(23000, 23000);
    create_video_bitmaps();
}

TEST(VideoFailure, BitmapThatCannotBeCreatedEndsTheProgram)
{
    EXPECT_EXIT(allocate_a_two_gigabyte_back_buffer(), ::testing::ExitedWithCode(1),
                "Error while allocating bitmaps!");
}

static std::string working_folder()
{
    char cwd[4096];
    return getcwd(cwd, sizeof(cwd)) ? cwd : "(unknown)";
}

TEST(DataDirectory, PlacesBesideTheProgramThenTheSharedTree)
{
    const struct { const char *program, *beside, *shared; } cases[] = {
        {"/usr/games/grimhold", "/usr/games", "/usr/share/games/grimhold"},
        {"/grimhold", "/", "/share/games/grimhold"},
        {"games/grimhold", "games", "./share/games/grimhold"},
        {"a/../grimhold", "a/..", "a/../../share/games/grimhold"},
        {"grimhold", "", ""}};
    for (const auto &c : cases) {
        std::string places[2];
        data_directory_places(c.program, places);
        EXPECT_EQ(places[0], c.beside) << c.program;
        EXPECT_EQ(places[1], c.shared) << c.program;
    }
}

TEST(DataDirectory, FoundInTheInstalledTreeOrBesideTheProgram)
{
    ScratchDir scratch;
    // In neither place, or with no folder known: the working folder's data is no stand-in.
    scratch.write("data/maps/readme", "x");
    scratch.write("tree/games/grimhold", "");
    EXPECT_FALSE(enter_data_directory(scratch.path() + "/tree/games/grimhold"));
    EXPECT_FALSE(enter_data_directory("grimhold"));
    EXPECT_EQ(working_folder(), scratch.path());
    scratch.write("tree/share/games/grimhold/data/maps/readme", "x");
    EXPECT_TRUE(enter_data_directory(scratch.path() + "/tree/games/grimhold"));
    EXPECT_EQ(working_folder(), scratch.path() + "/tree/share/games/grimhold");

    // Data beside the program comes first.
    scratch.write("tree/games/data/maps/readme", "x");
    EXPECT_TRUE(enter_data_directory(scratch.path() + "/tree/games/grimhold"));
    EXPECT_EQ(working_folder(), scratch.path() + "/tree/games");
}

TEST(DataDirectory, NotAFolderBesideTheProgramIsPassedOver)
{
    ScratchDir scratch;
    scratch.write("file/games/data", "not a folder");
    scratch.write("file/games/grimhold", "");
    scratch.write("dangling/games/grimhold", "");
    ASSERT_EQ(symlink("nowhere", (scratch.path() + "/dangling/games/data").c_str()), 0);
    scratch.write("loop/games/grimhold", "");
    ASSERT_EQ(symlink("data", (scratch.path() + "/loop/games/data").c_str()), 0);
    scratch.write("linked/games/grimhold", "");
    scratch.write("linked/real/maps/readme", "x");
    ASSERT_EQ(symlink("../real", (scratch.path() + "/linked/games/data").c_str()), 0);
    scratch.write("data/maps/readme", "the working folder's own data");

    for (const char *tree : {"file", "dangling", "loop"}) {
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
        EXPECT_FALSE(enter_data_directory(scratch.path() + "/" + tree + "/games/grimhold")) << tree;
        EXPECT_EQ(working_folder(), scratch.path()) << tree;
        // The installed tree is still found behind it.
        scratch.write(std::string(tree) + "/share/games/grimhold/data/maps/readme", "x");
        EXPECT_TRUE(enter_data_directory(scratch.path() + "/" + tree + "/games/grimhold")) << tree;
        EXPECT_EQ(working_folder(), scratch.path() + "/" + tree + "/share/games/grimhold") << tree;
    }
    // A link to a folder is a folder.
    EXPECT_TRUE(enter_data_directory(scratch.path() + "/linked/games/grimhold"));
}

static void start_without_data(const std::string &program)
{
    dup2(2, 1);  // "went on" goes where the message goes: standard error, which is matched
    require_data_directory(program);
    printf("went on\n");
    fflush(stdout);
    exit(0);
}

TEST(DataDirectory, NeitherPlaceEndsTheProgramNamingBoth)
{
    ScratchDir scratch;
    scratch.write("data/maps/readme", "the working folder's own data");
    scratch.write("games/grimhold", "");
    std::string games = scratch.path() + "/games";
    EXPECT_EXIT(start_without_data(games + "/grimhold"), ::testing::ExitedWithCode(1),
                "^No game data: neither " + games + "/data nor " + scratch.path() +
                    "/share/games/grimhold/data is a folder the game can read\n$");
    // A program whose folder is unknown does not take the working folder for it.
    EXPECT_EXIT(start_without_data("grimhold"), ::testing::ExitedWithCode(1),
                "^No game data: the folder of grimhold is unknown\n$");
    scratch.write("share/games/grimhold/data/maps/readme", "x");
    EXPECT_EXIT(start_without_data(games + "/grimhold"), ::testing::ExitedWithCode(0), "^went on\n$");
}

// A waiting screen run in a child process, where the close button is pressed as the window
// manager's thread presses it (a signal sets the same word): the child's exit status, what
// `screen` returned, or -1 when the wait had not ended 10 s later.
static int status_after_close(int (*screen)())
{
    pid_t child = fork();
    if (child == 0) {
        signal(SIGUSR1, [](int) { close_button_pressed = 1; });
        _exit(screen());
    }
    usleep(200 * 1000);
    kill(child, SIGUSR1);
    int status = 0, tries = 0;
    while (waitpid(child, &status, WNOHANG) == 0 && ++tries < 1000)
        usleep(10 * 1000);
    if (tries == 1000)
        kill(child, SIGKILL), waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CloseButton, EndsTheStoryAndTheClosingScreensWaits)
{
    ScratchDir dir;  // no data/logo.bmp: the story at once
    EXPECT_EQ(status_after_close([] { return show_title() ? 1 : 7; }), 7);
    bool kept = closing_screens_return_at_once;
    closing_screens_return_at_once = false;
    EXPECT_EQ(status_after_close([] { return show_death_screen(), 7; }), 7);
    EXPECT_EQ(status_after_close([] {
        show_victory_screen();
        player_health = 10;
        return main_loop_pass(0) ? 1 : 7;  // the loop ends on the request alone
    }), 7);
    closing_screens_return_at_once = kept;
}
