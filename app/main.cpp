// The game on the desktop: the real backend, the loading screen, the event loop.

#include "app/command_line.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/replay_player.h"
#include "platform/qt/session.h"
#include "platform/qt/window_system_check.h"
#include "platform/qt/x11_connection.h"
#include "platform/replay/recorder.h"
#include "program/replay_vocabulary.h"
#include "program/startup.h"

#include <QApplication>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace {

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
        std::fprintf(stderr, "orvanta: %s: %s%s\n", platform::replay::shownFileName(path).c_str(),
                     line.c_str(), error.message.c_str());
        bad = true;
        return std::nullopt;
    }
}

// The file a recording goes to, opened before anything shows; null (with one line said)
// if it cannot be written.
std::unique_ptr<platform::replay::Output> openRecording(const std::string& path)
{
    std::string why;
    auto output = platform::replay::Output::open(path, why);
    if (!output)
        std::fprintf(stderr, "orvanta: cannot write %s: %s\n",
                     platform::replay::shownFileName(path).c_str(), why.c_str());
    return output;
}

} // namespace

int main(int argc, char* argv[])
{
    const orvanta::CommandLine line = orvanta::readCommandLine(argc, argv, std::cout, std::cerr);
    if (line.exitStatus) {
        std::cout.flush();
        return std::cout ? *line.exitStatus : 1;
    }
    bool badReplay = false;
    const auto replay = readReplay(line.replay, badReplay);
    if (badReplay)
        return 2;
    if (std::string why; !platform::windowSystemUsable(argc, argv, why)) {
        std::fprintf(stderr, "orvanta: %s\n", why.c_str());
        return 1;
    }
    std::unique_ptr<platform::replay::Output> recording;
    if (!line.record.empty() && !(recording = openRecording(line.record)))
        return 2;

    platform::preferQtEventLoop();
    platform::catchPlatformFailure();
    QApplication application(argc, argv);
    platform::platformStarted();
    QApplication::setApplicationName("orvanta");
    QApplication::setDesktopFileName("org.example.orvanta");
    platform::endInOneLineWhenTheXServerGoes();

    platform::QtBackend backend;
    if (replay)
        backend.replayOn({replay->header.screenWidth, replay->header.screenHeight});
    std::optional<platform::replay::Recorder> recorder;
    if (recording) {
        const platform::ScreenSize screen = backend.screenSize();
        recorder.emplace(
            std::move(recording), line.record, "orvanta",
            platform::replay::Header{screen.width, screen.height, orvanta::programVersion()});
    }
    platform::Program program(backend);
    if (recorder)
        program.listen(&*recorder);
    std::optional<platform::ReplayPlayer> player;
    if (replay) {
        player.emplace(backend, *replay, orvanta::replayVocabulary(), line.replay);
        player->start();
    }
    std::function<void()> stopReplay;
    if (player)
        stopReplay = [&player] { player->interrupt(); };
    platform::endProgramOnTerminationSignals(stopReplay);
    program.dispatch(orvanta::StartProgram);
    const int status = program.ended() ? program.exitStatus() : QApplication::exec();
    return player ? player->finish() : status;
}
