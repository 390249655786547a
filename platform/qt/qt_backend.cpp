#include "platform/qt/qt_backend.h"

#include "platform/form.h"
#include "platform/control.h"
#include "platform/qt/form_window.h"
#include "platform/qt/plain_window.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/tick_statistics.h"
#include "platform/timer.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <span>

namespace platform {

namespace {

// --- Message boxes: the platform's style values mapped onto QMessageBox -----------------

struct Answer {
    const char* text;
    int code;
};

constexpr Answer okAnswer{"OK", 1};
constexpr Answer cancelAnswer{"Cancel", 2};
constexpr Answer abortAnswer{"&Abort", 3};
constexpr Answer retryAnswer{"&Retry", 4};
constexpr Answer ignoreAnswer{"&Ignore", 5};
constexpr Answer yesAnswer{"&Yes", 6};
constexpr Answer noAnswer{"&No", 7};

constexpr std::array<Answer, 1> okOnly{okAnswer};
constexpr std::array<Answer, 2> okCancel{okAnswer, cancelAnswer};
constexpr std::array<Answer, 3> abortRetryIgnore{abortAnswer, retryAnswer, ignoreAnswer};
constexpr std::array<Answer, 3> yesNoCancel{yesAnswer, noAnswer, cancelAnswer};
constexpr std::array<Answer, 2> yesNo{yesAnswer, noAnswer};
constexpr std::array<Answer, 2> retryCancel{retryAnswer, cancelAnswer};

std::span<const Answer> answersFor(int style)
{
    switch (style & 0x7) {
    case 1: return okCancel;
    case 2: return abortRetryIgnore;
    case 3: return yesNoCancel;
    case 4: return yesNo;
    case 5: return retryCancel;
    default: return okOnly;
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

std::size_t defaultIndexFor(int style) { return static_cast<std::size_t>((style & 0x300) >> 8); }

// Adds the buttons in the platform's order and returns them, parallel to the answers.
// One role for all keeps that order on every desktop; Escape and the close box answer
// only a Cancel button, or the lone OK, so a Yes/No question always gets Yes or No.
std::vector<QPushButton*> addButtons(QMessageBox& box, std::span<const Answer> answers, int style)
{
    std::vector<QPushButton*> buttons;
    for (const Answer& answer : answers) {
        QPushButton* button = box.addButton(QString::fromLatin1(answer.text),
                                            QMessageBox::AcceptRole);
        if (answer.code == cancelAnswer.code)
            box.setEscapeButton(button);
        buttons.push_back(button);
    }
    box.setDefaultButton(buttons[std::min(defaultIndexFor(style), buttons.size() - 1)]);
    return buttons;
}

} // namespace

QtBackend::QtBackend()
{
    registerFontSubstitutions();
    // The program decides when it ends, not the last window that goes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

QtBackend::~QtBackend()
{
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

namespace {
// A replayed timer ticks only where the recording says.
class ReplayedTimerPeer final : public TimerPeer {
public:
    void start(int) override {}
    void stop() override {}
};
} // namespace

std::unique_ptr<TimerPeer> QtBackend::createTimerPeer(Timer& timer)
{
    if (replayScreen_)
        return std::make_unique<ReplayedTimerPeer>();
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
    QMessageBox box(iconFor(request.style), QString::fromStdString(request.title),
                    QString::fromStdString(request.prompt), QMessageBox::NoButton);
    box.setWindowModality(Qt::ApplicationModal);
    const std::span<const Answer> answers = answersFor(request.style);
    const std::vector<QPushButton*> buttons = addButtons(box, answers, request.style);

    openBoxes_.push_back(&box);
    box.exec(); // other timers go on ticking in the box's own event loop
    std::erase(openBoxes_, &box);
    if (quit_)
        return 0;

    const auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (clicked == buttons.end())
        return 0;
    return answers[static_cast<std::size_t>(clicked - buttons.begin())].code;
}

bool QtBackend::answerOpenBox(int result)
{
    if (openBoxes_.empty())
        return false;
    constexpr std::array answers{okAnswer, cancelAnswer, abortAnswer, retryAnswer,
                                 ignoreAnswer, yesAnswer, noAnswer};
    const auto answer = std::find_if(answers.begin(), answers.end(),
                                     [&](const Answer& a) { return a.code == result; });
    if (answer == answers.end())
        return false;
    for (QAbstractButton* button : openBoxes_.back()->buttons()) {
        if (button->text() == QString::fromLatin1(answer->text)) {
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
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect whole = screen->geometry();
    return {whole.width(), whole.height()};
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

void QtBackend::windowCreated(FormPeer& window) { windows_.push_back(&window); }

void QtBackend::windowDestroyed(FormPeer& window) { std::erase(windows_, &window); }

} // namespace platform
