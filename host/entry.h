#pragma once
// The saver's entry: reads the mode from the command line, runs that one mode and ends the process.
#include <windows.h>

#include <cstdint>

// Runs the mode of the process's command line and ends the process with its exit code.
[[noreturn]] void SaverEntry();
// Runs the mode that the tail (the command line after the program name) asks for; returns the exit code.
int32_t SaverMain(HINSTANCE instance, const char* tail);
// Preview inside the window whose decimal handle the text starts with; -1 when it is no window.
int32_t RunPreview(const char* text);
// The settings dialog, modal to owner (may be null); 1 after OK, 0 after Cancel.
int32_t ShowConfigureDialog(HWND owner);
// Windows 9x: the platform's password change for the screen saver, owned by the window in the text.
int32_t ChangeSaverPassword(const char* text);
// Work the saver does before its settings dialog is shown; 0 keeps the dialog from being shown.
BOOL PrepareSettingsDialog(HINSTANCE instance);
