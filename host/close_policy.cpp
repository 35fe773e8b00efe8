#include "host/close_policy.h"

// Placeholder until the close-on-input rules exist.
LRESULT CALLBACK DefaultSaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int32_t VerifyClose(HWND)
{
    return 1;
}
