#pragma once

#include <cstdio>
#include <cstdlib>

namespace markola::fuzz {

// A broken invariant must stop the run so that the fuzzer keeps the input that broke it.
inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace markola::fuzz
