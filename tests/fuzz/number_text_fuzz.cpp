// numberText on any double: it never fails, and for finite numbers it writes plain
// digits that numericValue reads back within 15 significant digits.

#include "core/number_text.h"
#include "tests/fuzz/check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(double x)
{
    const std::string text = orvanta::numberText(x);
    if (!std::isfinite(x))
        return; // only that it does not crash
    FUZZ_CHECK(!text.empty() && text.size() <= 22, "the text is empty or too long");
    FUZZ_CHECK(text.find_first_not_of("0123456789.-+E") == std::string::npos,
               "the text has something other than a number");
    FUZZ_CHECK(text[0] != '+' && text[0] != '.', "the text starts with '+' or '.'");
    if (x == 0) {
        FUZZ_CHECK(text == "0", "zero is not written 0");
        return;
    }
    const std::string mantissa = text.substr(0, text.find('E'));
    if (mantissa.find('.') != std::string::npos)
        FUZZ_CHECK(mantissa.back() != '0' && mantissa.back() != '.',
                   "the fraction ends in a zero or a bare point");

    const double back = orvanta::numericValue(text);
    if (std::isinf(std::strtod(text.c_str(), nullptr))) {
        // Rounded to 15 digits it passes the largest double: no value can be read back,
        // and numericValue says 0 for a number out of range.
        FUZZ_CHECK(back == 0, "a number past the double range does not read as 0");
        return;
    }
    FUZZ_CHECK(std::fabs(back - x) <= std::fabs(x) * 1e-14,
               "the text does not read back within 15 significant digits");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every 8 bytes are one double; a shorter rest is padded with zeros.
    for (std::size_t at = 0; at < size; at += sizeof(double)) {
        unsigned char bytes[sizeof(double)] = {};
        std::memcpy(bytes, data + at, std::min(sizeof bytes, size - at));
        double x;
        std::memcpy(&x, bytes, sizeof x);
        check(x);
    }
    return 0;
}
