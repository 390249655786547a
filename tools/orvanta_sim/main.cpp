// orvanta-sim: plays one run of the game headless in virtual time, as a script says, and
// prints what happened.

#include "platform/control.h"
#include "platform/replay/file_open.h"

#include "program/replay_vocabulary.h"
#include "tools/orvanta_sim/simulation.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#if defined(_WIN32)
#include "platform/replay/windows_text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

namespace {

constexpr const char* usage =
    "usage: orvanta-sim [--screen WxH] [--name NAME] [--minutes N] [--script FILE] [--trace] "
    "[--until MS] [--record FILE]\n"
    "       orvanta-sim --replay FILE [--trace] [--until MS]\n"
    "       orvanta-sim --help\n";

// A script is a few events a second of play: ten minutes of moves every tick fit many
// times over, and /dev/zero or a stray disk image is refused instead of read for ever.
constexpr std::size_t maxScriptBytes = 16 * 1024 * 1024;

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
        !parseNumber(std::string_view(text).substr(x + 1), height) || width < 1 || height < 1 ||
        width > 100000 || height > 100000)
        throw BadOption{"--screen: expected WIDTHxHEIGHT in pixels, such as 1024x768, not '" +
                        orvanta::sim::shortened(text) + "'"};
    options.screenWidth = width;
    options.screenHeight = height;
}

std::string readScript(const std::string& path)
{
    const auto cannotRead = [&path](int error) {
        return BadOption{"--script: cannot read '" + orvanta::sim::shortened(path) +
                         "': " + std::strerror(error)};
    };
    const std::unique_ptr<FILE, int (*)(FILE*)> file(platform::replay::openFile(path, "rb"),
                                                     std::fclose);
    if (!file)
        throw cannotRead(errno);
    std::string text;
    char buffer[65536];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get())) {
        if (text.size() + n > maxScriptBytes)
            throw BadOption{"--script: '" + orvanta::sim::shortened(path) + "' is larger than " +
                            std::to_string(maxScriptBytes / (1024 * 1024)) + " MiB"};
        text.append(buffer, n);
    }
    if (std::ferror(file.get())) // a directory opens, and fails at the first read
        throw cannotRead(errno);
    return text;
}

// The name as the entry screen would take it: text the player can type, so valid UTF-8;
// the box itself cuts it to its length.
std::string checkedName(const std::string& name)
{
    if (name.empty())
        throw BadOption{"--name: the name must not be empty"};
    if (!platform::isValidUtf8(name))
        throw BadOption{"--name: the name is not valid UTF-8"};
    return name;
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
        throw BadReplay{platform::replay::shownFileName(path) + ": " +
                        (error.line > 0 ? "line " + std::to_string(error.line) + ": " : "") +
                        error.message};
    }
    options.replayPath = path;
    options.screenWidth = options.replay->header.screenWidth;
    options.screenHeight = options.replay->header.screenHeight;
}

// An empty file name would record nothing, or play a fresh game, without a word.
std::string fileName(const std::string& option, std::string name)
{
    if (name.empty())
        throw BadOption{option + ": the file name is empty"};
    return name;
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
            options.name = checkedName(value());
        } else if (option == "--minutes") {
            const std::string text = value();
            if (!parseNumber(text, options.minutes) || options.minutes < 1 || options.minutes > 10)
                throw BadOption{"--minutes: expected a whole number from 1 to 10, not '" +
                                orvanta::sim::shortened(text) + "'"};
        } else if (option == "--script") {
            const std::string path = value();
            try {
                options.script = orvanta::sim::parseScript(readScript(path));
            } catch (const orvanta::sim::ScriptError& error) {
                throw BadOption{"--script: " + orvanta::sim::shortened(path) + ":" +
                                std::to_string(error.line) + ": " + error.message};
            }
        } else if (option == "--record") {
            options.recordPath = fileName(option, value());
        } else if (option == "--replay") {
            replayPath = fileName(option, value());
        } else if (option == "--trace") {
            options.trace = true;
        } else if (option == "--until") {
            const std::string text = value();
            std::int64_t until = 0;
            if (!parseNumber(text, until) || until < 0)
                throw BadOption{"--until: expected milliseconds, 0 or more, not '" +
                                orvanta::sim::shortened(text) + "'"};
            options.until = until;
        } else {
            throw BadOption{"unknown option '" + orvanta::sim::shortened(option) + "'"};
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

bool wantsHelp(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h")
            return true;
    return false;
}

// Standard output that keeps the reason of the first write that failed: stdio has
// forgotten it by the time the run ends.
class StandardOutput : public std::streambuf {
public:
    StandardOutput()
    {
#if defined(_WIN32)
        // The same bytes on every system: no carriage return before each line end.
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
#endif
        // A trace is tens of MB: written in large pieces, not the C library's small ones
        // (a system call each, which costs dearly under Wine).
        std::setvbuf(stdout, nullptr, _IOFBF, std::size_t{1} << 16);
    }

    // Output that did not reach its file (a full disk, a closed pipe) is a failure, not a
    // run.
    int checked(int status)
    {
        sync();
        if (failure_ == 0)
            return status;
        std::cerr << "orvanta-sim: cannot write the output: " << std::strerror(failure_) << '\n';
        return status == 0 ? 1 : status;
    }

protected:
    std::streamsize xsputn(const char* text, std::streamsize size) override
    {
        const auto length = static_cast<std::size_t>(size);
        if (failure_ == 0 && std::fwrite(text, 1, length, stdout) != length)
            failed();
        return failure_ == 0 ? size : 0;
    }
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    int sync() override
    {
        if (failure_ == 0 && std::fflush(stdout) != 0)
            failed();
        return failure_ == 0 ? 0 : -1;
    }

private:
    void failed() { failure_ = errno != 0 ? errno : EIO; }

    int failure_ = 0;
};

} // namespace

#if defined(_WIN32)
// Windows hands main() its arguments in the local code page: they are read again from the
// UTF-16 command line, as UTF-8.
std::vector<std::string> utf8Arguments()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int at = 0; wide && at < count; ++at)
        arguments.push_back(platform::replay::narrowed(wide[at]));
    LocalFree(wide);
    return arguments;
}
#endif

int main(int argc, char* argv[])
{
#if defined(_WIN32)
    std::vector<std::string> arguments = utf8Arguments();
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    argv = pointers.data();
#endif
    StandardOutput output;
    std::ostream out(&output);
    if (wantsHelp(argc, argv)) {
        out << usage;
        return output.checked(0);
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
    return output.checked(orvanta::sim::simulate(options, out));
}
