#include "host/entry.h"

#include "host/command_line.h"
#include "host/exception_guard.h"
#include "host/host_state.h"
#include "host/system_library.h"
#include "host/saver_window.h"
#include "settings/settings_dialog.h"

namespace {

constexpr int32_t UnknownModeExitCode = -1;
constexpr int SettingsDialogResource = 2003;
constexpr DWORD Win9xPlatform = VER_PLATFORM_WIN32_WINDOWS;

using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2);

// A handle read from the command line, or the foreground window when it names no window.
HWND OwnerOrForeground(uint32_t handle)
{
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
    if (owner == nullptr || !IsWindow(owner))
        owner = GetForegroundWindow();
    return owner;
}

BOOL IsWin9xPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == Win9xPlatform;
}

int32_t RunConfigureMode(const char* text)
{
    uint32_t handle = 0;
    if (*text == ':')
        handle = ParseWindowHandle(text + 1);
    return ShowConfigureDialog(OwnerOrForeground(handle));
}

// Runs the mode that the tail's letter picks.
int32_t RunMode(const char* tail)
{
    const ModeChoice choice = ChooseSaverMode(tail, hostState.isWin9x != FALSE);
    switch (choice.mode) {
    case SaverMode::SettingsWithoutOwner: return ShowConfigureDialog(nullptr);
    case SaverMode::FullScreen:           return RunSaverWindow(nullptr);
    case SaverMode::Preview:              return RunPreview(choice.rest);
    case SaverMode::Settings:             return RunConfigureMode(choice.rest);
    case SaverMode::ChangePassword:       return ChangeSaverPassword(choice.rest);
    case SaverMode::Unknown:              break;
    }
    return UnknownModeExitCode;
}

}  // namespace

void SaverEntry()
{
    SilenceSystemErrorBoxes();
    const char* tail = SkipProgramName(GetCommandLineA());
    ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}

int32_t SaverMain(HINSTANCE instance, const char* tail)
{
    hostState.instance = instance;
    hostState.isWin9x = IsWin9xPlatform();
    return RunUnderExceptionGuard(RunMode, tail);
}

int32_t RunPreview(const char* text)
{
    HWND parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(ParseWindowHandle(text)));
    if (parent == nullptr || !IsWindow(parent))
        return UnknownModeExitCode;
    return RunSaverWindow(parent);
}

int32_t ShowConfigureDialog(HWND owner)
{
    if (!PrepareSettingsDialog(hostState.instance))
        return 0;
    RegisterSettingsDialogControls();
    return static_cast<int32_t>(DialogBoxParamA(hostState.instance, MAKEINTRESOURCEA(SettingsDialogResource),
                                                owner, SettingsDialogProcedure, 0));
}

int32_t ChangeSaverPassword(const char* text)
{
    HWND owner = OwnerOrForeground(ParseWindowHandle(text));
    HMODULE library = LoadSystemLibrary("MPR.DLL");
    if (library == nullptr)
        return 0;
    auto changePassword = FindLibraryEntry<ChangePasswordFunction>(library, "PwdChangePasswordA");
    if (changePassword != nullptr)
        changePassword("SCRSAVE", owner, 0, 0);
    FreeLibrary(library);
    return 0;
}

BOOL PrepareSettingsDialog(HINSTANCE)
{
    return TRUE;
}
