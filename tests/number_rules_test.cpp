#include "core/integer.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

using orvanta::Integer;

namespace {

bool overflows(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const platform::RuntimeError& error) {
        return error.number == 6 && error.description == "Overflow";
    }
    return false;
}

TEST(NumberRules, RealsAreRoundedHalfToEven)
{
    const struct {
        double real;
        int stored;
    } cases[] = {{2.5, 2},     {3.5, 4},         {-12.5, -12},      {-13.5, -14},
                 {232.5, 232}, {7.5, 8},         {0.4999, 0},       {-0.5, 0},
                 {83.333, 83}, {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& c : cases)
        EXPECT_EQ(Integer::fromReal(c.real).value(), c.stored) << c.real;
}

TEST(NumberRules, OutOfRangeStoresAndSumsOverflow)
{
    EXPECT_TRUE(overflows([] { Integer::fromReal(32767.5); }));
    EXPECT_TRUE(overflows([] { Integer::fromReal(-32769); }));
    EXPECT_TRUE(overflows([] { Integer::fromReal(std::nan("")); }));
    EXPECT_TRUE(overflows([] { (void)(Integer(32767) + 1); }));
    EXPECT_TRUE(overflows([] { (void)(Integer(-32768) - 1); }));
    EXPECT_TRUE(overflows([] { (void)(Integer(32763) + 5); }));
    EXPECT_FALSE(overflows([] { (void)(Integer(32762) + 5); }));
    EXPECT_EQ((Integer(-32768) + 32767).value(), -1);
}

TEST(NumberRules, NegationNeverOverflows)
{
    EXPECT_EQ((-Integer(-32768)).value(), -32768);
    EXPECT_EQ((-Integer(32767)).value(), -32767);
    EXPECT_EQ((-Integer(0)).value(), 0);
}

TEST(NumberText, PlainDigitsAtMostFifteenSignificant)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{59, "59"},
                 {0, "0"},
                 {-0.0, "0"},
                 {600, "600"},
                 {60.0 / 7, "8.57142857142857"},
                 {120.0 / 16, "7.5"},
                 {-3, "-3"},
                 {0.1, "0.1"},
                 {1.0 / 3, "0.333333333333333"},
                 {123456789012345678.0, "1.23456789012346E+17"},
                 {1e20, "1E+20"},
                 {1.5e-7, "1.5E-07"}};
    for (const auto& c : cases)
        EXPECT_EQ(orvanta::numberText(c.value), c.text) << c.value;
}

TEST(NumberText, NumericValueIsTheLeadingNumber)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {{"0 ", 0},       {"", 0},    {"12abc", 12},   {"abc", 0}, {"  42", 42},
                 {"-7.5x", -7.5}, {"+3", 3},  {"1e3", 1000},   {"2E", 2},  {".5", 0.5},
                 {"-", 0},        {"59", 59}, {"1 basket", 1}, {"3.", 3},  {"1d2", 100}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(orvanta::numericValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, RoundTripsWhatTheGameShows)
{
    for (int n = -32768; n <= 32767; n += 97)
        EXPECT_DOUBLE_EQ(orvanta::numericValue(orvanta::numberText(n)), n);
}

} // namespace
