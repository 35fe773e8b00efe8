#include "host/saver_window.h"

#include "engine/saver_procedure.h"
#include "host/exception_guard.h"
#include "host/host_state.h"
#include "host/system_library.h"
#include "host/password_hooks.h"

// Data
constexpr char SaverClassName[] = "WindowsScreenSaverClass";
constexpr char FullScreenTitle[] = "Screen Saver";
constexpr char PreviewTitle[] = "Preview";
constexpr UINT SaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr WORD ClassIconId = 100;  // not among the resources, so the class has no icon
constexpr DWORD FullScreenExStyle = WS_EX_TOPMOST;
constexpr DWORD FullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD PreviewExStyle = 0;
constexpr DWORD PreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr char AutoPlayMessageName[] = "QueryCancelAutoPlay";
constexpr char InputMethodLibrary[] = "IMM32.DLL";
constexpr char AssociateContextEntry[] = "ImmAssociateContext";
constexpr int32_t NoWindowExitCode = -1;  // the class or the window could not be created

// Where and how the saver window is created.
struct SaverPlacement {
    DWORD exStyle;
    DWORD style;
    const char* title;
    RECT bounds;  // left, top, width and height
    HWND parent;
};

// Helpers

static WNDCLASSA SaverWindowClass()
{
    WNDCLASSA windowClass = {};
    windowClass.style = SaverClassStyle;
    windowClass.lpfnWndProc = SaverWindowProcedure;
    windowClass.hInstance = hostState.instance;
    windowClass.hIcon = LoadIconA(hostState.instance, MAKEINTRESOURCEA(ClassIconId));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = SaverClassName;
    return windowClass;
}

static RECT ScreenClipBox()
{
    RECT box = {0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    return box;
}

static SaverPlacement FullScreenPlacement()
{
    return {FullScreenExStyle, FullScreenStyle, FullScreenTitle, FullScreenBounds(ScreenClipBox()), nullptr};
}

static SaverPlacement PreviewPlacement(HWND parent)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    return {PreviewExStyle, PreviewStyle, PreviewTitle, {0, 0, client.right, client.bottom}, parent};
}

// A full-screen saver already running is brought forward instead of starting a second one.
static bool BringRunningSaverForward()
{
    HWND running = FindWindowA(SaverClassName, FullScreenTitle);
    if (!running || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

static HWND CreateSaverWindow(const SaverPlacement& placement)
{
    const RECT& bounds = placement.bounds;
    return CreateWindowExA(placement.exStyle, SaverClassName, placement.title, placement.style, bounds.left,
                           bounds.top, bounds.right, bounds.bottom, placement.parent, nullptr, hostState.instance,
                           nullptr);
}

// GetMessageA's error result (-1) does not end the loop; only the quit message does.
static int32_t RunMessageLoop()
{
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int32_t>(message.wParam);
}

static void HideCursorInFullScreen()
{
    if (!hostState.isPreview) SetCursor(nullptr);
}

// The input method stays away from the saver window; the library is only used when already loaded.
static void DetachInputMethod(HWND window)
{
    hostState.imeModule = GetModuleHandleA(InputMethodLibrary);
    if (!hostState.imeModule) return;
    hostState.associateContext = FindLibraryEntry<AssociateContextFunction>(hostState.imeModule, AssociateContextEntry);
    if (!hostState.associateContext) return;
    hostState.savedInputContext = hostState.associateContext(window, nullptr);
}

static void RestoreInputMethod(HWND window)
{
    if (hostState.imeModule && hostState.associateContext && hostState.savedInputContext) {
        hostState.associateContext(window, hostState.savedInputContext);
    }
}

static bool IsDroppedCommand(WPARAM command)
{
    return !hostState.isPreview &&
           (command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE);
}

// Message handlers; "pass on" hands the message to the saver procedure.

static LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverProcedure(window, message, wParam, lParam);
}

// Detaches the input method, takes the mouse reference point and hides the cursor.
static LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DetachInputMethod(window);
    GetCursorPos(&hostState.lastCursor);
    HideCursorInFullScreen();
    return PassOn(window, message, wParam, lParam);
}

