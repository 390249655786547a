#pragma once

// Replays compressed in the gzip format, so that `zcat` reads them too.

#include "keep/files.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orvanta::keep {

constexpr int compressionLevel = 6; // on recordings, level 9 is both slower and larger

enum class Packing { packed, tooLarge, failed };

// Compresses the whole lines of the recording open in `recording` (the rest is a line cut
// short, or the room the recorder had reserved) into a gzip file at `path`: written to a
// temp file beside it, synced, then renamed. tooLarge, with nothing left behind, if it
// would take more than `maxPackedBytes`. `read`, if given, sees the whole lines as they go.
using LinesRead = std::function<void(std::string_view lines)>;
Packing packRecording(files::File& recording, const std::string& path, std::uint64_t maxPackedBytes,
                      std::string& why, const LinesRead& read = {});

// The bytes of a replay file, plain or gzip-compressed (told by its first two bytes).
// False if it cannot be read, is damaged, or holds more than `maxBytes`, with why in the
// system's words.
bool readReplayBytes(const std::string& path, std::size_t maxBytes, std::string& text,
                     std::string& why);

} // namespace orvanta::keep
