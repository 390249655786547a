#include "tools/orvanta_sim/script.h"

#include "platform/replay/format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

namespace orvanta::sim {

namespace {

std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

template <class Number>
bool parseNumber(const std::string& word, Number& value)
{
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

bool parseCoordinate(const std::string& word, float& value)
{
    return parseNumber(word, value) && std::isfinite(value) && std::fabs(value) <= 1e7F;
}

ScriptEvent parseLine(const std::vector<std::string>& w, int line)
{
    const auto fail = [line](const std::string& message) { throw ScriptError{line, message}; };
    ScriptEvent event;
    event.line = line;
    if (!parseNumber(w[0], event.time) || event.time < 0)
        fail("the time must be a whole number of milliseconds, 0 or more: " + shortened(w[0]));
    if (w.size() < 2)
        fail("an event is missing after the time");
    const std::string& verb = w[1];
    const std::size_t arguments = w.size() - 2;
    if (verb == "move") {
        event.kind = ScriptEvent::Kind::Move;
        if (arguments != 2 || !parseCoordinate(w[2], event.x) || !parseCoordinate(w[3], event.y))
            fail("move takes two numbers: <x> <y> in twips");
    } else if (verb == "click") {
        event.kind = ScriptEvent::Kind::Click;
        if (arguments != 0)
            fail("click takes nothing more");
    } else if (verb == "key") {
        event.kind = ScriptEvent::Kind::Key;
        if (arguments != 1 || !parseNumber(w[2], event.key) || event.key < 0 || event.key > 65535)
            fail("key takes a character code from 0 to 65535");
    } else if (verb == "answer") {
        event.kind = ScriptEvent::Kind::Answer;
        if (arguments != 1 || (w[2] != "yes" && w[2] != "no"))
            fail("answer takes yes or no");
        event.yes = w[2] == "yes";
    } else {
        fail("unknown event '" + shortened(verb) + "' (move, click, key or answer)");
    }
    return event;
}

} // namespace

std::string shortened(const std::string& word)
{
    constexpr std::size_t kept = 40;
    const std::string shown = platform::replay::shownText(word, kept);
    return word.size() <= kept ? shown : shown + " (" + std::to_string(word.size()) + " bytes)";
}

std::vector<ScriptEvent> parseScript(const std::string& text)
{
    std::vector<ScriptEvent> events;
    std::istringstream in(text);
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto w = words(line);
        if (w.empty() || w[0].front() == '#')
            continue;
        ScriptEvent event = parseLine(w, lineNumber);
        if (!events.empty() && event.time < events.back().time)
            throw ScriptError{lineNumber, "events must come in time order"};
        events.push_back(event);
    }
    return events;
}

} // namespace orvanta::sim
