#include "engine/saver_procedure.h"

#include "engine/gl_surface.h"
#include "engine/saver_state.h"
#include "engine/timer_resolution.h"
#include "engine/seed.h"
#include "host/close_policy.h"
#include "host/system_library.h"
#include "settings/settings_store.h"
#include "settings_registry.h"
#include "support/child_case.h"
#include "support/gl_test_context.h"
#include "support/system_library_stand_in.h"
#include "support/test_window.h"
#include "winmm/timer_period_log.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr int32_t ClientWidth = 300;
constexpr int32_t ClientHeight = 240;

// What the test window saw; the window procedure ends in SaverProcedure.
struct Observed {
    int timerMessages = 0;
    bool timerLeftAfterDestroy = true;
    HGLRC contextAfterDestroy = reinterpret_cast<HGLRC>(1);
};
Observed observed;

LRESULT CALLBACK TestSaverWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
        ++observed.timerMessages;
    const LRESULT result = SaverProcedure(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        // A timer still running could be killed a second time.
        observed.timerLeftAfterDestroy = KillTimer(window, FrameTimerId) != FALSE;
        observed.contextAfterDestroy = wglGetCurrentContext();
    }
    return result;
}

}  // namespace

TEST(SaverProcedure, FramePeriodComesFromTempo)
{
    // Every Tempo the dialog can store: 1000 - Tempo exactly, whatever precision the FPU keeps.
    for (uint32_t tempo = 0; tempo < 1000; ++tempo)
        EXPECT_EQ(FramePeriod(tempo), 1000 - tempo) << "Tempo " << tempo;
    EXPECT_EQ(FramePeriod(1000), 1u) << "never 0";

    // Stored by another writer: the period wraps around instead of failing.
    const struct {
        uint32_t tempo;
        uint32_t period;
    } beyond[] = {{1001, 4294967295u}, {4294967295u, 1001}, {2000, 4294966296u}};
    for (const auto& c : beyond)
        EXPECT_EQ(FramePeriod(c.tempo), c.period) << "Tempo " << c.tempo;
}

