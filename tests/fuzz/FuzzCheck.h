// The fuzz targets' check: a broken rule stops the run where libFuzzer sees it.
#pragma once

#include <cstdlib>

inline void Check(bool condition) {
    if (!condition) std::abort();
}
