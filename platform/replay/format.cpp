#include "platform/replay/format.h"
#include "platform/replay/file_open.h"

#include "platform/replay/packed.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform::replay {

namespace {

// A word of a stranger's file, as a message shows it: in quotes, cut when long, and every
// byte that is not plain printable ASCII (an escape sequence, a NUL) written as \xHH, so
// that the file cannot speak to the terminal.
std::string quoted(std::string_view word)
{
    constexpr std::size_t kept = 40;
    constexpr char digits[] = "0123456789abcdef";
    std::string shown = "'";
    for (const char c : word.substr(0, kept)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '\\') {
            shown += c;
        } else {
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0xF];
        }
    }
    return shown + (word.size() > kept ? "...'" : "'");
}

// What follows the verb on each kind of line, in order. One table for reading and writing.
enum class Field : std::uint8_t {
    Window,
    Timer,
    TextBox,
    List,
    Button,
    X,
    Y,
    Buttons,
    Shift,
    Code,
    Letter,
    Text,
    ListIndex,
    Result,
    Status,
};

struct Syntax {
    std::string_view verb;
    std::vector<Field> fields;
    const char* usage; // for a line with another number of words
};

// Indexed by EventKind.
const std::array<Syntax, 12> syntaxes{{
    {"tick", {Field::Window, Field::Timer}, "a window and its timer"},
    {"move",
     {Field::Window, Field::X, Field::Y, Field::Buttons, Field::Shift},
     "a window, x and y in twips, the buttons and the shift keys"},
    {"click", {Field::Window, Field::X, Field::Y}, "a window, x and y in twips"},
    {"key", {Field::Window, Field::Code}, "a window and a character code"},
    {"access", {Field::Window, Field::Letter}, "a window and a letter"},
    {"close", {Field::Window}, "a window"},
    {"type", {Field::Window, Field::TextBox, Field::Text}, "a window, its text box and =text"},
    {"pick", {Field::Window, Field::List, Field::ListIndex}, "a window, its list and an index"},
    {"press", {Field::Window, Field::Button}, "a window and its button"},
    {"answer", {Field::Result}, "a result code"},
    {"signal", {}, "nothing more"},
    {"exit", {Field::Status}, "a status"},
}};

const Syntax& syntaxOf(EventKind kind) { return syntaxes[static_cast<std::size_t>(kind)]; }

bool isPlain(unsigned char byte) { return byte > 0x20 && byte < 0x7F && byte != '\\'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the lines of one file, refusing any longer than maxLineBytes.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool next(std::string_view& line)
    {
        if (at_ >= text_.size())
            return false;
        ++number_;
        const std::size_t end = text_.find('\n', at_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        if (stop - at_ > maxLineBytes)
            throw ReadError{number_,
                            "the line is longer than " + std::to_string(maxLineBytes) + " bytes"};
        line = text_.substr(at_, stop - at_);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
        // A last line without its newline was cut off while it was written.
        whole_ = end != std::string_view::npos;
        return true;
    }
    int number() const { return number_; }
    bool whole() const { return whole_; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    int number_ = 0;
    bool whole_ = true;
};

std::vector<std::string_view> wordsOf(std::string_view line, int number)
{
    std::vector<std::string_view> words;
    if (line.empty())
        throw ReadError{number, "an empty line is not an event"};
    std::size_t at = 0;
    while (at <= line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end == at)
            throw ReadError{number, "words must be separated by one space"};
        words.push_back(line.substr(at, end - at));
        if (words.size() > 8)
            throw ReadError{number, "too many words"};
        at = end + 1;
    }
    return words;
}

// Reads the words of one event line.
class EventReader {
public:
    EventReader(const std::vector<std::string_view>& words, int line, const Vocabulary& vocabulary,
                std::vector<std::string>& texts)
        : words_(words), line_(line), vocabulary_(vocabulary), texts_(texts)
    {
    }

    Event read(std::int64_t notBefore);

private:
    [[noreturn]] void fail(const std::string& message) const { throw ReadError{line_, message}; }

    template <class Number>
    Number integer(std::size_t index, Number low, Number high, const char* what) const
    {
        const std::string_view word = words_[index];
        Number value{};
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc{} || end != word.data() + word.size() || value < low || value > high)
            fail(std::string(what) + " must be a whole number from " + std::to_string(low) +
                 " to " + std::to_string(high) + ", not " + quoted(word));
        return value;
    }
    float twips(std::size_t index) const;
    std::uint8_t window(std::size_t index) const;
    std::uint8_t item(std::size_t index, const std::vector<std::string>& names,
                      const char* what) const;
    std::string text(std::size_t index) const;
    void readField(Field field, std::size_t index, Event& event) const;
    std::string_view verb() const { return words_[1]; }

    const std::vector<std::string_view>& words_;
    int line_;
    const Vocabulary& vocabulary_;
    std::vector<std::string>& texts_;
    std::uint8_t window_ = 0; // the event's window, once read
};

