#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta::keep::utf8 {

// The length of the well-formed UTF-8 character at `at`, or 0 for a stray byte.
std::size_t characterLength(std::string_view text, std::size_t at);

// A control character: C0, DEL or C1 (U+0080 to U+009F), which a terminal may obey.
bool isControl(std::string_view character);

// `text` with stray bytes replaced by U+FFFD and cut to at most `bytes` bytes of whole
// characters.
std::string cleaned(std::string_view text, std::size_t bytes);

bool isValid(std::string_view text);

// The columns a terminal gives the text: none for a combining mark, two for an East
// Asian wide or fullwidth character, one for any other (a stray byte too).
std::size_t columns(std::string_view text);

} // namespace orvanta::keep::utf8
