#pragma once
// Test support: real, visible top-level windows under Wine with a private device context (CS_OWNDC),
// as the saver window has.
#include <windows.h>

#include <cstdint>

// A popup window at the top left of the screen whose client area is width x height pixels.
HWND CreateTestWindow(int32_t width, int32_t height, WNDPROC procedure, const char* title = "Preview");
#include "support/gl_test_context.h"

#include <vector>

// What the screen shows in the window's client area, row 0 at the bottom as GL reads.
std::vector<Rgb> CaptureClient(HWND window, int32_t width, int32_t height);
// Dispatches what is queued for this thread without waiting.
void PumpMessages();
// Dispatches messages until done() or about timeoutMs milliseconds have passed; true when done.
template <typename Done>
bool PumpMessagesUntil(Done done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}
