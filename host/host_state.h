#pragma once
// The host's one process-wide state record, shared by the entry, the saver window and the close policy.
#include <windows.h>
#include <imm.h>

#include <cstdint>

using AssociateContextFunction = HIMC(WINAPI*)(HWND window, HIMC context);
using VerifyPasswordFunction = BOOL(WINAPI*)(HWND saverWindow);

struct SaverHostState {
    HINSTANCE instance;                        // the executable; window class, icon and dialog
    BOOL isWin9x;                              // platform id 1: Windows 95, 98 or Me
    HWND saverWindow;                          // the saver window once created
    BOOL isPreview;                            // the window is a preview child
    UINT autoPlayMessage;                      // "QueryCancelAutoPlay", 0 when not registered
    HMODULE imeModule;                         // "IMM32.DLL" when already loaded at creation
    AssociateContextFunction associateContext; // its "ImmAssociateContext"
    HIMC savedInputContext;                    // detached from the window at creation
    POINT lastCursor;                          // reference point of the mouse-move rule
    uint32_t mouseThreshold;                   // pixels the cursor may stray before closing
    int32_t closeApproved;                     // non-zero once closing is approved (the verdict)
    BOOL verifying;                            // a password check is under way
    uint32_t lastVerifyTick;                   // end of the last check; NoVerifyYet before any
    HMODULE passwordModule;                    // "PASSWORD.CPL"
    VerifyPasswordFunction verifyPassword;     // its "VerifyScreenSavePwd"
};

constexpr uint32_t NoVerifyYet = 0xFFFFFFFF;

extern SaverHostState hostState;
