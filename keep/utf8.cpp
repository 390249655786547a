#include "keep/utf8.h"

#include "platform/replay/format.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

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

namespace {

// The characters a terminal gives other than one column: combining marks, drawn over the
// character before them, and East Asian wide and fullwidth characters. The main ranges,
// sorted, with no locale, so that the table lines up alike on every system.
struct Span {
    char32_t first, last;
    std::uint8_t columns;
};
constexpr Span spans[] = {
    {0x0300, 0x036F, 0},   {0x0483, 0x0489, 0},   {0x0591, 0x05BD, 0},   {0x0610, 0x061A, 0},
    {0x064B, 0x065F, 0},   {0x0670, 0x0670, 0},   {0x06D6, 0x06DC, 0},   {0x06DF, 0x06E4, 0},
    {0x06E7, 0x06E8, 0},   {0x06EA, 0x06ED, 0},   {0x0E31, 0x0E31, 0},   {0x0E34, 0x0E3A, 0},
    {0x0E47, 0x0E4E, 0},   {0x1100, 0x115F, 2},   {0x1AB0, 0x1AFF, 0},   {0x1DC0, 0x1DFF, 0},
    {0x20D0, 0x20FF, 0},   {0x231A, 0x231B, 2},   {0x2329, 0x232A, 2},   {0x2E80, 0x303E, 2},
    {0x3041, 0x33FF, 2},   {0x3400, 0x4DBF, 2},   {0x4E00, 0x9FFF, 2},   {0xA000, 0xA4CF, 2},
    {0xAC00, 0xD7A3, 2},   {0xF900, 0xFAFF, 2},   {0xFE00, 0xFE0F, 0},   {0xFE20, 0xFE2F, 0},
    {0xFE30, 0xFE4F, 2},   {0xFF00, 0xFF60, 2},   {0xFFE0, 0xFFE6, 2},   {0x1F300, 0x1F64F, 2},
    {0x1F900, 0x1F9FF, 2}, {0x20000, 0x2FFFD, 2}, {0x30000, 0x3FFFD, 2}, {0xE0100, 0xE01EF, 0},
};
static_assert(std::ranges::is_sorted(spans, {}, &Span::first));

std::size_t columnsOf(char32_t code)
{
    const auto after = std::ranges::upper_bound(spans, code, {}, &Span::first);
    if (after == std::begin(spans) || code > std::prev(after)->last)
        return 1;
    return std::prev(after)->columns;
}

} // namespace

std::size_t columns(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        count += length > 0 ? columnsOf(platform::replay::codePointOf(text.substr(at, length))) : 1;
        at += length > 0 ? length : 1;
    }
    return count;
}

} // namespace orvanta::keep::utf8
