#include "host/password_hooks.h"

// Placeholders until the Windows 9x password hooks exist.
void LoadPasswordProvider() {}
void UnloadPasswordProvider() {}
void SetScreenSaverRunning(BOOL) {}
