#pragma once
// Milliseconds from the performance counter, for the benchmark programs.

#include <windows.h>

inline double NowMs() {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER now = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}
