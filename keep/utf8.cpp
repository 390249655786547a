#include "keep/utf8.h"

namespace orvanta::keep::utf8 {

std::size_t characterLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned int low = 0x80, high = 0xBF; // the range of the second byte: no overlong forms,
                                          // surrogates or code points past U+10FFFF
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
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
