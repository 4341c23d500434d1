// What the benchmark programs measure of their own process: elapsed time and memory.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstddef>

namespace bench {

// The performance counter in seconds; differences of two readings are elapsed times.
inline double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline PROCESS_MEMORY_COUNTERS MemoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

inline size_t WorkingSet() { return MemoryCounters().WorkingSetSize; }
inline size_t PeakWorkingSet() { return MemoryCounters().PeakWorkingSetSize; }
inline double PeakWorkingSetMB() { return static_cast<double>(PeakWorkingSet()) / (1024.0 * 1024.0); }

}  // namespace bench
