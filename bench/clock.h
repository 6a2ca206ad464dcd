// The benchmarks' clock: QueryPerformanceCounter readings, which are
// system-wide, so that a start taken in one process and a reading the
// stand-in game takes in another can be subtracted.
#pragma once

#include <windows.h>

inline LONGLONG Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

inline double Ms(LONGLONG from, LONGLONG to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
