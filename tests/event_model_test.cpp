// The toolkit's event model on the headless backend: loading, modal show, message boxes,
// timers on hidden windows, the order of ticks and the dispatch boundary.

#include "core/integer.h"
#include "core/windows.h"
#include "platform/control.h"
#include "platform/timer.h"
#include "platform/timer_schedule.h"
#include "sim_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace platform;
using orvanta::window;

namespace {

std::vector<std::string> events; // what the test windows did, in order

struct Ticker : Form {
    Ticker() : Form("Ticker", 960, 960)
    {
        Fast.onTimer = [this] { ++fastTicks; };
        Slow.onTimer = [this] { Slow_Timer(); };
    }
    void Form_Load() override
    {
        events.push_back("Ticker.Form_Load fast " + std::to_string(Fast.startSequence() > 0));
    }
    void Slow_Timer()
    {
        ++slowTicks;
        if (openBoxOnSlowTick)
            lastAnswer = MsgBox("Still there?", msgbox::okOnly, "Question");
    }

    Timer Fast{*this, "Fast", 10, true};
    Timer Slow{*this, "Slow", 100, true};
    Timer Off{*this, "Off", 10, false};
    int fastTicks = 0;
    int slowTicks = 0;
    bool openBoxOnSlowTick = false;
    int lastAnswer = 0;
};

struct Dialog : Form {
    Dialog() : Form("Dialog", 1500, 1500) {}
    void Form_Load() override { events.push_back("Dialog.Form_Load"); }
};

struct Ordered : Form {
    Ordered() : Form("Ordered", 960, 960)
    {
        for (Timer* t : {&A, &B, &C})
            t->onTimer = [t] { events.push_back(t->name()); };
    }
    Timer A{*this, "A", 10, true};
    Timer B{*this, "B", 10, true};
    Timer C{*this, "C", 10, true};
};

class EventModel : public SimTest {
protected:
    void SetUp() override { events.clear(); }
};

TEST_F(EventModel, LoadingStartsEnabledTimersThenRunsFormLoadOnce)
{
    start([] {
        window<Ticker>();
        window<Ticker>().Show();
        window<Ticker>().Hide();
    });
    EXPECT_EQ(events, std::vector<std::string>{"Ticker.Form_Load fast 1"});
    EXPECT_EQ(form<Ticker>().Off.startSequence(), 0u); // a disabled timer is not started
}

TEST_F(EventModel, ModalShowReturnsOnlyAfterHideWhileTimersTick)
{
    bool returned = false;
    start([&] {
        window<Ticker>();
        window<Dialog>().Show(ShowMode::Modal);
        returned = true;
    });
    sim.advance(1000);
    EXPECT_FALSE(returned);
    EXPECT_EQ(form<Ticker>().fastTicks, 100);
    EXPECT_TRUE(form<Dialog>().isModal());
    sim.invoke([&] { form<Dialog>().Hide(); });
    EXPECT_TRUE(returned);
    EXPECT_FALSE(form<Dialog>().isModal());
}

TEST_F(EventModel, OnlyTheModalWindowTakesInput)
{
    start([&] {
        window<Ticker>().Show();
        window<Dialog>().Show(ShowMode::Modal);
    });
    EXPECT_FALSE(sim.click(form<Ticker>(), 10, 10));
    EXPECT_TRUE(sim.click(form<Dialog>(), 10, 10));
}

TEST_F(EventModel, TimersKeepTickingWhileAMessageBoxIsOpenButNoneReentersItself)
{
    start([] { window<Ticker>().openBoxOnSlowTick = true; });
    sim.advance(100); // the slow tick opens the box
    ASSERT_EQ(openBoxTitle(), "Question");
    const int fastBefore = form<Ticker>().fastTicks;
    sim.advance(1000);
    EXPECT_EQ(form<Ticker>().fastTicks, fastBefore + 100);
    EXPECT_EQ(form<Ticker>().slowTicks, 1);          // its ticks meanwhile were dropped
    EXPECT_FALSE(sim.click(form<Ticker>(), 10, 10)); // no input while the box is up
    ASSERT_TRUE(sim.answer(msgbox::ok));
    EXPECT_EQ(form<Ticker>().lastAnswer, msgbox::ok);
    sim.advance(100);
    EXPECT_EQ(form<Ticker>().slowTicks, 2); // and it ticks again, in its old phase
}

TEST_F(EventModel, ABoxClosedByTheWindowSystemAnswersWhatChangesNothing)
{
    constexpr int okCancel = 1, abortRetryIgnore = 2, yesNoCancel = 3, retryCancel = 5;
    const struct {
        int style;
        int answer;
    } cases[] = {{msgbox::okOnly | msgbox::information, msgbox::ok},
                 {okCancel, msgbox::cancel},
                 {abortRetryIgnore, msgbox::ignore},
                 {yesNoCancel | msgbox::defaultButton2, msgbox::cancel},
                 {msgbox::yesNo | msgbox::exclamation | msgbox::defaultButton2, msgbox::no},
                 {retryCancel | msgbox::critical, msgbox::cancel}};
    start([] { window<Ticker>(); });
    for (const auto& c : cases) {
        int answer = 0;
        sim.invoke([&answer, style = c.style] { answer = MsgBox("Sure?", style, "Question"); });
        ASSERT_TRUE(sim.boxOpen()) << c.style;
        ASSERT_TRUE(sim.closeBox());
        EXPECT_FALSE(sim.boxOpen());
        EXPECT_EQ(answer, c.answer) << "style " << c.style;
    }
    EXPECT_FALSE(sim.closeBox()); // with no box open there is nothing to close
}

TEST_F(EventModel, AQueuedAnswerCanLetTimePassWhileTheBoxIsOpen)
{
    start([] { window<Ticker>().openBoxOnSlowTick = true; });
    sim.queueAnswer(msgbox::ok, 250);
    sim.advance(100);
    EXPECT_TRUE(sim.boxOpen());
    sim.advance(250);
    EXPECT_FALSE(sim.boxOpen());
    EXPECT_EQ(sim.boxes().at(0).openedAt, 100);
    EXPECT_EQ(form<Ticker>().fastTicks, 35);
}

TEST_F(EventModel, HiddenWindowsKeepTheirTimersAndContents)
{
    start([] {
        window<Ticker>().Show();
        window<Ticker>().Hide();
    });
    sim.advance(500);
    EXPECT_FALSE(form<Ticker>().Visible());
    EXPECT_EQ(form<Ticker>().fastTicks, 50);
    EXPECT_EQ(form<Ticker>().slowTicks, 5);
}

TEST_F(EventModel, TimersDueTogetherFireInTheOrderTheyWereLastStarted)
{
    start([] { window<Ordered>(); });
    sim.advance(10);
    EXPECT_EQ(events, (std::vector<std::string>{"A", "B", "C"}));
    events.clear();
    sim.invoke([&] { // A restarts now, 5 ms into the next interval: it falls behind
        form<Ordered>().A.Enabled = false;
        form<Ordered>().A.Enabled = true;
    });
    sim.advance(10);
    EXPECT_EQ(events, (std::vector<std::string>{"B", "C", "A"}));
}

TEST_F(EventModel, EnablingAnEnabledTimerKeepsItsSchedule)
{
    start([] { window<Ticker>(); });
    sim.advance(95);
    sim.invoke([&] { form<Ticker>().Slow.Enabled = true; });
    sim.advance(5);
    EXPECT_EQ(form<Ticker>().slowTicks, 1);
}

// A replay drives the schedule: time passes with no tick, and a tick it asks for reaches a
// timer only while the program has it running and it is not inside its own handler.
TEST_F(EventModel, ADrivenScheduleTicksOnlyARunningTimerWhenTold)
{
    sim.driveTicks();
    start([] { window<Ticker>(); });
    Ticker& ticker = form<Ticker>();
    sim.advance(1000);
    EXPECT_EQ(ticker.fastTicks, 0);

    ticker.openBoxOnSlowTick = true;
    EXPECT_TRUE(sim.tick(ticker.Fast));
    EXPECT_TRUE(sim.tick(ticker.Slow)); // its handler now waits in a box
    EXPECT_FALSE(sim.tick(ticker.Slow));
    EXPECT_TRUE(sim.tick(ticker.Fast)); // other timers go on meanwhile
    sim.answer(msgbox::ok);
    EXPECT_FALSE(sim.tick(ticker.Off)); // never started
    sim.invoke([&] { ticker.Fast.Enabled = false; });
    EXPECT_FALSE(sim.tick(ticker.Fast));
    EXPECT_EQ(ticker.fastTicks, 2);
    EXPECT_EQ(ticker.slowTicks, 1);
}

// The schedule on a clock of the test's: a tick delivered late (its wake-up came late, or
// another handler held the program up) leaves the ticks after it where they were due.
TEST(TimerSchedule, ATickDeliveredLateKeepsItsTimersPhase)
{
    struct Rig : Form {
        Rig() : Form("Rig", 960, 960) {}
        Timer Every10{*this, "Every10", 10, false}; // its handler is not what is tested
    };
    for (const std::int64_t lateBy : {0, 1, 5, 9}) { // up to one short of the interval
        std::int64_t now = 0;
        TimerSchedule schedule([&now] { return now; });
        Rig rig;
        const auto peer = schedule.createPeer(rig.Every10);
        peer->start(10);
        ASSERT_EQ(schedule.nextDue(), 10);
        now = 10 + lateBy;
        schedule.fireNext();
        for (const std::int64_t due : {20, 30, 40}) {
            EXPECT_EQ(schedule.nextDue(), due) << "the first tick " << lateBy << " ms late";
            now = due;
            schedule.fireNext();
        }
    }
}

struct Overflowing : Form {
    Overflowing() : Form("Overflowing", 960, 960)
    {
        Fast.onTimer = [this] {
            ++ticks;
            big = big + 10000; // the fourth tick passes 32767
        };
    }
    Timer Fast{*this, "Fast", 10, true};
    orvanta::Integer big;
    int ticks = 0;
};

TEST_F(EventModel, ARunTimeErrorShowsTheErrorBoxThenEndsTheProgram)
{
    start([] {
        window<Overflowing>();
        window<Ticker>();
    });
    sim.advance(40);
    ASSERT_TRUE(sim.boxOpen());
    EXPECT_EQ(sim.openBox()->prompt, "Run-time error '6':\n\nOverflow");
    EXPECT_EQ(sim.openBox()->style, msgbox::critical);
    const int fastTicks = form<Ticker>().fastTicks;
    sim.advance(100); // nothing else runs while the error box is up
    EXPECT_EQ(form<Ticker>().fastTicks, fastTicks);
    sim.answer(msgbox::ok);
    EXPECT_TRUE(program.ended());
    EXPECT_EQ(program.exitStatus(), 1);
    EXPECT_EQ(form<Overflowing>().ticks, 4);
}

} // namespace
