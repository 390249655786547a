// The game on the desktop: the real backend, the loading screen, the event loop.

#include "core/startup.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/session.h"
#include "platform/qt/x11_connection.h"

#include <QApplication>
#include <cstdio>
#include <string>

namespace {

// The game places its own windows, which a Wayland client cannot do: on Linux it asks
// for X11, through XWayland on a Wayland desktop. Returns false if no X server is there.
bool chooseWindowSystem()
{
#ifdef Q_OS_LINUX
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            std::fprintf(stderr, "orvanta: running on the Wayland desktop through XWayland\n");
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
#endif
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        return true;
    std::string why;
    if (!platform::xServerReachable(why)) {
        std::fprintf(stderr, "orvanta: %s\n", why.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!chooseWindowSystem())
        return 1;
    platform::preferQtEventLoop();
    QApplication application(argc, argv);
    QApplication::setApplicationName("orvanta");
    QApplication::setDesktopFileName("org.example.orvanta");
    platform::endInOneLineWhenTheXServerGoes();

    platform::QtBackend backend;
    platform::Program program(backend);
    platform::endProgramOnTerminationSignals();
    program.dispatch(orvanta::StartProgram);
    if (program.ended())
        return program.exitStatus();
    return QApplication::exec();
}
