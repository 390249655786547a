#pragma once

#include "platform/backend_guard.h"

#include "platform/replay_file.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

class QtBackend;

// Shows a recording in real windows at its recorded pace: each event dispatched at its
// ms from the start, the ticks of one round together as the backend fires them, boxes
// answered as recorded. The player's input is refused, close requests from the window
// system included, but for Escape, which stops the replay at once. The program ends when
// the recording does, and follows the same rule as orvanta-sim's replay (replay::exitHolds).
class ReplayPlayer final : public QObject {
public:
    ReplayPlayer(QtBackend& backend, const replay::Replay& replay,
                 const replay::Vocabulary& vocabulary, std::string path);

    // Call right before the program's start-up: its ms 0.
    void start();
    // Escape, or a termination signal: the replay stops at once, asking nothing, status 0.
    void interrupt();
    // Once the program has ended: its status, or 3 if it went another way than the
    // recording (ended before the recording does, or with another status), said on stderr.
    int finish();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void playDue();
    void armNext();
    bool play(const replay::Event& event);
    void diverged(std::size_t index);
    void stop(int status);

    QtBackend& backend_;
    const replay::Replay& replay_;
    const replay::Vocabulary& vocabulary_;
    std::string path_;
    QElapsedTimer clock_;
    QTimer wake_;
    std::size_t next_ = 0;
    std::optional<int> stoppedWith_; // the player ended the program, not the replayed one
};

} // namespace platform
