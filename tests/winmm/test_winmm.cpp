// Test stand-in for the system's "WINMM.DLL": counts the timer-resolution calls and, when
// TESSALINE_WINMM_RECORD names a file, appends one line "begin <period>" or "end <period>" per call.
// Without the multimedia headers, whose declarations of the two entries would ask to import them.
#define WIN32_LEAN_AND_MEAN
#include "timer_period_log.h"

#include <cstdio>
#include <cstdlib>

static TimerPeriodLog log = {};

static void Record(const char* call, UINT period)
{
    const char* path = std::getenv("TESSALINE_WINMM_RECORD");
    if (path == nullptr)
        return;
    if (std::FILE* record = std::fopen(path, "a")) {
        std::fprintf(record, "%s %u\n", call, period);
        std::fclose(record);
    }
}

extern "C" UINT WINAPI timeBeginPeriod(UINT period)
{
    ++log.begins;
    log.lastBegin = period;
    Record("begin", period);
    return 0;
}

extern "C" UINT WINAPI timeEndPeriod(UINT period)
{
    ++log.ends;
    log.lastEnd = period;
    Record("end", period);
    return 0;
}

extern "C" TimerPeriodLog* WINAPI TimerPeriodLogBlock()
{
    return &log;
}
