#include "platform/form.h"

#include "platform/backend.h"
#include "platform/control.h"
#include "platform/program.h"
#include "platform/screen.h"
#include "platform/timer.h"

#include <algorithm>
#include <cmath>

namespace platform {

Form::Form(std::string className, float width, float height)
    : Left(*this, Change::Geometry, 0), Top(*this, Change::Geometry, 0),
      Width(*this, Change::Geometry, width), Height(*this, Change::Geometry, height),
      className_(std::move(className))
{
}

Form::~Form() = default;

void Form::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Program& program = Program::current();
    program.loaded(*this);
    if (startUpPosition == StartUpPosition::CenterScreen) {
        Left = (Screen.Width - Width) / 2;
        Top = (Screen.Height - Height) / 2;
    }
    peer_ = program.backend().createFormPeer(*this);
    for (Timer* timer : timers_)
        timer->startIfEnabled();
    Form_Load();
    // The first control in the tab order has the focus when the window opens.
    if (const auto order = tabOrder(); !focused_ && !order.empty())
        focusControl(order.front());
}

// Where a window appears is the platform's to decide, as a window manager would: the
// place its definition (or its Form_Load) gives it where the window fits on the screen;
// where it would run off, moved just enough to lie whole on it, its top-left corner first
// when it is larger than the screen. Only at the show, and only for a window that is kept
// on the screen: moves by handlers are the game's.
void Form::keepOnScreen()
{
    const auto inside = [](float place, float size, float screen) {
        return std::max(0.0F, std::min(place, screen - size));
    };
    if (const float left = inside(Left, Width, Screen.Width); left != Left)
        Left = left;
    if (const float top = inside(Top, Height, Screen.Height); top != Top)
        Top = top;
}

void Form::Show(ShowMode mode)
{
    Load();
    Program& program = Program::current();
    if (!visible_ && keptOnScreen)
        keepOnScreen();
    if (mode == ShowMode::Modeless) {
        if (!visible_) {
            visible_ = true;
            peer_->show(false);
        }
        return;
    }
    // A modal show returns only when the window has been hidden again; meanwhile the
    // other windows take no input and every timer keeps ticking.
    modal_ = true;
    visible_ = true;
    program.pushModal(*this);
    peer_->show(true);
    struct Unwind {
        Form& form;
        ~Unwind()
        {
            form.modal_ = false;
            Program::current().popModal();
        }
    } unwind{*this};
    program.waitUntil([this] { return !visible_; });
}

void Form::Hide()
{
    Load();
    if (!visible_)
        return;
    visible_ = false;
    peer_->hide();
    Program& program = Program::current();
    if (program.activeForm() == this)
        program.activate(nullptr);
    program.backend().conditionsChanged();
}

void Form::SetFocus()
{
    Load();
    // Focus goes only to a visible window; asked of a hidden one, nothing happens.
    if (!visible_)
        return;
    Program::current().activate(this);
    peer_->focus();
}

void Form::propertyChanged(Change change)
{
    if (peer_ && change == Change::Geometry)
        peer_->geometryChanged();
}

void Form::controlChanged(Control& control, Change change)
{
    if (peer_)
        peer_->controlChanged(control, change);
}

const Pixels& Form::drawingSurface() const
{
    if (!surface_) {
        const Colour back = BackColor;
        surface_.emplace(pixelWidth(), pixelHeight(),
                         0xFF000000u | static_cast<std::uint32_t>(redOf(back)) << 16 |
                             static_cast<std::uint32_t>(greenOf(back)) << 8 |
                             static_cast<std::uint32_t>(blueOf(back)));
        if (!picture.isNull())
            surface_->draw(picture.pixels(), 0, 0);
    }
    return *surface_;
}

bool Form::setShape(const Region& region)
{
    if (peer_ && !peer_->setShape(region))
        return false;
    shape_ = region;
    return true;
}

int Form::pixelWidth() const { return static_cast<int>(std::lround(Width / twipsPerPixel)); }
int Form::pixelHeight() const { return static_cast<int>(std::lround(Height / twipsPerPixel)); }

bool Form::covers(float x, float y) const
{
    if (x < 0 || y < 0 || x >= Width || y >= Height)
        return false;
    return !shape_ || shape_->contains(static_cast<int>(std::floor(x / twipsPerPixel)),
                                       static_cast<int>(std::floor(y / twipsPerPixel)));
}

Control* Form::controlAt(float x, float y) const
{
    // Shapes and lines are drawings: the mouse passes through them to the window.
    for (Control* control : controls_) {
        if (control->kind() == ControlKind::Shape || control->kind() == ControlKind::Line)
            continue;
        if (control->Visible && control->contains(x, y))
            return control;
    }
    return nullptr;
}

void Form::focusControl(FocusableControl* control)
{
    focused_ = control;
    if (control && peer_)
        peer_->focusControl(*control);
}

