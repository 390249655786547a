#include "platform/form.h"

#include "platform/backend.h"
#include "platform/control.h"
#include "platform/program.h"
#include "platform/recorder.h"
#include "platform/screen.h"
#include "platform/timer.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
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

void Form::Show(ShowMode mode)
{
    Load();
    Program& program = Program::current();
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

const QImage& Form::drawingSurface() const
{
    if (!surface_) {
        surface_ = std::make_unique<QImage>(pixelWidth(), pixelHeight(), QImage::Format_RGB32);
        surface_->fill(QColor(redOf(BackColor), greenOf(BackColor), blueOf(BackColor)));
        if (!picture.isNull()) {
            QPainter painter(surface_.get());
            painter.drawImage(0, 0, picture.image());
        }
    }
    return *surface_;
}

bool Form::setShape(const QRegion& region)
{
    if (peer_ && !peer_->setShape(region))
        return false;
    shape_ = std::make_unique<QRegion>(region);
    return true;
}

int Form::pixelWidth() const { return static_cast<int>(std::lround(Width / twipsPerPixel)); }
int Form::pixelHeight() const { return static_cast<int>(std::lround(Height / twipsPerPixel)); }

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
    if (Recorder* recorder = Recorder::active())
        recorder->mouseMoved(*this, x, y, button, shift);
    auto* image = dynamic_cast<Image*>(controlAt(x, y));
    if (!image || !image->onMouseMove)
        return;
    const float imageX = x - image->Left;
    const float imageY = y - image->Top;
    Program::current().dispatch([&] { image->onMouseMove(button, shift, imageX, imageY); });
}

void Form::clicked(float x, float y)
{
    if (Recorder* recorder = Recorder::active())
        recorder->clicked(*this, x, y);
    Control* control = controlAt(x, y);
    Program& program = Program::current();
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

void Form::keyPressed(int keyAscii)
{
    if (Recorder* recorder = Recorder::active())
        recorder->keyPressed(*this, keyAscii);
    Program::current().dispatch([this, keyAscii] {
        int key = keyAscii;
        Form_KeyPress(key);
    });
}

void Form::accessKeyPressed(char letter)
{
    if (Recorder* recorder = Recorder::active())
        recorder->accessKeyPressed(*this, letter);
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
    if (Recorder* recorder = Recorder::active())
        recorder->closeRequested(*this);
    Program& program = Program::current();
    if (program.onCloseRequest)
        program.dispatch(program.onCloseRequest);
}

} // namespace platform
