#pragma once

// The replay file: what a run of the program dispatched, one event a line, with the ms
// since the recording started. Written by the recorder as the game goes; read back for a
// replay. Plain C++ with no Qt, so that the reader can be fuzzed alone.

#include "platform/taken_events.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::replay {

constexpr std::string_view formatName = "orvanta-replay";
constexpr int formatVersion = 1;

// Limits that keep a stranger's file from costing more than a long game would.
constexpr std::size_t maxLineBytes = 8192;
constexpr std::size_t maxTextBytes = 1024; // typed text, decoded
constexpr std::size_t maxFileBytes = 64u << 20;
constexpr std::int64_t maxMs = 1'000'000'000'000; // some 31 years
constexpr float maxTwips = 1e7F;
constexpr int maxScreenPixels = 100000;
constexpr int maxListIndex = 9999;

// The names a replay may use: each window of the program with its timers and the
// controls that take typing, picks and presses. Anything else in a file is refused.
struct WindowNames {
    std::string name;
    std::vector<std::string> timers;
    std::vector<std::string> textBoxes;
    std::vector<std::string> lists;
    std::vector<std::string> buttons;
};
using Vocabulary = std::vector<WindowNames>;

struct Header {
    int screenWidth = 0; // logical pixels
    int screenHeight = 0;
    std::string programVersion;
};

using platform::EventKind;
using platform::TakenEvent;

// An event as read, 24 bytes, so that a long game's events fit in memory many times over:
// the window and item as indices into the vocabulary, a typed text as an index into the
// replay's texts (in `value`); the rest as in TakenEvent.
struct Event {
    std::int64_t ms = 0;
    float x = 0, y = 0; // twips from the window's top-left corner
    std::int32_t value = 0;
    EventKind kind = EventKind::Tick;
    std::uint8_t shift = 0;
    std::uint8_t window = 0; // index into the vocabulary
    std::uint8_t item = 0;   // index into the window's timers, text boxes, lists or buttons
};

struct Replay {
    Header header;
    std::vector<Event> events; // the event on line i + 2 at index i
    std::vector<std::string> texts;
};

// Why a file cannot be replayed; line 0 for the file as a whole.
struct ReadError {
    int line = 0;
    std::string message;
};

// Reads a whole replay. Throws ReadError naming the first line that is not right.
Replay readReplay(std::string_view text, const Vocabulary& vocabulary);
// Reads the file at `path`, refusing it unread if it is larger than maxFileBytes.
Replay readReplayFile(const std::string& path, const Vocabulary& vocabulary);

// Text as a message or the terminal shows it: control characters (C1's too), the format
// characters that reorder or hide text (bidi controls, zero-width spaces) and bytes that
// are not UTF-8 as \xHH, a byte each, so that the text can neither speak to the terminal
// nor pass for other text.
std::string shownText(std::string_view text);
// The same for a word that may be a flood (an argument, a variable): only its first
// `bytes` bytes of whole characters, then "..." if there is more.
std::string shownText(std::string_view text, std::size_t bytes);

// A file name as a message shows it: as shownText shows it; whole, unless it is longer
// than maxShownPathBytes, when it is cut to its end.
inline constexpr std::size_t maxShownPathBytes = 1024;
std::string shownFileName(std::string_view path);

// --- Writing ---------------------------------------------------------------------------

std::string headerLine(const Header& header); // with its newline

// One event line, built word by word.
class LineWriter {
public:
    LineWriter(std::int64_t ms, std::string_view verb);
    LineWriter& word(std::string_view name);
    LineWriter& number(std::int64_t value);
    LineWriter& number(float value);         // shortest form that reads back the same
    LineWriter& text(std::string_view utf8); // escaped into one word, cut at maxTextBytes
    std::string finish();                    // with its newline

private:
    std::string line_;
};

// The line of an event as the program took it, `ms` after the recording started.
std::string lineOf(std::int64_t ms, const TakenEvent& event);
// The line of a read event, as the recorder wrote it.
std::string eventLine(const Event& event, const Vocabulary& vocabulary,
                      const std::vector<std::string>& texts);

// The length of the UTF-8 code point at `at`, or 0 if the bytes there are not one
// (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t codePointLength(std::string_view text, std::size_t at);
// The code point of one well-formed UTF-8 character, as codePointLength measures it.
char32_t codePointOf(std::string_view character);
// `utf8` cut to at most `bytes` bytes of whole code points.
std::string_view cutText(std::string_view utf8, std::size_t bytes);

} // namespace platform::replay
