#include "platform/qt/replay_player.h"

#include "platform/program.h"
#include "platform/qt/plain_window.h"
#include "platform/qt/qt_backend.h"
#include "platform/replay/format.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>

namespace platform {

using replay::EventKind;

ReplayPlayer::ReplayPlayer(QtBackend& backend, const replay::Replay& replay,
                           const replay::Vocabulary& vocabulary, const std::string& path)
    : backend_(backend), header_(replay.header), path_(path),
      player_(*this, replay, vocabulary, path)
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
    if (header_.screenWidth > here.width() || header_.screenHeight > here.height())
        std::fprintf(stderr,
                     "orvanta: %s: recorded on a %dx%d screen, larger than this one (%dx%d): "
                     "windows past its edges do not show\n",
                     replay::shownFileName(path_).c_str(), header_.screenWidth,
                     header_.screenHeight, here.width(), here.height());
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
    // The replayed program ended by itself: the recording must end there too.
    if (!player_.agreesWithEnd()) {
        diverged();
        return replay::Player::divergedStatus;
    }
    return Program::current().exitStatus();
}

void ReplayPlayer::diverged()
{
    std::fprintf(stderr, "orvanta: %s\n", player_.divergence().c_str());
}

// The ticks of one round go in one wake-up, as the backend fires them; anything else
// goes alone, with the event loop between, as it came from the window system.
void ReplayPlayer::playDue()
{
    const qint64 now = clock_.elapsed();
    bool first = true;
    while (!player_.done() && !backend_.hasQuit()) {
        const replay::Event& event = player_.next();
        const bool tick = event.kind == EventKind::Tick;
        if (event.ms > now || (!first && !tick))
            break;
        if (!player_.playNext([this] { armNext(); })) {
            diverged();
            stop(replay::Player::divergedStatus);
            return;
        }
        if (!tick)
            break;
        first = false;
    }
    if (player_.done() && !backend_.hasQuit()) {
        stop(0); // the recording ends here
        return;
    }
    armNext();
}

void ReplayPlayer::armNext()
{
    if (backend_.hasQuit() || player_.done())
        return;
    // A timer takes at most 2^31 - 1 ms; a longer pause is waited out in steps, each
    // ending in a look at what is due.
    constexpr qint64 longestStep = 3'600'000;
    const qint64 wait = player_.next().ms - clock_.elapsed();
    wake_.start(static_cast<int>(std::clamp<qint64>(wait, 0, longestStep)));
}

bool ReplayPlayer::deliver(std::function<bool()> accepts, std::function<void()> act)
{
    if (backend_.hasQuit() || !accepts())
        return false;
    act();
    return true;
}

bool ReplayPlayer::tick(Timer& timer)
{
    TimerScheduler& timers = backend_.timers();
    if (!timers.canTick(timer))
        return false;
    timers.tick(timer);
    return true;
}

bool ReplayPlayer::answerBox(int result) { return backend_.answerOpenBox(result); }

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
        // widget, the only place where it alone is spontaneous, and at the game's own
        // plain windows, which have no widget. Refused, the close leaves the window open.
        // The recording's own close requests go straight to the model.
        if ((watched->isWidgetType() || dynamic_cast<PlainWindow*>(watched)) &&
            event->spontaneous()) {
            event->ignore();
            return true;
        }
        return false;
    default: return QObject::eventFilter(watched, event);
    }
}

} // namespace platform
