#pragma once
// The libraries that the saver loads at run time, and their entries. Each is loaded by its full path
// in the system folder: by a bare name, Windows would look in the saver's own folder first, where a
// planted library (a download beside the extracted saver, say) would run as the user.
#include <windows.h>

// The library of that name in the system folder (System32, or System on Windows 9x), or null when it
// is missing there or the path does not fit.
HMODULE LoadSystemLibrary(const char* name);

// The named entry as a function of the given type, or null when the library lacks it.
template <typename Function>
Function FindLibraryEntry(HMODULE library, const char* name)
{
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
