#include "platform/recorder.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/timer.h"

#include <cassert>

namespace platform {

Recorder::Recorder(std::unique_ptr<ReplayOutput> output, std::string path, std::string program,
                   const replay::Header& header, std::function<std::int64_t()> clock)
    : output_(std::move(output)), path_(std::move(path)), program_(std::move(program)),
      clock_(std::move(clock)), start_(std::chrono::steady_clock::now())
{
    assert(!active_ && "one recording at a time");
    active_ = this;
    write(replay::headerLine(header));
}

Recorder::~Recorder()
{
    finish();
    active_ = nullptr;
}

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
    if (output_->size() + line.size() > replay::maxFileBytes) {
        stopped_ = true;
        std::fprintf(stderr,
                     "%s: %s has reached %zu MiB, the most a replay can be; the "
                     "recording stops here\n",
                     program_.c_str(), replay::shownFileName(path_).c_str(),
                     replay::maxFileBytes >> 20);
        output_->close();
    } else if (!output_->append(line)) {
        sayStopped(output_->why());
    }
}

void Recorder::sayStopped(const std::string& why)
{
    stopped_ = true;
    std::fprintf(stderr, "%s: cannot write %s: %s; the recording stops here\n", program_.c_str(),
                 replay::shownFileName(path_).c_str(), why.c_str());
}

void Recorder::ticked(const Timer& timer)
{
    write(line("tick").word(timer.form().className()).word(timer.name()).finish());
}

void Recorder::mouseMoved(const Form& form, float x, float y, int button, int shift)
{
    write(line("move")
              .word(form.className())
              .number(x)
              .number(y)
              .number(std::int64_t{button})
              .number(std::int64_t{shift})
              .finish());
}

void Recorder::clicked(const Form& form, float x, float y)
{
    write(line("click").word(form.className()).number(x).number(y).finish());
}

void Recorder::keyPressed(const Form& form, int keyAscii)
{
    write(line("key").word(form.className()).number(std::int64_t{keyAscii}).finish());
}

void Recorder::accessKeyPressed(const Form& form, char letter)
{
    write(line("access").word(form.className()).word(std::string(1, letter)).finish());
}

void Recorder::closeRequested(const Form& form)
{
    write(line("close").word(form.className()).finish());
}

void Recorder::typed(const TextBox& box, const std::string& text)
{
    write(line("type").word(box.form().className()).word(box.name()).text(text).finish());
}

void Recorder::picked(const ComboBox& list, int index)
{
    write(line("pick")
              .word(list.form().className())
              .word(list.name())
              .number(std::int64_t{index})
              .finish());
}

void Recorder::pressed(const CommandButton& button)
{
    write(line("press").word(button.form().className()).word(button.name()).finish());
}

void Recorder::answered(int result) { write(line("answer").number(std::int64_t{result}).finish()); }

void Recorder::signalled() { write(line("signal").finish()); }

void Recorder::exited(int status) { write(line("exit").number(std::int64_t{status}).finish()); }

} // namespace platform
