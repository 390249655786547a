#include "platform/sim/sim_backend.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/msgbox.h"
#include "platform/program.h"
#include "platform/timer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace platform {

namespace {
constexpr std::int64_t noDeadline = std::numeric_limits<std::int64_t>::max();

} // namespace

class SimBackend::SimFormPeer final : public FormPeer {
public:
    SimFormPeer(SimBackend& sim, Form& form) : sim_(sim), form_(form) {}

    void show(bool modal) override
    {
        sim_.log_.push_back("show " + form_.className() + (modal ? " modal" : ""));
    }
    void hide() override { sim_.log_.push_back("hide " + form_.className()); }
    void geometryChanged() override {}
    void controlChanged(Control&, Change) override {}
    bool setShape(const Region&) override
    {
        if (sim_.refuseShape_) {
            sim_.refuseShape_ = false;
            return false;
        }
        sim_.log_.push_back("shape " + form_.className());
        return true;
    }
    void focus() override {}
    void focusControl(Control&) override {}

private:
    SimBackend& sim_;
    Form& form_;
};

SimBackend::SimBackend(ScreenSize screen) : screen_(screen) {}

SimBackend::~SimBackend() { stop(); }

void SimBackend::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::unique_lock lock(mutex_);
        shutdown_ = true;
        programsTurn_ = true;
        turnChanged_.notify_all();
        turnChanged_.wait(lock, [this] { return finished_; });
    }
    thread_.join();
}

// --- The hand-over ----------------------------------------------------------------------

void SimBackend::start(Program& program, std::function<void()> startup)
{
    thread_ = std::thread([this, &program, startup = std::move(startup)] {
        try {
            {
                std::unique_lock lock(mutex_);
                turnChanged_.wait(lock, [this] { return programsTurn_; });
            }
            program.dispatch(startup);
            loop([] { return false; }, noDeadline);
        } catch (const ProgramEnded&) {
        }
        std::lock_guard lock(mutex_);
        finished_ = true;
        programsTurn_ = false;
        turnChanged_.notify_all();
    });
    handOverToProgram();
}

void SimBackend::handOverToProgram()
{
    std::unique_lock lock(mutex_);
    if (finished_)
        return;
    programsTurn_ = true;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return !programsTurn_; });
}

void SimBackend::waitForWork()
{
    std::unique_lock lock(mutex_);
    programsTurn_ = false;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return programsTurn_; });
    // The driver is going away mid-run: end the program as EndProgram would.
    if (shutdown_)
        throw ProgramEnded{0};
}

// --- The program's loops ----------------------------------------------------------------

std::int64_t SimBackend::deadline() const
{
    return deadlines_.empty() ? noDeadline : deadlines_.back();
}

bool SimBackend::step(std::int64_t limit)
{
    if (!inputs_.empty()) {
        auto input = std::move(inputs_.front());
        inputs_.pop_front();
        input();
        ++changes_;
        return true;
    }
    const std::optional<std::int64_t> due = timers_.nextDue();
    if (!due || *due >= limit)
        return false;
    now_ = *due;
    const Timer& ticked = timers_.fireNext();
    if (observer)
        observer(ticked);
    return true;
}

void SimBackend::loop(const std::function<bool()>& done, std::int64_t until)
{
    // The condition is asked again only when something that may change it has happened:
    // most ticks only move the ball.
    std::uint64_t seen = changes_;
    const auto finished = [&] {
        if (quit_)
            return true;
        if (seen == changes_)
            return false;
        seen = changes_;
        return done();
    };
    if (done())
        return;
    while (!finished()) {
        const std::int64_t limit = std::min(target_, until == noDeadline ? noDeadline : until + 1);
        if (step(limit)) {
            if (pause_) {
                // The driver's call ends here: what it does next starts from this clock.
                pause_ = false;
                target_ = stopAt_ = now_;
                waitForWork();
            }
            continue;
        }
        // Nothing left to fire before the limit: the clock stands at the driver's time,
        // or at this wait's deadline if that comes first.
        now_ = std::max(now_, std::min(stopAt_, until));
        ++changes_; // time has passed
        if (finished())
            break;
        waitForWork();
        ++changes_; // the driver may have answered, or let time pass
    }
}

