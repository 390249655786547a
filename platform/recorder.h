#pragma once

#include "platform/replay_file.h"
#include "platform/replay_output.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class ComboBox;
class CommandButton;
class Form;
class TextBox;
class Timer;

// Writes what the program dispatches to a replay file as it goes, one line an event, each
// line out of the program at once, so that a run cut short still replays up to its last
// whole line (see ReplayOutput). The model's
// entry points (ticks, input, answers, the end) report here while a recorder exists;
// without one they pay a null test.
class Recorder {
public:
    // Records into `output` (opened from `path`); `program` names the program in what it
    // says. `clock` gives the ms since the recording started; by default the steady clock
    // from now.
    Recorder(std::unique_ptr<ReplayOutput> output, std::string path, std::string program,
             const replay::Header& header, std::function<std::int64_t()> clock = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    static Recorder* active() { return active_; }

    void ticked(const Timer& timer);
    void mouseMoved(const Form& form, float x, float y, int button, int shift);
    void clicked(const Form& form, float x, float y);
    void keyPressed(const Form& form, int keyAscii);
    void accessKeyPressed(const Form& form, char letter);
    void closeRequested(const Form& form);
    void typed(const TextBox& box, const std::string& text);
    void picked(const ComboBox& list, int index);
    void pressed(const CommandButton& button);
    void answered(int result);
    void signalled();
    void exited(int status);

    // Writes out the rest and closes the file. False if the recording stopped before its
    // end (the disk full, the file at a limit, its reader gone), which was said once on
    // stderr. Done by the destructor if not before.
    bool finish();

private:
    std::int64_t now() const;
    replay::LineWriter line(std::string_view verb) const { return {now(), verb}; }
    void write(const std::string& line);
    void sayStopped(const std::string& why);

    static inline Recorder* active_ = nullptr;

    std::unique_ptr<ReplayOutput> output_;
    std::string path_;
    std::string program_;
    std::function<std::int64_t()> clock_;
    std::chrono::steady_clock::time_point start_;
    bool stopped_ = false;
};

} // namespace platform
