#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace orvanta {

// What the command line asks of the game. The game's own options are GNU style
// (--name); Qt's (-platform NAME, -display DISPLAY ...) pass on to Qt untouched.
struct CommandLine {
    // Set when the run ends at the command line: 0 after --help or --version, 2 when it
    // is refused.
    std::optional<int> exitStatus;
    std::string record;     // --record FILE: where the game is written as it is played
    std::string replay;     // --replay FILE: the recorded game to show, or a kept game (best:2)
    bool listGames = false; // --games: print the kept games and exit
    bool json = false;      // --json: --games prints JSON
    bool keep = true;       // --no-keep: this game is not kept
};

// Reads the options; usage and version go to `out`, refusals to `err`.
CommandLine readCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err);

} // namespace orvanta
