#pragma once
// What the test stand-in for "WINMM.DLL" saw of the timer resolution, shared with the tests that load it.
#include <windows.h>

struct TimerPeriodLog {
    LONG begins;      // timeBeginPeriod calls
    LONG ends;        // timeEndPeriod calls
    UINT lastBegin;   // the period of the last of each
    UINT lastEnd;
};

using TimerPeriodLogFunction = TimerPeriodLog*(WINAPI*)();
