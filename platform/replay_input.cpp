#include "platform/replay_input.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/program.h"
#include "platform/timer.h"

namespace platform::replay {

namespace {

template <class C>
C* controlOf(Form& form, const std::string& name)
{
    for (Control* control : form.controls())
        if (control->name() == name)
            return dynamic_cast<C*>(control);
    return nullptr;
}

} // namespace

Form* formOf(const Event& event, const Vocabulary& vocabulary)
{
    const std::string& name = vocabulary.at(event.window).name;
    for (Form* form : Program::current().forms())
        if (form->className() == name)
            return form;
    return nullptr;
}

Timer* timerOf(const Event& event, const Vocabulary& vocabulary)
{
    Form* form = formOf(event, vocabulary);
    if (!form)
        return nullptr;
    const std::string& name = vocabulary.at(event.window).timers.at(event.item);
    for (Timer* timer : form->timers())
        if (timer->name() == name)
            return timer;
    return nullptr;
}

std::function<void()> inputOf(const Event& event, const Replay& replay,
                              const Vocabulary& vocabulary)
{
    Form* form = formOf(event, vocabulary);
    if (!form)
        return {};
    const WindowNames& names = vocabulary.at(event.window);
    const Event e = event;
    switch (event.kind) {
    case EventKind::Move: return [form, e] { form->mouseMoved(e.x, e.y, e.value, e.shift); };
    case EventKind::Click: return [form, e] { form->clicked(e.x, e.y); };
    case EventKind::Key: return [form, e] { form->keyPressed(e.value); };
    case EventKind::Access:
        return [form, e] { form->accessKeyPressed(static_cast<char>(e.value)); };
    case EventKind::Close: return [form] { form->closeRequested(); };
    case EventKind::Type: {
        auto* box = controlOf<TextBox>(*form, names.textBoxes.at(e.item));
        if (!box)
            return {};
        const std::string text = replay.texts.at(static_cast<std::size_t>(e.value));
        return [form, box, text] {
            form->focusControl(box);
            box->typed(text);
        };
    }
    case EventKind::Pick: {
        auto* list = controlOf<ComboBox>(*form, names.lists.at(e.item));
        if (!list)
            return {};
        return [form, list, e] {
            form->focusControl(list);
            list->pick(e.value);
        };
    }
    case EventKind::Press: {
        auto* button = controlOf<CommandButton>(*form, names.buttons.at(e.item));
        if (!button)
            return {};
        return [form, button] {
            form->focusControl(button);
            button->press();
        };
    }
    default: return {};
    }
}

std::string describe(const Event& event, const Replay& replay, const Vocabulary& vocabulary)
{
    const std::string line = eventLine(event, vocabulary, replay.texts);
    const std::size_t verb = line.find(' ') + 1;
    return line.substr(verb, line.size() - verb - 1);
}

bool exitHolds(const Event& event)
{
    const Program& program = Program::current();
    return event.kind == EventKind::Exit && program.ended() && program.exitStatus() == event.value;
}

std::string divergence(const std::string& path, std::size_t index, const Replay& replay,
                       const Vocabulary& vocabulary)
{
    const Event& event = replay.events.at(index);
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
               describe(event, replay, vocabulary) + "'";
    else
        what = "the replayed program did not take '" + describe(event, replay, vocabulary) + "'";
    return path + ": line " + std::to_string(index + 2) + ": " + what + "; the replay stops there";
}

} // namespace platform::replay