// Gives the input method back and ends the loop before the saver procedure releases its drawing.
static LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RestoreInputMethod(window);
    PostQuitMessage(0);
    return PassOn(window, message, wParam, lParam);
}

// The titles stay fixed, so that the single-instance search keeps finding the saver.
static LRESULT OnSetText(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

static LRESULT OnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closeApproved) return DefWindowProcA(window, message, wParam, lParam);
    HideCursorInFullScreen();
    return PassOn(window, message, wParam, lParam);
}

// A preview hands help requests to the window that owns it.
static LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hostState.isPreview) return PassOn(window, message, wParam, lParam);
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent)) PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    return 1;
}

// Once closing is approved, input no longer reaches the close policy.
static LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closeApproved) return DefWindowProcA(window, message, wParam, lParam);
    return PassOn(window, message, wParam, lParam);
}

static LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsDroppedCommand(wParam)) return 0;
    return PassOn(window, message, wParam, lParam);
}

// No frame is drawn once closing is approved; otherwise the rest of the time slice goes first.
static LRESULT OnTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hostState.closeApproved) return 0;
    Sleep(0);
    return PassOn(window, message, wParam, lParam);
}

// The message table.
static LRESULT CALLBACK HandleSaverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:      return OnCreate(window, message, wParam, lParam);
    case WM_DESTROY:     return OnDestroy(window, message, wParam, lParam);
    case WM_SETTEXT:     return OnSetText(window, message, wParam, lParam);
    case WM_PAINT:       return OnPaint(window, message, wParam, lParam);
    case WM_HELP:        return OnHelpRequest(window, message, wParam, lParam);
    case WM_CONTEXTMENU: return OnHelpRequest(window, message, wParam, lParam);
    case WM_KEYDOWN:     return OnInput(window, message, wParam, lParam);
    case WM_SYSKEYDOWN:  return OnInput(window, message, wParam, lParam);
    case WM_MOUSEMOVE:   return OnInput(window, message, wParam, lParam);
    case WM_LBUTTONDOWN: return OnInput(window, message, wParam, lParam);
    case WM_RBUTTONDOWN: return OnInput(window, message, wParam, lParam);
    case WM_MBUTTONDOWN: return OnInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:  return OnSysCommand(window, message, wParam, lParam);
    case WM_TIMER:       return OnTimer(window, message, wParam, lParam);
    }
    return PassOn(window, message, wParam, lParam);
}

// Operations

int32_t RunSaverWindow(HWND parent)
{
    WNDCLASSA windowClass = SaverWindowClass();
    SaverPlacement placement;
    hostState.isPreview = parent != nullptr;
    if (parent) {
        placement = PreviewPlacement(parent);
    } else {
        placement = FullScreenPlacement();
        if (BringRunningSaverForward()) return 0;
        LoadPasswordProvider();
    }
    hostState.autoPlayMessage = hostState.isWin9x ? RegisterWindowMessageA(AutoPlayMessageName) : 0;

    HWND window = nullptr;
    if (RegisterClassA(&windowClass)) window = CreateSaverWindow(placement);
    hostState.saverWindow = window;

    int32_t exitCode = NoWindowExitCode;
    if (window) {
        if (!parent) SetForegroundWindow(window);
        exitCode = RunMessageLoop();
    }
    UnloadPasswordProvider();
    return exitCode;
}

LRESULT CALLBACK SaverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallInGuardFrame(HandleSaverMessage, window, message, wParam, lParam);
}

RECT FullScreenBounds(const RECT& clipBox)
{
    return {clipBox.left, clipBox.top, clipBox.right - clipBox.left, clipBox.bottom - clipBox.top};
}
