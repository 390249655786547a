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
    clock_.start();
    wake_.start(0);
}

// The ticks of one round go in one wake-up, as the backend fires them; anything else
// goes alone, with the event loop between, as it came from the window system.
void ReplayPlayer::playDue()
{
    const qint64 now = clock_.elapsed();
    bool first = true;
    while (next_ < replay_.events.size() && status_ == 0 && !backend_.hasQuit()) {
        const replay::Event& event = replay_.events[next_];
        if (event.ms > now || (!first && event.kind != EventKind::Tick))
            break;
        ++next_;
        // Armed before the event plays: it may open a box, and the recording goes on
        // inside the box's loop.
        armNext();
        if (!play(event)) {
            std::fprintf(stderr, "orvanta: %s: line %d: the replayed program did not take '%s'\n",
                         path_.c_str(), static_cast<int>(next_) + 1,
                         replay::describe(event, replay_, vocabulary_).c_str());
            stop(3);
            return;
        }
        if (event.kind != EventKind::Tick)
            break;
        first = false;
    }
    if (next_ == replay_.events.size() && !backend_.hasQuit() && status_ == 0) {
        stop(0); // the recording ends here
        return;
    }
    armNext();
}

void ReplayPlayer::armNext()
{
    if (backend_.hasQuit() || status_ != 0 || next_ >= replay_.events.size())
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
    case EventKind::Exit: return program.ended();
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
    status_ = status;
    wake_.stop();
    Program& program = Program::current();
    if (!program.ended())
        program.dispatch([status] { Program::current().end(status); });
}

bool ReplayPlayer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !backend_.hasQuit())
            stop(0);
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return event->spontaneous();
    default: return QObject::eventFilter(watched, event);
    }
}

} // namespace platform
