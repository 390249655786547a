#pragma once

#include "keep/store.h"
#include "platform/replay/recorder.h"
#include "platform/taken_events.h"
#include "program/play.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace orvanta {

// How the program's store of kept games reads a recording: the board's clock ticks once
// for each second of a game played.
keep::Options keptGameOptions();

// The game played now, kept in the player's store: recorded as it goes, its row in the
// table made when the player starts the game and brought up to date at each basket, and
// at the end its recording compressed and filed (or removed, if no game was started).
// Listens to the program in the recorder's place and passes every event on to it.
//
// The table is written on a thread of its own: the store may wait for another program's
// lock or a slow disk, and the ball must not wait with it. A change that fails is tried
// again with the next one, and at the end.
class KeptGame final : public platform::EventListener {
public:
    // `recording` is the store's, begun (Store::begin) and open in `recorder`.
    KeptGame(std::unique_ptr<keep::Store> store, std::string recording,
             std::unique_ptr<platform::replay::Recorder> recorder);
    ~KeptGame() override;
    KeptGame(const KeptGame&) = delete;
    KeptGame& operator=(const KeptGame&) = delete;

    void took(const platform::TakenEvent& event) override;
    // Closes the recording and files the game, waiting for the table. Done once, also by
    // the destructor; safe to call when the program leaves by exit() (the X server gone).
    void finish();
    // Waits until the table has been tried with all the game has handed it so far.
    void waitForTheTable();

private:
    // What the game has handed the filing thread, and how far that thread has gone.
    struct News {
        GameProgress progress;
        std::int64_t startTime = 0; // Unix seconds, when the player started the game
        bool ended = false;
        std::uint64_t number = 0; // counts the news, so that waiting knows what is done
    };

    void follow();
    void hand(bool ended);
    void file();
    bool bringUpToDate(const News& news, std::string& why);
    void fileTheEnd(const News& news);
    void say(const std::string& what, const std::string& why) const;

    std::unique_ptr<keep::Store> store_; // the filing thread's only
    const std::string recording_;
    std::unique_ptr<platform::replay::Recorder> recorder_;
    GameProgress progress_; // as handed on
    std::int64_t startTime_ = 0;
    bool finished_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    News news_;                   // guarded by mutex_
    std::uint64_t triedUpTo_ = 0; // guarded by mutex_
    bool inTable_ = false;        // the filing thread's: the row has the game's start
    GameProgress filed_;          // the filing thread's: as the table has it
    std::thread filing_;
};

} // namespace orvanta
