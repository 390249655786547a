#include "keep/format.h"

#include "keep/utf8.h"
#include "platform/replay/format.h"

#include <array>
#include <cstdint>
#include <ctime>

namespace orvanta::keep {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";
constexpr std::string_view noRate = "\xE2\x80\x93"; // an en dash

// Seconds a basket to a tenth, without floating point (and so without the locale).
std::string secondsPerBasket(const Game& game)
{
    const std::int64_t tenths =
        (std::int64_t{game.seconds} * 20 + game.baskets) / (std::int64_t{game.baskets} * 2);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        text += "." + std::to_string(tenths % 10);
    return text;
}

std::string clockTime(int seconds)
{
    const int rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string lengthText(const Game& game)
{
    return clockTime(game.seconds) + " of " + std::to_string(game.minutes) + " min";
}

std::string localDate(std::int64_t unixTime)
{
    const auto time = static_cast<std::time_t>(unixTime);
    std::tm local{};
#if defined(_WIN32)
    const bool known = localtime_s(&local, &time) == 0;
#else
    const bool known = localtime_r(&time, &local) != nullptr;
#endif
    char text[32] = "?";
    if (known)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

// --- The aligned table ------------------------------------------------------------------

enum class Align { left, right };
constexpr std::size_t columnCount = 7;
using Line = std::array<std::string, columnCount>;
constexpr Line header{"rank", "player", "length", "baskets", "rate", "date", "state"};
constexpr std::array<Align, columnCount> alignments{
    Align::right, Align::left, Align::left, Align::right, Align::left, Align::left, Align::left};

Line tableLine(const Game& game, std::size_t rank)
{
    return {std::to_string(rank),
            shownText(game.player),
            lengthText(game),
            std::to_string(game.baskets),
            rateText(game),
            localDate(game.endTime),
            std::string(stateName(game.state))};
}

std::string alignedLine(const Line& line, const std::array<std::size_t, columnCount>& widths)
{
    std::string text;
    for (std::size_t column = 0; column < columnCount; ++column) {
        const std::string padding(widths[column] - utf8::columns(line[column]), ' ');
        const bool last = column + 1 == columnCount;
        if (column > 0)
            text += "  ";
        if (alignments[column] == Align::right)
            text += padding + line[column];
        else
            text += last ? line[column] : line[column] + padding;
    }
    return text + "\n";
}

// --- JSON ---------------------------------------------------------------------------------

std::string jsonString(std::string_view text)
{
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8::characterLength(text, at);
        const std::string_view character = text.substr(at, length > 0 ? length : 1);
        at += character.size();
        if (length == 0) {
            json += "\\ufffd";
        } else if (character == "\"" || character == "\\") {
            json += "\\" + std::string(character);
        } else if (character == "\n") {
            json += "\\n";
        } else if (character == "\t") {
            json += "\\t";
        } else if (character == "\r") {
            json += "\\r";
        } else if (utf8::isControl(character)) {
            const unsigned code = character.size() == 1
                                      ? static_cast<unsigned char>(character[0])
                                      : static_cast<unsigned char>(character[1]); // C1: C2 xx
            json += "\\u00";
            json += hexDigits[code >> 4];
            json += hexDigits[code & 0xF];
        } else {
            json += character;
        }
    }
    return json + "\"";
}

std::string jsonObject(const Game& game, std::size_t rank, const std::string& folder)
{
    const std::string rate = game.baskets > 0 ? secondsPerBasket(game) : "null";
    return "{\"rank\": " + std::to_string(rank) + ", \"player\": " + jsonString(game.player) +
           ", \"minutes\": " + std::to_string(game.minutes) +
           ", \"seconds\": " + std::to_string(game.seconds) +
           ", \"baskets\": " + std::to_string(game.baskets) + ", \"seconds_per_basket\": " + rate +
           ", \"ended\": " + std::to_string(game.endTime) +
           ", \"date\": " + jsonString(localDate(game.endTime)) +
           ", \"state\": " + jsonString(stateName(game.state)) +
           ", \"replay\": " + jsonString(folder + "/" + game.replay) + "}";
}

} // namespace

std::string rateText(const Game& game)
{
    if (game.baskets == 0)
        return std::string(noRate);
    const std::string seconds = secondsPerBasket(game);
    return seconds == "1" ? "1 basket every second" : "1 basket every " + seconds + " seconds";
}

std::string shownText(std::string_view text) { return platform::replay::shownText(text); }

std::string formatTable(const std::vector<Game>& games)
{
    std::vector<Line> lines{header};
    for (std::size_t index = 0; index < games.size(); ++index)
        lines.push_back(tableLine(games[index], index + 1));
    std::array<std::size_t, columnCount> widths{};
    for (const Line& line : lines)
        for (std::size_t column = 0; column < columnCount; ++column)
            widths[column] = std::max(widths[column], utf8::columns(line[column]));
    std::string text;
    for (const Line& line : lines)
        text += alignedLine(line, widths);
    return text;
}

std::string formatJson(const std::vector<Game>& games, const std::string& folder)
{
    if (games.empty())
        return "[]\n";
    std::string json = "[\n";
    for (std::size_t index = 0; index < games.size(); ++index)
        json += "  " + jsonObject(games[index], index + 1, folder) +
                (index + 1 < games.size() ? ",\n" : "\n");
    return json + "]\n";
}

} // namespace orvanta::keep
