#include "core/number_text.h"

#include <charconv>

// Both directions use <charconv>, which never consults the locale: the application object
// adopts the user's locale, and a comma locale must not turn "5.5" into "5,5".

namespace orvanta {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string numberText(double value)
{
    if (value == 0) // no "-0"
        return "0";
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, written.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    // Exponents as "1E+20" and "1.5E-07": at least two digits, like the platform shows.
    if (const auto e = text.find('E'); e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        const char sign = text[e + 1];
        std::string digits = text.substr(e + 2);
        while (digits.size() > 2 && digits.front() == '0')
            digits.erase(0, 1);
        text = mantissa + 'E' + sign + digits;
    }
    return text;
}

double numericValue(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    // Take the longest prefix that forms a decimal number: sign, digits, point, exponent.
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const auto digitsFrom = [&](std::size_t at) {
        while (at < text.size() && isDigit(text[at]))
            ++at;
        return at;
    };
    std::size_t end = digitsFrom(i);
    bool anyDigit = end > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fraction = digitsFrom(end + 1);
        anyDigit = anyDigit || fraction > end + 1;
        end = fraction;
    }
    if (!anyDigit)
        return 0;
    if (end < text.size() &&
        (text[end] == 'e' || text[end] == 'E' || text[end] == 'd' || text[end] == 'D')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        const std::size_t exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    std::string number(text.substr(start, end - start));
    for (char& c : number)
        if (c == 'd' || c == 'D')
            c = 'e';
    if (number.front() == '+')
        number.erase(0, 1);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc{})
        return 0; // out of range of a double: no number we can show
    return value;
}

} // namespace orvanta