void SimBackend::runUntil(const std::function<bool()>& done) { loop(done, deadline()); }

void SimBackend::quit(int)
{
    quit_ = true;
    ++changes_;
}

// --- Time ---------------------------------------------------------------------------------

void SimBackend::advanceTo(std::int64_t time)
{
    if (time < now_)
        return;
    target_ = time == noDeadline ? time : time + 1;
    stopAt_ = time;
    handOverToProgram();
}

void SimBackend::advanceToJustBefore(std::int64_t time)
{
    if (time < now_)
        return;
    target_ = time;
    stopAt_ = time;
    handOverToProgram();
}

// --- Input ------------------------------------------------------------------------------

bool SimBackend::deliver(std::function<bool()> accepts, std::function<void()> act)
{
    if (finished_)
        return false;
    bool delivered = false;
    // The driver waits only until the program is idle again, which may be inside a modal
    // show or a message box that this input opened: the closure must not touch the
    // driver's stack after it has decided whether the input was taken.
    inputs_.push_back([this, &delivered, accepts = std::move(accepts), act = std::move(act)] {
        if (!accepts())
            return;
        delivered = true;
        act();
    });
    handOverToProgram();
    return delivered;
}

static bool takesInput(const Form& form) { return Program::current().acceptsInput(form); }

bool SimBackend::moveMouse(Form& form, float x, float y, int button)
{
    Form* f = &form;
    return deliver([=] { return takesInput(*f) && f->covers(x, y); },
                   [=] { f->mouseMoved(x, y, button, 0); });
}

bool SimBackend::click(Form& form, float x, float y)
{
    Form* f = &form;
    return deliver([=] { return takesInput(*f) && f->covers(x, y); }, [=] { f->clicked(x, y); });
}

bool SimBackend::click(Control& control)
{
    return click(control.form(), control.Left + control.Width / 2,
                 control.Top + control.Height / 2);
}

bool SimBackend::pressKey(int keyAscii) { return pressKey(KeyPress::ofAscii(keyAscii)); }

bool SimBackend::pressKey(const KeyPress& press)
{
    return pressKeyOn([] { return Program::current().activeForm(); }, press);
}

bool SimBackend::pressKey(Form& form, int keyAscii)
{
    return pressKey(form, KeyPress::ofAscii(keyAscii));
}

bool SimBackend::pressKey(Form& form, const KeyPress& press)
{
    Form* f = &form;
    return pressKeyOn([f] { return f; }, press);
}

bool SimBackend::pressKeyOn(std::function<Form*()> target, const KeyPress& press)
{
    return deliver([=] { return target() && takesInput(*target()); },
                   [=] {
                       Form* form = target();
                       if (form->keyDown(press) == KeyRoute::ToControl)
                           editInControl(*form->focusedControl(), press);
                   });
}

void SimBackend::editInControl(FocusableControl& control, const KeyPress& press)
{
    if (auto* box = dynamic_cast<TextBox*>(&control)) {
        std::string text = box->Text;
        if (press.key == Key::Character && !(press.shift & 6)) {
            box->typed(text + static_cast<char>(press.keyAscii));
        } else if (press.key == Key::Backspace && !text.empty()) {
            std::size_t end = text.size() - 1;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                --end; // a whole code point
            box->typed(text.substr(0, end));
        }
        return;
    }
    auto* list = dynamic_cast<ComboBox*>(&control);
    if (!list || list->items().empty())
        return;
    const int last = static_cast<int>(list->items().size()) - 1;
    const int now = list->ListIndex();
    if (press.key == Key::Down)
        list->pick(std::min(now + 1, last));
    else if (press.key == Key::Up && now > 0)
        list->pick(now - 1);
    else if (press.key == Key::Character && press.keyAscii != ' ') {
        // The next item that starts with the letter typed, round from the picked one.
        const auto lower = [](int c) { return c < 128 ? std::tolower(c) : c; };
        for (int step = 1; step <= last + 1; ++step) {
            const int index = (now + step) % (last + 1);
            const std::string& item = list->items()[static_cast<std::size_t>(index)];
            if (!item.empty() &&
                lower(static_cast<unsigned char>(item[0])) == lower(press.keyAscii)) {
                list->pick(index);
                break;
            }
        }
    }
}

