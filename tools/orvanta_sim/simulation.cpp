#include "tools/orvanta_sim/simulation.h"

#include "ball/clock.h"
#include "board/form1.h"
#include "core/modafs.h"
#include "hoop/frmsplash.h"
#include "platform/msgbox.h"
#include "platform/program.h"
#include "platform/replay/player.h"
#include "platform/replay/recorder.h"
#include "platform/sim/sim_backend.h"
#include "platform/timer.h"
#include "program/play.h"
#include "program/replay_vocabulary.h"
#include "program/startup.h"
#include "screens/frmend.h"
#include "screens/frmsplash1.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>

namespace orvanta::sim {

using namespace platform;
using BallWindow = orvanta::clock;

namespace {

// The shortest decimal form that reads back as the same float.
std::string number(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, result.ptr};
}

// Where a real window stands for a position in twips, in logical pixels, as the real
// backend rounds it.
long pixels(float twips) { return std::lround(twips / twipsPerPixel); }

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

class Simulation {
public:
    Simulation(const Options& options, std::ostream& out)
        : options_(options), out_(out), sim_({options.screenWidth, options.screenHeight})
    {
    }

    int run();

private:
    int playRecording();
    const char* recordingEnding(const replay::Player& player) const;
    void traceReplayed(const replay::Event& event);
    static const char* inputHandler(const replay::Event& event);
    void traceLine(const std::string& handler);
    void enterNameAndLength();
    void advance(std::int64_t time, bool beforeItsTicks);
    bool over() const { return program_.ended() || endScreenShown_; }
    bool deliver(const ScriptEvent& event);
    bool advanceTo(std::int64_t time, bool beforeTicksThen);
    void finish(const char* ended);

    template <class W>
    W* loaded()
    {
        W* window = program_.find<W>();
        return window && window->isLoaded() ? window : nullptr;
    }

