#pragma once
// Entries of the optional libraries that the saver loads by name at run time.
#include <windows.h>

// The named entry as a function of the given type, or null when the library lacks it.
template <typename Function>
Function FindLibraryEntry(HMODULE library, const char* name)
{
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
