#pragma once

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_common.h"

#include <QRect>
#include <QWidget>
#include <unordered_map>

namespace platform {

class ComboBox;
class CommandButton;
class FocusableControl;
class Form;
class QtBackend;
class TextBox;

// A loaded form on the screen: a top-level widget that follows the model, draws the
// form's drawn controls, holds real widgets for its focusable ones and reports input.
class FormWindow final : public QWidget, public NativeWindowPeer {
public:
    FormWindow(Form& form, QtBackend& backend);
    ~FormWindow() override;

    // FormPeer
    void show(bool modal) override;
    void hide() override;
    void geometryChanged() override;
    void controlChanged(Control& control, Change change) override;
    bool setShape(const QRegion& pixels) override;
    void focus() override;

    // NativeWindowPeer
    WId nativeId() const override { return internalWinId(); }
    void windowLost() override;
    void focusControl(Control& control) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyGeometry();
    void applyDefinition();
    void createWidgets();
    QWidget* createWidget(FocusableControl& control);
    QWidget* createTextBox(TextBox& box);
    QWidget* createComboBox(ComboBox& list);
    QWidget* createButton(CommandButton& button);
    void followInWidget(Control& control, QWidget& widget, Change change);
    void applyTabOrder();
    void focusInitialControl();
    bool acceptsInput() const;

    Form& form_;
    QtBackend& backend_;
    std::unordered_map<Control*, QWidget*> widgets_; // children of this window
    FormWindowCore core_;
    bool shownBefore_ = false;
    bool geometryPending_ = false; // a move waits for the end of this round of events
};

} // namespace platform
