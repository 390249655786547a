#include "platform/qt/session.h"

#include "platform/program.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace platform {

void preferQtEventLoop()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

void endProgramOnTerminationSignals(std::function<void()> stop)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    // The handler only writes a byte; the event loop reads it and ends the program there,
    // where ending is safe.
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier, stop] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        if (stop) {
            stop();
            return;
        }
        Program::current().signalled();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Started with the hang-up ignored (nohup), the game outlives its terminal.
    struct sigaction inherited {};
    if (sigaction(SIGHUP, nullptr, &inherited) != 0 || inherited.sa_handler != SIG_IGN)
        sigaction(SIGHUP, &action, nullptr);
}
#else
void endProgramOnTerminationSignals(std::function<void()>) {}
#endif

} // namespace platform
