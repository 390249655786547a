#pragma once

#include <cstdio>
#include <cstdlib>

// A property the fuzzer must never break: say which, and crash so that libFuzzer keeps
// the input.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition);        \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
