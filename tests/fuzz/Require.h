#pragma once

#include <cstdlib>

// Stops the run, which libFuzzer then reports with the input, when what a target checks is false.
inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}
