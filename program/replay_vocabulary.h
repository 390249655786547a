#pragma once

#include "platform/replay/format.h"

#include <string>

namespace orvanta {

// The names of the program's windows, their timers and the controls that take typing,
// picks and presses: all that a replay file may name.
const platform::replay::Vocabulary& replayVocabulary();

// This build's version, as a replay's first line names it.
const char* programVersion();

// Reads a replay of this program: of this version, naming only its windows. Throws
// platform::replay::ReadError.
platform::replay::Replay readGameReplay(const std::string& path);

} // namespace orvanta
