// The Windows 9x password hooks: each case runs in a process that Wine presents as Windows 98, with the
// test password provider PASSWORD.CPL in the system folder and the user's password setting in the
// registry. Another PASSWORD.CPL lies beside this program, where the saver must not look.
#include "host/close_policy.h"
#include "host/host_state.h"
#include "host/system_library.h"
#include "host/password_hooks.h"
#include "password_provider/provider_control.h"
#include "support/child_case.h"
#include "support/host_test_support.h"
#include "support/system_library_stand_in.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char UsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char ChildMarker[] = "TESSALINE_WINDOWS98_CHILD";

bool ReportsWindows9x()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// True in the Windows 98 process; elsewhere runs the case in a child process for which Wine reports
// Windows 98, and returns false.
bool InWindows98Process()
{
    if (ReportsWindows9x()) return true;
    if (GetEnvironmentVariableA(ChildMarker, nullptr, 0) != 0) {
        ADD_FAILURE() << "Wine does not report Windows 98 for this program";
        return false;
    }
    EXPECT_TRUE(SetWineAppDefault("", "Version", "win98"));
    return InChildProcess(ChildMarker);
}

void SetUsePassword(DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, DesktopKey, &key), ERROR_SUCCESS);
    RegSetValueExA(key, UsePasswordValue, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RemoveUsePassword()
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, DesktopKey, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, UsePasswordValue);
    RegCloseKey(key);
}

void RequirePassword(DWORD required)
{
    SetUsePassword(REG_DWORD, &required, sizeof required);
}

BOOL ScreenSaverRunning()
{
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

constexpr char ProviderName[] = "PASSWORD.CPL";

std::string TestProvider()
{
    return ProgramDirectory() + "\\" + ProviderName;
}

ProviderControl* LoadedProvider()
{
    if (!hostState.passwordModule) return nullptr;
    auto entry = FindLibraryEntry<ProviderControlFunction>(hostState.passwordModule, "ProviderControlBlock");
    return entry ? entry() : nullptr;
}

class PasswordHooks : public ::testing::Test {
protected:
    void SetUp() override { ResetHostState(TRUE); }
    void TearDown() override
    {
        UnloadPasswordProvider();
        RemoveUsePassword();
        DispatchPending();
        UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));
        ResetHostState(FALSE);
    }
};

TEST_F(PasswordHooks, PasswordSettingDecidesWhetherTheProviderIsLoaded)
{
    if (!InWindows98Process()) return;
    SystemLibraryStandIn installed(TestProvider(), ProviderName);
    ASSERT_TRUE(installed.installed()) << installed.path();

    RemoveUsePassword();
    LoadPasswordProvider();
    EXPECT_EQ(hostState.passwordModule, nullptr) << "no setting, no provider";

    RequirePassword(0);
    LoadPasswordProvider();
    EXPECT_EQ(hostState.passwordModule, nullptr) << "setting 0, no provider";

    const BYTE longValue[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    SetUsePassword(REG_BINARY, longValue, sizeof longValue);
    LoadPasswordProvider();
    EXPECT_EQ(hostState.passwordModule, nullptr) << "a value longer than four bytes is not read";

    const BYTE shortValue[1] = {1};
    SetUsePassword(REG_BINARY, shortValue, sizeof shortValue);
    LoadPasswordProvider();
    EXPECT_NE(hostState.verifyPassword, nullptr) << "a one-byte 1 asks for a password";
    UnloadPasswordProvider();

    RequirePassword(1);
    LoadPasswordProvider();
    ASSERT_NE(hostState.passwordModule, nullptr) << "PASSWORD.CPL is loaded";
    EXPECT_EQ(hostState.passwordModule, GetModuleHandleA("PASSWORD.CPL"));
    EXPECT_EQ(ModulePath(hostState.passwordModule), installed.path()) << "the system folder's, not the one beside";
    EXPECT_NE(hostState.verifyPassword, nullptr) << "VerifyScreenSavePwd is found";
    EXPECT_TRUE(ScreenSaverRunning()) << "the system is told that a saver runs";

    LoadPasswordProvider();
    EXPECT_NE(hostState.verifyPassword, nullptr) << "loading again replaces the provider";

    UnloadPasswordProvider();
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.verifyPassword, nullptr);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr) << "the library is freed";
    EXPECT_FALSE(ScreenSaverRunning()) << "the running state is switched off again";
}

TEST_F(PasswordHooks, AProviderWithoutTheVerifyEntryIsFreedAtOnce)
{
    if (!InWindows98Process()) return;

    SystemLibraryStandIn installed(ProgramDirectory() + "\\without_verify\\" + ProviderName, ProviderName);
    ASSERT_TRUE(installed.installed()) << installed.path();

    RequirePassword(1);
    LoadPasswordProvider();
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.verifyPassword, nullptr);
    EXPECT_FALSE(ScreenSaverRunning()) << "the running state is never switched on";
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr) << "the entry-less library was freed at once";
}

