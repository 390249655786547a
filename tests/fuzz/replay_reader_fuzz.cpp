// readReplay on any text: it either returns events within the format's limits, which
// read back the same when written out again, or throws ReadError naming a line of the
// text (0 for the whole). Any other exception or crash is a fault.

#include "platform/replay/format.h"
#include "tests/fuzz/check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace platform::replay;

// The game's windows, as far as a replay may name them.
const Vocabulary vocabulary{
    {"frmloading", {"Timer1"}, {}, {}, {}},
    {"frmSplash1", {}, {"text1"}, {"Combo1"}, {"Command2", "Command1"}},
    {"clock", {"Timer1", "Timer3", "tmrhit"}, {}, {}, {}},
    {"frmSplash", {"Timer1", "Timer2"}, {}, {}, {}},
    {"Form1", {"Timer1", "Timer2"}, {}, {}, {}},
    {"frmend", {"Timer1"}, {"Text3", "Text2", "Text1"}, {}, {"Command2", "Command1"}},
    {"Form2", {}, {}, {}, {"Command1"}},
};

bool same(const Event& a, const Event& b, const Replay& ra, const Replay& rb)
{
    if (a.ms != b.ms || a.kind != b.kind || a.window != b.window || a.item != b.item ||
        a.shift != b.shift || a.x != b.x || a.y != b.y)
        return false;
    if (a.kind == EventKind::Type)
        return ra.texts.at(static_cast<std::size_t>(a.value)) ==
               rb.texts.at(static_cast<std::size_t>(b.value));
    return a.value == b.value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    Replay replay;
    try {
        replay = readReplay(text, vocabulary);
    } catch (const ReadError& error) {
        FUZZ_CHECK(error.line >= 0 && error.line <= lines, "the error names no line of the text");
        FUZZ_CHECK(!error.message.empty(), "the error says nothing");
        return 0;
    }

    const Header& header = replay.header;
    FUZZ_CHECK(header.screenWidth >= 1 && header.screenWidth <= maxScreenPixels &&
                   header.screenHeight >= 1 && header.screenHeight <= maxScreenPixels,
               "a screen size out of range");
    FUZZ_CHECK(static_cast<long>(replay.events.size()) < lines, "more events than lines");
    for (std::size_t i = 0; i < replay.events.size(); ++i) {
        const Event& e = replay.events[i];
        FUZZ_CHECK(e.ms >= 0 && e.ms <= maxMs, "a time out of range");
        FUZZ_CHECK(i == 0 || e.ms >= replay.events[i - 1].ms, "the events are out of time order");
        FUZZ_CHECK(e.window < vocabulary.size(), "a window out of the vocabulary");
        FUZZ_CHECK(std::isfinite(e.x) && std::isfinite(e.y) && std::fabs(e.x) <= maxTwips &&
                       std::fabs(e.y) <= maxTwips,
                   "a position beyond the limit");
        FUZZ_CHECK(e.kind != EventKind::Exit || i + 1 == replay.events.size(),
                   "an event after the exit");
    }
    for (const std::string& typed : replay.texts)
        FUZZ_CHECK(typed.size() <= maxTextBytes && cutText(typed, typed.size()) == typed,
                   "typed text too long or not UTF-8");

    std::string written = headerLine(header);
    for (const Event& event : replay.events)
        written += eventLine(event, vocabulary, replay.texts);
    const Replay again = readReplay(written, vocabulary);
    FUZZ_CHECK(again.events.size() == replay.events.size(),
               "written back, the replay has another length");
    for (std::size_t i = 0; i < replay.events.size(); ++i)
        FUZZ_CHECK(same(again.events[i], replay.events[i], again, replay),
                   "written back, an event reads differently");
    return 0;
}
