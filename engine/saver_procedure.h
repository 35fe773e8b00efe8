#pragma once
// The saver's own message handler: creation, timer ticks and destruction of the saver window.
#include <windows.h>

#include <cstdint>

constexpr UINT_PTR FrameTimerId = 1;

// Milliseconds between frames: 1000 - Tempo, at least 1. A Tempo above 1000 wraps to a long period
// (1001 gives 4294967295 ms) instead of failing.
uint32_t FramePeriod(uint32_t tempo);

LRESULT CALLBACK SaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
