#pragma once

#include "platform/backend_guard.h"

#include "platform/backend.h"
#include "platform/keyboard.h"
#include "platform/replay/player.h"
#include "platform/timer_schedule.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class ComboBox;
class Control;
class FocusableControl;
class Form;
class Program;
class TextBox;

// The headless backend: no windows, a virtual clock in milliseconds, and a driver API for
// tests and tools.
//
// The program runs on a thread of its own and the driver (a test) on the caller's; the
// two never run at the same time. Each driver call hands the program some work (time to
// pass, an input event, an answer) and returns when the program is idle again, waiting in
// its main loop, a modal show or a message box, exactly as a real program waits for the
// next event. So a test can play a whole game while the entry screen's click handler is
// still suspended inside the ball window's modal show.
class SimBackend final : public Backend, public replay::Stage {
public:
    explicit SimBackend(ScreenSize screen = {1024, 768});
    ~SimBackend() override;

    // --- Driver API --------------------------------------------------------------------

    // Runs the program's start-up on the program thread; returns when it is idle.
    void start(Program& program, std::function<void()> startup);

    std::int64_t now() const { return now_; }
    // Lets virtual time pass; every tick due up to and including the new time fires.
    void advance(std::int64_t ms) { advanceTo(now_ + ms); }
    void advanceTo(std::int64_t time);
    // Fires the ticks due before `time` and stops the clock at it, so that input delivered
    // next comes before the ticks due at that very millisecond.
    void advanceToJustBefore(std::int64_t time);

    // Input. Each returns whether the input reached the window: a window that is hidden,
    // blocked by a modal window or a message box, or cut away at that point takes none.
    // Positions are twips relative to the window's top-left corner.
    bool moveMouse(Form& form, float x, float y, int button = 0);
    bool click(Form& form, float x, float y);
    bool click(Control& control); // at its centre
    // A key to the window that has the focus, decided by the model as on the screen; the
    // keys it leaves to the focused control are edited here, as a plain text box or list
    // would: typing and Backspace in a text box, Up, Down and first letters in a list.
    bool pressKey(int keyAscii);
    bool pressKey(const KeyPress& press);
    // A key to this window, as if it had the keyboard.
    bool pressKey(Form& form, int keyAscii);
    bool pressKey(Form& form, const KeyPress& press);
    bool type(TextBox& box, const std::string& text);
    bool pick(ComboBox& list, int index);
    bool pressAccessKey(Form& form, char letter);
    bool requestClose(Form& form);
    // Runs a piece of the program's own code on its thread, through the dispatch boundary,
    // as if an event had called it.
    void invoke(std::function<void()> handler);

    // Replays: from now on no timer ticks by itself; a replay::Player says which timer
    // ticks when (this backend is its stage), and the driver sets the clock to each
    // event's ms before it plays.
    void driveTicks() { timers_.drive(); }
    // Moves the clock on to `time` with nothing firing.
    void setTime(std::int64_t time) { now_ = std::max(now_, time); }

    // Message boxes. A box stays open, with time passing and timers ticking, until the
    // driver answers it, unless an answer was queued or auto-answering is on.
    struct Box {
        MessageBoxRequest request;
        std::int64_t openedAt = 0;
        int answer = 0; // 0 while open
    };
    const std::vector<Box>& boxes() const { return boxes_; }
    bool boxOpen() const { return !openBoxes_.empty(); }
    const MessageBoxRequest* openBox() const;
    bool answer(int result);
    // The window system closes the open box (its close box, or its window destroyed): it
    // answers as msgbox::closeAnswer says.
    bool closeBox();
    // The next box is answered `result` once `afterMs` of virtual time have passed.
    void queueAnswer(int result, std::int64_t afterMs = 0);
    // Boxes with nothing queued are answered at once with their default button.
    void setAutoAnswer(bool on) { autoAnswer_ = on; }
    // Or as this says, if it gives an answer (run on the program's thread).
    std::function<std::optional<int>(const MessageBoxRequest&)> answerPolicy;

    int beeps() const { return static_cast<int>(beepTimes_.size()); }
    const std::vector<std::int64_t>& beepTimes() const { return beepTimes_; }
    void setScreenSize(ScreenSize size) { screen_ = size; }
    // Windows shown, hidden and shaped, in order: "show clock modal", "shape clock" ...
    const std::vector<std::string>& log() const { return log_; }
    // The next window to be given a shape refuses it.
    void refuseNextShape() { refuseShape_ = true; }

    bool finished() const { return finished_; }
    // Ends a program still running (as EndProgram would) and joins its thread. Call it
    // before the Program goes.
    void stop();
    // Called after each tick on the program thread, with the window and timer that
    // ticked ("clock.Timer1"), for traces and checks.
    std::function<void(const Timer& timer)> observer;
    // Makes the driver call in progress return after the current tick, with the clock
    // where it stands (from the observer).
    void pause() { pause_ = true; }

    // --- Backend -----------------------------------------------------------------------
    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    void runUntil(const std::function<bool()>& done) override;
    void conditionsChanged() override { ++changes_; }
    int messageBox(const MessageBoxRequest& request) override;
    void beep() override { beepTimes_.push_back(now_); }
    ScreenSize screenSize() const override { return screen_; }
    void quit(int status) override;

    // --- replay::Stage -----------------------------------------------------------------
    bool deliver(std::function<bool()> accepts, std::function<void()> act) override;
    bool tick(Timer& timer) override;
    bool answerBox(int result) override { return boxOpen() && answer(result); }

private:
    class SimFormPeer;
    struct QueuedAnswer {
        int result;
        std::int64_t afterMs;
    };
    bool pressKeyOn(std::function<Form*()> target, const KeyPress& press);
    static void editInControl(FocusableControl& control, const KeyPress& press);
    void handOverToProgram();
    void waitForWork();
    bool step(std::int64_t limit);
    void loop(const std::function<bool()>& done, std::int64_t deadline);
    std::int64_t deadline() const;
    int defaultAnswer(const MessageBoxRequest& request) const;

    ScreenSize screen_;
    std::int64_t now_ = 0;
    std::int64_t target_ = 0; // ticks due before this may fire
    std::int64_t stopAt_ = 0; // where the clock stands when no tick is left to fire
    std::vector<std::int64_t> deadlines_;
    TimerSchedule timers_{[this] { return now_; }};
    std::deque<std::function<void()>> inputs_;
    std::vector<Box> boxes_;
    std::vector<std::size_t> openBoxes_;
    std::deque<QueuedAnswer> queuedAnswers_;
    bool autoAnswer_ = false;
    std::vector<std::int64_t> beepTimes_;
    std::vector<std::string> log_;
    bool refuseShape_ = false;
    bool quit_ = false;
    std::uint64_t changes_ = 0; // bumped whenever a wait's condition may have come true
    bool pause_ = false;

    // The hand-over between driver and program threads.
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable turnChanged_;
    bool programsTurn_ = false;
    bool finished_ = false;
    bool shutdown_ = false;
};

} // namespace platform
