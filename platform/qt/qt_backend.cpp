#include "platform/qt/qt_backend.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/msgbox.h"
#include "platform/qt/form_window.h"
#include "platform/qt/plain_window.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/tick_statistics.h"
#include "platform/qt/x11_window_state.h"
#include "platform/timer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace platform {

namespace {

// Each button of a box knows the answer it gives, for a replay to press it.
constexpr const char* resultProperty = "orvantaResult";

QMessageBox::Icon iconOf(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Critical: return QMessageBox::Critical;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Adds the buttons in the model's order and returns them, parallel to its list. One role
// for all keeps that order on every desktop.
std::vector<QPushButton*> addButtons(QMessageBox& box, const MessageBoxRequest& request)
{
    std::vector<QPushButton*> buttons;
    for (const BoxButton& button : request.buttons) {
        buttons.push_back(
            box.addButton(QString::fromStdString(button.caption), QMessageBox::AcceptRole));
        buttons.back()->setProperty(resultProperty, button.result);
    }
    box.setDefaultButton(buttons.at(request.defaultButton));
    if (request.escapeButton)
        box.setEscapeButton(buttons.at(*request.escapeButton));
    return buttons;
}

// A message box as the game shows it. It opens centred on the primary monitor, where the
// model's screen is: a box with no parent window would open on the monitor under the
// pointer. Its size is known only once its own show event has laid it out, which is still
// before it is mapped. A close of its window (not a button, not Escape) ends it with no
// button clicked, whatever its buttons; the caller answers it with msgbox::closeAnswer.
// Qt would ignore that close on a box with no Cancel, and a box destroyed from outside
// would keep its modal loop running for ever.
class GameMessageBox final : public QMessageBox {
public:
    GameMessageBox(Icon icon, const QString& title, const QString& text, const Desktop& desktop)
        : QMessageBox(icon, title, text, QMessageBox::NoButton), desktop_(desktop)
    {
    }

    // Closed with its window destroyed from outside: Qt's side of it goes too, and the
    // next show makes a new one.
    void forgetWindow() { destroy(); }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        desktop_.centre(*this);
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        if (isVisible())
            reject();
    }

private:
    const Desktop& desktop_;
};

} // namespace

QtBackend::QtBackend()
    : desktop_([this] {
          // Model positions count from the primary monitor's corner: follow it.
          for (FormPeer* window : windows_)
              window->geometryChanged();
      })
{
    // The program decides when it ends, not the last window that goes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    watchDestroyedWindows([this](WId id) { nativeWindowDestroyed(id); });
}

QtBackend::~QtBackend()
{
    watchDestroyedWindows(nullptr);
    if (const TickStatistics* statistics = TickStatistics::instance())
        statistics->report();
}

std::unique_ptr<FormPeer> QtBackend::createFormPeer(Form& form)
{
    // Real widgets need a widget to live in; a window of drawn controls is lighter plain.
    const auto& controls = form.controls();
    if (std::any_of(controls.begin(), controls.end(), [](auto* c) { return c->isWidget(); }))
        return std::make_unique<FormWindow>(form, *this);
    return std::make_unique<PlainWindow>(form, *this);
}

std::unique_ptr<TimerPeer> QtBackend::createTimerPeer(Timer& timer)
{
    return timers_.createPeer(timer);
}

void QtBackend::runUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    Wait wait{loop, done};
    waits_.push_back(&wait);
    // An outer loop told to quit while an inner one runs leaves only when the inner one
    // returns; by then its condition may have changed again, so look once more. A loop
    // that the application itself left (QCoreApplication::exit) is not entered again:
    // it would return at once, for ever.
    bool enter = !quit_ && !done();
    while (enter) {
        wait.released = false;
        loop.exec();
        enter = wait.released && !quit_ && !done();
    }
    waits_.pop_back();
}

void QtBackend::conditionsChanged()
{
    for (Wait* wait : waits_) {
        if (!wait->released && wait->done()) {
            wait->released = true;
            wait->loop.quit();
        }
    }
}

int QtBackend::messageBox(const MessageBoxRequest& request)
{
    if (quit_)
        return 0;
    GameMessageBox box(iconOf(request.icon), QString::fromStdString(request.title),
                       QString::fromStdString(request.prompt), desktop_);
    box.setWindowModality(Qt::ApplicationModal);
    const std::vector<QPushButton*> buttons = addButtons(box, request);

    const QPointer<QWindow> focusBefore = QGuiApplication::focusWindow();
    openBoxes_.push_back(&box);
    box.exec(); // other timers go on ticking in the box's own event loop
    // A replayed box is answered by its recording alone (the player refuses the rest of
    // what could close it): one closed with its window destroyed shows again.
    while (replaying() && !quit_ && !box.clickedButton()) {
        box.forgetWindow();
        box.exec();
    }
    std::erase(openBoxes_, &box);
    if (quit_)
        return 0;

    const auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (clicked == buttons.end()) {
        // A box destroyed from outside leaves the keyboard with no window: give it back.
        if (focusBefore)
            focusBefore->requestActivate();
        return msgbox::closeAnswer(request.style);
    }
    return request.buttons[static_cast<std::size_t>(clicked - buttons.begin())].result;
}

bool QtBackend::answerOpenBox(int result)
{
    if (openBoxes_.empty())
        return false;
    for (QAbstractButton* button : openBoxes_.back()->buttons()) {
        if (button->property(resultProperty).toInt() == result) {
            button->click();
            return true;
        }
    }
    return false;
}

void QtBackend::beep() { QApplication::beep(); }

ScreenSize QtBackend::screenSize() const
{
    if (replayScreen_)
        return *replayScreen_;
    const QSize area = desktop_.workAreaSize();
    return {area.width(), area.height()};
}

void QtBackend::quit(int status)
{
    quit_ = true;
    for (FormPeer* window : windows_)
        window->hide();
    for (QMessageBox* box : openBoxes_)
        box->done(0);
    for (Wait* wait : waits_)
        wait->loop.quit();
    QCoreApplication::exit(status);
}

void QtBackend::windowCreated(NativeWindowPeer& window) { windows_.push_back(&window); }

void QtBackend::windowDestroyed(NativeWindowPeer& window) { std::erase(windows_, &window); }

void QtBackend::nativeWindowDestroyed(WId id)
{
    // Called from inside Qt's event processing: the box's answer and the exit question
    // come after it, from the event loop.
    for (QMessageBox* box : openBoxes_) {
        if (box->internalWinId() == id) {
            QMetaObject::invokeMethod(box, &QWidget::close, Qt::QueuedConnection);
            return;
        }
    }
    for (NativeWindowPeer* window : windows_) {
        if (window->nativeId() == id) {
            // One loss may be told twice (the notice and a move's error): the window made
            // anew by the first has another id.
            QTimer::singleShot(0, qApp, [this, window, id] {
                if (std::find(windows_.begin(), windows_.end(), window) != windows_.end() &&
                    window->nativeId() == id)
                    window->windowLost();
            });
            return;
        }
    }
}

} // namespace platform
