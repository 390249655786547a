#pragma once

#include "platform/backend_guard.h"

#include "platform/replay_file.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstddef>
#include <string>

namespace platform {

class QtBackend;

// Shows a recording in real windows at its recorded pace: each event dispatched at its
// ms from the start, the ticks of one round together as the backend fires them, boxes
// answered as recorded. The player's input is refused, but for Escape, which stops the
// replay at once. The program ends when the recording does.
class ReplayPlayer final : public QObject {
public:
    ReplayPlayer(QtBackend& backend, const replay::Replay& replay,
                 const replay::Vocabulary& vocabulary, std::string path);

    // Call right before the program's start-up: its ms 0.
    void start();
    // 0, or 3 if the program went another way than the recording (said on stderr).
    int status() const { return status_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void playDue();
    void armNext();
    bool play(const replay::Event& event);
    void stop(int status);

    QtBackend& backend_;
    const replay::Replay& replay_;
    const replay::Vocabulary& vocabulary_;
    std::string path_;
    QElapsedTimer clock_;
    QTimer wake_;
    std::size_t next_ = 0;
    int status_ = 0;
};

} // namespace platform
