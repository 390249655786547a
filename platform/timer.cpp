#include "platform/timer.h"

#include "platform/form.h"
#include "platform/program.h"

namespace platform {

Timer::Timer(Form& form, std::string name, int interval, bool enabled)
    : Enabled(*this, Change::Enabled, enabled), Interval(*this, Change::Enabled, interval),
      form_(form), name_(std::move(name))
{
    form.add(*this);
}

Timer::~Timer() = default;

void Timer::startIfEnabled()
{
    if (Enabled && Interval > 0)
        restart();
}

void Timer::stop()
{
    if (peer_)
        peer_->stop();
}

void Timer::restart()
{
    Program& program = Program::current();
    if (!peer_)
        peer_ = program.backend().createTimerPeer(*this);
    startSequence_ = program.nextStartSequence();
    peer_->start(Interval);
}

void Timer::propertyChanged(Change)
{
    // Before its window loads a timer only holds its settings.
    if (!form_.isLoaded())
        return;
    if (Enabled && Interval > 0)
        restart();
    else
        stop();
}

void Timer::tick()
{
    // A tick that falls due while this timer's handler waits (in a message box, say) is
    // dropped: a timer never re-enters its own handler. Other timers go on.
    if (running_ || !Enabled || !onTimer)
        return;
    Program& program = Program::current();
    program.took(TakenEvent::of(EventKind::Tick, form_.className(), name_));
    running_ = true;
    program.dispatch(onTimer);
    running_ = false;
}

} // namespace platform
