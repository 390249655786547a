#pragma once

#include "platform/colour.h"
#include "platform/keyboard.h"
#include "platform/picture.h"
#include "platform/pixels.h"
#include "platform/property.h"
#include "platform/region.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Control;
class FocusableControl;
class FormPeer;
class Timer;

enum class FormBorder { None, FixedDialog };
enum class StartUpPosition { Manual, CenterScreen };
enum class FormIcon { Ball, Information };
enum class ShowMode { Modeless, Modal };

constexpr float twipsPerPixel = 15;

// A top-level window. A window class derives from Form, sets its definition in its
// constructor, holds its controls as members and overrides the form events it handles.
// The model is the truth: positions are float twips held here, and the peer on the
// screen only follows them.
class Form : public PropertyOwner {
public:
    Form(std::string className, float width, float height);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // Definition, set by the constructor.
    std::string Caption;
    FormBorder border = FormBorder::None;
    StartUpPosition startUpPosition = StartUpPosition::Manual;
    bool ShowInTaskbar = false;
    // Shown where it would run off the screen, the window is moved just enough to lie on
    // it, as for a window the player must read or click; not a window whose place is the
    // game's state.
    bool keptOnScreen = true;
    FormIcon icon = FormIcon::Ball;
    Colour BackColor = colours::windowBackground;
    Picture picture; // drawn at its own size from the top-left corner

    Property<float> Left;
    Property<float> Top;
    Property<float> Width; // for a window with a frame, the client area's
    Property<float> Height;

    void Show(ShowMode mode = ShowMode::Modeless);
    void Hide();
    bool Visible() const { return visible_; }
    void SetFocus();

    // Loads the window on first use: controls as defined, enabled timers started, then
    // Form_Load. Every operation that reaches the window does this first.
    void Load();
    bool isLoaded() const { return loaded_; }

    // Form events.
    virtual void Form_Load() {}
    virtual void Form_Click() {}
    virtual void Form_KeyPress(int& KeyAscii) { (void)KeyAscii; }

    // For the toolkit and its backends.
    const std::string& className() const { return className_; }
    const std::vector<Control*>& controls() const { return controls_; } // front to back
    const std::vector<Timer*>& timers() const { return timers_; }
    void add(Control& control) { controls_.push_back(&control); }
    void add(Timer& timer) { timers_.push_back(&timer); }
    FormPeer* peer() const { return peer_.get(); }
    bool isModal() const { return modal_; }

    // The persistent drawing surface: background colour with the picture over it, in
    // pixels of the client area, from the moment the window is loaded.
    const Pixels& drawingSurface() const;
    // The window's shape in client pixels, if it was cut to one.
    const Region* shape() const { return shape_ ? &*shape_ : nullptr; }
    bool setShape(const Region& region); // false if the window refuses it

    int pixelWidth() const;
    int pixelHeight() const;

    // Whether a point (client twips) is on the window: within it and its shape. The
    // pointer reaches a window only there.
    bool covers(float x, float y) const;
    // The topmost control at a point (client twips) that takes mouse input, or null.
    Control* controlAt(float x, float y) const;
    FocusableControl* focusedControl() const { return focused_; }
    void focusControl(FocusableControl* control);
    // Focusable controls in tab order.
    std::vector<FocusableControl*> tabOrder() const;

    // Input from a backend, dispatched as handlers of this window.
    void mouseMoved(float x, float y, int button, int shift);
    void clicked(float x, float y);
    // A key pressed while this window has the keyboard. The model decides what it does:
    // an access key, the focus moving, the focused button clicked, the form's KeyPress,
    // or the focused control's own editing.
    KeyRoute keyDown(const KeyPress& press);
    void keyPressed(int keyAscii);
    void accessKeyPressed(char letter);
    void closeRequested();

    void propertyChanged(Change change) override;
    void controlChanged(Control& control, Change change);

private:
    // The next (or previous) visible control in the tab order, from the focused one.
    FocusableControl* nextInTabOrder(bool forward) const;
    void keepOnScreen();

    std::string className_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::unique_ptr<FormPeer> peer_;
    mutable std::optional<Pixels> surface_;
    std::optional<Region> shape_;
    FocusableControl* focused_ = nullptr;
    bool loaded_ = false;
    bool visible_ = false;
    bool modal_ = false;
};

} // namespace platform
