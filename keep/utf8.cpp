#include "keep/utf8.h"

#include "platform/replay/format.h"

namespace orvanta::keep::utf8 {

std::size_t characterLength(std::string_view text, std::size_t at)
{
    return platform::replay::codePointLength(text, at);
}

bool isControl(std::string_view character)
{
    if (character.empty())
        return false;
    const auto lead = static_cast<unsigned char>(character[0]);
    return lead < 0x20 || lead == 0x7F ||
           (lead == 0xC2 && character.size() == 2 &&
            static_cast<unsigned char>(character[1]) < 0xA0);
}

std::string cleaned(std::string_view text, std::size_t bytes)
{
    constexpr std::string_view replacement = "\xEF\xBF\xBD";
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        const std::string_view character = length > 0 ? text.substr(at, length) : replacement;
        if (kept.size() + character.size() > bytes)
            break;
        kept += character;
        at += length > 0 ? length : 1;
    }
    return kept;
}

bool isValid(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::size_t columns(std::string_view text)
{
    std::size_t count = 0;
    for (const char byte : text)
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return count;
}

} // namespace orvanta::keep::utf8
