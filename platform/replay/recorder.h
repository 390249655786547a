#pragma once

#include "platform/replay/format.h"
#include "platform/replay/output.h"
#include "platform/taken_events.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform::replay {

// Writes what the program takes to a replay file as it goes, one line an event, each
// line out of the program at once, so that a run cut short still replays up to its last
// whole line (see Output). Listens to the program (Program::listen).
class Recorder final : public EventListener {
public:
    // Records into `output` (opened from `path`); `program` names the program in what it
    // says. `clock` gives the ms since the recording started; by default the steady clock
    // from now.
    Recorder(std::unique_ptr<Output> output, std::string path, std::string program,
             const Header& header, std::function<std::int64_t()> clock = {});
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void took(const TakenEvent& event) override;

    // Writes out the rest and closes the file. False if the recording stopped before its
    // end (the disk full, the file at a limit, its reader gone), which was said once on
    // stderr. Done by the destructor if not before.
    bool finish();

private:
    std::int64_t now() const;
    void write(const std::string& line);
    void sayStopped(const std::string& why);

    std::unique_ptr<Output> output_;
    std::string path_;
    std::string program_;
    std::function<std::int64_t()> clock_;
    std::chrono::steady_clock::time_point start_;
    bool stopped_ = false;
};

} // namespace platform::replay
