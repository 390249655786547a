// The game on the desktop: the real backend, the loading screen, the event loop.

#include "app/command_line.h"
#include "keep/format.h"
#include "keep/selector.h"
#include "keep/store.h"
#include "platform/program.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/replay_player.h"
#include "platform/qt/session.h"
#include "platform/qt/window_system_check.h"
#include "platform/qt/x11_connection.h"
#include "platform/replay/recorder.h"
#include "program/kept_game.h"
#include "program/replay_vocabulary.h"
#include "program/startup.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

enum class StoreUse { keep, read };

// The store of kept games in the player's data folder; null, with one line said, if it
// cannot be had. Reading it creates nothing and needs no right to write.
std::unique_ptr<orvanta::keep::Store> openStore(StoreUse use, const char* purpose)
{
    using orvanta::keep::Store;
    const std::string folder = Store::defaultFolder();
    std::string why = "neither XDG_DATA_HOME nor HOME names a folder";
    std::unique_ptr<Store> store;
    if (!folder.empty())
        store = use == StoreUse::keep ? Store::open(folder, why, orvanta::keptGameOptions())
                                      : Store::openToRead(folder, why, orvanta::keptGameOptions());
    if (!store)
        std::fprintf(stderr, "orvanta: %s: %s\n", purpose, why.c_str());
    return store;
}

// orvanta --games [--json]: the table, best first.
int listGames(bool json)
{
    const auto store = openStore(StoreUse::read, "cannot list the kept games");
    if (!store)
        return 1;
    std::string unrecovered;
    const bool recovered = store->recover(unrecovered);
    std::vector<orvanta::keep::Game> games;
    if (std::string why; !store->rows(games, why)) {
        std::fprintf(stderr, "orvanta: cannot list the kept games: %s\n", why.c_str());
        return 1;
    }
    if (!recovered)
        std::fprintf(stderr, "orvanta: cannot file the games cut short: %s\n", unrecovered.c_str());
    errno = 0;
    std::cout << (json ? orvanta::keep::formatJson(games, store->folder())
                       : orvanta::keep::formatTable(games));
    std::cout.flush();
    if (std::cout)
        return 0;
    std::fprintf(stderr, "orvanta: cannot write the list of kept games: %s\n",
                 errno != 0 ? std::strerror(errno) : "the output refuses it");
    return 1;
}

// --replay best, last, best:N or last:N names a kept game's file (./best for a file of
// that name); anything else is a file's name.
bool resolveKeptReplay(std::string& replay)
{
    const bool selects = orvanta::keep::parseSelector(replay) || replay.starts_with("best:") ||
                         replay.starts_with("last:");
    if (!selects)
        return true;
    const auto store = openStore(StoreUse::read, "cannot find the kept games");
    std::string path, why;
    if (!store || !store->find(replay, path, why)) {
        if (store)
            std::fprintf(stderr, "orvanta: %s\n", why.c_str());
        return false;
    }
    replay = path;
    return true;
}

// Every game played on the desktop is kept, unless it is recorded elsewhere or replayed
// or the player says not to. Null, with one line said, if it cannot be: the game is then
// played unrecorded.
struct Keeping {
    std::unique_ptr<orvanta::keep::Store> store;
    std::string recording;
    std::unique_ptr<platform::replay::Output> output;
};
std::optional<Keeping> startKeeping()
{
    Keeping keeping;
    keeping.store = openStore(StoreUse::keep, "this game is not kept");
    if (!keeping.store)
        return std::nullopt;
    std::string why;
    if (!keeping.store->recover(why) || !keeping.store->begin(keeping.recording, why)) {
        std::fprintf(stderr, "orvanta: this game is not kept: %s\n", why.c_str());
        return std::nullopt;
    }
    keeping.output = platform::replay::Output::open(keeping.recording, why);
    if (!keeping.output) {
        std::fprintf(stderr, "orvanta: this game is not kept: cannot write %s: %s\n",
                     platform::replay::shownFileName(keeping.recording).c_str(), why.c_str());
        std::string ignored;
        keeping.store->discard(keeping.recording, ignored);
        return std::nullopt;
    }
    return keeping;
}

// A game that ends with exit() (the X server gone) is filed on the way out.
orvanta::KeptGame* gameToFileAtExit = nullptr;

} // namespace

int main(int argc, char* argv[])
{
    const orvanta::CommandLine line = orvanta::readCommandLine(argc, argv, std::cout, std::cerr);
    if (line.exitStatus) {
        std::cout.flush();
        return std::cout ? *line.exitStatus : 1;
    }
    if (line.listGames)
        return listGames(line.json);
    std::string replayPath = line.replay;
    if (!resolveKeptReplay(replayPath))
        return 2;
    bool badReplay = false;
    const auto replay = readReplay(replayPath, badReplay);
    if (badReplay)
        return 2;
    if (std::string why; !platform::windowSystemUsable(argc, argv, why)) {
        std::fprintf(stderr, "orvanta: %s\n", why.c_str());
        return 1;
    }
    std::unique_ptr<platform::replay::Output> recording;
    if (!line.record.empty() && !(recording = openRecording(line.record)))
        return 2;
    std::optional<Keeping> keeping;
    if (line.keep && line.record.empty() && line.replay.empty())
        keeping = startKeeping();

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
    const platform::ScreenSize screen = backend.screenSize();
    const platform::replay::Header header{screen.width, screen.height, orvanta::programVersion()};
    std::optional<platform::replay::Recorder> recorder;
    if (recording)
        recorder.emplace(std::move(recording), line.record, "orvanta", header);
    std::optional<orvanta::KeptGame> kept;
    if (keeping) {
        kept.emplace(std::move(keeping->store), keeping->recording,
                     std::make_unique<platform::replay::Recorder>(
                         std::move(keeping->output), keeping->recording, "orvanta", header));
        gameToFileAtExit = &*kept;
        std::atexit([] {
            if (gameToFileAtExit)
                gameToFileAtExit->finish();
        });
    }
    platform::Program program(backend);
    if (recorder)
        program.listen(&*recorder);
    if (kept)
        program.listen(&*kept);
    std::optional<platform::ReplayPlayer> player;
    if (replay) {
        player.emplace(backend, *replay, orvanta::replayVocabulary(), replayPath);
        player->start();
    }
    std::function<void()> stopReplay;
    if (player)
        stopReplay = [&player] { player->interrupt(); };
    platform::endProgramOnTerminationSignals(stopReplay);
    program.dispatch(orvanta::StartProgram);
    const int status = program.ended() ? program.exitStatus() : QApplication::exec();
    if (kept) {
        kept->finish();
        gameToFileAtExit = nullptr;
    }
    return player ? player->finish() : status;
}
