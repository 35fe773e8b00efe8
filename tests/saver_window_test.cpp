// Full-screen and preview runs of the saver window under Wine: the class, the window, its procedure's
// own rules and the message loop, checked from inside the running loop.
#include "host/saver_window.h"
#include "host/host_state.h"
#include "support/host_test_support.h"

#include <gtest/gtest.h>
#include <GL/gl.h>
#include <imm.h>

#include <string>
#include <vector>

namespace {

constexpr char FullScreenTitle[] = "Screen Saver";
constexpr char PreviewTitle[] = "Preview";
constexpr DWORD FullScreenStyle = 0x96000000;  // popup, visible, clipping siblings and children
constexpr DWORD PreviewStyle = 0x52000000;     // child, visible, clipping children
constexpr UINT SaverClassStyle = 0x2B;
constexpr char ParentClassName[] = "TessalinePreviewParent";
constexpr int ParentClientWidth = 320;
constexpr int ParentClientHeight = 240;

std::string WindowTitle(HWND window)
{
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT ScreenClipBox()
{
    RECT box = {};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    return box;
}

// The window that a preview runs in, like the display control panel's little monitor.
class PreviewParent {
public:
    PreviewParent()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = ParentClassName;
        RegisterClassA(&windowClass);
        RECT frame = {0, 0, ParentClientWidth, ParentClientHeight};
        AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
        handle = CreateWindowExA(0, ParentClassName, "Display", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        DispatchPending();
    }
    ~PreviewParent()
    {
        DestroyWindow(handle);
        DispatchPending();
        UnregisterClassA(ParentClassName, GetModuleHandleA(nullptr));
    }
    PreviewParent(const PreviewParent&) = delete;
    PreviewParent& operator=(const PreviewParent&) = delete;

    HWND handle = nullptr;
};

struct Pixel {
    unsigned char red, green, blue;
};

// The given colour buffer of the saver's current OpenGL context, row 0 at the bottom.
std::vector<Pixel> ReadBuffer(GLenum buffer, int width, int height)
{
    std::vector<Pixel> pixels(static_cast<size_t>(width) * height);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

class SaverWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetHostState(FALSE); }
    void TearDown() override
    {
        DispatchPending();
        UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));
        ResetHostState(FALSE);
    }
};

TEST_F(SaverWindow, FullScreenRunRegistersTheClassCoversTheScreenAndEndsWithZero)
{
    HWND seen = nullptr;
    int32_t exitCode = RunSaverWithSteps(nullptr, {[&](HWND saver) {
        seen = saver;
        ASSERT_TRUE(IsWindow(saver));
        WNDCLASSA windowClass = {};
        ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), SaverClassName, &windowClass));
        EXPECT_EQ(windowClass.style, SaverClassStyle);
        EXPECT_EQ(windowClass.lpfnWndProc, SaverWindowProcedure);
        EXPECT_EQ(windowClass.cbClsExtra, 0);
        EXPECT_EQ(windowClass.cbWndExtra, 0);
        EXPECT_EQ(windowClass.hIcon, nullptr) << "icon 100 does not exist";
        EXPECT_EQ(windowClass.hCursor, nullptr);
        EXPECT_EQ(windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));
        EXPECT_EQ(windowClass.lpszMenuName, nullptr);
        EXPECT_EQ(GetClassLongPtrA(saver, GCL_STYLE), static_cast<ULONG_PTR>(SaverClassStyle));

        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(saver, GWL_STYLE)), FullScreenStyle);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(saver, GWL_EXSTYLE)) & WS_EX_TOPMOST,
                  static_cast<DWORD>(WS_EX_TOPMOST));
        EXPECT_EQ(GetParent(saver), nullptr);
        EXPECT_EQ(WindowTitle(saver), FullScreenTitle);
        RECT bounds = {};
        GetWindowRect(saver, &bounds);
        RECT box = ScreenClipBox();
        EXPECT_EQ(bounds.left, box.left);
        EXPECT_EQ(bounds.top, box.top);
        EXPECT_EQ(bounds.right, box.right);
        EXPECT_EQ(bounds.bottom, box.bottom);
        EXPECT_EQ(GetForegroundWindow(), saver) << "a full-screen saver comes to the foreground";
        EXPECT_EQ(GetCursor(), nullptr) << "the cursor is hidden";
        EXPECT_FALSE(hostState.isPreview);
        EXPECT_EQ(hostState.autoPlayMessage, 0u) << "the AutoPlay query is registered on Windows 9x only";
    }});
    EXPECT_EQ(exitCode, 0) << "a normal close ends the run with 0";
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen)) << "the close destroyed the window";
}

