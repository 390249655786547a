#include "tools/orvanta_sim/replay_driver.h"

#include "platform/program.h"
#include "platform/replay_input.h"
#include "platform/sim/sim_backend.h"
#include "platform/timer.h"

namespace orvanta::sim {

using namespace platform;
using replay::EventKind;

bool ReplayDriver::deliver(const replay::Event& event)
{
    switch (event.kind) {
    case EventKind::Tick: {
        Timer* timer = replay::timerOf(event, vocabulary_);
        return timer && sim_.tick(*timer);
    }
    case EventKind::Answer: return sim_.boxOpen() && sim_.answer(event.value);
    case EventKind::Signal:
        if (sim_.finished())
            return false;
        sim_.invoke([] { Program::current().end(0); });
        return true;
    case EventKind::Exit: return replay::exitHolds(event);
    case EventKind::Move:
    case EventKind::Click: {
        Form* form = replay::formOf(event, vocabulary_);
        auto input = replay::inputOf(event, replay_, vocabulary_);
        return input && sim_.replayPointer(*form, event.x, event.y, std::move(input));
    }
    default: {
        Form* form = replay::formOf(event, vocabulary_);
        auto input = replay::inputOf(event, replay_, vocabulary_);
        return input && sim_.replayInput(*form, std::move(input));
    }
    }
}

std::optional<std::size_t>
ReplayDriver::play(std::int64_t until, const std::function<void(const replay::Event&)>& played)
{
    for (; played_ < replay_.events.size(); ++played_) {
        const replay::Event& event = replay_.events[played_];
        if (event.ms > until)
            break;
        sim_.setTime(event.ms);
        if (!deliver(event))
            return played_;
        last_ = &event;
        if (played)
            played(event);
    }
    return std::nullopt;
}

} // namespace orvanta::sim
