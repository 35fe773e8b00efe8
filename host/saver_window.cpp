#include "host/saver_window.h"

#include "engine/saver_procedure.h"

// Placeholders until the window and its loop exist.
int32_t RunSaverWindow(HWND)
{
    return 0;
}

LRESULT CALLBACK SaverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverProcedure(window, message, wParam, lParam);
}
