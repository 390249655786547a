#pragma once

#include "platform/backend_guard.h"

#include "platform/qt/window_peer.h"

#include <QWidget>
#include <unordered_map>

namespace platform {

class ComboBox;
class CommandButton;
class FocusableControl;
class TextBox;

// A loaded form on the screen: a top-level widget that follows the model, draws the
// form's drawn controls, holds real widgets for its focusable ones and reports input.
class FormWindow final : public WindowPeer<QWidget> {
public:
    FormWindow(Form& form, QtBackend& backend);
    ~FormWindow() override;

    // FormPeer
    void controlChanged(Control& control, Change change) override;
    void focus() override;
    void focusControl(Control& control) override;

protected:
    void shown() override;
    void restoreFocus() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    QWidget* createWidget(FocusableControl& control);
    QWidget* createTextBox(TextBox& box);
    QWidget* createComboBox(ComboBox& list);
    QWidget* createButton(CommandButton& button);
    void followInWidget(Control& control, QWidget& widget, Change change);
    void applyTabOrder();
    bool acceptsInput() const { return core_.acceptsInput(); }

    std::unordered_map<Control*, QWidget*> widgets_; // children of this window
    bool shownBefore_ = false;
};

} // namespace platform
