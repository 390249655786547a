// numericValue on any text: it never fails, gives a finite number, and reads only the
// number at the start of the text.

#include "core/number_text.h"
#include "tests/fuzz/check.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = orvanta::numericValue(text);
    FUZZ_CHECK(std::isfinite(value), "the value is not finite");

    // Blanks before the number and a letter after it that cannot continue it change
    // nothing.
    FUZZ_CHECK(orvanta::numericValue(" \t\r\n" + text) == value, "leading blanks count");
    FUZZ_CHECK(orvanta::numericValue(text + "x") == value, "a trailing letter counts");

    // A sign put before a number that starts straight away applies to it.
    if (!text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) {
        FUZZ_CHECK(orvanta::numericValue("+" + text) == value, "a plus sign changes the value");
        FUZZ_CHECK(orvanta::numericValue("-" + text) == -value, "a minus sign does not negate");
    }
    return 0;
}
