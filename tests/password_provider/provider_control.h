#pragma once
// What the test password provider answers and what it saw, shared with the tests that load it.
#include <windows.h>

struct ProviderControl {
    BOOL verdict;               // the answer of VerifyScreenSavePwd
    BOOL closeWhileVerifying;   // send the saver window a WM_CLOSE from inside the check
    LONG calls;                 // calls of VerifyScreenSavePwd
    HWND window;                // the window of the last call
    LRESULT nestedCloseResult;  // what the nested WM_CLOSE returned
    LONG timersPending;         // WM_TIMER messages of the window still queued during the check
    BOOL showCursor;            // show the arrow during the check, as a password dialog does
};

using ProviderControlFunction = ProviderControl*(WINAPI*)();
