#pragma once

#include "platform/replay/format.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace platform {

class Timer;

namespace replay {

// What a backend lends a replay: the recorded events handed to the program as its window
// system and clock would hand them, each answering whether the program took it.
class Stage {
public:
    virtual ~Stage() = default;
    // Runs `act` on the program's thread as the next event, if `accepts` holds there;
    // false if it does not, or if the program has ended. `act` may wait in a modal window
    // or a message box while the player goes on.
    virtual bool deliver(std::function<bool()> accepts, std::function<void()> act) = 0;
    // One tick of a timer of the driven schedule, if it runs (TimerSchedule::canTick).
    virtual bool tick(Timer& timer) = 0;
    // Answers the open message box as its button with that result would.
    virtual bool answerBox(int result) = 0;
};

// Plays a recording's events in order on a stage, each as the program took it: a tick to
// its timer, input to the window it went to (if that window takes input there), a box
// answered as recorded. Where the program does not take an event, or ends another way
// than the recording, the replay went another way: the player stops there, says so in
// one line and ends with divergedStatus. When each event plays is the backend's
// business: at its recorded ms on the real clock, or on a virtual clock at once.
class Player {
public:
    Player(Stage& stage, const Replay& replay, const Vocabulary& vocabulary, std::string path);

    bool done() const { return next_ == replay_.events.size(); }
    const Event& next() const { return replay_.events.at(next_); }
    // Moves on to the next event and plays it; false if the program did not take it (see
    // divergence()). `movedOn` runs in between: an event may open a message box, in
    // whose event loop the replay goes on, so a backend arms its next wake-up there.
    bool playNext(const std::function<void()>& movedOn = {});
    // Once the program has ended by itself: whether the recording ends there too, with the
    // same status. A recording cut short after its last event (no exit line) has no say.
    bool agreesWithEnd() const;
    // Where the replay went another way, at the event refused, or else at the next one
    // (the recording going on where the program ended): "FILE: line N: ...".
    std::string divergence() const;

    static constexpr int divergedStatus = 3;

private:
    bool play(const Event& event);
    bool deliverInput(const Event& event);

    Stage& stage_;
    const Replay& replay_;
    const Vocabulary& vocabulary_;
    std::string path_;
    std::size_t next_ = 0;
    std::optional<std::size_t> refused_;
};

// A short description of an event, for messages: "tick clock Timer1".
std::string describe(const Event& event, const Replay& replay, const Vocabulary& vocabulary);

} // namespace replay
} // namespace platform
