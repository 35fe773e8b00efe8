#pragma once
// The host's guard against processor faults and other structured exceptions, for the whole life of a
// mode: its own code, its message loop, and every call of the saver's window and dialog procedures.
#include <windows.h>

#include <cstdint>

using GuardedMode = int32_t (*)(const char* tail);

// Keeps the system's fault report and critical-error boxes away from the process, the error-mode bits
// already set kept. Such a box waits for the user, under a full-screen saver window that stays on top
// of everything with the cursor hidden, painted by nobody, since its only thread is the one waiting.
void SilenceSystemErrorBoxes();

// Runs mode(tail) and returns its result. An exception that nothing inside handles goes to the
// platform's UnhandledExceptionFilter. When that decides to run the handler, screen-saver-running is
// switched off and the process ends at once with the exception code as its exit code (0xC0000005 for
// an access violation); the mode does not return. A debugger that repairs the fault or takes it over
// gets it as before.
int32_t RunUnderExceptionGuard(GuardedMode mode, const char* tail);

// Calls a window or dialog procedure inside an exception frame of its own, which hands a fault inside
// it to the guard while a mode runs under it. The system calls these procedures from inside its own
// calls too (CreateWindowExA, DestroyWindow, every sent message), where a fault would otherwise reach
// the system's callback boundary first; on 64-bit Windows and under Wine that boundary swallows it,
// and the saver would go on with a faulted driver.
LRESULT CallInGuardFrame(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
