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

std::vector<Rgb> CaptureClient(HWND window, int32_t width, int32_t height)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * height);
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = {bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]};
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}
