#pragma once

// The table of kept games as a file: a versioned text that a person can read.
//
//   orvanta-games 1
//   state TAB end time TAB player TAB minutes TAB seconds played TAB baskets TAB replay
//   ...
//   end <number of rows>
//
// The end line tells a whole file from one cut at a line. The player is escaped (\\, \t,
// \n, \r, \xHH for other control bytes) so that no name can break a line or a field. The
// replay is a bare file name in the folder, ending .replay or .replay.gz.

#include "keep/game.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvanta::keep {

constexpr std::string_view tableHeader = "orvanta-games 1";
constexpr std::string_view recordingSuffix = ".replay";
constexpr std::string_view packedSuffix = ".replay.gz";

std::string tableText(const std::vector<Game>& games);

// Reads a whole table. False, with why in a few words naming the line, for anything that
// is not a table this program wrote: nothing of such a file is trusted.
bool readTable(std::string_view text, std::vector<Game>& games, std::string& why);

std::string escapedPlayer(std::string_view player);
bool unescapePlayer(std::string_view field, std::string& player);

// A bare name of a file the store may keep, read and remove: no folder, no "..", no
// control bytes, and the suffix of a recording or of a compressed one.
bool isReplayName(std::string_view name);
// The name without its .replay or .replay.gz: the same game before and after compression.
std::string_view recordingStem(std::string_view name);

} // namespace orvanta::keep
