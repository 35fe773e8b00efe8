#pragma once
// Windows 9x screen-saver password: the provider library and the screen-saver-running setting.
#include <windows.h>

void LoadPasswordProvider();
void UnloadPasswordProvider();
void SetScreenSaverRunning(BOOL running);
