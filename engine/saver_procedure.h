#pragma once
// The saver's own message handler: creation, timer ticks and destruction of the saver window.
#include <windows.h>

LRESULT CALLBACK SaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
