#pragma once

// The games played on this desktop, kept in the player's data folder: each game's replay
// (gzip-compressed once it ends) and a small table of them, so that the player can list
// them and replay the best or the last ones.
//
// Any number of programs may use one folder at once: every change of the table is made
// under an flock on its lock file, and the table is replaced whole (a temp file, synced,
// renamed), so a crash leaves either the old table or the new one. A game's recorder holds
// an flock on its recording while it writes it; a recording that can be locked has no
// writer any more.
//
// Nothing here throws or stops the game: a failure is false with a one-line reason, and
// the table as it was stays.

#include "keep/game.h"
#include "keep/limits.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::keep {

constexpr std::string_view tableName = "games";
constexpr std::string_view lockName = "games.lock";

struct Options {
    Limits limits;
    std::function<std::int64_t()> clock;         // Unix seconds; the system's by default
    std::function<void(const std::string&)> say; // one line for the player; stderr by default
};

class Store {
public:
    // Opens the folder, created 0700 with its parents if missing. Null, with why, if the
    // folder cannot be made or written: the game is then played unrecorded.
    static std::unique_ptr<Store> open(const std::string& folder, std::string& why,
                                       Options options = {});
    // $XDG_DATA_HOME/orvanta, or ~/.local/share/orvanta; empty if neither can be known.
    static std::string defaultFolder();

    const std::string& folder() const { return folder_; }

    // At the start: games cut short (their program died; the recording has no writer) are
    // compressed and kept as "cut"; plain recordings that never became a game, and temp
    // files a crash left, are removed. Games other programs are playing now are left be.
    bool recover(std::string& why);

    // A new path in the folder for a game's recording, unused so far; the program creates
    // and writes it itself.
    std::string newRecording() const;

    // The game recorded at `recording` has started: a row "playing".
    bool started(const std::string& recording, std::string_view player, int minutes,
                 std::int64_t unixTime, std::string& why);
    // A basket was counted.
    bool scored(const std::string& recording, int baskets, int secondsPlayed, std::string& why);
    // The game has ended and its recorder has closed the file: the recording is compressed,
    // the row finished, and the games no longer kept go.
    bool ended(const std::string& recording, int baskets, int secondsPlayed, std::string& why);
    // The program ends before its game started: the recording goes.
    bool discard(const std::string& recording, std::string& why);

    // The kept games, best first (see isBetter); games being played are not listed.
    bool rows(std::vector<Game>& games, std::string& why);
    // The replay's path for "best", "best:N", "last" or "last:N" (N from 1).
    bool find(std::string_view selector, std::string& path, std::string& why);

    std::string pathOf(std::string_view name) const;

private:
    struct Table;
    enum class Packed { done, busy, tooLarge, failed };

    Store(std::string folder, Options options);

    bool change(const std::function<std::string(Table&)>& edit, std::string& why);
    bool look(Table& table, std::string& why);
    bool load(Table& table, std::string& why);
    bool setAside(const std::string& damage, std::string& why);
    void dropUnreadableRows(Table& table) const;
    bool save(Table& table, std::string& why);
    void keepTheBest(Table& table) const;
    Packed pack(Game& game, Table& table, std::string& problem);
    std::string recoverGames(Table& table);
    void removeLeftovers(Table& table);
    bool recordingName(const std::string& recording, std::string& name, std::string& why) const;
    std::int64_t now() const;
    std::string shown(std::string_view name) const;

    std::string folder_;
    Options options_;
};

} // namespace orvanta::keep
