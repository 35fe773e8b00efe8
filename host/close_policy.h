#pragma once
// The end of the saver window's message chain: when input closes a full-screen saver.
#include <windows.h>

#include <cstdint>

LRESULT CALLBACK DefaultSaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Non-zero when the saver may close; on Windows 9x this asks the password provider.
int32_t VerifyClose(HWND saverWindow);
