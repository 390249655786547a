#include "platform/msgbox.h"

#include "platform/program.h"

#include <algorithm>

namespace platform {

namespace {

std::vector<BoxButton> buttonsFor(int style)
{
    const BoxButton ok{"OK", msgbox::ok}, cancel{"Cancel", 2}, abort{"&Abort", 3},
        retry{"&Retry", 4}, ignore{"&Ignore", 5}, yes{"&Yes", msgbox::yes}, no{"&No", msgbox::no};
    switch (style & 0x7) {
    case 1: return {ok, cancel};
    case 2: return {abort, retry, ignore};
    case 3: return {yes, no, cancel};
    case 4: return {yes, no};
    case 5: return {retry, cancel};
    default: return {ok};
    }
}

BoxIcon iconFor(int style)
{
    switch (style & 0x70) {
    case msgbox::critical: return BoxIcon::Critical;
    case 32: return BoxIcon::Question;
    case msgbox::exclamation: return BoxIcon::Warning;
    case msgbox::information: return BoxIcon::Information;
    default: return BoxIcon::None;
    }
}

} // namespace

MessageBoxRequest describeMessageBox(std::string prompt, int style, std::string title)
{
    MessageBoxRequest box;
    box.prompt = std::move(prompt);
    box.style = style;
    box.title = std::move(title);
    box.buttons = buttonsFor(style);
    const auto defaultIndex = static_cast<std::size_t>((style & 0x300) >> 8);
    box.defaultButton = std::min(defaultIndex, box.buttons.size() - 1);
    for (std::size_t i = 0; i < box.buttons.size(); ++i)
        if (box.buttons[i].result == 2) // Cancel
            box.escapeButton = i;
    if (box.buttons.size() == 1)
        box.escapeButton = 0;
    box.icon = iconFor(style);
    return box;
}

int msgbox::closeAnswer(int style)
{
    switch (style & 0x7) {
    case 1: // OK, Cancel
    case 3: // Yes, No, Cancel
    case 5: // Retry, Cancel
        return cancel;
    case 2: return ignore; // Abort, Retry, Ignore
    case 4: return no;     // Yes, No
    default: return ok;
    }
}

int MsgBox(const std::string& prompt, int style, const std::string& title)
{
    return Program::current().messageBox(describeMessageBox(prompt, style, title));
}

void Beep() { Program::current().backend().beep(); }

} // namespace platform