float EventReader::twips(std::size_t index) const
{
    const std::string_view word = words_[index];
    float value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || !std::isfinite(value) ||
        std::fabs(value) > maxTwips)
        fail("a position must be a number of twips within 10000000, not " + quoted(word));
    return value;
}

std::uint8_t EventReader::window(std::size_t index) const
{
    for (std::size_t i = 0; i < vocabulary_.size(); ++i)
        if (vocabulary_[i].name == words_[index])
            return static_cast<std::uint8_t>(i);
    fail("no window of the program is named " + quoted(words_[index]));
}

std::uint8_t EventReader::item(std::size_t index, const std::vector<std::string>& names,
                               const char* what) const
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == words_[index])
            return static_cast<std::uint8_t>(i);
    fail("the window " + vocabulary_[window_].name + " has no " + what + " named " +
         quoted(words_[index]));
}

std::string EventReader::text(std::size_t index) const
{
    const std::string_view word = words_[index];
    if (word.empty() || word.front() != '=')
        fail("typed text must start with '='");
    std::string text;
    for (std::size_t i = 1; i < word.size(); ++i) {
        if (word[i] != '\\') {
            text += word[i];
            continue;
        }
        const int high = i + 3 < word.size() && word[i + 1] == 'x' ? hexValue(word[i + 2]) : -1;
        const int low = high >= 0 ? hexValue(word[i + 3]) : -1;
        if (low < 0)
            fail("a '\\' in typed text must start \\x and two hex digits");
        text += static_cast<char>(high * 16 + low);
        i += 3;
    }
    if (text.size() > maxTextBytes)
        fail("typed text is longer than " + std::to_string(maxTextBytes) + " bytes");
    if (cutText(text, text.size()).size() != text.size())
        fail("typed text is not UTF-8");
    return text;
}

Event EventReader::read(std::int64_t notBefore)
{
    Event event;
    if (words_.size() < 2)
        fail("an event is missing after the time");
    event.ms = integer<std::int64_t>(0, 0, maxMs, "the time in ms");
    if (event.ms < notBefore)
        fail("the events must come in time order");
    std::size_t kind = 0;
    while (kind < syntaxes.size() && syntaxes[kind].verb != verb())
        ++kind;
    if (kind == syntaxes.size())
        fail("unknown event " + quoted(verb()));
    event.kind = static_cast<EventKind>(kind);

    // The window comes first, so that its items can be looked up.
    const std::vector<Field>& fields = syntaxes[kind].fields;
    const bool ofWindow = !fields.empty() && fields.front() == Field::Window;
    if (ofWindow) {
        if (words_.size() < 3)
            fail(std::string(verb()) + " needs a window");
        window_ = event.window = window(2);
    }
    if (words_.size() != 2 + fields.size())
        fail(std::string(verb()) + " takes " + syntaxes[kind].usage);
    for (std::size_t i = ofWindow ? 1 : 0; i < fields.size(); ++i)
        readField(fields[i], 2 + i, event);
    return event;
}

void EventReader::readField(Field field, std::size_t index, Event& event) const
{
    const auto names = [this]() -> const WindowNames& { return vocabulary_[window_]; };
    switch (field) {
    case Field::Window: break; // read first
    case Field::Timer: event.item = item(index, names().timers, "timer"); break;
    case Field::TextBox: event.item = item(index, names().textBoxes, "text box"); break;
    case Field::List: event.item = item(index, names().lists, "list"); break;
    case Field::Button: event.item = item(index, names().buttons, "button"); break;
    case Field::X: event.x = twips(index); break;
    case Field::Y: event.y = twips(index); break;
    case Field::Buttons: event.value = integer(index, 0, 7, "the buttons"); break;
    case Field::Shift:
        event.shift = static_cast<std::uint8_t>(integer(index, 0, 7, "the shift keys"));
        break;
    case Field::Code: event.value = integer(index, 0, 65535, "a character code"); break;
    case Field::Letter:
        if (words_[index].size() != 1 || words_[index][0] < 'A' || words_[index][0] > 'Z')
            fail("an access key is a letter from A to Z");
        event.value = words_[index][0];
        break;
    case Field::Text:
        event.value = static_cast<std::int32_t>(texts_.size());
        texts_.push_back(text(index));
        break;
    case Field::ListIndex: event.value = integer(index, -1, maxListIndex, "a list index"); break;
    case Field::Result: event.value = integer(index, 1, 7, "a result code"); break;
    case Field::Status: event.value = integer(index, 0, 255, "a status"); break;
    }
}

