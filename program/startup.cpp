#include "program/startup.h"

#include "core/modafs.h"
#include "core/windows.h"
#include "screens/frmloading.h"

namespace orvanta {

void StartProgram()
{
    // A close box or Alt+F4 on any window asks as the Exit buttons do.
    platform::Program::current().onCloseRequest = [] {
        ConfirmExit("Are you sure you want to Exit?");
    };
    window<frmloading>().Show();
}

} // namespace orvanta