TEST(FullScreenBounds, CoverTheClipBoxWhereverItStarts)
{
    // One monitor, and a second one left of and above the primary one.
    const RECT single = FullScreenBounds({0, 0, 1024, 768});
    EXPECT_EQ((std::vector<LONG>{single.left, single.top, single.right, single.bottom}),
              (std::vector<LONG>{0, 0, 1024, 768}));
    const RECT virtualScreen = FullScreenBounds({-1280, -256, 1024, 768});
    EXPECT_EQ((std::vector<LONG>{virtualScreen.left, virtualScreen.top, virtualScreen.right, virtualScreen.bottom}),
              (std::vector<LONG>{-1280, -256, 2304, 1024}))
        << "left, top, width, height";
}

TEST_F(SaverWindow, PreviewFillsTheParentsClientAreaAndPassesHelpToIt)
{
    PreviewParent parent;
    HWND seen = nullptr;
    int32_t exitCode = RunSaverWithSteps(parent.handle, {
        [&](HWND saver) {
            seen = saver;
            ASSERT_TRUE(IsWindow(saver));
            EXPECT_TRUE(hostState.isPreview);
            EXPECT_EQ(GetParent(saver), parent.handle);
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(saver, GWL_STYLE)), PreviewStyle);
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(saver, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);
            EXPECT_EQ(WindowTitle(saver), PreviewTitle);
            RECT bounds = {};
            GetWindowRect(saver, &bounds);
            MapWindowPoints(nullptr, parent.handle, reinterpret_cast<POINT*>(&bounds), 2);
            EXPECT_EQ(bounds.left, 0);
            EXPECT_EQ(bounds.top, 0);
            EXPECT_EQ(bounds.right, ParentClientWidth);
            EXPECT_EQ(bounds.bottom, ParentClientHeight);

            // WM_HELP carries a pointer, which the platform refuses to post; only its answer is seen here.
            EXPECT_EQ(SendMessageA(saver, WM_HELP, 0, 0), 1);
            MSG forwarded;
            EXPECT_EQ(SendMessageA(saver, WM_CONTEXTMENU, 0, MAKELPARAM(3, 4)), 1);
            ASSERT_TRUE(PeekMessageA(&forwarded, parent.handle, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE))
                << "WM_CONTEXTMENU forwarded";
            EXPECT_EQ(forwarded.wParam, reinterpret_cast<WPARAM>(parent.handle));
            EXPECT_EQ(forwarded.lParam, MAKELPARAM(3, 4));

            PostMessageA(saver, WM_KEYDOWN, 'A', 0);
            PostMessageA(saver, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            PostMessageA(saver, WM_ACTIVATEAPP, 0, 0);
        },
        [&](HWND saver) { EXPECT_TRUE(IsWindow(saver)) << "input does not close a preview"; },
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(IsWindow(seen));
}

TEST_F(SaverWindow, TitleStaysAndOnlyWindowSwitchingAndScreenSaveCommandsAreDropped)
{
    int32_t exitCode = RunSaverWithSteps(nullptr, {
        [&](HWND saver) {
            EXPECT_EQ(SendMessageA(saver, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
            SetWindowTextA(saver, "Other");
            EXPECT_EQ(WindowTitle(saver), FullScreenTitle) << "the title never changes";
            EXPECT_EQ(FindWindowA(SaverClassName, FullScreenTitle), saver) << "so the saver can still be found";

            for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE}) {
                EXPECT_EQ(SendMessageA(saver, WM_SYSCOMMAND, command, 0), 0);
            }
            EXPECT_TRUE(IsWindow(saver));
            SendMessageA(saver, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_FALSE(IsWindow(saver)) << "SC_CLOSE passes on and closes the saver";
        },
    });
    EXPECT_EQ(exitCode, 0);
}

TEST_F(SaverWindow, InputMethodIsDetachedWhileTheSaverRuns)
{
    ASSERT_NE(GetModuleHandleA("IMM32.DLL"), nullptr) << "this test program loads IMM32.DLL";
    HIMC threadContext = ImmGetContext(GetDesktopWindow());
    RunSaverWithSteps(nullptr, {[&](HWND saver) {
        EXPECT_EQ(hostState.imeModule, GetModuleHandleA("IMM32.DLL"));
        EXPECT_NE(hostState.associateContext, nullptr);
        EXPECT_NE(hostState.savedInputContext, nullptr) << "the window's context was kept";
        HIMC context = ImmGetContext(saver);
        EXPECT_EQ(context, nullptr) << "the saver window has no input context";
        if (context) ImmReleaseContext(saver, context);
        // Destruction hands the saved context back to the window before it goes.
        SendMessageA(saver, WM_DESTROY, 0, 0);
        HIMC restored = ImmGetContext(saver);
        EXPECT_NE(restored, nullptr) << "WM_DESTROY restores the input context";
        if (restored) ImmReleaseContext(saver, restored);
        DestroyWindow(saver);
    }});
    if (threadContext) ImmReleaseContext(GetDesktopWindow(), threadContext);
}

TEST_F(SaverWindow, SecondFullScreenRunIsRefusedButAPreviewStarts)
{
    // A full-screen saver of another module: the same class name and title, as another process has it.
    HINSTANCE otherModule = GetModuleHandleA("kernel32.dll");
    WNDCLASSA otherClass = {};
    otherClass.lpfnWndProc = DefWindowProcA;
    otherClass.hInstance = otherModule;
    otherClass.lpszClassName = SaverClassName;
    ASSERT_NE(RegisterClassA(&otherClass), 0);
    HWND running = CreateWindowExA(WS_EX_TOPMOST, SaverClassName, FullScreenTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                                   200, 200, nullptr, nullptr, otherModule, nullptr);
    ASSERT_NE(running, nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    DispatchPending();

    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    WNDCLASSA ours = {};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), SaverClassName, &ours)) << "no class was registered";
    EXPECT_EQ(hostState.saverWindow, nullptr) << "no window was created";
    EXPECT_EQ(CountWindowsOfClass(SaverClassName), 1);
    EXPECT_EQ(GetForegroundWindow(), running) << "the running saver is brought forward";

    PreviewParent parent;
    HWND preview = nullptr;
    EXPECT_EQ(RunSaverWithSteps(parent.handle, {[&](HWND saver) { preview = saver; }}), 0);
    EXPECT_NE(preview, nullptr) << "a preview starts while a full-screen saver runs";

    DestroyWindow(other);
    DestroyWindow(running);
    UnregisterClassA(SaverClassName, otherModule);
}

