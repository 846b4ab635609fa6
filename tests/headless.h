// Headless test harness: Allegro without a system driver, 16-bit colour, a 640 x 480
// back buffer and `screen` pointed at a memory bitmap.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "shell/video.h"
#include "tools/headless/headless.h"

// A fresh empty directory that the test works in; removed and left on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string &path() const { return dir_; }
    void write(const std::string &relative, const std::string &text) const;
    std::string read(const std::string &relative) const;

private:
    std::string dir_;
    std::string old_cwd_;
};

// A file's whole content ("" when it cannot be read).
std::string file_text(const std::string &path);

// Every plain file under a folder, by its path from there, in no set order.
std::vector<std::string> files_under(const std::string &root);

// The lines a message took: one complaint is one line.
inline int line_count(const std::string &text)
{
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

// Each value against its own within four units in the last place, as EXPECT_FLOAT_EQ.
inline void expect_floats(const std::vector<float> &got, const std::vector<float> &want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); i++)
        EXPECT_FLOAT_EQ(got[i], want[i]) << "value " << i;
}

// What `call` printed on standard error.
template <class Call> std::string stderr_of(Call call)
{
    testing::internal::CaptureStderr();
    call();
    return testing::internal::GetCapturedStderr();
}

// Presses or releases keys through Allegro's key array.
void press(int scancode, bool down = true);
void release_all_keys();

// The frame timing as a test found it, put back however the test ends: the closing screens
// and the main loop present frames, which moves it on.
struct FrameTimingKept {
    s16 count = tick_frame_count, last = frames_last_tick;
    double next = next_tick_time, clock = game_clock, manual = manual_clock;
    float scale = time_scale, fixed = fixed_time_scale;
    bool manual_used = use_manual_clock;
    ~FrameTimingKept()
    {
        tick_frame_count = count;
        frames_last_tick = last;
        next_tick_time = next;
        game_clock = clock;
        manual_clock = manual;
        time_scale = scale;
        fixed_time_scale = fixed;
        use_manual_clock = manual_used;
    }
};

// The smallest legend of a map source: walls, grass, a spawn point and the start.
inline const char *const small_legend = "cell # wall 2 wall\ncell . grass 0\ncell x grass 0 kind=7\ncell S grass 0 spot=start\n";
