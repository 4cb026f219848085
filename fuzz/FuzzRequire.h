#pragma once
// A property a fuzz target checks: when it does not hold, the input that
// broke it is reported and the run stops, so libFuzzer keeps that input.

#include <cstdio>
#include <cstdlib>

#define REQUIRE(condition)                                                                         \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
        {                                                                                          \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
