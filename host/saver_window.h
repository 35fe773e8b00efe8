#pragma once
// The one saver window (full screen, or a child of a preview window) and its message loop.
#include <windows.h>

#include <cstdint>

// Null parent: full screen. Returns the exit code of the run.
int32_t RunSaverWindow(HWND parent);
// Handles every message inside the exception guard's frame.
LRESULT CALLBACK SaverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Left, top, width and height of a full-screen saver on a screen with that clip box. On a desktop of
// several monitors the box is the whole virtual screen and may start at negative coordinates.
RECT FullScreenBounds(const RECT& clipBox);
