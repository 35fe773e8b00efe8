#include "engine/timer_resolution.h"

#include "host/system_library.h"

#include <windows.h>

namespace {

using TimePeriodFunction = UINT(WINAPI*)(UINT period);

constexpr char MultimediaLibrary[] = "WINMM.DLL";
constexpr char BeginPeriodEntry[] = "timeBeginPeriod";
constexpr char EndPeriodEntry[] = "timeEndPeriod";
constexpr UINT TimerNoError = 0;  // TIMERR_NOERROR

// The library and entry that give back FineTimerResolution; a null library when nothing was raised.
struct RaisedResolution {
    HMODULE library;
    TimePeriodFunction endPeriod;
};
RaisedResolution raised = {};

}  // namespace

void RaiseTimerResolution(uint32_t framePeriod)
{
    if (raised.library != nullptr || uint64_t{framePeriod} * 1000 >= DefaultTimerTickMicroseconds)
        return;
    HMODULE library = LoadSystemLibrary(MultimediaLibrary);
    if (library == nullptr)
        return;
    // Both entries or neither: a raise that could not be given back would outlive the saver.
    const auto beginPeriod = FindLibraryEntry<TimePeriodFunction>(library, BeginPeriodEntry);
    const auto endPeriod = FindLibraryEntry<TimePeriodFunction>(library, EndPeriodEntry);
    if (beginPeriod == nullptr || endPeriod == nullptr || beginPeriod(FineTimerResolution) != TimerNoError) {
        FreeLibrary(library);
        return;
    }
    raised = {library, endPeriod};
}

void RestoreTimerResolution()
{
    if (raised.library == nullptr)
        return;
    raised.endPeriod(FineTimerResolution);
    FreeLibrary(raised.library);
    raised = {};
}
