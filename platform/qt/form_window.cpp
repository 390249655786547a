#include "platform/qt/form_window.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/window_common.h"
#include "platform/qt/x11_window_state.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>

namespace platform {

namespace {

void showText(QLineEdit& edit, const TextBox& box)
{
    const QString text = QString::fromStdString(box.Text);
    if (edit.text() != text) // setText moves the caret: only when the model differs
        edit.setText(text);
}

void showPick(QComboBox& combo, const ComboBox& list) { combo.setCurrentIndex(list.ListIndex()); }

void fillList(QComboBox& combo, const ComboBox& list)
{
    combo.clear();
    for (const std::string& item : list.items())
        combo.addItem(QString::fromStdString(item));
    showPick(combo, list);
}

} // namespace

FormWindow::FormWindow(Form& form, QtBackend& backend)
    : QWidget(nullptr, windowFlagsFor(form)), form_(form), backend_(backend), core_(form, backend)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent covers every pixel
    setMouseTracking(true);
    setWindowTitle(QString::fromStdString(form.Caption));
    setWindowIcon(iconFor(form.icon));
    createWidgets();
    applyTabOrder();
    applyGeometry();
    backend_.windowCreated(*this);
}

FormWindow::~FormWindow()
{
    backend_.windowDestroyed(*this);
    // The form's controls are gone by now: take the widgets down before they can report.
    for (auto& [control, widget] : widgets_)
        delete widget;
}

// --- Following the model -----------------------------------------------------------------

void FormWindow::show(bool modal)
{
    if (backend_.hasQuit())
        return;
    const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
    // Qt applies a window's modality when it maps it.
    if (isVisible() && windowModality() != modality)
        QWidget::hide();
    if (!isVisible()) {
        applyGeometry(); // mapped where the model has it, not one round later
        setWindowModality(modality);
        if (!form_.ShowInTaskbar)
            keepOffTaskbar(winId());
        QWidget::show();
    }
    raise();
    if (modal)
        activateWindow();
    if (!shownBefore_) {
        shownBefore_ = true;
        focusInitialControl();
    }
}

void FormWindow::hide()
{
    core_.forgetPress();
    QWidget::hide();
}

void FormWindow::geometryChanged()
{
    // Several handlers may move the ball in one round of ticks (the move tick, then the
    // floor putting it back): X gets only where it ends up, once, after that round.
    if (geometryPending_)
        return;
    geometryPending_ = true;
    QMetaObject::invokeMethod(this, &FormWindow::applyGeometry, Qt::QueuedConnection);
}

void FormWindow::applyGeometry()
{
    // Called on every move tick of the ball: no repaint, and a resize only when needed.
    geometryPending_ = false;
    const QSize size(form_.pixelWidth(), form_.pixelHeight());
    if (size != this->size())
        setFixedSize(size);
    if (const QPoint place = core_.placeOf(); place != pos()) {
        move(place);
        core_.movedOnScreen(isVisible());
    }
}

void FormWindow::controlChanged(Control& control, Change change)
{
    if (const auto widget = widgets_.find(&control); widget != widgets_.end()) {
        followInWidget(control, *widget->second, change);
        return;
    }
    update(core_.repaintRegion(control));
}

bool FormWindow::setShape(const QRegion& pixels)
{
    // To Qt an empty mask means no mask at all; cut everything away instead.
    setMask(pixels.isEmpty() ? QRegion(-1, -1, 1, 1) : pixels);
    return true;
}

void FormWindow::focus()
{
    activateWindow();
    if (!focusWidget())
        setFocus();
}

void FormWindow::focusControl(Control& control)
{
    if (const auto widget = widgets_.find(&control); widget != widgets_.end())
        widget->second->setFocus(Qt::OtherFocusReason);
}

// --- Widgets -------------------------------------------------------------------------------

void FormWindow::createWidgets()
{
    for (Control* control : form_.controls()) {
        if (!control->isWidget())
            continue;
        auto& focusable = static_cast<FocusableControl&>(*control);
        QWidget* widget = createWidget(focusable);
        if (!focusable.ToolTipText.empty())
            widget->setToolTip(QString::fromStdString(focusable.ToolTipText));
        widget->setGeometry(pixelRect(focusable));
        widget->setVisible(focusable.Visible);
        widget->installEventFilter(this);
        widgets_.emplace(control, widget);
    }
}

