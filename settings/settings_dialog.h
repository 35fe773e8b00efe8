#pragma once
// The settings dialog (resource 2003) and the object behind an open dialog.
#include <windows.h>

INT_PTR CALLBACK SettingsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
