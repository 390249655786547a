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
#include <limits>
#include <tuple>

#if defined(_WIN32)
#include "platform/replay/windows_text.h"

#include <process.h>
#else
#include <unistd.h>
#endif

namespace orvanta::keep {

struct Store::Table {
    std::vector<Game> games;          // in the order they were filed
    std::vector<std::string> leaving; // files to remove once a table without them is saved
    bool changed = false;
};

namespace {

constexpr std::int64_t latestTime = 253'402'300'799; // 9999-12-31
constexpr std::size_t shownSelectorBytes = 40;

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

// The row of a recording whose game has not started yet: no length is chosen.
bool isBegun(const Game& game) { return game.state == State::playing && game.minutes == 0; }

void removeRows(std::vector<Game>& games, const std::vector<std::string>& names)
{
    std::erase_if(games, [&](const Game& game) {
        return std::find(names.begin(), names.end(), game.replay) != names.end();
    });
}

// The row of a game just filed goes last: the table keeps the order of filing.
void fileLast(std::vector<Game>& games, std::string_view name)
{
    std::stable_partition(games.begin(), games.end(),
                          [&](const Game& game) { return game.replay != name; });
}

// How many of the whole lines of a recording are `event` after their time.
int countEvents(std::string_view lines, std::string_view event)
{
    int count = 0;
    for (std::size_t from = 0; from < lines.size();) {
        std::size_t end = lines.find('\n', from);
        if (end == std::string_view::npos)
            end = lines.size();
        std::string_view line = lines.substr(from, end - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::size_t space = line.find(' ');
        count += space != std::string_view::npos && line.substr(space + 1) == event;
        from = end + 1;
    }
    return count;
}

std::string trimmedFolder(const std::string& folder)
{
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    return trimmed;
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

Store::Store(std::string folder, Options options, bool mayChange)
    : folder_(std::move(folder)), options_(std::move(options)), mayChange_(mayChange)
{
    if (!options_.clock)
        options_.clock = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    if (!options_.say)
        options_.say = sayOnStderr;
}

std::unique_ptr<Store> Store::open(const std::string& folder, std::string& why, Options options)
{
    std::string trimmed = trimmedFolder(folder);
    if (trimmed.empty()) {
        why = "no folder is named to keep games in";
        return nullptr;
    }
    std::string reason;
    if (!files::makeFolder(trimmed, reason) || !files::isOwnFolder(trimmed, reason) ||
        !files::isWritableFolder(trimmed, reason) ||
        !files::File::forLocking(trimmed + "/" + std::string(lockName), reason)) {
        why = "cannot keep games in " + shownText(trimmed) + ": " + reason;
        return nullptr;
    }
    return std::unique_ptr<Store>(new Store(std::move(trimmed), std::move(options), true));
}

std::unique_ptr<Store> Store::openToRead(const std::string& folder, std::string& why,
                                         Options options)
{
    std::string trimmed = trimmedFolder(folder);
    if (trimmed.empty()) {
        why = "no folder is named to keep games in";
        return nullptr;
    }
    std::string reason;
    const bool exists = files::factsOf(trimmed).exists;
    if (exists && !files::isOwnFolder(trimmed, reason)) {
        why = shownText(trimmed) + ": " + reason;
        return nullptr;
    }
    // Recovery and setting a damaged table aside change the folder: only where a game has
    // been kept, and where it can be written.
    const bool mayChange = exists &&
                           files::factsOf(trimmed + "/" + std::string(tableName)).exists &&
                           files::isWritableFolder(trimmed, reason);
    return std::unique_ptr<Store>(new Store(std::move(trimmed), std::move(options), mayChange));
}

std::string Store::defaultFolder()
{
#if defined(_WIN32)
    // A player's data that is theirs on this machine alone, as Windows programs keep it.
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && *local)
        return platform::replay::narrowed(local) + "\\Orvanta";
    return {};
#else
    const auto absolute = [](const char* path) { return path && path[0] == '/'; };
    if (const char* data = std::getenv("XDG_DATA_HOME"); absolute(data))
        return std::string(data) + "/orvanta";
    if (const char* home = std::getenv("HOME"); absolute(home))
        return std::string(home) + "/.local/share/orvanta";
    return {};
#endif
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

// The edit's problem, if it has one, is the cause of the failure: it comes before a
// table that could not be written for the same reason (a full disk).
bool Store::change(const std::function<std::string(Table&)>& edit, std::string& why)
{
    if (!mayChange_)
        return refuse(why, "the kept games in " + shownText(folder_) + " are open to read only");
    std::string reason;
    files::File lock = files::File::forLocking(pathOf(lockName), reason);
    if (!lock || lock.lock(options_.lockPatience, reason) != files::File::Locking::taken)
        return refuse(why, "cannot lock " + shown(lockName) + ": " + reason);
    Table table;
    if (!load(table, why))
        return false;
    const std::string problem = edit(table);
    std::string unsaved;
    const bool saved = !table.changed || save(table, unsaved);
    for (const std::string& name : table.leaving)
        files::removeFile(pathOf(name), reason); // one left behind goes at a later start
    if (!problem.empty())
        return refuse(why, problem);
    return saved || refuse(why, unsaved);
}

bool Store::look(Table& table, std::string& why)
{
    // A reader that cannot lock still sees a whole table: each is renamed into place.
    std::string ignored;
    files::File lock = files::File::forLockingIfThere(pathOf(lockName), ignored);
    if (lock)
        lock.lock(options_.lockPatience, ignored);
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
    if (!mayChange_)
        return refuse(why,
                      "the table of games " + shown(tableName) + " is damaged (" + damage + ")");
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
// just before its program died, before it could say so in the table, is kept as cut; a
// kept replay that the player unpacked stays the game's replay.
void Store::dropUnreadableRows(Table& table) const
{
    for (Game& game : table.games) {
        if (files::factsOf(pathOf(game.replay)).exists)
            continue;
        const std::string plain =
            std::string(recordingStem(game.replay)) + std::string(recordingSuffix);
        const std::string packed = plain + ".gz";
        if (game.state == State::playing && game.replay == plain &&
            files::factsOf(pathOf(packed)).regular) {
            game.replay = packed;
            game.state = State::cut;
            table.changed = true;
        } else if (game.state != State::playing && game.replay == packed &&
                   files::factsOf(pathOf(plain)).regular) {
            game.replay = plain;
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

// The kept games within the caps. Compressed replays that no row names count in the byte
// cap too, and go first, the oldest first.
void Store::keepTheBest(Table& table) const
{
    std::vector<KeptGame> kept;
    for (const Game& game : table.games)
        kept.push_back({game, files::factsOf(pathOf(game.replay)).bytes});
    Limits limits = options_.limits;
    limits.keptBytes = std::numeric_limits<std::uint64_t>::max();
    const std::vector<bool> ranked = gamesToKeep(kept, limits);
    std::uint64_t rowBytes = 0;
    for (std::size_t index = 0; index < kept.size(); ++index)
        rowBytes +=
            ranked[index] && kept[index].game.state != State::playing ? kept[index].bytes : 0;
    std::uint64_t strayBytes = 0;
    const std::vector<Stray> strays = strayReplays(table);
    for (const Stray& stray : strays)
        strayBytes += stray.bytes;
    for (const Stray& stray : strays) {
        if (rowBytes + strayBytes <= options_.limits.keptBytes)
            break;
        strayBytes -= stray.bytes;
        table.leaving.push_back(stray.name);
    }
    limits.keptBytes = options_.limits.keptBytes - std::min(options_.limits.keptBytes, strayBytes);
    const std::vector<bool> keep = gamesToKeep(kept, limits);
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

std::vector<Store::Stray> Store::strayReplays(const Table& table) const
{
    std::vector<Stray> strays;
    for (std::string& name : files::namesIn(folder_)) {
        if (!name.starts_with("game-") || !name.ends_with(packedSuffix) || !isReplayName(name) ||
            std::any_of(table.games.begin(), table.games.end(), [&](const Game& game) {
                return recordingStem(game.replay) == recordingStem(name);
            }))
            continue;
        const files::Facts facts = files::factsOf(pathOf(name));
        if (facts.regular)
            strays.push_back({std::move(name), facts.bytes, facts.modified});
    }
    std::sort(strays.begin(), strays.end(), [](const Stray& a, const Stray& b) {
        return std::tie(a.modified, a.name) < std::tie(b.modified, b.name);
    });
    return strays;
}

// --- Recordings compressed ----------------------------------------------------------------

Store::Packed Store::pack(Game& game, Table& table, std::string& problem, const LinesRead& read)
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
    switch (packRecording(recording, pathOf(packed), options_.limits.replayBytes, reason, read)) {
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

// False only when the table cannot be had; what went wrong with single games is said in
// one line, and the games stay for a later start.
bool Store::recover(std::string& why)
{
    if (!mayChange_)
        return true;
    return change(
        [&](Table& table) {
            const std::string problems = recoverGames(table);
            removeLeftovers(table);
            keepTheBest(table);
            if (!problems.empty())
                options_.say("cannot file the games cut short: " + problems);
            return std::string();
        },
        why);
}

std::string Store::recoverGames(Table& table)
{
    std::string problems;
    int moreProblems = 0;
    std::vector<std::string> notKept, unfiled, filed;
    for (Game& game : table.games) {
        if (game.state != State::playing || isBegun(game))
            continue;
        const std::int64_t lastWritten = files::factsOf(pathOf(game.replay)).modified;
        int secondsRecorded = 0;
        const auto countSeconds = [&](std::string_view lines) {
            secondsRecorded += countEvents(lines, options_.secondPlayed);
        };
        std::string problem;
        const LinesRead read = options_.secondPlayed.empty() ? LinesRead{} : countSeconds;
        switch (pack(game, table, problem, read)) {
        case Packed::done:
            game.state = State::cut;
            game.endTime = std::clamp(lastWritten, game.endTime, latestTime);
            game.seconds = std::clamp(secondsRecorded, game.seconds,
                                      std::max(game.seconds, game.minutes * 60));
            filed.push_back(game.replay);
            continue;
        case Packed::busy: continue; // another program plays it now
        case Packed::tooLarge: notKept.push_back(game.replay); break;
        case Packed::failed: unfiled.push_back(game.replay); break;
        }
        if (problems.empty())
            problems = problem;
        else
            ++moreProblems;
    }
    if (moreProblems > 0)
        problems += " (and " + std::to_string(moreProblems) + " more)";
    removeRows(table.games, notKept);
    table.changed |= !notKept.empty();
    for (const std::string& name : filed)
        fileLast(table.games, name);
    problems += capUnfiled(table, unfiled);
    return problems;
}

// Recordings that could not be filed stay for a later start, within their caps; past
// them the first begun go.
std::string Store::capUnfiled(Table& table, const std::vector<std::string>& unfiled)
{
    std::uint64_t bytes = 0;
    for (const std::string& name : unfiled)
        bytes += files::factsOf(pathOf(name)).bytes;
    std::vector<std::string> removed;
    for (const std::string& name : unfiled) {
        if (unfiled.size() - removed.size() <= options_.limits.unfiled &&
            bytes <= options_.limits.unfiledBytes)
            break;
        bytes -= files::factsOf(pathOf(name)).bytes;
        removed.push_back(name);
    }
    if (removed.empty())
        return {};
    removeRows(table.games, removed);
    table.leaving.insert(table.leaving.end(), removed.begin(), removed.end());
    table.changed = true;
    return "; past " + std::to_string(options_.limits.unfiled) + " recordings or " +
           std::to_string(options_.limits.unfiledBytes >> 20) +
           " MiB that cannot be filed, the oldest go: " + std::to_string(removed.size()) +
           (removed.size() == 1 ? " is" : " are") + " removed";
}

// What a crash left: temp files (all are written under the table's lock, which is held
// now) and recordings of games that never started, once no one writes them.
void Store::removeLeftovers(Table& table)
{
    std::string ignored;
    for (const std::string& name : files::namesIn(folder_)) {
        const std::string_view target =
            std::string_view(name).substr(0, name.size() - files::tempSuffix.size());
        if (files::isTempName(name) && (target == tableName || isReplayName(target)))
            files::removeFile(pathOf(name), ignored);
    }
    std::vector<std::string> neverStarted;
    for (const Game& game : table.games) {
        if (!isBegun(game) ||
            files::factsOf(pathOf(game.replay)).modified > now() - orphanAgeSeconds)
            continue;
        files::File recording = files::File::forReading(pathOf(game.replay), ignored);
        if (recording && recording.lock({}, ignored) == files::File::Locking::taken)
            neverStarted.push_back(game.replay);
    }
    removeRows(table.games, neverStarted);
    table.leaving.insert(table.leaving.end(), neverStarted.begin(), neverStarted.end());
    table.changed |= !neverStarted.empty();
}

// --- A game's life ------------------------------------------------------------------------

bool Store::begin(std::string& recording, std::string& why)
{
    recording.clear();
    std::string name;
    const bool begun = change(
        [&](Table& table) -> std::string {
            // Named under the lock: two programs (or two stores of one) never take one name.
            recording = newRecording();
            name = recording.substr(folder_.size() + 1);
            std::string reason;
            // The longest name the game's filing will need must fit (a deep folder).
            const std::string probe = files::tempName(name + ".gz");
            if (!files::File::forWriting(pathOf(probe), reason))
                return "cannot write " + shown(probe) + ": " + reason;
            files::removeFile(pathOf(probe), reason);
            if (!files::File::forWriting(recording, reason))
                return "cannot write " + shown(name) + ": " + reason;
            table.games.push_back({State::playing, now(), "", 0, 0, 0, name});
            table.changed = true;
            return {};
        },
        why);
    std::string ignored;
    if (!begun && !recording.empty())
        files::removeFile(recording, ignored);
    return begun;
}

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
            Game* row = gameOf(table.games, name);
            if (row && !isBegun(*row))
                return shown(name) + " is in the table of games already";
            if (row)
                *row = game;
            else
                table.games.push_back(game); // its begun row lost (a damaged table set aside)
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
            if (isBegun(*game))
                return shown(name) + " is a game that has not started";
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
            if (isBegun(*game))
                return shown(name) + " is a game that has not started";
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
            const std::string filed = game->replay;
            fileLast(table.games, filed);
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
            const Game* row = gameOf(table.games, name);
            if (row && !isBegun(*row))
                return shown(name) + " is a game that has started: it is kept";
            std::string reason;
            files::File file = files::File::forReading(recording, reason);
            if (file && file.lock({}, reason) == files::File::Locking::busy)
                return shown(name) + " is still being recorded";
            if (row) {
                removeRows(table.games, {name});
                table.changed = true;
            }
            table.leaving.push_back(name);
            return {};
        },
        why);
}

// --- Queries ------------------------------------------------------------------------------

// The games that have ended, in the order they were filed.
bool Store::settledGames(std::vector<Game>& games, std::string& why)
{
    games.clear();
    Table table;
    if (!look(table, why))
        return false;
    std::copy_if(table.games.begin(), table.games.end(), std::back_inserter(games),
                 [](const Game& game) { return game.state != State::playing; });
    return true;
}

bool Store::rows(std::vector<Game>& games, std::string& why)
{
    if (!settledGames(games, why))
        return false;
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
    if (!(selected->order == Selector::Order::last ? settledGames(games, why) : rows(games, why)))
        return false;
    if (selected->order == Selector::Order::last)
        std::reverse(games.begin(), games.end());
    if (selected->rank > games.size())
        return refuse(
            why, "there is no kept game " + std::string(selector) +
                     (games.empty() ? ": no game is kept yet" : "; orvanta --games lists them"));
    path = pathOf(games[selected->rank - 1].replay);
    return true;
}

} // namespace orvanta::keep
