#include "platform/replay/recorder.h"

#include <cstdio>

namespace platform::replay {

Recorder::Recorder(std::unique_ptr<Output> output, std::string path, std::string program,
                   const Header& header, std::function<std::int64_t()> clock)
    : output_(std::move(output)), path_(std::move(path)), program_(std::move(program)),
      clock_(std::move(clock)), start_(std::chrono::steady_clock::now())
{
    write(headerLine(header));
}

Recorder::~Recorder() { finish(); }

bool Recorder::finish()
{
    if (!output_)
        return !stopped_;
    if (!stopped_ && !output_->close())
        sayStopped(output_->why());
    output_.reset();
    return !stopped_;
}

std::int64_t Recorder::now() const
{
    if (clock_)
        return clock_();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void Recorder::write(const std::string& line)
{
    if (stopped_ || !output_)
        return;
    // Past the reader's limit a file could not be replayed at all: stop before it.
    if (output_->size() + line.size() > maxFileBytes) {
        stopped_ = true;
        std::fprintf(stderr,
                     "%s: %s has reached %zu MiB, the most a replay can be; the "
                     "recording stops here\n",
                     program_.c_str(), shownFileName(path_).c_str(), maxFileBytes >> 20);
        output_->close();
    } else if (!output_->append(line)) {
        sayStopped(output_->why());
    }
}

void Recorder::sayStopped(const std::string& why)
{
    stopped_ = true;
    std::fprintf(stderr, "%s: cannot write %s: %s; the recording stops here\n", program_.c_str(),
                 shownFileName(path_).c_str(), why.c_str());
}

void Recorder::took(const TakenEvent& event) { write(lineOf(now(), event)); }

} // namespace platform::replay
