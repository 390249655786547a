#include "platform/msgbox.h"

#include "platform/program.h"

namespace platform {

int MsgBox(const std::string& prompt, int style, const std::string& title)
{
    return Program::current().messageBox({prompt, style, title});
}

void Beep() { Program::current().backend().beep(); }

} // namespace platform