Header readHeader(std::string_view line)
{
    const auto fail = [](const std::string& message) -> Header { throw ReadError{1, message}; };
    std::vector<std::string_view> words;
    try {
        words = wordsOf(line, 1);
    } catch (const ReadError&) {
        words.clear();
    }
    if (words.empty() || words[0] != formatName)
        return fail("not a replay of orvanta (the first line must start '" +
                    std::string(formatName) + "')");
    const std::string version = std::to_string(formatVersion);
    if (words.size() < 2 || words[1] != version)
        return fail("a replay of another format version; this program reads version " + version);
    if (words.size() != 6 || words[2] != "screen" || words[4] != "program")
        return fail("the first line must read '" + std::string(formatName) + " " + version +
                    " screen WIDTHxHEIGHT program VERSION'");
    Header header;
    const std::string_view size = words[3];
    const std::size_t x = size.find('x');
    const auto dimension = [&](std::string_view word, int& value) {
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        return error == std::errc{} && end == word.data() + word.size() && value >= 1 &&
               value <= maxScreenPixels;
    };
    if (x == std::string_view::npos || !dimension(size.substr(0, x), header.screenWidth) ||
        !dimension(size.substr(x + 1), header.screenHeight))
        return fail("the screen must be WIDTHxHEIGHT in pixels, each from 1 to " +
                    std::to_string(maxScreenPixels));
    if (words[5].size() > 64)
        return fail("the program version is too long");
    header.programVersion = words[5];
    return header;
}

} // namespace

std::size_t codePointLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned int low = 0x80, high = 0xBF; // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

char32_t codePointOf(std::string_view character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    if (character.size() < 2)
        return character.empty() ? 0 : byte(0);
    char32_t code = byte(0) & (0x7F >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i)
        code = (code << 6) | (byte(i) & 0x3F);
    return code;
}

std::string_view cutText(std::string_view utf8, std::size_t bytes)
{
    std::size_t kept = 0;
    while (kept < utf8.size()) {
        const std::size_t length = codePointLength(utf8, kept);
        if (length == 0 || kept + length > bytes)
            break;
        kept += length;
    }
    return utf8.substr(0, kept);
}

Replay readReplay(std::string_view text, const Vocabulary& vocabulary)
{
    // A recording cut short ends in the zero bytes of the space made for what was to come.
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line))
        throw ReadError{0, "the file is empty, not a replay"};
    Replay replay;
    replay.header = readHeader(line);
    bool exited = false;
    while (lines.next(line)) {
        // A recording cut short (a crash, the X server gone) ends in a part of a line.
        if (!lines.whole())
            break;
        if (exited)
            throw ReadError{lines.number(), "nothing may follow the program's exit"};
        const std::vector<std::string_view> words = wordsOf(line, lines.number());
        const std::int64_t last = replay.events.empty() ? 0 : replay.events.back().ms;
        EventReader reader(words, lines.number(), vocabulary, replay.texts);
        replay.events.push_back(reader.read(last));
        exited = replay.events.back().kind == EventKind::Exit;
    }
    return replay;
}

Replay readReplayFile(const std::string& path, const Vocabulary& vocabulary)
{
    const auto cannotRead = [] {
        return ReadError{0, "cannot be read: " + std::string(std::strerror(errno))};
    };
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openFile(path, "rb"), std::fclose);
    if (!file)
        throw cannotRead();
    const ReadError tooLarge{0, "is larger than " + std::to_string(maxFileBytes >> 20) +
                                    " MiB, more than a replay can be"};
    // Read at most one byte past the limit: a device or a pipe may never end.
    std::string text(maxFileBytes + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    if (std::ferror(file.get()))
        throw cannotRead();
    if (text.size() > maxFileBytes)
        throw tooLarge;
    if (isGzip(text)) { // a kept game
        Unpacker unpacker;
        std::string unpacked, why;
        if (!unpacker.add(text, maxFileBytes, unpacked, why) || !unpacker.finish(why))
            throw unpacked.size() > maxFileBytes ? tooLarge
                                                 : ReadError{0, "cannot be read: " + why};
        text = std::move(unpacked);
    }
    return readReplay(text, vocabulary);
}

namespace {

// Characters that a terminal obeys or that change how the text around them reads: C0, DEL
// and C1 controls, and the format characters that reorder a line (bidi marks, embeddings,
// overrides and isolates, and the separators that end them) or hide letters (zero-width
// spaces and joiners, invisible operators, the byte order mark, interlinear annotations,
// tags). The soft hyphen stays: it shows as a hyphen or not at all, and reorders nothing.
struct Range {
    char32_t first, last;
};
constexpr Range escapedRanges[] = {
    {0x0000, 0x001F}, {0x007F, 0x009F}, {0x061C, 0x061C}, {0x180E, 0x180E}, {0x200B, 0x200F},
    {0x2028, 0x202E}, {0x2060, 0x206F}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB}, {0xE0000, 0xE007F},
};

