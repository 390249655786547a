#pragma once

#include <span>
#include <string_view>

namespace platform {

// The bytes of a file compiled into the program (the game's pictures, by file name);
// empty for a name it does not hold. Defined by the library that embeds them.
std::span<const unsigned char> embeddedFile(std::string_view name);

} // namespace platform
