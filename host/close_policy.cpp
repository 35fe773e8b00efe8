#include "host/close_policy.h"

#include "host/host_state.h"

// Data
constexpr UINT VerifyMessage = WM_APP;             // sent to the saver window to run the password check
constexpr uint32_t RetryGuardMilliseconds = 200;   // closes this soon after a refused check are refused too
constexpr UINT DropTimerFlags = PM_REMOVE | PM_NOYIELD;
constexpr int TimerMessagesDropped = 2;            // pending frame ticks removed before a check

// Helpers

// Queues a close; it is judged when WM_CLOSE itself arrives.
static void PostClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

static void HideCursor()
{
    SetCursor(nullptr);
}

static POINT CursorPosition()
{
    POINT position = {0, 0};
    GetCursorPos(&position);
    return position;
}

static uint32_t Distance(LONG a, LONG b)
{
    return a > b ? static_cast<uint32_t>(a) - static_cast<uint32_t>(b)
                 : static_cast<uint32_t>(b) - static_cast<uint32_t>(a);
}

// Manhattan distance, unsigned, so that no pair of screen coordinates can overflow it.
static uint32_t DistanceFromLastCursor(POINT position)
{
    return Distance(position.x, hostState.lastCursor.x) + Distance(position.y, hostState.lastCursor.y);
}

static bool WithinRetryGuard(uint32_t now)
{
    return hostState.lastVerifyTick != NoVerifyYet && now - hostState.lastVerifyTick < RetryGuardMilliseconds;
}

// Frames queued before the check would only delay the password prompt.
static void DropPendingTimers(HWND window)
{
    MSG message;
    for (int i = 0; i < TimerMessagesDropped; ++i) {
        PeekMessageA(&message, window, WM_TIMER, WM_TIMER, DropTimerFlags);
    }
}

// The input rules

static void OnShowWindow(WPARAM shown)
{
    if (shown) HideCursor();
}

// Another application becoming active ends the saver.
static void OnActivateApp(HWND window, WPARAM active)
{
    if (!active) PostClose(window);
}

static void OnPower(HWND window, WPARAM event)
{
    if (event == PWR_CRITICALRESUME) PostClose(window);
}

// The coordinates of the message are not used: small moves add up against the same reference point.
static void OnMouseMove(HWND window)
{
    POINT position = CursorPosition();
    if (DistanceFromLastCursor(position) > hostState.mouseThreshold) {
        PostClose(window);
        hostState.lastCursor = position;
    }
}

// True when the rule answers the message itself (with 1).
static bool ApplyInputRules(HWND window, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_SHOWWINDOW:     OnShowWindow(wParam); return false;
    case WM_ACTIVATEAPP:    OnActivateApp(window, wParam); return false;
    case WM_SETCURSOR:      HideCursor(); return true;
    case WM_POWER:          OnPower(window, wParam); return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_POWERBROADCAST: PostClose(window); return false;
    case WM_MOUSEMOVE:      OnMouseMove(window); return false;
    }
    return false;
}

// The close checks

// False when the close is refused; the cursor then becomes the new reference point.
static bool OnCloseRequest(HWND window)
{
    if (VerifyClose(window)) return true;
    hostState.lastCursor = CursorPosition();
    return false;
}

static LRESULT OnVerifyMessage(HWND window)
{
    return hostState.verifyPassword ? hostState.verifyPassword(window) : 1;
}

static LRESULT OnAutoPlayQuery(HWND window)
{
    PostClose(window);
    return hostState.verifyPassword ? 1 : 0;
}

// Operations

LRESULT CALLBACK DefaultSaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hostState.isPreview && !hostState.closeApproved) {
        switch (message) {
        case WM_CLOSE:      if (hostState.isWin9x && !OnCloseRequest(window)) return 0; break;
        case VerifyMessage: if (hostState.isWin9x) return OnVerifyMessage(window); break;
        default:            if (!hostState.verifying && ApplyInputRules(window, message, wParam)) return 1; break;
        }
    }
    if (hostState.autoPlayMessage != 0 && message == hostState.autoPlayMessage) return OnAutoPlayQuery(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

int32_t VerifyClose(HWND saverWindow)
{
    if (hostState.verifying || hostState.closeApproved) return 0;
    if (!hostState.verifyPassword) {
        hostState.closeApproved = 1;
        return 1;
    }
    if (WithinRetryGuard(GetTickCount())) return 0;

    hostState.verifying = TRUE;
    DropPendingTimers(saverWindow);
    LRESULT verdict = SendMessageA(saverWindow, VerifyMessage, 0, 0);
    hostState.closeApproved = static_cast<int32_t>(verdict);
    hostState.verifying = FALSE;

    if (!hostState.closeApproved) HideCursor();
    hostState.lastVerifyTick = GetTickCount();
    return hostState.closeApproved;
}
