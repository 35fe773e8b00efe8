#pragma once
// The one saver window (full screen, or a child of a preview window) and its message loop.
#include <windows.h>

#include <cstdint>

// Null parent: full screen. Returns the exit code of the run.
int32_t RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
