// parseScript on any text: it either returns events that keep the script's rules, which
// read back the same when written out again, or throws ScriptError naming a line of the
// text. Any other exception or crash is a fault.

#include "tests/fuzz/check.h"
#include "tools/orvanta_sim/script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using orvanta::sim::ScriptEvent;

std::string number(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string write(const std::vector<ScriptEvent>& events)
{
    std::string text = "# written back\n";
    for (const ScriptEvent& e : events) {
        text += std::to_string(e.time);
        switch (e.kind) {
        case ScriptEvent::Kind::Move: text += " move " + number(e.x) + ' ' + number(e.y); break;
        case ScriptEvent::Kind::Click: text += " click"; break;
        case ScriptEvent::Kind::Key: text += " key " + std::to_string(e.key); break;
        case ScriptEvent::Kind::Answer: text += e.yes ? " answer yes" : " answer no"; break;
        }
        text += '\n';
    }
    return text;
}

bool same(const ScriptEvent& a, const ScriptEvent& b)
{
    if (a.time != b.time || a.kind != b.kind)
        return false;
    switch (a.kind) {
    case ScriptEvent::Kind::Move: return a.x == b.x && a.y == b.y;
    case ScriptEvent::Kind::Key: return a.key == b.key;
    case ScriptEvent::Kind::Answer: return a.yes == b.yes;
    case ScriptEvent::Kind::Click: return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    std::vector<ScriptEvent> events;
    try {
        events = orvanta::sim::parseScript(text);
    } catch (const orvanta::sim::ScriptError& error) {
        FUZZ_CHECK(error.line >= 1 && error.line <= lines, "the error names no line of the text");
        FUZZ_CHECK(!error.message.empty(), "the error says nothing");
        return 0;
    }

    for (std::size_t i = 0; i < events.size(); ++i) {
        const ScriptEvent& e = events[i];
        FUZZ_CHECK(e.line >= 1 && e.line <= lines, "an event names no line of the text");
        FUZZ_CHECK(e.time >= 0, "an event comes before 0 ms");
        if (i > 0) {
            FUZZ_CHECK(e.line > events[i - 1].line, "two events from one line");
            FUZZ_CHECK(e.time >= events[i - 1].time, "the events are out of time order");
        }
        if (e.kind == ScriptEvent::Kind::Move)
            FUZZ_CHECK(std::isfinite(e.x) && std::isfinite(e.y) && std::fabs(e.x) <= 1e7F &&
                           std::fabs(e.y) <= 1e7F,
                       "a move goes beyond the screen's numbers");
        if (e.kind == ScriptEvent::Kind::Key)
            FUZZ_CHECK(e.key >= 0 && e.key <= 65535, "a key code out of range");
    }

    const std::vector<ScriptEvent> again = orvanta::sim::parseScript(write(events));
    FUZZ_CHECK(again.size() == events.size(), "written back, the script has another length");
    for (std::size_t i = 0; i < events.size(); ++i)
        FUZZ_CHECK(same(again[i], events[i]), "written back, an event reads differently");
    return 0;
}
