#pragma once

#include "platform/backend_guard.h"

#include "platform/replay/player.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>
#include <string>

namespace platform {

class QtBackend;

// Shows a recording in real windows at its recorded pace: each event played at its ms
// from the start, the ticks of one round together as the backend fires them. The
// player's own input is refused, close requests from the window system included, but for
// Escape, which stops the replay at once. The program ends when the recording does.
class ReplayPlayer final : public QObject, private replay::Stage {
public:
    ReplayPlayer(QtBackend& backend, const replay::Replay& replay,
                 const replay::Vocabulary& vocabulary, const std::string& path);

    // Call right before the program's start-up: its ms 0.
    void start();
    // Escape, or a termination signal: the replay stops at once, asking nothing, status 0.
    void interrupt();
    // Once the program has ended: its status, or Player::divergedStatus if it went
    // another way than the recording, said on stderr.
    int finish();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // replay::Stage
    bool deliver(std::function<bool()> accepts, std::function<void()> act) override;
    bool tick(Timer& timer) override;
    bool answerBox(int result) override;

    void playDue();
    void armNext();
    void diverged();
    void stop(int status);

    QtBackend& backend_;
    const replay::Header& header_;
    std::string path_;
    replay::Player player_;
    QElapsedTimer clock_;
    QTimer wake_;
    std::optional<int> stoppedWith_; // the player ended the program, not the replayed one
};

} // namespace platform
