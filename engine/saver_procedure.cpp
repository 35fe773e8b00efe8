#include "engine/saver_procedure.h"

#include "host/close_policy.h"

// Placeholder until the frame timer and the GL surface exist.
LRESULT CALLBACK SaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultSaverProcedure(window, message, wParam, lParam);
}