    const Options& options_;
    std::ostream& out_;
    SimBackend sim_;
    Program program_{sim_};
    std::optional<bool> pendingAnswer_;
    bool lastMoveOnBall_ = false;
    float lastX_ = 0, lastY_ = 0;
    bool endScreenShown_ = false;
    bool entryShown_ = false;
    bool entryWaiting_ = false; // shown, and not yet filled in
    bool lastInputWasClick_ = false;
    std::optional<replay::EventKind> lastEvent_;
    const char* waitingHandler_ = nullptr;
};

// Runs the program up to `time` (just before its ticks if `beforeItsTicks`); when the entry
// screen shows on the way, the player fills it in then, and the run goes on.
void Simulation::advance(std::int64_t time, bool beforeItsTicks)
{
    for (;;) {
        if (beforeItsTicks)
            sim_.advanceToJustBefore(time);
        else
            sim_.advanceTo(time);
        if (!entryWaiting_ || over())
            return;
        entryWaiting_ = false;
        lastInputWasClick_ = false;
        enterNameAndLength();
    }
}

void Simulation::traceLine(const std::string& handler)
{
    const BallWindow* ball = loaded<BallWindow>();
    const frmSplash* hoop = loaded<frmSplash>();
    const Form1* board = loaded<Form1>();
    const modAFS& afs = program_.single<modAFS>();
    // clang-format off
    out_ << "{\"t\":" << sim_.now() << ",\"h\":" << quoted(handler)
         << ",\"left\":" << number(ball ? ball->Left.get() : 0)
         << ",\"top\":" << number(ball ? ball->Top.get() : 0)
         << ",\"x\":" << pixels(ball ? ball->Left.get() : 0)
         << ",\"y\":" << pixels(ball ? ball->Top.get() : 0)
         << ",\"vx\":" << afs.BallSpeedX.value() << ",\"vy\":" << afs.BallSpeedY.value()
         << ",\"inhoop\":" << (hoop && hoop->InHoop ? "true" : "false")
         << ",\"score\":" << quoted(board ? board->Lblscore.Caption.get() : "")
         << ",\"baskets\":" << afs.BasketCount.value()
         << ",\"secs\":" << afs.SecondsLeft.value() << "}\n";
    // clang-format on
}

// The entry screen gets the name typed and the length picked, and Continue is clicked.
void Simulation::enterNameAndLength()
{
    frmSplash1* entry = loaded<frmSplash1>();
    if (!entry || !entry->Visible())
        return;
    sim_.type(entry->text1, options_.name);
    sim_.pick(entry->Combo1, options_.minutes - 1);
    sim_.click(entry->Command1);
}

bool Simulation::deliver(const ScriptEvent& event)
{
    BallWindow* ball = loaded<BallWindow>();
    switch (event.kind) {
    case ScriptEvent::Kind::Answer: pendingAnswer_ = event.yes; return false;
    case ScriptEvent::Kind::Move:
        lastX_ = event.x;
        lastY_ = event.y;
        lastMoveOnBall_ = ball && sim_.moveMouse(*ball, event.x, event.y);
        if (lastMoveOnBall_)
            traceLine("clock.Image1_MouseMove");
        return lastMoveOnBall_;
    case ScriptEvent::Kind::Click:
        if (!ball || !lastMoveOnBall_)
            return false;
        lastInputWasClick_ = true;
        if (sim_.click(*ball, lastX_, lastY_) && !program_.ended())
            traceLine("clock.Image1_Click");
        return true;
    case ScriptEvent::Kind::Key:
        if (!ball || !sim_.pressKey(*ball, event.key))
            return false;
        if (!program_.ended())
            traceLine("clock.Form_KeyPress");
        return true;
    }
    return false;
}

int Simulation::run()
{
    if (options_.replay)
        return playRecording();
    program_.single<modAFS>(); // the game state exists before anything reads it
    std::optional<replay::Recorder> recorder;
    if (!options_.recordPath.empty()) {
        std::string why;
        auto output = replay::Output::open(options_.recordPath, why);
        if (!output) {
            std::cerr << "orvanta-sim: cannot write " << replay::shownFileName(options_.recordPath)
                      << ": " << why << '\n';
            return 2;
        }
        recorder.emplace(
            std::move(output), options_.recordPath, "orvanta-sim",
            replay::Header{options_.screenWidth, options_.screenHeight, programVersion()},
            [this] { return sim_.now(); });
        program_.listen(&*recorder);
    }
    sim_.answerPolicy = [this](const MessageBoxRequest& box) -> std::optional<int> {
        if ((box.style & 0xF) != msgbox::yesNo)
            return msgbox::ok;
        const bool yes = pendingAnswer_.value_or(false);
        pendingAnswer_.reset();
        return yes ? msgbox::yes : msgbox::no;
    };
    sim_.observer = [this](const Timer& timer) {
        if (options_.trace && isPlayTimer(timer))
            traceLine(timer.form().className() + "." + timer.name());
        const frmend* end = loaded<frmend>();
        if (end && end->Visible() && !endScreenShown_) {
            endScreenShown_ = true;
            sim_.pause();
        }
        const frmSplash1* entry = loaded<frmSplash1>();
        if (entry && entry->Visible() && !entryShown_) {
            entryShown_ = entryWaiting_ = true;
            sim_.pause();
        }
    };
    sim_.start(program_, StartProgram);

    // The script's events, each before the ticks due at its millisecond; the player fills
    // in the entry screen the moment it shows (see advance).
    const std::int64_t stopTime = options_.until.value_or(std::numeric_limits<std::int64_t>::max());
    for (const ScriptEvent& event : options_.script) {
        if (event.time > stopTime)
            break;
        advance(event.time, true);
        if (over())
            break;
        lastInputWasClick_ = false;
        deliver(event);
        if (over())
            break;
    }
    if (!over())
        advance(stopTime, false);
    // What follows is the tool stopping the run, not the run itself.
    const bool recorded = !recorder || recorder->finish();
    program_.listen(nullptr);
    recorder.reset();

    if (program_.error()) {
        finish("error");
        return 1;
    }
    if (program_.ended())
        finish(lastInputWasClick_ ? "click" : "exit");
    else
        finish(endScreenShown_ ? "gameover" : "until");
    return recorded ? 0 : 1;
}

// The recording's events in its order and at its times, instead of the clock and a script;
// traced as a scripted game is.
int Simulation::playRecording()
{
    program_.single<modAFS>();
    sim_.driveTicks();
    sim_.observer = [this](const Timer& timer) {
        if (options_.trace && isPlayTimer(timer))
            traceLine(timer.form().className() + "." + timer.name());
    };
    sim_.start(program_, StartProgram);

    replay::Player player(sim_, *options_.replay, replayVocabulary(), options_.replayPath);
    const std::int64_t until = options_.until.value_or(replay::maxMs);
    bool diverged = false;
    while (!player.done() && player.next().ms <= until) {
        const replay::Event& event = player.next();
        sim_.setTime(event.ms);
        if (!player.playNext()) {
            diverged = true;
            break;
        }
        traceReplayed(event);
    }
    if (options_.until && !player.done())
        sim_.setTime(*options_.until);
    finish(diverged ? "diverged" : recordingEnding(player));
    if (diverged) {
        std::cerr << "orvanta-sim: " << player.divergence() << '\n';
        return replay::Player::divergedStatus;
    }
    return program_.error() ? 1 : 0;
}

// A played event, in the trace as a scripted game has it.
void Simulation::traceReplayed(const replay::Event& event)
{
    if (event.kind != replay::EventKind::Exit)
        lastEvent_ = event.kind;
    if (!options_.trace)
        return;
    // An input whose handler waits in a box is traced once the box is answered and the
    // handler has run to its end, as a scripted game traces it.
    if (event.kind == replay::EventKind::Answer && !sim_.boxOpen() && waitingHandler_) {
        if (!program_.ended())
            traceLine(waitingHandler_);
        waitingHandler_ = nullptr;
    }
    const char* handler = inputHandler(event);
    if (!handler || program_.ended())
        return;
    if (sim_.boxOpen())
        waitingHandler_ = handler;
    else
        traceLine(handler);
}

// The ball's handler that a recorded input runs, for the trace; null for other input.
const char* Simulation::inputHandler(const replay::Event& event)
{
    if (replayVocabulary().at(event.window).name != "clock")
        return nullptr;
    switch (event.kind) {
    case replay::EventKind::Move: return "clock.Image1_MouseMove";
    case replay::EventKind::Click: return "clock.Image1_Click";
    case replay::EventKind::Key: return "clock.Form_KeyPress";
    default: return nullptr;
    }
}

const char* Simulation::recordingEnding(const replay::Player& player) const
{
    if (program_.error())
        return "error";
    if (program_.ended()) {
        if (lastEvent_ == replay::EventKind::Click)
            return "click";
        return lastEvent_ == replay::EventKind::Signal ? "signal" : "exit";
    }
    if (!player.done())
        return "until";
    const frmend* end = program_.find<frmend>();
    return end && end->isLoaded() && end->Visible() ? "gameover" : "cut";
}

void Simulation::finish(const char* ended)
{
    const modAFS& afs = program_.single<modAFS>();
    const frmend* end = loaded<frmend>();
    const Form1* board = loaded<Form1>();
    out_ << "{\"name\":" << quoted(afs.PlayerName)
         << ",\"seconds\":" << quoted(end ? end->Text2.Text.get() : "")
         << ",\"baskets\":" << afs.BasketCount.value()
         << ",\"score\":" << quoted(board ? board->Lblscore.Caption.get() : "")
         << ",\"rate\":" << quoted(end ? end->Label2.Caption.get() : "")
         << ",\"beeps\":" << sim_.beeps() << ",\"ended\":" << quoted(ended)
         << ",\"virtual_ms\":" << sim_.now();
    if (program_.error())
        out_ << ",\"error\":" << quoted(program_.error()->description);
    out_ << "}\n";
    out_.flush();
    sim_.stop();
}

} // namespace

int simulate(const Options& options, std::ostream& out)
{
    Simulation simulation(options, out);
    return simulation.run();
}

} // namespace orvanta::sim
