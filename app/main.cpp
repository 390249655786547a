// The game on the desktop: the real backend, the loading screen, the event loop.

#include "app/replay_options.h"
#include "core/replay_vocabulary.h"
#include "core/startup.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/replay_player.h"
#include "platform/qt/session.h"
#include "platform/recorder.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
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

// A replay that cannot be played is one line naming the file (and its line), and nothing
// runs.
std::optional<platform::replay::Replay> readReplay(const std::string& path, bool& bad)
{
    if (path.empty())
        return std::nullopt;
    try {
        return orvanta::readGameReplay(path);
    } catch (const platform::replay::ReadError& error) {
        const std::string line = error.line > 0 ? "line " + std::to_string(error.line) + ": " : "";
        std::fprintf(stderr, "orvanta: %s: %s%s\n", path.c_str(), line.c_str(),
                     error.message.c_str());
        bad = true;
        return std::nullopt;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    orvanta::ReplayOptions replayOptions;
    try {
        replayOptions = orvanta::takeReplayOptions(argc, argv);
    } catch (const orvanta::BadReplayOption& bad) {
        std::fprintf(stderr, "orvanta: %s\n", bad.message.c_str());
        return 2;
    }
    bool badReplay = false;
    const auto replay = readReplay(replayOptions.replay, badReplay);
    if (badReplay)
        return 2;
    if (!chooseWindowSystem())
        return 1;
    std::FILE* recordFile = nullptr;
    if (!replayOptions.record.empty()) {
        recordFile = std::fopen(replayOptions.record.c_str(), "w+b");
        if (!recordFile) {
            std::fprintf(stderr, "orvanta: cannot write %s: %s\n", replayOptions.record.c_str(),
                         std::strerror(errno));
            return 2;
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("orvanta");
    QApplication::setDesktopFileName("org.example.orvanta");

    platform::QtBackend backend;
    if (replay)
        backend.replayOn({replay->header.screenWidth, replay->header.screenHeight});
    std::optional<platform::Recorder> recorder;
    if (recordFile) {
        const platform::ScreenSize screen = backend.screenSize();
        recorder.emplace(recordFile,
                         platform::replay::Header{screen.width, screen.height,
                                                  orvanta::programVersion()});
    }
    platform::Program program(backend);
    std::optional<platform::ReplayPlayer> player;
    if (replay) {
        player.emplace(backend, *replay, orvanta::replayVocabulary(), replayOptions.replay);
        player->start();
    }
    platform::endProgramOnTerminationSignals();
    program.dispatch(orvanta::StartProgram);
    if (program.ended())
        return program.exitStatus();
    return QApplication::exec();
}
