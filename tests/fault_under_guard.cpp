// Test program: runs a mode under the host's exception guard that faults, or not, as its argument says.
//   fault_under_guard direct <record>   the mode itself writes through a null pointer
//   fault_under_guard loop <record>     a window procedure faults while the mode's message loop dispatches
//   fault_under_guard create <record>   a window procedure in the guard's frame faults in WM_CREATE, which the
//                                       system sends from inside CreateWindowExA
//   fault_under_guard repaired <record> as create, but the write goes to a page that the top-level filter
//                                       in place before the guard, standing in for a debugger, makes
//                                       writable: the run goes on, and ends as none does; with 97 where
//                                       the write itself never happened
//   fault_under_guard none <record>     the mode returns 7; the program exits with 7 when the guard has
//                                       put the previous top-level filter back, with 98 otherwise
// After a caught fault the process must have ended inside the guard; reaching the end exits with 99.
// Each call of SetScreenSaverRunning appends "running <value>" to the record file.
#include "host/exception_guard.h"
#include "host/password_hooks.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

// Stands in for the host's own version, which this program does not link.
static const char* recordPath = nullptr;

void SetScreenSaverRunning(BOOL running)
{
    if (std::FILE* record = std::fopen(recordPath, "a")) {
        std::fprintf(record, "running %d\n", running);
        std::fclose(record);
    }
}

namespace {

constexpr int32_t NormalResult = 7;
constexpr int ReachedTheEnd = 99;
constexpr int FilterNotRestored = 98;
constexpr int RepairedWriteLost = 97;
constexpr UINT FaultMessage = WM_APP + 1;

int* volatile repairablePage = nullptr;  // in the repaired run: the no-access page written to

void WriteWhereItFaults()
{
    volatile uintptr_t address = reinterpret_cast<uintptr_t>(repairablePage);
    *reinterpret_cast<volatile int*>(address) = 1;
}

int32_t FaultDirectly(const char*)
{
    WriteWhereItFaults();
    return NormalResult;
}

UINT faultingMessage = FaultMessage;  // the message that FaultingProcedure faults in

LRESULT CALLBACK FaultingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == faultingMessage)
        WriteWhereItFaults();
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK GuardedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallInGuardFrame(FaultingProcedure, window, message, wParam, lParam);
}

HWND CreateWindowWith(WNDPROC procedure, const char* className)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance,
                           nullptr);
}

int32_t FaultInWindowCreation(const char*)
{
    faultingMessage = WM_CREATE;
    CreateWindowWith(GuardedProcedure, "FaultInCreation");
    return NormalResult;
}

int32_t FaultInMessageLoop(const char*)
{
    HWND window = CreateWindowWith(FaultingProcedure, "FaultUnderGuard");
    PostMessageA(window, FaultMessage, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return NormalResult;
}

int32_t ReturnNormally(const char*)
{
    return NormalResult;
}

LONG WINAPI OutsideFilter(EXCEPTION_POINTERS*)
{
    DWORD previous = 0;
    if (repairablePage != nullptr && VirtualProtect(repairablePage, sizeof(int), PAGE_READWRITE, &previous) &&
        previous == PAGE_NOACCESS)
        return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int main(int argc, char** argv)
{
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const char* how = argc > 1 ? argv[1] : "none";
    recordPath = argc > 2 ? argv[2] : "NUL";
    GuardedMode mode = ReturnNormally;
    if (std::strcmp(how, "direct") == 0)
        mode = FaultDirectly;
    else if (std::strcmp(how, "loop") == 0)
        mode = FaultInMessageLoop;
    else if (std::strcmp(how, "create") == 0)
        mode = FaultInWindowCreation;
    else if (std::strcmp(how, "repaired") == 0) {
        mode = FaultInWindowCreation;
        repairablePage = static_cast<int*>(VirtualAlloc(nullptr, sizeof(int), MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS));
    }
    SetUnhandledExceptionFilter(OutsideFilter);
    const int32_t result = RunUnderExceptionGuard(mode, "");
    const bool returns = mode == ReturnNormally || repairablePage != nullptr;
    if (!returns || result != NormalResult)
        return ReachedTheEnd;
    if (repairablePage != nullptr && *repairablePage != 1)
        return RepairedWriteLost;
    return SetUnhandledExceptionFilter(nullptr) == OutsideFilter ? result : FilterNotRestored;
}