bool escapedWhenShown(char32_t code)
{
    for (const Range& range : escapedRanges)
        if (code <= range.last)
            return code >= range.first;
    return false;
}

} // namespace

std::string shownText(std::string_view text)
{
    constexpr char digits[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = codePointLength(text, at);
        const std::string_view character = text.substr(at, length > 0 ? length : 1);
        at += character.size();
        if (length > 0 && !escapedWhenShown(codePointOf(character))) {
            shown += character;
            continue;
        }
        for (const char c : character) {
            const auto byte = static_cast<unsigned char>(c);
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0xF];
        }
    }
    return shown;
}

std::string shownText(std::string_view text, std::size_t bytes)
{
    std::size_t kept = 0;
    while (kept < text.size()) {
        const std::size_t length = std::max<std::size_t>(codePointLength(text, kept), 1);
        if (kept + length > bytes)
            break;
        kept += length;
    }
    return shownText(text.substr(0, kept)) + (kept < text.size() ? "..." : "");
}

std::string shownFileName(std::string_view path)
{
    // A player looks for the file by its whole path, wherever it lies; only a path longer
    // than anyone types or a folder nests (a flood of bytes) is cut, to its end, which
    // names the file best.
    std::size_t from = 0;
    if (path.size() > maxShownPathBytes) {
        from = path.size() - maxShownPathBytes;
        while (from < path.size() && (static_cast<unsigned char>(path[from]) & 0xC0) == 0x80)
            ++from; // not inside a character
    }
    return (from > 0 ? "..." : "") + shownText(path.substr(from));
}

// --- Writing -----------------------------------------------------------------------------

std::string headerLine(const Header& header)
{
    return std::string(formatName) + ' ' + std::to_string(formatVersion) + " screen " +
           std::to_string(header.screenWidth) + 'x' + std::to_string(header.screenHeight) +
           " program " + header.programVersion + '\n';
}

LineWriter::LineWriter(std::int64_t ms, std::string_view verb)
{
    number(ms);
    word(verb);
}

LineWriter& LineWriter::word(std::string_view name)
{
    if (!line_.empty())
        line_ += ' ';
    line_ += name;
    return *this;
}

LineWriter& LineWriter::number(std::int64_t value) { return word(std::to_string(value)); }

LineWriter& LineWriter::number(float value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return word(
        std::string_view(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data())));
}

LineWriter& LineWriter::text(std::string_view utf8)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string escaped = "=";
    for (const char c : cutText(utf8, maxTextBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (isPlain(byte)) {
            escaped += c;
        } else {
            escaped += "\\x";
            escaped += hex[byte >> 4];
            escaped += hex[byte & 0xF];
        }
    }
    return word(escaped);
}

std::string LineWriter::finish()
{
    line_ += '\n';
    return std::move(line_);
}

std::string lineOf(std::int64_t ms, const TakenEvent& event)
{
    const Syntax& syntax = syntaxOf(event.kind);
    LineWriter line(ms, syntax.verb);
    for (const Field field : syntax.fields) {
        switch (field) {
        case Field::Window: line.word(event.window); break;
        case Field::Timer:
        case Field::TextBox:
        case Field::List:
        case Field::Button: line.word(event.item); break;
        case Field::X: line.number(event.x); break;
        case Field::Y: line.number(event.y); break;
        case Field::Shift: line.number(std::int64_t{event.shift}); break;
        case Field::Letter: line.word(std::string(1, static_cast<char>(event.value))); break;
        case Field::Text: line.text(event.text); break;
        case Field::Buttons:
        case Field::Code:
        case Field::ListIndex:
        case Field::Result:
        case Field::Status: line.number(std::int64_t{event.value}); break;
        }
    }
    return line.finish();
}

std::string eventLine(const Event& event, const Vocabulary& vocabulary,
                      const std::vector<std::string>& texts)
{
    TakenEvent taken = TakenEvent::of(event.kind);
    taken.at(event.x, event.y).with(event.value, event.shift);
    const std::vector<Field>& fields = syntaxOf(event.kind).fields;
    if (!fields.empty() && fields.front() == Field::Window) {
        const WindowNames& names = vocabulary.at(event.window);
        taken.window = names.name;
        const auto itemOf = [&](const std::vector<std::string>& items) -> std::string_view {
            return items.at(event.item);
        };
        switch (fields.size() > 1 ? fields[1] : Field::Window) {
        case Field::Timer: taken.item = itemOf(names.timers); break;
        case Field::TextBox: taken.item = itemOf(names.textBoxes); break;
        case Field::List: taken.item = itemOf(names.lists); break;
        case Field::Button: taken.item = itemOf(names.buttons); break;
        default: break;
        }
    }
    if (event.kind == EventKind::Type)
        taken.text = texts.at(static_cast<std::size_t>(event.value));
    return lineOf(event.ms, taken);
}

} // namespace platform::replay
