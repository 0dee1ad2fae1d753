// Invariant checks inside fuzz targets: a broken invariant is a crash, which
// libFuzzer reports with the input that caused it.
#ifndef FUZZ_FUZZ_CHECK_H
#define FUZZ_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

#endif  // FUZZ_FUZZ_CHECK_H
