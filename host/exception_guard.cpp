#include "host/exception_guard.h"

#include "host/password_hooks.h"

#include <windows.h>

namespace {

// The top-level filter that was in place before the guard took over; restored when the span ends.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* information)
{
    // UnhandledExceptionFilter calls the top-level filter itself: put the previous one back first.
    SetUnhandledExceptionFilter(previousFilter);
    const LONG verdict = UnhandledExceptionFilter(information);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) {
        SetScreenSaverRunning(FALSE);
        // Not ExitProcess: the libraries' detach code would run, a faulted OpenGL driver's among it,
        // which may fault again or wait for a lock that the fault left held.
        TerminateProcess(GetCurrentProcess(), information->ExceptionRecord->ExceptionCode);
    }
    // A debugger repaired the fault or takes it over: the run goes on guarded as before.
    previousFilter = SetUnhandledExceptionFilter(GuardFilter);
    return verdict;
}

}  // namespace

void SilenceSystemErrorBoxes()
{
    // Reading the mode means setting it; GetErrorMode is new in Vista.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

int32_t RunUnderExceptionGuard(GuardedMode mode, const char* tail)
{
    previousFilter = SetUnhandledExceptionFilter(GuardFilter);
    const int32_t result = mode(tail);
    SetUnhandledExceptionFilter(previousFilter);
    return result;
}
