#include "keep/store.h"

#include "keep/files.h"
#include "keep/format.h"
#include "keep/keeping.h"
#include "keep/packing.h"
#include "keep/selector.h"
#include "keep/table_file.h"
#include "keep/utf8.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace orvanta::keep {

struct Store::Table {
    std::vector<Game> games;
    std::vector<std::string> leaving; // files to remove once a table without them is saved
    bool changed = false;
};

namespace {

constexpr std::int64_t latestTime = 253'402'300'799; // 9999-12-31
constexpr std::size_t shownSelectorBytes = 40;
// Changes of the table take milliseconds; a program that holds its lock this long is
// stuck (stopped, or on a hung network disk), and the game must not wait with it.
constexpr std::chrono::milliseconds lockPatience{5000};

int processId()
{
#if defined(_WIN32)
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// YYYYMMDD-HHMMSS in local time, for file names.
std::string localStamp(std::int64_t unixTime)
{
    const auto time = static_cast<std::time_t>(unixTime);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char stamp[32] = "";
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

void sayOnStderr(const std::string& line) { std::fprintf(stderr, "orvanta: %s\n", line.c_str()); }

bool refuse(std::string& why, std::string reason)
{
    why = std::move(reason);
    return false;
}

// The row of the game recorded at `name`, before or after its compression.
Game* gameOf(std::vector<Game>& games, std::string_view name)
{
    const auto at = std::find_if(games.begin(), games.end(), [&](const Game& game) {
        return recordingStem(game.replay) == recordingStem(name);
    });
    return at == games.end() ? nullptr : &*at;
}

bool namesAny(const std::vector<Game>& games, std::string_view name)
{
    return std::any_of(games.begin(), games.end(),
                       [&](const Game& game) { return game.replay == name; });
}

bool checkProgress(int baskets, int seconds, std::string& why)
{
    if (baskets < 0 || baskets > maxBaskets)
        return refuse(why, std::to_string(baskets) + " baskets cannot be kept: from 0 to " +
                               std::to_string(maxBaskets));
    if (seconds < 0 || seconds > maxSecondsPlayed)
        return refuse(why, std::to_string(seconds) + " seconds played cannot be kept: from 0 to " +
                               std::to_string(maxSecondsPlayed));
    return true;
}

} // namespace

// --- Opening ------------------------------------------------------------------------------

Store::Store(std::string folder, Options options)
    : folder_(std::move(folder)), options_(std::move(options))
{
    if (!options_.clock)
        options_.clock = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    if (!options_.say)
        options_.say = sayOnStderr;
}

std::unique_ptr<Store> Store::open(const std::string& folder, std::string& why, Options options)
{
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    if (trimmed.empty()) {
        why = "no folder is named to keep games in";
        return nullptr;
    }
    std::string reason;
    if (!files::makeFolder(trimmed, reason) || !files::isWritableFolder(trimmed, reason) ||
        !files::File::forLocking(trimmed + "/" + std::string(lockName), reason)) {
        why = "cannot keep games in " + shownText(trimmed) + ": " + reason;
        return nullptr;
    }
    return std::unique_ptr<Store>(new Store(std::move(trimmed), std::move(options)));
}

std::string Store::defaultFolder()
{
    const auto absolute = [](const char* path) { return path && path[0] == '/'; };
    if (const char* data = std::getenv("XDG_DATA_HOME"); absolute(data))
        return std::string(data) + "/orvanta";
    if (const char* home = std::getenv("HOME"); absolute(home))
        return std::string(home) + "/.local/share/orvanta";
#if defined(_WIN32)
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
        return std::string(local) + "/orvanta";
#endif
    return {};
}

std::string Store::pathOf(std::string_view name) const { return folder_ + "/" + std::string(name); }

std::string Store::shown(std::string_view name) const { return shownText(pathOf(name)); }

std::int64_t Store::now() const { return options_.clock(); }

std::string Store::newRecording() const
{
    const std::string base = "game-" + localStamp(now()) + "-" + std::to_string(processId());
    std::string name;
    for (int copy = 1; copy < 10000; ++copy) {
        name = base + (copy > 1 ? "-" + std::to_string(copy) : "") + std::string(recordingSuffix);
        if (!files::factsOf(pathOf(name)).exists && !files::factsOf(pathOf(name + ".gz")).exists)
            break;
    }
    return pathOf(name);
}

bool Store::recordingName(const std::string& recording, std::string& name, std::string& why) const
{
    name = recording.substr(recording.rfind('/') + 1);
    if (isReplayName(name) && name.ends_with(recordingSuffix) && pathOf(name) == recording)
        return true;
    return refuse(why, shownText(recording) + " is not a recording in " + shownText(folder_));
}

// --- The table, read and written ----------------------------------------------------------

bool Store::change(const std::function<std::string(Table&)>& edit, std::string& why)
{
    std::string reason;
    files::File lock = files::File::forLocking(pathOf(lockName), reason);
    if (!lock || lock.lock(lockPatience, reason) != files::File::Locking::taken)
        return refuse(why, "cannot lock " + shown(lockName) + ": " + reason);
    Table table;
    if (!load(table, why))
        return false;
    const std::string problem = edit(table);
    if (table.changed && !save(table, why))
        return false;
    for (const std::string& name : table.leaving)
        files::removeFile(pathOf(name), reason); // one left behind goes at a later start
    return problem.empty() || refuse(why, problem);
}

bool Store::look(Table& table, std::string& why)
{
    // A reader that cannot lock still sees a whole table: each is renamed into place.
    std::string ignored;
    files::File lock = files::File::forLocking(pathOf(lockName), ignored);
    if (lock)
        lock.lock(lockPatience, ignored);
    return load(table, why);
}

bool Store::load(Table& table, std::string& why)
{
    const std::string path = pathOf(tableName);
    const files::Facts facts = files::factsOf(path);
    if (!facts.exists)
        return true;
    if (!facts.regular)
        return setAside("it is not a regular file", why);
    std::string text, reason;
    switch (files::readSmallFile(path, maxTableBytes, text, reason)) {
    case files::ReadResult::missing: return true;
    case files::ReadResult::failed:
        return refuse(why, "cannot read " + shown(tableName) + ": " + reason);
    case files::ReadResult::tooLarge:
        return setAside("it is larger than " + std::to_string(maxTableBytes >> 10) + " KiB", why);
    case files::ReadResult::read: break;
    }
    if (!readTable(text, table.games, reason))
        return setAside(reason, why);
    dropUnreadableRows(table);
    return true;
}

// A damaged table is renamed, never removed: the player may want to look at it.
bool Store::setAside(const std::string& damage, std::string& why)
{
    const std::string base = std::string(tableName) + ".damaged-" + localStamp(now());
    std::string name = base;
    for (int copy = 2; files::factsOf(pathOf(name)).exists && copy < 10000; ++copy)
        name = base + "-" + std::to_string(copy);
    const std::string what =
        "the table of games " + shown(tableName) + " is damaged (" + damage + ")";
    std::string reason;
    if (!files::renameFile(pathOf(tableName), pathOf(name), reason))
        return refuse(why, what + " and cannot be set aside: " + reason);
    options_.say(what + "; it is set aside as " + shown(name) + " and a new table is begun");
    return true;
}

// A row whose replay is gone, or is no regular file, goes. A game that was compressed
// just before its program died, before it could say so in the table, is kept as cut.
void Store::dropUnreadableRows(Table& table) const
{
    for (Game& game : table.games) {
        const std::string packed = game.replay + ".gz";
        if (game.state == State::playing && !files::factsOf(pathOf(game.replay)).exists &&
            game.replay.ends_with(recordingSuffix) && files::factsOf(pathOf(packed)).regular) {
            game.replay = packed;
            game.state = State::cut;
            table.changed = true;
        }
    }
    const auto before = table.games.size();
    std::erase_if(table.games,
                  [&](const Game& game) { return !files::factsOf(pathOf(game.replay)).regular; });
    table.changed |= table.games.size() != before;
}

bool Store::save(Table& table, std::string& why)
{
    std::string reason;
    if (files::replaceFile(folder_, std::string(tableName), tableText(table.games), reason))
        return true;
    table.leaving.clear(); // the old table still names them
    return refuse(why, "cannot write " + shown(tableName) + ": " + reason);
}

void Store::keepTheBest(Table& table) const
{
    std::vector<KeptGame> kept;
    for (const Game& game : table.games)
        kept.push_back({game, files::factsOf(pathOf(game.replay)).bytes});
    const std::vector<bool> keep = gamesToKeep(kept, options_.limits);
    std::vector<Game> staying;
    for (std::size_t index = 0; index < table.games.size(); ++index) {
        if (keep[index])
            staying.push_back(std::move(table.games[index]));
        else
            table.leaving.push_back(table.games[index].replay);
    }
    table.changed |= staying.size() != table.games.size();
    table.games = std::move(staying);
}

// --- Recordings compressed ----------------------------------------------------------------

Store::Packed Store::pack(Game& game, Table& table, std::string& problem)
{
    std::string reason;
    const std::string plain = game.replay;
    files::File recording = files::File::forReading(pathOf(plain), reason);
    if (!recording) {
        problem = "cannot read " + shown(plain) + ": " + reason;
        return Packed::failed;
    }
    switch (recording.lock({}, reason)) {
    case files::File::Locking::taken: break;
    case files::File::Locking::busy:
        problem = shown(plain) + " is still being recorded";
        return Packed::busy;
    case files::File::Locking::failed:
        problem = "cannot lock " + shown(plain) + ": " + reason;
        return Packed::failed;
    }
    const std::string packed = plain + ".gz";
    switch (packRecording(recording, pathOf(packed), options_.limits.replayBytes, reason)) {
    case Packing::packed:
        game.replay = packed;
        table.leaving.push_back(plain);
        table.changed = true;
        return Packed::done;
    case Packing::tooLarge:
        table.leaving.push_back(plain);
        problem = "the replay " + shown(plain) + " is not kept: compressed, it takes more than " +
                  std::to_string(options_.limits.replayBytes >> 10) + " KiB";
        return Packed::tooLarge;
    case Packing::failed: break;
    }
    problem = "cannot write " + shown(packed) + ": " + reason;
    return Packed::failed;
}

// --- At the start -------------------------------------------------------------------------

bool Store::recover(std::string& why)
{
    return change(
        [&](Table& table) {
            std::string problems = recoverGames(table);
            removeLeftovers(table);
            keepTheBest(table);
            return problems;
        },
        why);
}

std::string Store::recoverGames(Table& table)
{
    std::string problems;
    std::vector<std::string> notKept;
    for (Game& game : table.games) {
        if (game.state != State::playing)
            continue;
        const std::int64_t lastWritten = files::factsOf(pathOf(game.replay)).modified;
        std::string problem;
        switch (pack(game, table, problem)) {
        case Packed::done:
            game.state = State::cut;
            game.endTime = std::clamp(lastWritten, game.endTime, latestTime);
            continue;
        case Packed::busy: continue; // another program plays it now
        case Packed::tooLarge: notKept.push_back(game.replay); break;
        case Packed::failed: break;
        }
        problems += (problems.empty() ? "" : "; ") + problem;
    }
    table.changed |=
        std::erase_if(table.games, [&](const Game& game) {
            return std::find(notKept.begin(), notKept.end(), game.replay) != notKept.end();
        }) > 0;
    return problems;
}

// What a crash left: temp files (all are written under the table's lock, which is held
// now) and recordings that never became a game, once no one writes them.
void Store::removeLeftovers(Table& table)
{
    std::string ignored;
    for (const std::string& name : files::namesIn(folder_)) {
        const std::string_view target =
            std::string_view(name).substr(0, name.size() - files::tempSuffix.size());
        if (files::isTempName(name) && (target == tableName || isReplayName(target))) {
            files::removeFile(pathOf(name), ignored);
            continue;
        }
        if (!isReplayName(name) || !name.ends_with(recordingSuffix) || namesAny(table.games, name))
            continue;
        const files::Facts facts = files::factsOf(pathOf(name));
        if (!facts.regular || facts.modified > now() - orphanAgeSeconds)
            continue;
        files::File recording = files::File::forReading(pathOf(name), ignored);
        if (recording && recording.lock({}, ignored) == files::File::Locking::taken)
            table.leaving.push_back(name);
    }
}

// --- A game's life ------------------------------------------------------------------------

bool Store::started(const std::string& recording, std::string_view player, int minutes,
                    std::int64_t unixTime, std::string& why)
{
    std::string name;
    if (!recordingName(recording, name, why))
        return false;
    if (minutes < 1 || minutes > maxGameMinutes)
        return refuse(why, "a game of " + std::to_string(minutes) +
                               " minutes cannot be kept: from 1 to " +
                               std::to_string(maxGameMinutes));
    if (unixTime < 0 || unixTime > latestTime)
        return refuse(why, "the game's start time " + std::to_string(unixTime) +
                               " is not a date the table can keep");
    if (!files::factsOf(recording).regular)
        return refuse(why, "there is no recording at " + shownText(recording));
    const Game game{
        State::playing, unixTime, utf8::cleaned(player, maxPlayerBytes), minutes, 0, 0, name};
    return change(
        [&](Table& table) -> std::string {
            if (gameOf(table.games, name))
                return shown(name) + " is in the table of games already";
            table.games.push_back(game);
            table.changed = true;
            return {};
        },
        why);
}

bool Store::scored(const std::string& recording, int baskets, int secondsPlayed, std::string& why)
{
    std::string name;
    if (!recordingName(recording, name, why) || !checkProgress(baskets, secondsPlayed, why))
        return false;
    return change(
        [&](Table& table) -> std::string {
            Game* game = gameOf(table.games, name);
            if (!game)
                return shown(name) + " is not in the table of games";
            if (game->state != State::playing)
                return shown(name) + " is a game that has ended";
            game->baskets = baskets;
            game->seconds = secondsPlayed;
            game->endTime = now();
            table.changed = true;
            return {};
        },
        why);
}

bool Store::ended(const std::string& recording, int baskets, int secondsPlayed, std::string& why)
{
    std::string name;
    if (!recordingName(recording, name, why) || !checkProgress(baskets, secondsPlayed, why))
        return false;
    return change(
        [&](Table& table) -> std::string {
            Game* game = gameOf(table.games, name);
            if (!game)
                return shown(name) + " is not in the table of games";
            game->baskets = baskets;
            game->seconds = secondsPlayed;
            game->endTime = now();
            table.changed = true;
            std::string problem;
            // Already compressed if another program's start found it unwritten first.
            const Packed packed =
                game->state == State::playing ? pack(*game, table, problem) : Packed::done;
            if (packed == Packed::tooLarge)
                std::erase_if(table.games, [&](const Game& row) { return row.replay == name; });
            if (packed != Packed::done)
                return problem; // a game left playing is compressed at the next start
            game->state = State::finished;
            keepTheBest(table);
            return {};
        },
        why);
}

bool Store::discard(const std::string& recording, std::string& why)
{
    std::string name;
    if (!recordingName(recording, name, why))
        return false;
    return change(
        [&](Table& table) -> std::string {
            if (gameOf(table.games, name))
                return shown(name) + " is a game that has started: it is kept";
            std::string reason;
            files::File file = files::File::forReading(recording, reason);
            if (file && file.lock({}, reason) == files::File::Locking::busy)
                return shown(name) + " is still being recorded";
            table.leaving.push_back(name);
            return {};
        },
        why);
}

// --- Queries ------------------------------------------------------------------------------

bool Store::rows(std::vector<Game>& games, std::string& why)
{
    games.clear();
    Table table;
    if (!look(table, why))
        return false;
    std::copy_if(table.games.begin(), table.games.end(), std::back_inserter(games),
                 [](const Game& game) { return game.state != State::playing; });
    std::sort(games.begin(), games.end(), isBetter);
    return true;
}

bool Store::find(std::string_view selector, std::string& path, std::string& why)
{
    const auto selected = parseSelector(selector);
    if (!selected)
        return refuse(why, "\"" + shownText(utf8::cleaned(selector, shownSelectorBytes)) +
                               "\" names no kept game: say best, best:N, last or last:N");
    std::vector<Game> games;
    if (!rows(games, why))
        return false;
    if (selected->order == Selector::Order::last)
        std::sort(games.begin(), games.end(), isLater);
    if (selected->rank > games.size())
        return refuse(
            why, "there is no kept game " + std::string(selector) +
                     (games.empty() ? ": no game is kept yet" : "; orvanta --games lists them"));
    path = pathOf(games[selected->rank - 1].replay);
    return true;
}

} // namespace orvanta::keep
