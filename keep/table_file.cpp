#include "keep/table_file.h"

#include "keep/limits.h"
#include "keep/utf8.h"

#include <array>
#include <charconv>

namespace orvanta::keep {

namespace {

constexpr std::size_t fieldCount = 7;
constexpr std::size_t maxReplayNameBytes = 255; // NAME_MAX on the usual file systems
constexpr char hexDigits[] = "0123456789abcdef";

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

// A whole number in [low, high], digits only: no sign, no spaces, no leading zeros.
template <class Number>
bool readNumber(std::string_view text, Number low, Number high, Number& value)
{
    if (text.empty() || (text.size() > 1 && text[0] == '0') || text[0] < '0' || text[0] > '9')
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= low &&
           value <= high;
}

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

bool readRow(std::string_view line, Game& game, std::string& why)
{
    const auto fields = split(line, '\t');
    if (fields.size() != fieldCount) {
        why = "has " + std::to_string(fields.size()) + " fields, not " + std::to_string(fieldCount);
        return false;
    }
    const auto state = stateNamed(fields[0]);
    constexpr std::int64_t latestTime = 253'402'300'799; // 9999-12-31
    if (!state)
        why = "has no state of a game";
    else if (!readNumber<std::int64_t>(fields[1], 0, latestTime, game.endTime))
        why = "has no time";
    else if (!unescapePlayer(fields[2], game.player))
        why = "has a player name that is not short UTF-8 text";
    else if (!readNumber(fields[3], 0, maxGameMinutes, game.minutes) ||
             !readNumber(fields[4], 0, maxSecondsPlayed, game.seconds) ||
             !readNumber(fields[5], 0, maxBaskets, game.baskets))
        why = "has a number out of its range";
    else if (!isReplayName(fields[6]))
        why = "names a file that is not a replay in this folder";
    if (!why.empty())
        return false;
    game.state = *state;
    game.replay = fields[6];
    return true;
}

bool namesTheSameGame(const std::vector<Game>& games, std::string_view replay)
{
    for (const Game& game : games)
        if (recordingStem(game.replay) == recordingStem(replay))
            return true;
    return false;
}

bool readEnd(std::string_view line, std::size_t rows)
{
    std::size_t count = 0;
    return line.starts_with("end ") && readNumber<std::size_t>(line.substr(4), 0, rows, count) &&
           count == rows;
}

} // namespace

std::string escapedPlayer(std::string_view player)
{
    std::string field;
    for (const char byte : player) {
        const auto code = static_cast<unsigned char>(byte);
        switch (byte) {
        case '\\': field += "\\\\"; break;
        case '\t': field += "\\t"; break;
        case '\n': field += "\\n"; break;
        case '\r': field += "\\r"; break;
        default:
            if (code < 0x20 || code == 0x7F) {
                field += "\\x";
                field += hexDigits[code >> 4];
                field += hexDigits[code & 0xF];
            } else {
                field += byte;
            }
        }
    }
    return field;
}

bool unescapePlayer(std::string_view field, std::string& player)
{
    player.clear();
    for (std::size_t at = 0; at < field.size(); ++at) {
        const auto code = static_cast<unsigned char>(field[at]);
        if (code < 0x20 || code == 0x7F)
            return false; // the writer escapes every one
        if (field[at] != '\\') {
            player += field[at];
            continue;
        }
        if (++at == field.size())
            return false;
        switch (field[at]) {
        case '\\': player += '\\'; break;
        case 't': player += '\t'; break;
        case 'n': player += '\n'; break;
        case 'r': player += '\r'; break;
        case 'x': {
            const int high = at + 2 < field.size() ? hexValue(field[at + 1]) : -1;
            const int low = high >= 0 ? hexValue(field[at + 2]) : -1;
            if (low < 0)
                return false;
            player += static_cast<char>(high * 16 + low);
            at += 2;
            break;
        }
        default: return false;
        }
    }
    return player.size() <= maxPlayerBytes && utf8::isValid(player);
}

bool isReplayName(std::string_view name)
{
    if (name.size() > maxReplayNameBytes || name.starts_with('.') ||
        !(name.ends_with(recordingSuffix) || name.ends_with(packedSuffix)))
        return false;
    for (const char byte : name) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '/' || byte == '\\' || byte == ':' || code < 0x20 || code == 0x7F)
            return false;
    }
    return true;
}

std::string_view recordingStem(std::string_view name)
{
    for (const std::string_view suffix : {packedSuffix, recordingSuffix})
        if (name.ends_with(suffix))
            return name.substr(0, name.size() - suffix.size());
    return name;
}

std::string tableText(const std::vector<Game>& games)
{
    std::string text = std::string(tableHeader) + "\n";
    for (const Game& game : games) {
        text += stateName(game.state);
        for (const std::string& field : {std::to_string(game.endTime), escapedPlayer(game.player),
                                         std::to_string(game.minutes), std::to_string(game.seconds),
                                         std::to_string(game.baskets), game.replay}) {
            text += '\t';
            text += field;
        }
        text += '\n';
    }
    text += "end " + std::to_string(games.size()) + "\n";
    return text;
}

bool readTable(std::string_view text, std::vector<Game>& games, std::string& why)
{
    games.clear();
    if (!text.ends_with('\n')) {
        why = text.empty() ? "it is empty" : "it ends inside a line";
        return false;
    }
    const auto lines = split(text.substr(0, text.size() - 1), '\n');
    if (lines.front() != tableHeader) {
        why = "it does not begin with \"" + std::string(tableHeader) + "\"";
        return false;
    }
    if (lines.size() < 2 || !readEnd(lines.back(), lines.size() - 2)) {
        why = "it is cut short: its end line is missing or does not count its rows";
        return false;
    }
    for (std::size_t index = 1; index + 1 < lines.size(); ++index) {
        Game game;
        std::string rowWhy;
        if (!readRow(lines[index], game, rowWhy)) {
            why = "line " + std::to_string(index + 1) + " " + rowWhy;
            return false;
        }
        if (namesTheSameGame(games, game.replay)) {
            why = "line " + std::to_string(index + 1) + " names the replay of another row";
            return false;
        }
        games.push_back(std::move(game));
    }
    return true;
}

} // namespace orvanta::keep