TEST(GlSurface, RequestsADoubleBufferedRgbaFormatWithoutDrawToWindow)
{
    PIXELFORMATDESCRIPTOR request = SurfacePixelFormatRequest();
    static_assert(sizeof request == 40, "the descriptor is 40 bytes");
    EXPECT_EQ(request.nSize, 40);
    EXPECT_EQ(request.nVersion, 1);
    EXPECT_EQ(request.dwFlags, 0x21u);
    EXPECT_EQ(request.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(request.cColorBits, 24);
    // Every other byte is zero.
    request.nSize = 0;
    request.nVersion = 0;
    request.dwFlags = 0;
    request.cColorBits = 0;
    const PIXELFORMATDESCRIPTOR zero{};
    EXPECT_EQ(std::memcmp(&request, &zero, sizeof request), 0);
}

TEST(GlSurface, CreatesACurrentDoubleBufferedContextAndReleasesIt)
{
    HWND window = CreateTestWindow(ClientWidth, ClientHeight, DefWindowProcA);
    ASSERT_NE(window, nullptr);
    GlSurface surface{};
    CreateGlSurface(window, surface);
    ASSERT_NE(surface.deviceContext, nullptr);
    ASSERT_NE(surface.renderingContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), surface.renderingContext);
    EXPECT_EQ(wglGetCurrentDC(), surface.deviceContext);
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(surface.deviceContext, GetPixelFormat(surface.deviceContext), sizeof chosen, &chosen);
    EXPECT_TRUE(chosen.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_TRUE(chosen.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_GE(chosen.cColorBits, 24);

    // The context draws: a clear shows in the window's back buffer.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(PixelAt(ReadPixels(ClientWidth, ClientHeight), ClientWidth, 10, 10), (Rgb{255, 0, 0}));

    ReleaseGlSurface(window, surface.deviceContext, surface.renderingContext);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(wglDeleteContext(surface.renderingContext)) << "the context is gone already";
    DestroyWindow(window);

    // A context that was never made is released without harm.
    ReleaseGlSurface(nullptr, nullptr, nullptr);
}

TEST(SaverProcedure, RunsTheSaverWindowFromCreationToDestruction)
{
    seedField.clear();
    observed = Observed{};
    HWND window = CreateTestWindow(ClientWidth, ClientHeight, TestSaverWindowProcedure);
    ASSERT_NE(window, nullptr);

    // Creation: settings loaded, a current context with the view over the whole client area.
    const SaverSettings loaded = LoadSaverSettings();
    EXPECT_EQ(currentSettings.Tempo, loaded.Tempo);
    EXPECT_EQ(currentSettings.Density, loaded.Density);
    EXPECT_EQ(currentSettings.Size, loaded.Size);
    EXPECT_EQ(currentSettings.Antialias, loaded.Antialias);
    ASSERT_NE(wglGetCurrentContext(), nullptr);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], ClientWidth);
    EXPECT_EQ(viewport[3], ClientHeight);

    // The frame timer ticks and every tick draws a frame.
    ASSERT_TRUE(PumpMessagesUntil([] { return observed.timerMessages >= 3; }, 10000))
        << "no frame timer";
    EXPECT_GE(seedField.size(), 3u);

    // A timer message of any identifier draws a frame, and the pictures differ.
    const std::vector<Rgb> before = CaptureClient(window, ClientWidth, ClientHeight);
    const uint32_t seeds = seedField.size();
    SendMessageA(window, WM_TIMER, 77, 0);
    EXPECT_EQ(seedField.size(), seeds + 1);
    SendMessageA(window, WM_TIMER, 78, 0);
    const std::vector<Rgb> after = CaptureClient(window, ClientWidth, ClientHeight);
    int seedPixels = 0;
    for (const Rgb& pixel : after)
        seedPixels += pixel != (Rgb{223, 223, 223});
    EXPECT_GT(seedPixels, 0) << "no seed on the screen";
    EXPECT_LT(seedPixels, ClientWidth * ClientHeight / 2) << "the grey background is missing";
    EXPECT_NE(std::memcmp(before.data(), after.data(), before.size() * sizeof(Rgb)), 0)
        << "the frames put nothing new on the screen";

    // Other messages get exactly what the default saver procedure answers.
    EXPECT_EQ(SaverProcedure(window, WM_GETTEXTLENGTH, 0, 0), 7) << "\"Preview\"";
    EXPECT_EQ(SaverProcedure(window, WM_GETTEXTLENGTH, 0, 0),
              DefaultSaverProcedure(window, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(SaverProcedure(window, WM_NCHITTEST, 0, MAKELPARAM(10, 10)),
              DefaultSaverProcedure(window, WM_NCHITTEST, 0, MAKELPARAM(10, 10)));

    // A later size change is not followed.
    SetWindowPos(window, nullptr, 0, 0, 200, 100, SWP_NOZORDER | SWP_NOMOVE);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], ClientWidth);

    // Destruction stops the timer and leaves no current context.
    DestroyWindow(window);
    EXPECT_FALSE(observed.timerLeftAfterDestroy) << "the frame timer still ran";
    EXPECT_EQ(observed.contextAfterDestroy, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    seedField.clear();
}

TEST(SaverProcedure, StoredAntialiasReachesTheWindowAsPointSmoothing)
{
    // As the dialog stores it: one byte in a REG_DWORD value.
    for (const BYTE antialias : {BYTE{1}, BYTE{0}}) {
        DeleteSettingsKey();
        WriteRawValue("Antialias", REG_DWORD, {antialias});
        seedField.clear();
        HWND window = CreateTestWindow(ClientWidth, ClientHeight, SaverProcedure);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(wglGetCurrentContext(), nullptr);
        EXPECT_EQ(glIsEnabled(GL_POINT_SMOOTH), antialias != 0 ? GL_TRUE : GL_FALSE)
            << "stored Antialias " << int{antialias};
        DestroyWindow(window);
    }
    DeleteSettingsKey();
    seedField.clear();
}

// The tests' own "WINMM.DLL" in the system folder, loaded first, is the one the saver's load finds.
TEST(SaverProcedure, ShortFramePeriodsRaiseTheTimerResolutionWhileTheWindowLives)
{
    if (GetEnvironmentVariableA("TESSALINE_WINMM_CHILD", nullptr, 0) == 0) {
        ASSERT_TRUE(SetWineAppDefault("DllOverrides", "winmm", "native"));
        InChildProcess("TESSALINE_WINMM_CHILD");
        RegDeleteKeyA(HKEY_CURRENT_USER, WineAppDefaultsKey("DllOverrides").c_str());
        return;
    }

    ASSERT_EQ(GetModuleHandleA("WINMM.DLL"), nullptr) << "the system's library is loaded already";
    SystemLibraryStandIn installed(ProgramDirectory() + "\\winmm\\winmm.dll", "WINMM.DLL");
    ASSERT_TRUE(installed.installed()) << installed.path();
    HMODULE standIn = LoadLibraryA(installed.path().c_str());
    ASSERT_NE(standIn, nullptr) << installed.path();
    TimerPeriodLog* log = FindLibraryEntry<TimerPeriodLogFunction>(standIn, "TimerPeriodLogBlock")();

    // 15 ms is shorter than the 15.6 ms tick, 16 ms is not.
    const struct {
        uint32_t tempo;
        bool raised;
    } cases[] = {{990, true}, {1000, true}, {985, true}, {984, false}, {0, false}};
    for (const auto& c : cases) {
        DeleteSettingsKey();
        WriteDword("Tempo", c.tempo);
        *log = TimerPeriodLog{};
        seedField.clear();
        HWND window = CreateTestWindow(ClientWidth, ClientHeight, SaverProcedure);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(log->begins, c.raised ? 1 : 0) << "Tempo " << c.tempo;
        EXPECT_EQ(log->ends, 0) << "Tempo " << c.tempo << ": given back while the window lives";
        DestroyWindow(window);
        EXPECT_EQ(log->ends, log->begins) << "Tempo " << c.tempo << ": every raise is given back";
        if (c.raised) {
            EXPECT_EQ(log->lastBegin, FineTimerResolution) << "Tempo " << c.tempo;
            EXPECT_EQ(log->lastEnd, log->lastBegin) << "Tempo " << c.tempo;
        }
    }
    EXPECT_EQ(GetModuleHandleA("WINMM.DLL"), standIn) << "the saver keeps no reference of its own";
    FreeLibrary(standIn);
    EXPECT_EQ(GetModuleHandleA("WINMM.DLL"), nullptr);
    DeleteSettingsKey();
    seedField.clear();
}
