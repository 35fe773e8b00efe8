// A stand-in for the platform's password provider, loaded by the host as PASSWORD.CPL.
#include "provider_control.h"

static ProviderControl control = {};

static LONG TakePendingTimers(HWND window)
{
    MSG message;
    LONG count = 0;
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) ++count;
    return count;
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    ++control.calls;
    control.window = window;
    control.timersPending = TakePendingTimers(window);
    if (control.showCursor) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (control.closeWhileVerifying) control.nestedCloseResult = SendMessageA(window, WM_CLOSE, 0, 0);
    // The end-to-end runs cannot reach the control block; they may have every password taken as right.
    if (GetEnvironmentVariableA("TESSALINE_PASSWORD_RIGHT", nullptr, 0) != 0) return TRUE;
    return control.verdict;
}

extern "C" ProviderControl* WINAPI ProviderControlBlock()
{
    return &control;
}
