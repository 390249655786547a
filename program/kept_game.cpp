#include "program/kept_game.h"

#include "platform/program.h"

#include <cstdio>
#include <ctime>

namespace orvanta {

KeptGame::KeptGame(std::unique_ptr<keep::Store> store, std::string recording,
                   std::unique_ptr<platform::replay::Recorder> recorder)
    : store_(std::move(store)), recording_(std::move(recording)), recorder_(std::move(recorder))
{
}

KeptGame::~KeptGame() { finish(); }

void KeptGame::took(const platform::TakenEvent& event)
{
    if (finished_)
        return;
    recorder_->took(event);
    follow();
}

// A basket is counted inside a tick's handler: the row hears of it at the next event, a
// few ms later, which is soon enough for a game that dies there. Most events change
// neither the start nor the baskets: only those are looked at.
void KeptGame::follow()
{
    if (failed_)
        return;
    const bool starts = !started_ && gameStarted();
    if (!starts && (!started_ || basketsCounted() == progress_.baskets))
        return;
    progress_ = gameProgress();
    std::string why;
    if (starts) {
        started_ = true;
        failed_ = !store_->started(recording_, progress_.player, progress_.minutes,
                                   static_cast<std::int64_t>(std::time(nullptr)), why);
    } else {
        failed_ = !store_->scored(recording_, progress_.baskets, progress_.secondsPlayed, why);
    }
    if (failed_)
        say("cannot keep this game", why);
}

void KeptGame::finish()
{
    if (finished_)
        return;
    finished_ = true;
    recorder_->finish();
    if (platform::Program::exists())
        progress_ = gameProgress();
    std::string why;
    if (!started_) {
        if (!store_->discard(recording_, why))
            say("cannot remove the recording of a game not played", why);
    } else if (!failed_ &&
               !store_->ended(recording_, progress_.baskets, progress_.secondsPlayed, why)) {
        say("cannot keep this game", why);
    }
}

void KeptGame::say(const std::string& what, const std::string& why) const
{
    std::fprintf(stderr, "orvanta: %s: %s\n", what.c_str(), why.c_str());
}

} // namespace orvanta
