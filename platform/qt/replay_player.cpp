#include "platform/qt/replay_player.h"

#include "platform/form.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/replay_input.h"
#include "platform/timer.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>

namespace platform {

using replay::EventKind;

ReplayPlayer::ReplayPlayer(QtBackend& backend, const replay::Replay& replay,
                           const replay::Vocabulary& vocabulary, std::string path)
    : backend_(backend), replay_(replay), vocabulary_(vocabulary), path_(std::move(path))
{
    wake_.setTimerType(Qt::PreciseTimer);
    wake_.setSingleShot(true);
    connect(&wake_, &QTimer::timeout, this, [this] { playDue(); });
    QCoreApplication::instance()->installEventFilter(this);
}

void ReplayPlayer::start()
{
    // The model's screen is the recorded one: on a smaller screen some windows may stand
    // off this one, and the player should know why.
    const QSize here = backend_.desktop().workAreaSize();
    const replay::Header& recorded = replay_.header;
    if (recorded.screenWidth > here.width() || recorded.screenHeight > here.height())
        std::fprintf(stderr,
                     "orvanta: %s: recorded on a %dx%d screen, larger than this one (%dx%d): "
                     "windows past its edges do not show\n",
                     path_.c_str(), recorded.screenWidth, recorded.screenHeight, here.width(),
                     here.height());
    clock_.start();
    wake_.start(0);
}

void ReplayPlayer::interrupt()
{
    if (!backend_.hasQuit())
        stop(0);
}

int ReplayPlayer::finish()
{
    if (stoppedWith_)
        return *stoppedWith_;
    // The replayed program ended by itself: the recording must end there too, with the
    // same status. A recording cut short after the last event (no exit line) has no say.
    if (next_ < replay_.events.size() && !replay::exitHolds(replay_.events[next_])) {
        diverged(next_);
        return replay::divergedStatus;
    }
    return Program::current().exitStatus();
}

void ReplayPlayer::diverged(std::size_t index)
{
    std::fprintf(stderr, "orvanta: %s\n",
                 replay::divergence(path_, index, replay_, vocabulary_).c_str());
}

// The ticks of one round go in one wake-up, as the backend fires them; anything else
// goes alone, with the event loop between, as it came from the window system.
void ReplayPlayer::playDue()
{
    const qint64 now = clock_.elapsed();
    bool first = true;
    while (next_ < replay_.events.size() && !backend_.hasQuit()) {
        const replay::Event& event = replay_.events[next_];
        if (event.ms > now || (!first && event.kind != EventKind::Tick))
            break;
        ++next_;
        // Armed before the event plays: it may open a box, and the recording goes on
        // inside the box's loop.
        armNext();
        if (!play(event)) {
            diverged(next_ - 1);
            stop(replay::divergedStatus);
            return;
        }
        if (event.kind != EventKind::Tick)
            break;
        first = false;
    }
    if (next_ == replay_.events.size() && !backend_.hasQuit()) {
        stop(0); // the recording ends here
        return;
    }
    armNext();
}

void ReplayPlayer::armNext()
{
    if (backend_.hasQuit() || next_ >= replay_.events.size())
        return;
    // A timer takes at most 2^31 - 1 ms; a longer pause is waited out in steps, each
    // ending in a look at what is due.
    constexpr qint64 longestStep = 3'600'000;
    const qint64 wait = replay_.events[next_].ms - clock_.elapsed();
    wake_.start(static_cast<int>(std::clamp<qint64>(wait, 0, longestStep)));
}

bool ReplayPlayer::play(const replay::Event& event)
{
    Program& program = Program::current();
    switch (event.kind) {
    case EventKind::Tick: {
        Timer* timer = replay::timerOf(event, vocabulary_);
        if (!timer || !timer->Enabled || timer->isRunning())
            return false;
        timer->tick();
        return true;
    }
    case EventKind::Answer: return backend_.answerOpenBox(event.value);
    case EventKind::Signal: program.dispatch([] { Program::current().end(0); }); return true;
    case EventKind::Exit: return replay::exitHolds(event);
    default: {
        Form* form = replay::formOf(event, vocabulary_);
        const auto input = replay::inputOf(event, replay_, vocabulary_);
        if (!input || !program.acceptsInput(*form))
            return false;
        input();
        return true;
    }
    }
}

void ReplayPlayer::stop(int status)
{
    stoppedWith_ = status;
    wake_.stop();
    Program& program = Program::current();
    if (!program.ended())
        program.dispatch([status] { Program::current().end(status); });
}

bool ReplayPlayer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            interrupt();
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return event->spontaneous();
    case QEvent::Close:
        // A close box or a window manager's close. Qt closes a dialog through its window
        // too, and spontaneously there: the window system's close is told apart at the
        // widget, the only place where it alone is spontaneous. Refused, the close leaves
        // the widget open. The recording's own close requests go straight to the model.
        if (watched->isWidgetType() && event->spontaneous()) {
            event->ignore();
            return true;
        }
        return false;
    default: return QObject::eventFilter(watched, event);
    }
}

} // namespace platform
