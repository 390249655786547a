#include "platform/msgbox.h"

#include "platform/program.h"

namespace platform {

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
    return Program::current().messageBox({prompt, style, title});
}

void Beep() { Program::current().backend().beep(); }

} // namespace platform