bool SimBackend::type(TextBox& box, const std::string& text)
{
    TextBox* b = &box;
    return deliver([=] { return takesInput(b->form()) && b->Visible && !b->Locked; },
                   [=] {
                       b->form().focusControl(b);
                       b->typed(b->Text.get() + text);
                   });
}

bool SimBackend::pick(ComboBox& list, int index)
{
    ComboBox* l = &list;
    return deliver([=] { return takesInput(l->form()) && l->Visible.get(); },
                   [=] {
                       l->form().focusControl(l);
                       l->pick(index);
                   });
}

bool SimBackend::pressAccessKey(Form& form, char letter)
{
    Form* f = &form;
    return deliver([=] { return takesInput(*f); },
                   [=] { f->keyDown(KeyPress::accessKey(letter)); });
}

bool SimBackend::requestClose(Form& form)
{
    Form* f = &form;
    return deliver([=] { return takesInput(*f); }, [=] { f->closeRequested(); });
}

bool SimBackend::tick(Timer& timer)
{
    Timer* t = &timer;
    return deliver([this, t] { return timers_.canTick(*t); },
                   [this, t] {
                       timers_.tick(*t);
                       if (observer)
                           observer(*t);
                   });
}

void SimBackend::invoke(std::function<void()> handler)
{
    deliver([] { return true; },
            [handler = std::move(handler)] { Program::current().dispatch(handler); });
}

// --- Message boxes ----------------------------------------------------------------------

const MessageBoxRequest* SimBackend::openBox() const
{
    return openBoxes_.empty() ? nullptr : &boxes_[openBoxes_.back()].request;
}

bool SimBackend::answer(int result)
{
    if (openBoxes_.empty())
        return false;
    return deliver([this] { return !openBoxes_.empty(); },
                   [this, result] { boxes_[openBoxes_.back()].answer = result; });
}

bool SimBackend::closeBox()
{
    const MessageBoxRequest* box = openBox();
    return box && answer(msgbox::closeAnswer(box->style));
}

void SimBackend::queueAnswer(int result, std::int64_t afterMs)
{
    queuedAnswers_.push_back({result, afterMs});
}

int SimBackend::defaultAnswer(const MessageBoxRequest& request) const
{
    return request.buttons.at(request.defaultButton).result;
}

int SimBackend::messageBox(const MessageBoxRequest& request)
{
    const std::size_t index = boxes_.size();
    boxes_.push_back({request, now_, 0});
    openBoxes_.push_back(index);
    log_.push_back("box " + request.title);

    std::optional<QueuedAnswer> queued;
    if (!queuedAnswers_.empty()) {
        queued = queuedAnswers_.front();
        queuedAnswers_.pop_front();
    } else if (const auto answer = answerPolicy ? answerPolicy(request) : std::nullopt) {
        queued = QueuedAnswer{*answer, 0};
    } else if (autoAnswer_) {
        queued = QueuedAnswer{defaultAnswer(request), 0};
    }
    if (queued) {
        if (queued->afterMs > 0) {
            const std::int64_t until = now_ + queued->afterMs;
            deadlines_.push_back(until);
            loop([&] { return now_ >= until && inputs_.empty(); }, until);
            deadlines_.pop_back();
        }
        if (boxes_[index].answer == 0)
            boxes_[index].answer = queued->result;
    } else {
        runUntil([&] { return boxes_[index].answer != 0; });
    }
    openBoxes_.pop_back();
    return quit_ ? 0 : boxes_[index].answer;
}

// --- Peers --------------------------------------------------------------------------------

std::unique_ptr<FormPeer> SimBackend::createFormPeer(Form& form)
{
    return std::make_unique<SimFormPeer>(*this, form);
}

std::unique_ptr<TimerPeer> SimBackend::createTimerPeer(Timer& timer)
{
    return timers_.createPeer(timer);
}

} // namespace platform
