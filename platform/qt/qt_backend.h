#pragma once

#include "platform/backend_guard.h"

#include "platform/backend.h"
#include "platform/qt/desktop.h"
#include "platform/qt/timer_scheduler.h"

#include <QtGui/qwindowdefs.h>
#include <functional>
#include <optional>
#include <vector>

class QEventLoop;
class QMessageBox;

namespace platform {

class FormWindow;

// A window peer as the backend sees it: the X window under it may be destroyed by someone
// else (`xdotool windowclose`, a client killing windows), and Qt does not notice.
class NativeWindowPeer : public FormPeer {
public:
    virtual WId nativeId() const = 0;
    // Puts a new native window where the lost one was, then passes the loss on as a close
    // request: the program decides what that means.
    virtual void windowLost() = 0;
};

// The backend that puts the windows on a real screen with Qt Widgets. Construct it once
// the QApplication exists; it must outlive the Program that uses it.
class QtBackend final : public Backend {
public:
    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    void runUntil(const std::function<bool()>& done) override;
    void conditionsChanged() override;
    int messageBox(const MessageBoxRequest& request) override;
    void beep() override;
    ScreenSize screenSize() const override;
    void quit(int status) override;

    // Once the program has ended no window shows again and no box opens.
    bool hasQuit() const { return quit_; }

    // For the window peers: where the model's positions are on the desktop.
    const Desktop& desktop() const { return desktop_; }
    // Replays: the timers tick only when the player makes them, and the model's screen is
    // the recorded one. Call before the program starts.
    void replayOn(ScreenSize recordedScreen)
    {
        replayScreen_ = recordedScreen;
        timers_.drive();
    }
    bool replaying() const { return replayScreen_.has_value(); }
    // A replayed timer's ticks (TimerSchedule::canTick, tick).
    TimerScheduler& timers() { return timers_; }
    // Answers the innermost open message box as its button with that result would.
    bool answerOpenBox(int result);

    // For the window peers: the windows to take down when the program ends.
    void windowCreated(NativeWindowPeer& window);
    void windowDestroyed(NativeWindowPeer& window);

private:
    void nativeWindowDestroyed(WId id);

    struct Wait {
        QEventLoop& loop;
        const std::function<bool()>& done;
        bool released = false; // quit by conditionsChanged, not by the application leaving
    };

    TimerScheduler timers_;
    Desktop desktop_;
    std::vector<Wait*> waits_; // innermost last
    std::vector<NativeWindowPeer*> windows_;
    std::vector<QMessageBox*> openBoxes_;
    bool quit_ = false;
    std::optional<ScreenSize> replayScreen_;
};

} // namespace platform
