#include "host/entry.h"

#include "host/host_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char SaverClass[] = "WindowsScreenSaverClass";

HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Runs SaverMain on the tail and checks that it ends with -1 and leaves no trace of a saver window.
void ExpectRefused(const std::string& tail, const std::string& what)
{
    const int windowsBefore = ThreadWindowCount();
    EXPECT_EQ(SaverMain(Instance(), tail.c_str()), -1) << what << ", tail \"" << tail << "\"";
    EXPECT_EQ(ThreadWindowCount(), windowsBefore) << what << ": a window was created";
    WNDCLASSA windowClass;
    EXPECT_FALSE(GetClassInfoA(Instance(), SaverClass, &windowClass)) << what << ": the saver class was registered";
    EXPECT_EQ(hostState.saverWindow, nullptr) << what;
}

std::string Decimal(HWND window)
{
    return std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

HWND CreateTestWindow()
{
    return CreateWindowExA(0, "STATIC", "preview parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 320, 240,
                           nullptr, nullptr, Instance(), nullptr);
}

// A handle that named a window a moment ago and names none now.
HWND DestroyedWindow()
{
    HWND window = CreateTestWindow();
    DestroyWindow(window);
    return window;
}

// What the CBT hook saw of the saver windows that were created.
struct CreatedSaverWindow {
    HWND parent;
    std::string title;
};
std::vector<CreatedSaverWindow> createdSaverWindows;

LRESULT CALLBACK RecordSaverWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char className[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        const CREATESTRUCTA* creation = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (std::string(className) == SaverClass)
            createdSaverWindows.push_back({creation->hwndParent, creation->lpszName ? creation->lpszName : ""});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(SaverMain, StoresTheInstanceAndReadsThePlatform)
{
    ExpectRefused("/x", "unknown letter");
    EXPECT_EQ(hostState.instance, Instance());
    EXPECT_FALSE(hostState.isWin9x) << "Wine reports Windows NT here";
}

TEST(SaverMain, UnknownLettersEndWithMinusOne)
{
    ExpectRefused("/x", "unknown letter");
    ExpectRefused("-/ -q", "unknown letter after separators");
    ExpectRefused("/\ts", "tab between slash and letter");
    ExpectRefused("\ts", "tab before the letter");
    ExpectRefused("/:s", "colon before the letter");
    for (char digit = '0'; digit <= '9'; ++digit)
        ExpectRefused(std::string("/") + digit, "digit");
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        ExpectRefused(std::string("/") + static_cast<char>(byte), "byte " + std::to_string(byte));
}

TEST(SaverMain, PasswordChangeIsUnknownOutsideWindows9x)
{
    ExpectRefused("/a", "/a alone");
    ExpectRefused("/a 1234", "/a with an owner");
    ExpectRefused("-A", "upper case");
}

TEST(SaverMain, PreviewWithoutAParentWindowEndsWithMinusOne)
{
    HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    const std::string handle = Decimal(window);
    ExpectRefused("/p", "no handle");
    ExpectRefused("/p 0", "handle 0");
    ExpectRefused("/p:" + handle, "the colon is not skipped");
    ExpectRefused("/p\t" + handle, "a tab is not skipped");
    ExpectRefused("/p 0x" + handle, "hexadecimal prefix");
    ExpectRefused("/p " + Decimal(DestroyedWindow()), "a handle that is no window");
    ExpectRefused("/l " + Decimal(DestroyedWindow()), "/l like /p");
    DestroyWindow(window);
}

TEST(SaverMain, PreviewRunsAsAChildOfTheGivenWindow)
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordSaverWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    for (const char* form : {"/p %s", "/p%s", "-P   %s", "/l %s", "/L %sjunk"}) {
        HWND parent = CreateTestWindow();
        ASSERT_NE(parent, nullptr);
        char tail[64];
        std::snprintf(tail, sizeof tail, form, Decimal(parent).c_str());
        createdSaverWindows.clear();
        // Closing the parent destroys the preview child with it, which ends the run.
        PostMessageA(parent, WM_CLOSE, 0, 0);
        EXPECT_EQ(SaverMain(Instance(), tail), 0) << tail;
        ASSERT_EQ(createdSaverWindows.size(), 1u) << tail;
        EXPECT_EQ(createdSaverWindows[0].parent, parent) << tail;
        EXPECT_EQ(createdSaverWindows[0].title, "Preview") << tail;
        EXPECT_FALSE(IsWindow(parent)) << tail;
        // A real process runs once; here the next run must be able to register the class again.
        UnregisterClassA(SaverClass, Instance());
    }
    UnhookWindowsHookEx(hook);
}