std::vector<FocusableControl*> Form::tabOrder() const
{
    std::vector<FocusableControl*> order;
    for (Control* control : controls_)
        if (control->isWidget())
            order.push_back(static_cast<FocusableControl*>(control));
    std::stable_sort(order.begin(), order.end(),
                     [](auto* a, auto* b) { return a->TabIndex < b->TabIndex; });
    return order;
}

void Form::mouseMoved(float x, float y, int button, int shift)
{
    Program::current().took(
        TakenEvent::of(EventKind::Move, className()).at(x, y).with(button, shift));
    auto* image = dynamic_cast<Image*>(controlAt(x, y));
    if (!image || !image->onMouseMove)
        return;
    const float imageX = x - image->Left;
    const float imageY = y - image->Top;
    Program::current().dispatch([&] { image->onMouseMove(button, shift, imageX, imageY); });
}

void Form::clicked(float x, float y)
{
    Program& program = Program::current();
    program.took(TakenEvent::of(EventKind::Click, className()).at(x, y));
    Control* control = controlAt(x, y);
    if (!control) {
        program.dispatch([this] { Form_Click(); });
        return;
    }
    // A label or an image without a click handler swallows the click.
    if (auto* image = dynamic_cast<Image*>(control); image && image->onClick)
        program.dispatch(image->onClick);
    else if (auto* button = dynamic_cast<CommandButton*>(control); button && button->onClick)
        program.dispatch(button->onClick);
}

namespace {

bool isArrow(Key key)
{
    return key == Key::Up || key == Key::Down || key == Key::Left || key == Key::Right;
}

// The keys that a focused control edits or moves in by itself; every other key is the
// window's. Return, Escape and Tab are always the window's.
bool controlTakes(const FocusableControl& control, const KeyPress& press)
{
    if (press.key == Key::Return || press.key == Key::Escape || press.key == Key::Tab)
        return false;
    switch (control.kind()) {
    case ControlKind::TextBox: return true;
    case ControlKind::ComboBox: return press.key != Key::Backspace;
    default: return false;
    }
}

} // namespace

KeyRoute Form::keyDown(const KeyPress& press)
{
    // Access keys belong to the window, not to the focused control: a text box would
    // otherwise take Alt+M as an "m".
    if ((press.shift & 4) && press.letter) {
        accessKeyPressed(press.letter);
        return KeyRoute::Taken;
    }
    FocusableControl* focused = focused_ && focused_->Visible ? focused_ : nullptr;
    // Tab moves the focus; a window with nothing to focus gets it as a character.
    const bool hasTabOrder = !tabOrder().empty();
    if (press.key == Key::Tab && !(press.shift & 2) && hasTabOrder) {
        focusControl(nextInTabOrder(!(press.shift & 1)));
        return KeyRoute::Taken;
    }
    if (focused && controlTakes(*focused, press))
        return KeyRoute::ToControl;
    if (auto* button = dynamic_cast<CommandButton*>(focused)) {
        // Return and Space click the focused button; the arrows move on as Tab does.
        if (press.key == Key::Return || press.keyAscii == ' ') {
            button->press();
            return KeyRoute::Taken;
        }
        if (isArrow(press.key)) {
            focusControl(nextInTabOrder(press.key == Key::Right || press.key == Key::Down));
            return KeyRoute::Taken;
        }
    }
    if (press.keyAscii)
        keyPressed(press.keyAscii);
    return KeyRoute::Taken;
}

FocusableControl* Form::nextInTabOrder(bool forward) const
{
    std::vector<FocusableControl*> order = tabOrder();
    std::erase_if(order, [](const FocusableControl* control) { return !control->Visible; });
    if (order.empty())
        return focused_;
    if (!forward)
        std::reverse(order.begin(), order.end());
    const auto at = std::find(order.begin(), order.end(), focused_);
    if (at == order.end() || at + 1 == order.end())
        return order.front();
    return *(at + 1);
}

void Form::keyPressed(int keyAscii)
{
    Program& program = Program::current();
    program.took(TakenEvent::of(EventKind::Key, className()).with(keyAscii));
    program.dispatch([this, keyAscii] {
        int key = keyAscii;
        Form_KeyPress(key);
    });
}

void Form::accessKeyPressed(char letter)
{
    Program::current().took(TakenEvent::of(EventKind::Access, className()).with(letter));
    for (Control* control : controls_) {
        auto* label = dynamic_cast<Label*>(control);
        if (!label || label->accessKey() != letter)
            continue;
        if (auto* target = dynamic_cast<FocusableControl*>(label->accessKeyTarget))
            focusControl(target);
        return;
    }
}

void Form::closeRequested()
{
    // A close box or Alt+F4: the window has no handler of its own; the program decides.
    Program& program = Program::current();
    program.took(TakenEvent::of(EventKind::Close, className()));
    if (program.onCloseRequest)
        program.dispatch(program.onCloseRequest);
}

} // namespace platform
