#ifndef FUZZCHECK_H
#define FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer on a broken invariant: libFuzzer takes the abort as a
// crash and keeps the input that caused it.
#define FUZZ_CHECK(cond, what)                                                                   \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n  (%s)\n", __FILE__, __LINE__,  \
                         what, #cond);                                                           \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

#endif // FUZZCHECK_H
