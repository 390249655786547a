// The game on the desktop: the real backend, the loading screen, the event loop.

#include "app/command_line.h"
#include "core/startup.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/session.h"
#include "platform/qt/window_system_check.h"
#include "platform/qt/x11_connection.h"

#include <QApplication>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    if (const orvanta::CommandLine line = orvanta::readCommandLine(argc, argv, std::cout, std::cerr);
        line.exitStatus) {
        std::cout.flush();
        return std::cout ? *line.exitStatus : 1;
    }
    if (std::string why; !platform::windowSystemUsable(argc, argv, why)) {
        std::fprintf(stderr, "orvanta: %s\n", why.c_str());
        return 1;
    }
    platform::catchPlatformFailure();
    QApplication application(argc, argv);
    platform::platformStarted();
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
