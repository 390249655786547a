#include "app/command_line.h"

#include "platform/replay/format.h"
#include "program/replay_vocabulary.h"

#include <array>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

namespace orvanta {

namespace {

// One option of the game: add a row here (and a field to CommandLine) for another.
struct GameOption {
    std::string_view name;
    std::string_view value; // the value's name in the usage, or empty for none
    std::string_view help;
    void (*apply)(CommandLine& line, const std::string& value, std::ostream& out);
};

void printUsage(CommandLine& line, const std::string&, std::ostream& out);

// clang-format off
constexpr std::array gameOptions{
    GameOption{"--help", "", "show this help and exit", printUsage},
    GameOption{"--version", "", "show the version and exit",
               [](CommandLine& line, const std::string&, std::ostream& out) {
                   out << "orvanta " << programVersion() << '\n';
                   line.exitStatus = 0;
               }},
    GameOption{"--record", "FILE", "write the game to FILE as it is played",
               [](CommandLine& line, const std::string& file, std::ostream&) {
                   line.record = file;
               }},
    GameOption{"--replay", "FILE", "show the game recorded in FILE (Escape stops it); FILE\n"
               "                      may be a kept game: best, best:N, last or last:N",
               [](CommandLine& line, const std::string& file, std::ostream&) {
                   line.replay = file;
               }},
    GameOption{"--games", "", "list the kept games, best first, and exit",
               [](CommandLine& line, const std::string&, std::ostream&) {
                   line.listGames = true;
               }},
    GameOption{"--json", "", "with --games: list them as JSON",
               [](CommandLine& line, const std::string&, std::ostream&) { line.json = true; }},
    GameOption{"--no-keep", "", "do not keep this game among the kept games",
               [](CommandLine& line, const std::string&, std::ostream&) { line.keep = false; }},
};
// clang-format on

// Qt's own options, which QApplication reads and takes away; with a value or without.
constexpr std::array<std::string_view, 13> qtOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin", "display", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "geometry",      "title",  "name",    "style",
    "stylesheet"};
constexpr std::array<std::string_view, 5> qtFlags{"reverse", "nograb", "dograb", "sync",
                                                  "widgetcount"};

void printUsage(CommandLine& line, const std::string&, std::ostream& out)
{
    out << "usage: orvanta [OPTION]...\n"
           "Knock a basketball about the desktop and drop it through the hoop.\n\n";
    for (const GameOption& option : gameOptions) {
        std::string left = std::string(option.name);
        if (!option.value.empty())
            left += " " + std::string(option.value);
        out << "  " << left << std::string(left.size() < 20 ? 20 - left.size() : 1, ' ')
            << option.help << '\n';
    }
    out << "\nQt's own options, such as -platform NAME and -display DISPLAY, are passed on "
           "to Qt.\n";
    line.exitStatus = 0;
}

// A Qt option's name without its dashes (Qt takes -name and --name alike), or empty.
std::string_view qtName(std::string_view arg)
{
    if (arg.starts_with("--"))
        arg.remove_prefix(2);
    else if (arg.starts_with("-"))
        arg.remove_prefix(1);
    else
        return {};
    return arg;
}

template <std::size_t N>
bool among(std::string_view name, const std::array<std::string_view, N>& names)
{
    for (std::string_view known : names)
        if (name == known)
            return true;
    return false;
}

CommandLine refuse(const std::string& message, std::ostream& err)
{
    err << "orvanta: " << message << "\nTry 'orvanta --help' for more information.\n";
    CommandLine refused;
    refused.exitStatus = 2;
    return refused;
}

// An argument as a message quotes it: never a flood of bytes, nor bytes the terminal obeys.
std::string quoted(std::string_view arg)
{
    return "'" + platform::replay::shownText(arg, 40) + "'";
}

} // namespace

CommandLine readCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err)
{
    CommandLine line;
    std::set<std::string_view> seen;
    for (int i = 1; i < argc && !line.exitStatus; ++i) {
        const std::string_view arg = argv[i];
        const GameOption* option = nullptr;
        for (const GameOption& candidate : gameOptions)
            if (arg == candidate.name)
                option = &candidate;
        if (option) {
            std::string value;
            if (!option->value.empty()) {
                if (i + 1 >= argc || !*argv[i + 1])
                    return refuse(std::string(option->name) + " needs a value", err);
                if (seen.contains(option->name))
                    return refuse(std::string(option->name) + " given twice", err);
                value = argv[++i];
            }
            seen.insert(option->name);
            option->apply(line, value, out);
            continue;
        }
        const std::string_view name = qtName(arg);
        if (among(name, qtOptionsWithValue)) {
            if (i + 1 >= argc)
                return refuse("-" + std::string(name) + " needs a value", err);
            ++i;
            continue;
        }
        if (among(name, qtFlags))
            continue;
        if (!arg.starts_with("-"))
            return refuse("the game takes no arguments, not " + quoted(arg), err);
        return refuse("unknown option " + quoted(arg), err);
    }
    if (line.exitStatus)
        return line;
    if (!line.record.empty() && !line.replay.empty())
        return refuse("--record and --replay do not go together", err);
    if (line.json && !line.listGames)
        return refuse("--json goes only with --games", err);
    if (line.listGames && (!line.record.empty() || !line.replay.empty() || !line.keep))
        return refuse("--games lists the kept games and takes no other option", err);
    return line;
}

} // namespace orvanta
