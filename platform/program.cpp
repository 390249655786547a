#include "platform/program.h"

#include "platform/form.h"
#include "platform/gdi.h"
#include "platform/msgbox.h"
#include "platform/timer.h"

#include <algorithm>
#include <cassert>

namespace platform {

namespace detail {
std::size_t newSingleSlot()
{
    static std::size_t next = 0;
    return next++;
}
} // namespace detail

Program::Program(Backend& backend) : backend_(backend), regions_(std::make_unique<RegionTable>())
{
    assert(!current_ && "one program at a time");
    current_ = this;
}

Program::~Program()
{
    // Windows go in the reverse order of their creation.
    std::vector<Single*> order;
    for (auto& single : singles_)
        if (single.object)
            order.push_back(&single);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->order > b->order; });
    for (Single* single : order)
        single->destroy(single->object);
    current_ = nullptr;
}

void Program::dispatch(const std::function<void()>& handler) noexcept
{
    if (ended_ || failing_)
        return;
    try {
        handler();
    } catch (const ProgramEnded& end) {
        finish(end.status);
    } catch (const RuntimeError& error) {
        fail(error);
    } catch (const std::bad_alloc&) {
        fail({7, "Out of memory"});
    } catch (...) {
        fail({51, "Internal error"});
    }
}

void Program::waitUntil(const std::function<bool()>& done)
{
    backend_.runUntil([&] { return ended_ || done(); });
    if (ended_)
        throw ProgramEnded{exitStatus_};
}

int Program::messageBox(const MessageBoxRequest& request)
{
    ++openBoxes_;
    const int result = backend_.messageBox(request);
    --openBoxes_;
    if (ended_)
        throw ProgramEnded{exitStatus_};
    tookAnswer(result);
    return result;
}

void Program::end(int status) { throw ProgramEnded{status}; }

bool Program::acceptsInput(const Form& form) const
{
    if (ended_ || failing_ || openBoxes_ > 0 || !form.Visible())
        return false;
    return modal_.empty() || modal_.back() == &form;
}

void Program::fail(const RuntimeError& error)
{
    // Nothing else runs while the error box is up, then the program ends.
    failing_ = true;
    error_ = error;
    for (Form* form : forms_)
        for (Timer* timer : form->timers())
            timer->stop();
    ++openBoxes_;
    try {
        const int answer = backend_.messageBox(describeMessageBox(
            "Run-time error '" + std::to_string(error.number) + "':\n\n" + error.description,
            msgbox::critical, "Orvanta Basketball"));
        if (!ended_)
            tookAnswer(answer);
    } catch (const ProgramEnded&) { // the backend itself is going away
    }
    --openBoxes_;
    finish(1);
}

void Program::finish(int status)
{
    if (ended_)
        return;
    ended_ = true;
    exitStatus_ = status;
    took(TakenEvent::of(EventKind::Exit).with(status));
    for (Form* form : forms_)
        for (Timer* timer : form->timers())
            timer->stop();
    backend_.quit(status);
}

void Program::tookAnswer(int result)
{
    // A box closed by the program's end has no answer.
    if (result != 0)
        took(TakenEvent::of(EventKind::Answer).with(result));
}

void Program::signalled()
{
    took(TakenEvent::of(EventKind::Signal));
    dispatch([this] { end(0); });
}

} // namespace platform
