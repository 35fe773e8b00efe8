#pragma once
// Shared by the host's tests: a fresh host state, a window on the close policy, the message queue,
// and saver runs with checks made from inside their message loop.
#include "host/host_state.h"
#include "host/saver_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

constexpr char SaverClassName[] = "WindowsScreenSaverClass";

// The host state as a new process of the given platform has it after the entry has run.
inline void ResetHostState(BOOL isWin9x)
{
    hostState = SaverHostState{};
    hostState.instance = GetModuleHandleA(nullptr);
    hostState.isWin9x = isWin9x;
    hostState.mouseThreshold = 4;
    hostState.lastVerifyTick = NoVerifyYet;
}

// True (and removed) when a WM_CLOSE for the window waits in the queue.
inline bool TakePostedClose(HWND window)
{
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) found = true;
    return found;
}

// Dispatches everything queued for the thread, so that posted closes take effect.
inline void DispatchPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A hidden top-level window whose procedure is the given one, created while nothing can close it.
class PolicyWindow {
public:
    explicit PolicyWindow(WNDPROC procedure, const char* className = "TessalinePolicyTestWindow")
        : className(className)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        BOOL wasPreview = hostState.isPreview;
        hostState.isPreview = TRUE;
        handle = CreateWindowExA(0, className, "Policy test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        DispatchPending();
        hostState.isPreview = wasPreview;
    }
    ~PolicyWindow()
    {
        if (IsWindow(handle)) {
            hostState.isPreview = TRUE;
            DestroyWindow(handle);
        }
        DispatchPending();
        UnregisterClassA(className, GetModuleHandleA(nullptr));
    }
    PolicyWindow(const PolicyWindow&) = delete;
    PolicyWindow& operator=(const PolicyWindow&) = delete;

    HWND handle = nullptr;

private:
    const char* className;
};

// RunSaverWindow with checks run from inside its message loop, one step per tick of a thread timer.
// After the last step the saver window is sent a close if it still exists; a watchdog ends a run
// that does not close with the exit code StuckRunExitCode.
namespace saver_run {

constexpr int32_t StuckRunExitCode = 0x5EED;
constexpr UINT StepMilliseconds = 30;
constexpr UINT WatchdogMilliseconds = 20000;

inline std::vector<std::function<void(HWND)>>& Steps()
{
    static std::vector<std::function<void(HWND)>> steps;
    return steps;
}
inline size_t& NextStep()
{
    static size_t next = 0;
    return next;
}
inline UINT_PTR& StepTimer()
{
    static UINT_PTR timer = 0;
    return timer;
}
inline UINT_PTR& WatchdogTimer()
{
    static UINT_PTR timer = 0;
    return timer;
}

inline void CALLBACK OnStep(HWND, UINT, UINT_PTR, DWORD)
{
    HWND saver = hostState.saverWindow;
    if (NextStep() < Steps().size()) {
        Steps()[NextStep()++](saver);
        return;
    }
    KillTimer(nullptr, StepTimer());
    if (IsWindow(saver)) PostMessageA(saver, WM_CLOSE, 0, 0);
}

inline void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, WatchdogTimer());
    ADD_FAILURE() << "the saver run did not end";
    if (IsWindow(hostState.saverWindow)) DestroyWindow(hostState.saverWindow);
    PostQuitMessage(StuckRunExitCode);
}

}  // namespace saver_run

inline int32_t RunSaverWithSteps(HWND parent, std::vector<std::function<void(HWND)>> steps)
{
    using namespace saver_run;
    Steps() = std::move(steps);
    NextStep() = 0;
    StepTimer() = SetTimer(nullptr, 0, StepMilliseconds, OnStep);
    WatchdogTimer() = SetTimer(nullptr, 0, WatchdogMilliseconds, OnWatchdog);
    int32_t exitCode = RunSaverWindow(parent);
    KillTimer(nullptr, StepTimer());
    KillTimer(nullptr, WatchdogTimer());
    Steps().clear();
    return exitCode;
}

inline int CountWindowsOfClass(const char* className)
{
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr) ++count;
    return count;
}