QWidget* FormWindow::createWidget(FocusableControl& control)
{
    switch (control.kind()) {
    case ControlKind::TextBox: return createTextBox(static_cast<TextBox&>(control));
    case ControlKind::ComboBox: return createComboBox(static_cast<ComboBox&>(control));
    default: return createButton(static_cast<CommandButton&>(control));
    }
}

QWidget* FormWindow::createTextBox(TextBox& box)
{
    auto* edit = new QLineEdit(this);
    edit->setFont(toQFont(box.font));
    if (box.MaxLength > 0)
        edit->setMaxLength(box.MaxLength);
    edit->setReadOnly(box.Locked);
    showText(*edit, box);
    // textEdited comes from the player only, so the model's own changes do not echo back.
    connect(edit, &QLineEdit::textEdited, this, [this, &box, edit](const QString& text) {
        if (acceptsInput())
            box.typed(text.toStdString());
        showText(*edit, box); // the model may have cut the text, or refused it
    });
    return edit;
}

QWidget* FormWindow::createComboBox(ComboBox& list)
{
    auto* combo = new QComboBox(this);
    combo->setEditable(false);
    combo->setFont(toQFont(Font{}));
    fillList(*combo, list);
    connect(combo, &QComboBox::activated, this, [this, &list, combo](int index) {
        if (acceptsInput())
            list.pick(index);
        showPick(*combo, list);
    });
    return combo;
}

QWidget* FormWindow::createButton(CommandButton& button)
{
    auto* push = new QPushButton(QString::fromStdString(button.Caption), this);
    push->setFont(toQFont(Font{}));
    push->setAutoDefault(false);
    connect(push, &QPushButton::clicked, this, [this, &button] {
        if (acceptsInput())
            button.press();
    });
    return push;
}

void FormWindow::followInWidget(Control& control, QWidget& widget, Change change)
{
    switch (change) {
    case Change::Geometry: widget.setGeometry(pixelRect(control)); return;
    case Change::Visibility: widget.setVisible(control.Visible); return;
    case Change::Text:
    case Change::Items: break;
    default: return;
    }
    if (control.kind() == ControlKind::TextBox) {
        showText(static_cast<QLineEdit&>(widget), static_cast<const TextBox&>(control));
    } else if (control.kind() == ControlKind::ComboBox) {
        auto& combo = static_cast<QComboBox&>(widget);
        const auto& list = static_cast<const ComboBox&>(control);
        if (change == Change::Items)
            fillList(combo, list);
        else
            showPick(combo, list);
    }
}

void FormWindow::applyTabOrder()
{
    const std::vector<FocusableControl*> order = form_.tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgets_.at(order[i - 1]), widgets_.at(order[i]));
}

void FormWindow::focusInitialControl()
{
    if (FocusableControl* control = form_.focusedControl())
        focusControl(*control);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Access keys belong to the window, not to the widget that has the focus: a text box
    // would otherwise take Alt+M as an "m".
    if (event->type() == QEvent::KeyPress) {
        if (const auto* key = static_cast<QKeyEvent*>(event); accessKeyOf(*key))
            return core_.keyPressed(*key);
    }
    // Keep the model's idea of the focused control in step with the player's clicks and
    // tabs; focusControl() finds the widget already focused, so this does not loop.
    if (event->type() == QEvent::FocusIn) {
        for (auto& [control, widget] : widgets_) {
            if (widget != watched)
                continue;
            auto* focusable = static_cast<FocusableControl*>(control);
            if (form_.focusedControl() != focusable)
                form_.focusControl(focusable);
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- Drawing -------------------------------------------------------------------------------

void FormWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintForm(painter, form_, event->rect());
}

// --- Input ---------------------------------------------------------------------------------

bool FormWindow::acceptsInput() const { return core_.acceptsInput(); }

void FormWindow::mouseMoveEvent(QMouseEvent* event) { core_.mouseMoved(*event); }
void FormWindow::mousePressEvent(QMouseEvent* event) { core_.mousePressed(*event); }
void FormWindow::mouseReleaseEvent(QMouseEvent* event)
{
    core_.mouseReleased(*event, rect(), mask());
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    if (!core_.keyPressed(*event))
        QWidget::keyPressEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The window never closes itself: the program decides what a close request means.
    event->ignore();
    core_.closeRequested();
}

} // namespace platform
