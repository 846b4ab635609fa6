// The frame timing around frames that are held up (the window dragged, the machine busy,
// a wait that presents nothing): the world must not race once the frames come fast again.
#include <cmath>

#include "shell/video.h"
#include "tests/headless.h"

namespace {

class HeldFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_manual_clock = true;
        fixed_time_scale = 0, time_scale = 1, game_clock = 1;
        // A tick set up by hand, as a run of steady frames follows.
        manual_clock = next_tick_time = 50000;
        tick_frame_count = 0;
    }

    void frame(double ms)
    {
        manual_clock += ms;
        present_frame(0);
    }

    // Frames of `ms` milliseconds for `seconds`; the game seconds they carried.
    double run(double ms, double seconds)
    {
        double start = game_clock;
        for (int i = 0; i < (int)std::lround(seconds * 1000 / ms); i++)
            frame(ms);
        return (game_clock - start) / GAME_CLOCK_PER_SECOND;
    }

    FrameTimingKept keep;
};

// 60 and 600 frames a second are frames of 16.7 and 1.67 ms here: with frames of exactly
// 1000 / 60 ms the sixth lands on the deadline, which does not end the tick.
const double AT_60 = 16.7, AT_600 = 1.67;

TEST_F(HeldFrame, SteadyRatesAreMeasuredAsEver)
{
    const struct { double ms; float scale; double carried; } rates[] = {
        {AT_600, 0.1f, 0.998}, {AT_60, 1, 0.998}, {143, 6, 0.7}, {250, 6, 0.4}};
    for (auto r : rates) {
        run(r.ms, 1);
        EXPECT_FLOAT_EQ(time_scale, r.scale) << r.ms << " ms a frame";
        EXPECT_NEAR(run(r.ms, 1), r.carried, 0.01) << r.ms << " ms a frame";
    }
    run(AT_600, 1);
    EXPECT_EQ(frames_last_tick, 60);
}

// The worst moments for a one-second hold: the first frame of a tick (the tick then counts
// one frame) and the last, at 60 and at 600 frames a second. The next 0.3 s carry 0.3 game
// seconds, as they would without the hold, and the world does not move while held.
TEST_F(HeldFrame, AHeldFrameLeavesTheRateAsItWas)
{
    for (double per_frame : {AT_60, AT_600})
        for (bool first : {true, false}) {
            SCOPED_TRACE(testing::Message() << per_frame << " ms a frame, held frame "
                                            << (first ? "first" : "last") << " in its tick");
            run(per_frame, 1);
            // Up to the frame that would begin a tick, or end one.
            for (int i = 0; i < 1000; i++) {
                bool ends = manual_clock + per_frame > next_tick_time;
                if (first ? tick_frame_count == 0 : ends)
                    break;
                frame(per_frame);
            }
            float before = time_scale;
            double clock = game_clock;
            frame(1000);
            EXPECT_LE((game_clock - clock) / GAME_CLOCK_PER_SECOND, 1.01 * per_frame / 1000) << "the held frame carries one frame's time";
            EXPECT_NEAR(time_scale, before, before * 0.03);
            EXPECT_NEAR(run(per_frame, 0.3), 0.3, 0.01);
        }
}

// A busy machine: a second of frames of 250 ms, or a held frame and a tick of frames five
// times slower than before, then fast frames again. A couple of fast frames may carry the
// slow rate; then it is measured again at once, not at the end of the tick.
TEST_F(HeldFrame, AfterABusySpellTheRateIsMeasuredAgainAtOnce)
{
    run(AT_600, 1);
    run(250, 1);
    EXPECT_FLOAT_EQ(time_scale, 6.0f) << "while slow, the world runs as slow as the timing allows";
    double carried = run(AT_600, 0.3);
    EXPECT_GT(carried, 0.3);
    EXPECT_LT(carried, 0.55) << "two frames at most at the slow rate";
    EXPECT_NEAR(time_scale, 0.1f, 0.01f);

    run(AT_600, 2);
    frame(1000);
    run(5 * AT_600, 0.1);
    carried = run(AT_600, 0.3);
    EXPECT_GT(carried, 0.3);
    EXPECT_LT(carried, 0.5) << "two ticks' worth at most at the slow rate";
}

// The start as the program runs it: the logo's 16 frames, its two-second hold, the story
// panel, a three-second wait for SPACE, the world loaded, 60 frames counted into the first
// tick. The first game seconds never race, and the rate is the true one within 0.3 s.
TEST_F(HeldFrame, TheStartNeverRaces)
{
    for (double load_ms : {20.0, 150.0}) {
        SCOPED_TRACE(testing::Message() << "the world loaded in " << load_ms << " ms");
        next_tick_time = 0;
        for (int i = 0; i < 16; i++)
            frame(i == 0 ? 0 : 3);  // the first call of the run ends a tick at once
        frame(2000);
        EXPECT_LT(time_scale, 1) << "the hold ends the logo's tick, measured from its frames";
        frame(0.3);
        frame(3000);
        manual_clock += load_ms;
        tick_frame_count = 60;
        double start = game_clock;
        frame(AT_600);
        if (load_ms > TICK_INTERVAL) {
            EXPECT_EQ(frames_last_tick, 61) << "a long load ends the counted tick at once";
        }
        run(AT_600, 0.1);
        EXPECT_LE((game_clock - start) / GAME_CLOCK_PER_SECOND, 0.1);
        run(AT_600, 0.2);
        EXPECT_NEAR(time_scale, 0.1f, 0.01f);
    }
}

}  // namespace
