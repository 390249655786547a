#pragma once

#include "keep/store.h"
#include "platform/replay/recorder.h"
#include "platform/taken_events.h"
#include "program/play.h"

#include <memory>
#include <string>

namespace orvanta {

// The game played now, kept in the player's store: recorded as it goes, its row in the
// table made when the player starts the game and brought up to date at each basket, and
// at the end its recording compressed and filed (or removed, if no game was started).
// Listens to the program in the recorder's place and passes every event on to it.
class KeptGame final : public platform::EventListener {
public:
    KeptGame(std::unique_ptr<keep::Store> store, std::string recording,
             std::unique_ptr<platform::replay::Recorder> recorder);
    ~KeptGame() override;
    KeptGame(const KeptGame&) = delete;
    KeptGame& operator=(const KeptGame&) = delete;

    void took(const platform::TakenEvent& event) override;
    // Closes the recording and files the game. Done once, also by the destructor; safe to
    // call when the program leaves by exit() (the X server gone).
    void finish();

private:
    void follow();
    void say(const std::string& what, const std::string& why) const;

    std::unique_ptr<keep::Store> store_;
    std::string recording_;
    std::unique_ptr<platform::replay::Recorder> recorder_;
    bool started_ = false;
    bool finished_ = false;
    bool failed_ = false;   // the table could not be written: said once, then left alone
    GameProgress progress_; // as the table has it
};

} // namespace orvanta
