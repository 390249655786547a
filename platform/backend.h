#pragma once

#include "platform/property.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Control;
class Region;
class Form;
class Timer;
class TimerPeer;

// What a backend does to show a window: follow the model's changes.
class FormPeer {
public:
    virtual ~FormPeer() = default;
    virtual void show(bool modal) = 0;
    virtual void hide() = 0;
    virtual void geometryChanged() = 0;
    virtual void controlChanged(Control& control, Change change) = 0;
    virtual bool setShape(const Region& pixels) = 0; // false if the window refuses it
    virtual void focus() = 0;
    virtual void focusControl(Control& control) = 0;
};

enum class BoxIcon { None, Critical, Question, Warning, Information };

struct BoxButton {
    std::string caption; // with '&' before its access key
    int result;          // the code the box returns when it is pressed
};

// A message box, decoded by the model from the platform's style value: a backend shows
// the buttons in this order, with this default, and lets Escape or the close box answer
// only the escape button (none: a Yes/No question always gets Yes or No).
struct MessageBoxRequest {
    std::string prompt;
    int style = 0; // buttons + icon + default button, as the platform's style values
    std::string title;
    std::vector<BoxButton> buttons;
    std::size_t defaultButton = 0;
    std::optional<std::size_t> escapeButton;
    BoxIcon icon = BoxIcon::None;
};

MessageBoxRequest describeMessageBox(std::string prompt, int style, std::string title);

struct ScreenSize {
    int width = 0; // logical pixels
    int height = 0;
};

// The primitives a backend supplies. platform/ builds the event model on them.
class Backend {
public:
    virtual ~Backend() = default;

    virtual std::unique_ptr<FormPeer> createFormPeer(Form& form) = 0;
    virtual std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) = 0;

    // Dispatches events (timer ticks, input) until done() holds or the program has ended.
    virtual void runUntil(const std::function<bool()>& done) = 0;
    // Something that a waiting runUntil may be waiting for has happened.
    virtual void conditionsChanged() = 0;
    // Shows a modal message box and dispatches other events while it is open; returns the
    // result code, or 0 if the program ended while it was open.
    virtual int messageBox(const MessageBoxRequest& request) = 0;
    virtual void beep() = 0;
    virtual ScreenSize screenSize() const = 0;
    // The program has ended: every window goes, every loop and box is left.
    virtual void quit(int status) = 0;
};

} // namespace platform
