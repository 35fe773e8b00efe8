#pragma once
// A finer system timer while a saver window with a short frame period lives. Windows raises a
// SetTimer period below 10 ms to 10 ms and, unless some program asks for more, delivers WM_TIMER
// only on its clock tick, about 15.6 ms on NT-family Windows: Tempo 990 (10 ms) would draw about
// 64 frames/s instead of 100. "WINMM.DLL" is optional, as the system's other extra libraries are:
// without it, or without either entry, the timer stays as the system has it.
#include <cstdint>

// The NT-family clock tick, in microseconds; a period at least this long gains nothing.
constexpr uint32_t DefaultTimerTickMicroseconds = 15625;
// The resolution asked for, in milliseconds.
constexpr uint32_t FineTimerResolution = 1;

// From the saver window's creation: raises the resolution when the frame period is shorter than the tick.
void RaiseTimerResolution(uint32_t framePeriod);
// At its destruction: gives back exactly what was raised, if anything.
void RestoreTimerResolution();
