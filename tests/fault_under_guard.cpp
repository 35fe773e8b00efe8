// Test program: runs a mode under the host's exception guard that faults, or not, as its argument says.
//   fault_under_guard direct <record>   the mode itself writes through a null pointer
//   fault_under_guard loop <record>     a window procedure faults while the mode's message loop dispatches
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
constexpr UINT FaultMessage = WM_APP + 1;

void WriteThroughNullPointer()
{
    volatile uintptr_t address = 0;
    *reinterpret_cast<volatile int*>(address) = 1;
}

int32_t FaultDirectly(const char*)
{
    WriteThroughNullPointer();
    return NormalResult;
}

LRESULT CALLBACK FaultingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == FaultMessage)
        WriteThroughNullPointer();
    return DefWindowProcA(window, message, wParam, lParam);
}

int32_t FaultInMessageLoop(const char*)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FaultingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FaultUnderGuard";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FaultUnderGuard", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
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
    SetUnhandledExceptionFilter(OutsideFilter);
    const int32_t result = RunUnderExceptionGuard(mode, "");
    if (mode != ReturnNormally || result != NormalResult)
        return ReachedTheEnd;
    return SetUnhandledExceptionFilter(nullptr) == OutsideFilter ? result : FilterNotRestored;
}
