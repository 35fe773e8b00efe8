#include "host/exception_guard.h"

#include "host/password_hooks.h"

namespace {

// Data
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;  // in place before the guard; restored at its end
bool guarding = false;                                  // a mode runs under the guard

// Windows 7 SP1 and later (Vista SP2 with an update) let a process stop the system from swallowing an
// exception at the boundary of a callback into user mode: one that leaves a procedure of a system or
// library window (a driver's hidden window, say) then reaches the top-level filter, the guard's.
constexpr char KernelLibrary[] = "KERNEL32.DLL";
constexpr DWORD CallbackFilterEnabled = 0x1;  // PROCESS_CALLBACK_FILTER_ENABLED
using GetExceptionPolicyFunction = BOOL(WINAPI*)(LPDWORD flags);
using SetExceptionPolicyFunction = BOOL(WINAPI*)(DWORD flags);

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

// The handler of a procedure's frame, which the system asks first about an exception raised inside the
// procedure, before any frame of its own around the call. The guard's verdict decides: the process
// ends, or execution goes on where a debugger repaired it, or the search goes on outward as it would
// have without the frame. Unwinds that pass through the frame are none of its business.
EXCEPTION_DISPOSITION NTAPI GuardFrameHandler(EXCEPTION_RECORD* record, void*, CONTEXT* context, void*)
{
    if (!guarding || (record->ExceptionFlags & EXCEPTION_UNWIND) != 0)
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS information = {record, context};
    if (GuardFilter(&information) == EXCEPTION_CONTINUE_EXECUTION)
        return ExceptionContinueExecution;
    return ExceptionContinueSearch;
}

void TurnOffCallbackExceptionFilter()
{
    HMODULE kernel = GetModuleHandleA(KernelLibrary);
    auto getPolicy = reinterpret_cast<GetExceptionPolicyFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetProcessUserModeExceptionPolicy")));
    auto setPolicy = reinterpret_cast<SetExceptionPolicyFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessUserModeExceptionPolicy")));
    DWORD flags = 0;
    if (getPolicy != nullptr && setPolicy != nullptr && getPolicy(&flags))
        setPolicy(flags & ~CallbackFilterEnabled);
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
    TurnOffCallbackExceptionFilter();
    previousFilter = SetUnhandledExceptionFilter(GuardFilter);
    guarding = true;
    const int32_t result = mode(tail);
    guarding = false;
    SetUnhandledExceptionFilter(previousFilter);
    return result;
}

#if defined(__x86_64__)

// x64 frames are described by tables that the compiler writes for each function; the directive names
// the handler in this function's entry.
LRESULT CallInGuardFrame(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    asm volatile(".seh_handler %c0, @except" : : "i"(GuardFrameHandler));
    LRESULT result = procedure(window, message, wParam, lParam);
    // An instruction between the call and the epilogue: the call stays a call, and its return address
    // lies outside the epilogue, where the system's unwinder would take the frame for one being left and
    // skip its handler.
    asm volatile("nop" : "+r"(result));
    return result;
}

#else

namespace {

// x86 frames are a list of records on the stack, its head at fs:[0], the same on every Windows from 95 on.
struct FrameRecord {
    FrameRecord* next;
    PEXCEPTION_ROUTINE handler;
};

FrameRecord* FrameListHead()
{
    FrameRecord* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetFrameListHead(FrameRecord* head)
{
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

}  // namespace

LRESULT CallInGuardFrame(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FrameRecord frame = {FrameListHead(), GuardFrameHandler};
    SetFrameListHead(&frame);
    const LRESULT result = procedure(window, message, wParam, lParam);
    SetFrameListHead(frame.next);
    return result;
}

#endif
