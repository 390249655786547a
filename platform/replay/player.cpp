#include "platform/replay/player.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/timer.h"

namespace platform::replay {

namespace {

Form* formOf(const Event& event, const Vocabulary& vocabulary)
{
    const std::string& name = vocabulary.at(event.window).name;
    for (Form* form : Program::current().forms())
        if (form->className() == name)
            return form;
    return nullptr;
}

template <class Item>
Item* named(const std::vector<Item*>& items, const std::string& name)
{
    for (Item* item : items)
        if (item->name() == name)
            return item;
    return nullptr;
}

template <class C>
C* controlOf(const Form& form, const std::string& name)
{
    return dynamic_cast<C*>(named(form.controls(), name));
}

// A recorded input as the model's entry point that took it; empty if the event names no
// control of the window.
std::function<void()> inputOf(Form& form, const Event& e, const Replay& replay,
                              const WindowNames& names)
{
    Form* f = &form;
    switch (e.kind) {
    case EventKind::Move: return [f, e] { f->mouseMoved(e.x, e.y, e.value, e.shift); };
    case EventKind::Click: return [f, e] { f->clicked(e.x, e.y); };
    case EventKind::Key: return [f, e] { f->keyPressed(e.value); };
    case EventKind::Access: return [f, e] { f->accessKeyPressed(static_cast<char>(e.value)); };
    case EventKind::Close: return [f] { f->closeRequested(); };
    case EventKind::Type: {
        auto* box = controlOf<TextBox>(form, names.textBoxes.at(e.item));
        if (!box)
            return {};
        return [f, box, text = replay.texts.at(static_cast<std::size_t>(e.value))] {
            f->focusControl(box);
            box->typed(text);
        };
    }
    case EventKind::Pick: {
        auto* list = controlOf<ComboBox>(form, names.lists.at(e.item));
        if (!list)
            return {};
        return [f, list, e] {
            f->focusControl(list);
            list->pick(e.value);
        };
    }
    case EventKind::Press: {
        auto* button = controlOf<CommandButton>(form, names.buttons.at(e.item));
        if (!button)
            return {};
        return [f, button] {
            f->focusControl(button);
            button->press();
        };
    }
    default: return {};
    }
}

bool isPointer(EventKind kind) { return kind == EventKind::Move || kind == EventKind::Click; }

bool exitHolds(const Event& event)
{
    const Program& program = Program::current();
    return event.kind == EventKind::Exit && program.ended() && program.exitStatus() == event.value;
}

} // namespace

Player::Player(Stage& stage, const Replay& replay, const Vocabulary& vocabulary, std::string path)
    : stage_(stage), replay_(replay), vocabulary_(vocabulary), path_(std::move(path))
{
}

bool Player::playNext(const std::function<void()>& movedOn)
{
    const std::size_t index = next_++;
    if (movedOn)
        movedOn();
    if (play(replay_.events.at(index)))
        return true;
    refused_ = index;
    return false;
}

bool Player::play(const Event& event)
{
    switch (event.kind) {
    case EventKind::Tick: {
        Form* form = formOf(event, vocabulary_);
        Timer* timer =
            form ? named(form->timers(), vocabulary_.at(event.window).timers.at(event.item))
                 : nullptr;
        return timer && stage_.tick(*timer);
    }
    case EventKind::Answer: return stage_.answerBox(event.value);
    case EventKind::Signal:
        return stage_.deliver([] { return true; }, [] { Program::current().signalled(); });
    case EventKind::Exit: return exitHolds(event);
    default: return deliverInput(event);
    }
}

// Input goes where the window system would have taken it: to a window that takes input
// now, and for the pointer only on the window's shape.
bool Player::deliverInput(const Event& event)
{
    Form* form = formOf(event, vocabulary_);
    if (!form)
        return false;
    auto input = inputOf(*form, event, replay_, vocabulary_.at(event.window));
    if (!input)
        return false;
    const bool pointer = isPointer(event.kind);
    return stage_.deliver(
        [form, pointer, x = event.x, y = event.y] {
            return Program::current().acceptsInput(*form) && (!pointer || form->covers(x, y));
        },
        std::move(input));
}

bool Player::agreesWithEnd() const { return done() || exitHolds(next()); }

std::string Player::divergence() const
{
    const std::size_t index = refused_.value_or(next_);
    const Event& event = replay_.events.at(index);
    const Program& program = Program::current();
    const std::string status = std::to_string(program.exitStatus());
    std::string what;
    if (event.kind == EventKind::Exit && !program.ended())
        what = "the recorded program ended here (exit " + std::to_string(event.value) +
               "), the replayed one did not";
    else if (event.kind == EventKind::Exit)
        what = "the recorded program ended here with status " + std::to_string(event.value) +
               ", the replayed one with status " + status;
    else if (program.ended())
        what = "the replayed program ended (status " + status + ") before '" +
               describe(event, replay_, vocabulary_) + "'";
    else
        what = "the replayed program did not take '" + describe(event, replay_, vocabulary_) + "'";
    return shownFileName(path_) + ": line " + std::to_string(index + 2) + ": " + what +
           "; the replay stops there";
}

std::string describe(const Event& event, const Replay& replay, const Vocabulary& vocabulary)
{
    const std::string line = eventLine(event, vocabulary, replay.texts);
    const std::size_t verb = line.find(' ') + 1;
    return line.substr(verb, line.size() - verb - 1);
}

} // namespace platform::replay
