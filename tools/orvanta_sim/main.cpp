// orvanta-sim: plays one run of the game headless in virtual time, as a script says, and
// prints what happened.

#include "core/replay_vocabulary.h"
#include "tools/orvanta_sim/simulation.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr const char* usage =
    "usage: orvanta-sim [--screen WxH] [--name NAME] [--minutes N] [--script FILE] [--trace] "
    "[--until MS] [--record FILE]\n"
    "       orvanta-sim --replay FILE [--trace] [--until MS]\n";

struct BadOption {
    std::string message;
};

template <class Number>
bool parseNumber(std::string_view text, Number& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

void parseScreen(const std::string& text, orvanta::sim::Options& options)
{
    const auto x = text.find('x');
    int width = 0, height = 0;
    if (x == std::string::npos || !parseNumber(std::string_view(text).substr(0, x), width) ||
        !parseNumber(std::string_view(text).substr(x + 1), height) || width < 1 ||
        height < 1 || width > 100000 || height > 100000)
        throw BadOption{"--screen: expected WIDTHxHEIGHT in pixels, such as 1024x768, not '" +
                        text + "'"};
    options.screenWidth = width;
    options.screenHeight = height;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw BadOption{"--script: cannot read '" + path + "'"};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A bad replay file is named with its line, and nothing runs.
struct BadReplay {
    std::string message;
};

void readReplay(const std::string& path, orvanta::sim::Options& options)
{
    try {
        options.replay = orvanta::readGameReplay(path);
    } catch (const platform::replay::ReadError& error) {
        throw BadReplay{path + ": " +
                        (error.line > 0 ? "line " + std::to_string(error.line) + ": " : "") +
                        error.message};
    }
    options.replayPath = path;
    options.screenWidth = options.replay->header.screenWidth;
    options.screenHeight = options.replay->header.screenHeight;
}

orvanta::sim::Options parseOptions(int argc, char* argv[])
{
    orvanta::sim::Options options;
    std::string playOption; // an option that a replay takes from its file instead
    std::string replayPath;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw BadOption{option + ": a value is missing"};
            return argv[++i];
        };
        if (option == "--screen" || option == "--name" || option == "--minutes" ||
            option == "--script")
            playOption = option;
        if (option == "--screen") {
            parseScreen(value(), options);
        } else if (option == "--name") {
            options.name = value();
            if (options.name.empty())
                throw BadOption{"--name: the name must not be empty"};
        } else if (option == "--minutes") {
            const std::string text = value();
            if (!parseNumber(text, options.minutes) || options.minutes < 1 || options.minutes > 10)
                throw BadOption{"--minutes: expected a whole number from 1 to 10, not '" + text +
                                "'"};
        } else if (option == "--script") {
            const std::string path = value();
            try {
                options.script = orvanta::sim::parseScript(readFile(path));
            } catch (const orvanta::sim::ScriptError& error) {
                throw BadOption{"--script: " + path + ":" + std::to_string(error.line) + ": " +
                                error.message};
            }
        } else if (option == "--record") {
            options.recordPath = value();
        } else if (option == "--replay") {
            replayPath = value();
        } else if (option == "--trace") {
            options.trace = true;
        } else if (option == "--until") {
            const std::string text = value();
            std::int64_t until = 0;
            if (!parseNumber(text, until) || until < 0)
                throw BadOption{"--until: expected milliseconds, 0 or more, not '" + text + "'"};
            options.until = until;
        } else {
            throw BadOption{"unknown option '" + option + "'"};
        }
    }
    if (!replayPath.empty()) {
        if (!options.recordPath.empty())
            playOption = "--record";
        if (!playOption.empty())
            throw BadOption{playOption + ": a replay plays as recorded, on its own screen"};
        readReplay(replayPath, options);
    }
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << usage;
        return 0;
    }
    orvanta::sim::Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const BadOption& bad) {
        std::cerr << "orvanta-sim: " << bad.message << '\n' << usage;
        return 2;
    } catch (const BadReplay& bad) {
        std::cerr << "orvanta-sim: " << bad.message << '\n';
        return 2;
    }
    return orvanta::sim::simulate(options, std::cout);
}
