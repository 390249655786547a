// A whole day on the end screen, in virtual time: the screen a player may leave open.
// Its timer ticks every 10 ms, so a day is millions of ticks through the real handlers.

#include "ball/clock.h"
#include "screens/frmend.h"
#include "screens/frmsplash1.h"
#include "tests/sim_fixture.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>

#if defined(__SANITIZE_ADDRESS__)
#define ORVANTA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANTA_ASAN 1
#endif
#endif

namespace {

using orvanta::frmend;
using orvanta::frmSplash1;
using BallWindow = orvanta::clock;

constexpr std::int64_t hour = 3600 * 1000;

class LongRun : public SimTest {
protected:
    // Through the real start-up: loading screen, entry screen, a one-minute game, and
    // the game-over message answered.
    void playToTheEnd()
    {
        startProgram();
        sim.advanceTo(4500);
        frmSplash1& entry = form<frmSplash1>();
        sim.type(entry.text1, "Ann");
        sim.pick(entry.Combo1, 0);
        sim.queueAnswer(platform::msgbox::ok);
        sim.click(entry.Command1);
        sim.advance(61000);
        ASSERT_EQ(openBoxTitle(), "Whats the score?");
        sim.answer(platform::msgbox::ok);
        ASSERT_TRUE(loaded<frmend>());
    }

    // The picture's highest and lowest place, and the end screen's ticks, since the last
    // reset; kept by the observer on the program's thread, read between driver calls.
    struct Hour {
        float top = std::numeric_limits<float>::max();
        float bottom = std::numeric_limits<float>::lowest();
        std::int64_t ticks = 0;
        std::int64_t ballSeen = 0; // ticks after which the ball window was visible
    } seen;

    void watch()
    {
        frmend& end = form<frmend>();
        BallWindow& ball = form<BallWindow>();
        sim.observer = [this, &end, &ball](const platform::Timer& timer) {
            if (&timer != &end.Timer1)
                return;
            ++seen.ticks;
            seen.top = std::min(seen.top, end.ball.Top.get());
            seen.bottom = std::max(seen.bottom, end.ball.Top.get());
            if (ball.Visible())
                ++seen.ballSeen;
        };
    }
};

// glibc's count of heap bytes in use, the large blocks it maps apart included. With one
// arena it covers the program's thread too.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

TEST_F(LongRun, TheEndScreenBouncesForADayWithoutErrorOrGrowth)
{
    // Before the program's thread starts, so that it shares the arena that mallinfo2
    // reports on.
    mallopt(M_ARENA_MAX, 1);
    playToTheEnd();
    if (HasFatalFailure())
        return;
    watch();
    const std::size_t boxesAtTheEnd = sim.boxes().size();
    const std::int64_t ticksPerHour = hour / form<frmend>().Timer1.Interval.get();

    std::size_t heapAfterHourOne = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    for (int h = 1; h <= 24; ++h) {
        seen = {};
        sim.advance(hour);
        SCOPED_TRACE("hour " + std::to_string(h));
        ASSERT_FALSE(program.ended());
        ASSERT_FALSE(program.error().has_value()) << program.error()->description;
        ASSERT_FALSE(sim.boxOpen()) << openBoxTitle();
        ASSERT_EQ(sim.boxes().size(), boxesAtTheEnd);
        EXPECT_TRUE(form<frmend>().Visible());
        EXPECT_EQ(seen.ticks, ticksPerHour);
        EXPECT_EQ(seen.ballSeen, 0);
        EXPECT_FALSE(form<BallWindow>().Visible());
        // Both ends of the bounce, every hour, and never beyond them.
        EXPECT_EQ(seen.top, 580);
        EXPECT_EQ(seen.bottom, 2480);
        if (h == 1)
            heapAfterHourOne = heapInUse();
    }
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const std::size_t heapAfterADay = heapInUse();
    std::printf("24 virtual hours in %.1f s of wall time; heap in use %zu bytes after hour 1, "
                "%zu after hour 24\n",
                wallSeconds, heapAfterHourOne, heapAfterADay);
    RecordProperty("wall_seconds", std::to_string(wallSeconds));

#ifdef ORVANTA_ASAN
    // AddressSanitizer keeps its own heap, which mallinfo2 does not see.
#else
    const auto growth =
        static_cast<std::int64_t>(heapAfterADay) - static_cast<std::int64_t>(heapAfterHourOne);
    EXPECT_LT(growth, 64 * 1024) << "the heap grew from " << heapAfterHourOne << " to "
                                 << heapAfterADay << " bytes";
#endif
}

} // namespace
