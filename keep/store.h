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
// The store removes only what it made: files its rows name (a game's recording from the
// moment it is begun), its temp files, and compressed game replays that no row names any
// more (a row lost with a damaged table, a removal a crash cut short), which count in the
// byte cap and go first. A file the player put there stays, and a replay the player
// unpacked (gunzip) stays its game's replay.
//
// Nothing here throws or stops the game: a failure is false with a one-line reason, and
// the table as it was stays.

#include "keep/game.h"
#include "keep/limits.h"
#include "keep/packing.h"

#include <chrono>
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
    // The event, as a recording's line has it after its time, that marks one second of a
    // game played; a game cut short is filed with as many seconds as its recording has
    // them. Empty: it keeps the seconds of its last update.
    std::string secondPlayed;
    // How long a change waits for another program's lock on the table.
    std::chrono::milliseconds lockPatience{5000};
};

class Store {
public:
    // To keep games: the folder is created 0700 with its parents if missing, and must be
    // the player's own and writable. Null, with why, if not: the game is then played
    // unkept.
    static std::unique_ptr<Store> open(const std::string& folder, std::string& why,
                                       Options options = {});
    // To list and replay the kept games: nothing is created, and a folder that cannot be
    // written (a read-only disk) is read all the same; a missing folder keeps no game.
    // Null, with why, for a folder that is not the player's.
    static std::unique_ptr<Store> openToRead(const std::string& folder, std::string& why,
                                             Options options = {});
    // $XDG_DATA_HOME/orvanta, or ~/.local/share/orvanta; empty if neither can be known.
    static std::string defaultFolder();

    const std::string& folder() const { return folder_; }

    // At the start: games cut short (their program died; the recording has no writer) are
    // compressed and kept as "cut"; recordings of games that never started, and temp files
    // a crash left, are removed. Games other programs are playing now are left be. A store
    // opened to read changes nothing where it cannot.
    bool recover(std::string& why);

    // A new recording for the game about to be played: its file made (0600, empty) and a
    // row for it, so that the next start removes it if the program dies before the game
    // starts. False, with why, if a game there could not be filed: it is played unkept.
    bool begin(std::string& recording, std::string& why);
    // A new path in the folder for a recording, unused so far.
    std::string newRecording() const;

    // The game recorded at `recording` has started: its row "playing", made if missing.
    bool started(const std::string& recording, std::string_view player, int minutes,
                 std::int64_t unixTime, std::string& why);
    // A basket was counted.
    bool scored(const std::string& recording, int baskets, int secondsPlayed, std::string& why);
    // The game has ended and its recorder has closed the file: the recording is compressed,
    // the row finished and filed last, and the games no longer kept go.
    bool ended(const std::string& recording, int baskets, int secondsPlayed, std::string& why);
    // The program ends before its game started: the recording and its row go.
    bool discard(const std::string& recording, std::string& why);

    // The kept games, best first (see isBetter); games being played are not listed.
    bool rows(std::vector<Game>& games, std::string& why);
    // The replay's path for "best", "best:N", "last" or "last:N" (N from 1; "last" is the
    // last filed).
    bool find(std::string_view selector, std::string& path, std::string& why);

    std::string pathOf(std::string_view name) const;

private:
    struct Table;
    enum class Packed { done, busy, tooLarge, failed };

    Store(std::string folder, Options options, bool mayChange);

    bool change(const std::function<std::string(Table&)>& edit, std::string& why);
    bool look(Table& table, std::string& why);
    bool load(Table& table, std::string& why);
    bool setAside(const std::string& damage, std::string& why);
    void dropUnreadableRows(Table& table) const;
    bool save(Table& table, std::string& why);
    void keepTheBest(Table& table) const;
    // A compressed game replay that no row names, the oldest first.
    struct Stray {
        std::string name;
        std::uint64_t bytes;
        std::int64_t modified;
    };
    std::vector<Stray> strayReplays(const Table& table) const;
    Packed pack(Game& game, Table& table, std::string& problem, const LinesRead& read = {});
    std::string recoverGames(Table& table);
    std::string capUnfiled(Table& table, const std::vector<std::string>& unfiled);
    void removeLeftovers(Table& table);
    bool recordingName(const std::string& recording, std::string& name, std::string& why) const;
    bool settledGames(std::vector<Game>& games, std::string& why);
    std::int64_t now() const;
    std::string shown(std::string_view name) const;

    std::string folder_;
    Options options_;
    bool mayChange_ = true; // false for a reader in a folder it cannot write
};

} // namespace orvanta::keep
