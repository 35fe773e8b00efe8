#include "host/password_hooks.h"

#include "host/host_state.h"
#include "host/system_library.h"

#include <cstdint>

// Data
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char UsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char ProviderLibrary[] = "PASSWORD.CPL";
constexpr char VerifyEntry[] = "VerifyScreenSavePwd";

// Helpers

// The setting is taken as a 32-bit number whatever its type. A value longer than four bytes fails the
// read and counts as no password; a shorter one fills the low bytes of a zeroed buffer.
static uint32_t ReadUsePassword(HKEY key)
{
    BYTE buffer[4] = {0, 0, 0, 0};
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, UsePasswordValue, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) return 0;
    if (size > sizeof buffer) return 0;
    return static_cast<uint32_t>(buffer[0]) | static_cast<uint32_t>(buffer[1]) << 8 |
           static_cast<uint32_t>(buffer[2]) << 16 | static_cast<uint32_t>(buffer[3]) << 24;
}

static bool PasswordRequired()
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, DesktopKey, &key) != ERROR_SUCCESS) return false;
    bool required = ReadUsePassword(key) != 0;
    RegCloseKey(key);
    return required;
}

// Operations

void LoadPasswordProvider()
{
    if (!hostState.isWin9x) return;
    if (hostState.passwordModule) UnloadPasswordProvider();
    if (!PasswordRequired()) return;

    hostState.passwordModule = LoadSystemLibrary(ProviderLibrary);
    if (!hostState.passwordModule) return;
    hostState.verifyPassword = FindLibraryEntry<VerifyPasswordFunction>(hostState.passwordModule, VerifyEntry);
    if (hostState.verifyPassword) {
        SetScreenSaverRunning(TRUE);
    } else {
        UnloadPasswordProvider();
    }
}

void UnloadPasswordProvider()
{
    if (!hostState.isWin9x || !hostState.passwordModule) return;
    FreeLibrary(hostState.passwordModule);
    hostState.passwordModule = nullptr;
    if (hostState.verifyPassword) {
        hostState.verifyPassword = nullptr;
        SetScreenSaverRunning(FALSE);
    }
}

void SetScreenSaverRunning(BOOL running)
{
    if (!hostState.isWin9x) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}
