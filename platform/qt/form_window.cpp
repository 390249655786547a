#include "platform/qt/form_window.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_fonts.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

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

FormWindow::FormWindow(Form& form, QtBackend& backend) : WindowPeer(form, backend)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent covers every pixel
    setMouseTracking(true);
    createWidgets();
    applyTabOrder();
}

FormWindow::~FormWindow()
{
    // The form's controls are gone by now: take the widgets down before they can report.
    for (auto& [control, widget] : widgets_)
        delete widget;
}

// --- Following the model -----------------------------------------------------------------

void FormWindow::shown()
{
    // The first show puts the focus on the control the model has focused.
    if (shownBefore_)
        return;
    shownBefore_ = true;
    restoreFocus();
}

void FormWindow::restoreFocus()
{
    if (FocusableControl* control = form_.focusedControl())
        focusControl(*control);
}

void FormWindow::controlChanged(Control& control, Change change)
{
    if (const auto widget = widgets_.find(&control); widget != widgets_.end()) {
        followInWidget(control, *widget->second, change);
        return;
    }
    repaint(control);
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
    push->setAutoDefault(false); // Return and Space on a button are the model's
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

// The model moves the focus on Tab; Qt's chain, in the same order, only picks where the
// focus goes when the focused widget is hidden.
void FormWindow::applyTabOrder()
{
    const std::vector<FocusableControl*> order = form_.tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgets_.at(order[i - 1]), widgets_.at(order[i]));
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Every key goes to the model first; the widget sees only the keys that the model
    // leaves to it for editing (typing in a text box, moving in a list).
    if (event->type() == QEvent::KeyPress)
        return core_.keyPressed(static_cast<QKeyEvent&>(*event)) == KeyRoute::Taken;
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

// --- Input ---------------------------------------------------------------------------------

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    // A key that a widget let pass has been to the model already.
    if (QWidget* focused = focusWidget(); focused && focused != this)
        return;
    core_.keyPressed(*event);
}

} // namespace platform