TEST_F(PasswordHooks, CloseRequestsGoThroughTheProvider)
{
    if (!InWindows98Process()) return;
    SystemLibraryStandIn installed(TestProvider(), ProviderName);

    {
        PolicyWindow window(DefaultSaverProcedure);
        EXPECT_EQ(SendMessageA(window.handle, WM_APP, 0, 0), 1) << "no provider: the verify message allows";
        SendMessageA(window.handle, WM_CLOSE, 0, 0);
        EXPECT_EQ(hostState.closeApproved, 1) << "without a password the first close is approved";
        EXPECT_FALSE(IsWindow(window.handle)) << "and the window is destroyed";
    }

    ResetHostState(TRUE);
    RequirePassword(1);
    LoadPasswordProvider();
    ProviderControl* provider = LoadedProvider();
    ASSERT_NE(provider, nullptr);
    PolicyWindow window(DefaultSaverProcedure);

    provider->verdict = FALSE;
    provider->showCursor = TRUE;
    hostState.lastCursor = {-5000, -5000};
    PostMessageA(window.handle, WM_CLOSE, 0, 0);
    for (int i = 0; i < 3; ++i) PostMessageA(window.handle, WM_TIMER, 1, 0);
    PostMessageA(window.handle, WM_CLOSE, 0, 0);
    DispatchPending();
    EXPECT_TRUE(IsWindow(window.handle)) << "a refused close keeps the saver";
    EXPECT_EQ(provider->calls, 1) << "the second close within 200 ms is refused without asking";
    EXPECT_EQ(provider->window, window.handle);
    EXPECT_EQ(provider->timersPending, 1) << "at most two pending timer messages are removed";
    EXPECT_EQ(hostState.closeApproved, 0);
    EXPECT_NE(hostState.lastVerifyTick, NoVerifyYet) << "the end of the attempt is recorded";
    EXPECT_EQ(GetCursor(), nullptr) << "the provider showed the cursor; the refusal hides it again";
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(hostState.lastCursor.x, cursor.x) << "the reference point moves to the cursor";
    EXPECT_EQ(hostState.lastCursor.y, cursor.y);
    provider->showCursor = FALSE;

    hostState.lastVerifyTick = GetTickCount() + 5000;  // the tick count wraps: far from recent
    provider->closeWhileVerifying = TRUE;
    provider->nestedCloseResult = -1;
    SendMessageA(window.handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(provider->calls, 2) << "an attempt long ago does not hold the check back";
    EXPECT_EQ(provider->nestedCloseResult, 0) << "a close during the check is refused";
    EXPECT_TRUE(IsWindow(window.handle));
    EXPECT_FALSE(hostState.verifying);

    provider->closeWhileVerifying = FALSE;
    provider->verdict = 7;
    hostState.lastVerifyTick = GetTickCount() - 5000;
    EXPECT_EQ(SendMessageA(window.handle, WM_APP, 0, 0), 7) << "the verify message answers the verdict";
    SendMessageA(window.handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(provider->calls, 4);
    EXPECT_EQ(hostState.closeApproved, 7) << "the approval holds the verdict";
    EXPECT_FALSE(IsWindow(window.handle)) << "approval destroys the window";
}

TEST_F(PasswordHooks, FullScreenRunLoadsTheProviderAndAnswersAutoPlay)
{
    if (!InWindows98Process()) return;
    SystemLibraryStandIn installed(TestProvider(), ProviderName);

    RequirePassword(1);
    int32_t exitCode = RunSaverWithSteps(nullptr, {[&](HWND saver) {
        ASSERT_NE(hostState.autoPlayMessage, 0u) << "the AutoPlay query is registered on Windows 9x";
        EXPECT_EQ(hostState.autoPlayMessage, RegisterWindowMessageA("QueryCancelAutoPlay"));
        ProviderControl* provider = LoadedProvider();
        ASSERT_NE(provider, nullptr) << "a full-screen run loads the provider";
        EXPECT_TRUE(ScreenSaverRunning());
        TakePostedClose(saver);
        EXPECT_EQ(SendMessageA(saver, hostState.autoPlayMessage, 0, 0), 1) << "a password is asked";
        EXPECT_TRUE(TakePostedClose(saver));

        // A second full-screen start finds this saver and loads nothing: the provider keeps its state.
        provider->calls = 1234;
        const HMODULE loaded = hostState.passwordModule;
        EXPECT_EQ(RunSaverWindow(nullptr), 0);
        EXPECT_EQ(hostState.passwordModule, loaded);
        EXPECT_EQ(LoadedProvider(), provider);
        EXPECT_EQ(provider->calls, 1234) << "the provider was unloaded and loaded again";
        EXPECT_TRUE(ScreenSaverRunning());
        provider->calls = 0;
        provider->verdict = TRUE;
    }});
    EXPECT_EQ(exitCode, 0) << "the approved close ends the run";
    EXPECT_EQ(hostState.passwordModule, nullptr) << "the provider is unloaded after the loop";
    EXPECT_FALSE(ScreenSaverRunning());

    ResetHostState(TRUE);
    RemoveUsePassword();
    UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));
    RunSaverWithSteps(nullptr, {[&](HWND saver) {
        TakePostedClose(saver);
        EXPECT_EQ(SendMessageA(saver, hostState.autoPlayMessage, 0, 0), 0) << "no password, so 0";
        EXPECT_TRUE(TakePostedClose(saver));
    }});
}

}  // namespace
