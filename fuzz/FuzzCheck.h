#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of the code under fuzzing. A broken one is a finding like a crash: libFuzzer
// saves the input that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
