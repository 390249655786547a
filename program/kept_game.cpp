#include "program/kept_game.h"

#include "board/form1.h"
#include "platform/program.h"

#include <cstdio>
#include <ctime>

namespace orvanta {

keep::Options keptGameOptions()
{
    const Form1 board; // its definition only: nothing shows
    keep::Options options;
    options.secondPlayed =
        "tick " + std::string(board.className()) + " " + std::string(board.Timer2.name());
    return options;
}

KeptGame::KeptGame(std::unique_ptr<keep::Store> store, std::string recording,
                   std::unique_ptr<platform::replay::Recorder> recorder)
    : store_(std::move(store)), recording_(std::move(recording)), recorder_(std::move(recorder)),
      filing_([this] { file(); })
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
    const bool starts = startTime_ == 0 && gameStarted();
    if (!starts && (startTime_ == 0 || basketsCounted() == progress_.baskets))
        return;
    if (starts)
        startTime_ = static_cast<std::int64_t>(std::time(nullptr));
    progress_ = gameProgress();
    hand(false);
}

void KeptGame::hand(bool ended)
{
    {
        const std::lock_guard lock(mutex_);
        news_.progress = progress_;
        news_.startTime = startTime_;
        news_.ended = ended;
        ++news_.number;
    }
    changed_.notify_all();
}

void KeptGame::finish()
{
    if (finished_)
        return;
    finished_ = true;
    recorder_->finish();
    if (platform::Program::exists() && startTime_ != 0)
        progress_ = gameProgress();
    hand(true);
    filing_.join();
}

void KeptGame::waitForTheTable()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return triedUpTo_ == news_.number; });
}

// The filing thread: each time the game hands it news, the table is brought up to date
// with the latest; news that comes meanwhile is taken together.
void KeptGame::file()
{
    for (;;) {
        News news;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return news_.number != triedUpTo_; });
            news = news_;
        }
        std::string failed; // tried again with the next news; said only if the end fails
        if (news.ended)
            fileTheEnd(news);
        else
            bringUpToDate(news, failed);
        {
            const std::lock_guard lock(mutex_);
            triedUpTo_ = news.number;
        }
        changed_.notify_all();
        if (news.ended)
            return;
    }
}

bool KeptGame::bringUpToDate(const News& news, std::string& why)
{
    const GameProgress& progress = news.progress;
    if (!inTable_) {
        if (!store_->started(recording_, progress.player, progress.minutes, news.startTime, why))
            return false;
        inTable_ = true;
        filed_ = {progress.player, progress.minutes, 0, 0};
    }
    if (progress.baskets == filed_.baskets && progress.secondsPlayed == filed_.secondsPlayed)
        return true;
    if (!store_->scored(recording_, progress.baskets, progress.secondsPlayed, why))
        return false;
    filed_ = progress;
    return true;
}

void KeptGame::fileTheEnd(const News& news)
{
    std::string why;
    if (news.startTime == 0) {
        if (!store_->discard(recording_, why))
            say("cannot remove the recording of a game not played", why);
        return;
    }
    if (!inTable_ && !store_->started(recording_, news.progress.player, news.progress.minutes,
                                      news.startTime, why)) {
        say("this game is not kept", why);
        return;
    }
    if (!store_->ended(recording_, news.progress.baskets, news.progress.secondsPlayed, why))
        say("this game is not filed", why + "; the next start files it as cut");
}

void KeptGame::say(const std::string& what, const std::string& why) const
{
    std::fprintf(stderr, "orvanta: %s: %s\n", what.c_str(), why.c_str());
}

} // namespace orvanta
