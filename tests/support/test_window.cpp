#include "support/test_window.h"

namespace {

constexpr const char* TestWindowClass = "TessalineTestWindow";

// Each procedure gets its own class, so windows of different procedures can coexist.
const char* ClassFor(WNDPROC procedure)
{
    static char name[64];
    wsprintfA(name, "%s%p", TestWindowClass, reinterpret_cast<void*>(procedure));
    WNDCLASSA windowClass{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &windowClass))
        return name;
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return name;
}

}  // namespace

HWND CreateTestWindow(int32_t width, int32_t height, WNDPROC procedure, const char* title)
{
    return CreateWindowExA(0, ClassFor(procedure), title, WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