TEST_F(SaverWindow, RunEndsWithTheQuitValueOrMinusOneWithoutAWindow)
{
    HWND saverWindow = nullptr;
    int32_t exitCode = RunSaverWithSteps(nullptr, {[&](HWND saver) {
        saverWindow = saver;
        PostQuitMessage(7);
    }});
    EXPECT_EQ(exitCode, 7) << "the run returns the quit message's value";
    ASSERT_TRUE(IsWindow(saverWindow));
    DestroyWindow(saverWindow);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_DESTROY posts the quit message";
    EXPECT_EQ(quit.wParam, 0u);
    UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));

    // The class exists already, so registering it fails and no window is made.
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = SaverClassName;
    ASSERT_NE(RegisterClassA(&taken), 0);
    ResetHostState(FALSE);
    EXPECT_EQ(RunSaverWindow(nullptr), -1) << "a run without a window reports the failure";
    EXPECT_EQ(hostState.saverWindow, nullptr);
    EXPECT_EQ(CountWindowsOfClass(SaverClassName), 0);
}

TEST_F(SaverWindow, FullScreenTicksDrawUntilApprovalAndAKeyCloses)
{
    RECT box = ScreenClipBox();
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int32_t exitCode = RunSaverWithSteps(nullptr, {[&](HWND saver) {
        ASSERT_NE(wglGetCurrentContext(), nullptr) << "the saver made its OpenGL context current";
        for (int frame = 0; frame < 40; ++frame) SendMessageA(saver, WM_TIMER, 1, 0);
        // Once closing is approved a tick draws nothing: the red back buffer stays as it is.
        hostState.closeApproved = 1;
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_EQ(SendMessageA(saver, WM_TIMER, 1, 0), 0);
        Pixel corner = ReadBuffer(GL_BACK, width, height)[0];
        EXPECT_EQ(corner.red, 255) << "a tick after approval drew a frame";
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        hostState.closeApproved = 0;
        SendMessageA(saver, WM_TIMER, 1, 0);
        corner = ReadBuffer(GL_BACK, width, height)[0];
        EXPECT_NE(corner.red, 255) << "a tick before approval draws (and clears the red away)";

        SendMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
        MSG close;
        EXPECT_TRUE(PeekMessageA(&close, saver, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "a key press closes";
    }});
    EXPECT_EQ(exitCode, 0);
}

TEST_F(SaverWindow, ApprovedCloseStopsTimerAndInputHandling)
{
    RunSaverWithSteps(nullptr, {[&](HWND saver) {
        hostState.closeApproved = 1;
        TakePostedClose(saver);
        EXPECT_EQ(SendMessageA(saver, WM_TIMER, 1, 0), 0);
        SendMessageA(saver, WM_KEYDOWN, 'A', 0);
        SendMessageA(saver, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_FALSE(TakePostedClose(saver)) << "input after approval goes straight to DefWindowProcA";
        hostState.closeApproved = 0;
        SendMessageA(saver, WM_KEYDOWN, 'A', 0);
        EXPECT_TRUE(TakePostedClose(saver)) << "before approval a key closes";
    }});
}

}  // namespace
