#include "engine/saver_procedure.h"

#include "engine/frame_step.h"
#include "engine/gl_surface.h"
#include "engine/saver_state.h"
#include "engine/timer_resolution.h"
#include "engine/view.h"
#include "host/close_policy.h"
#include "settings/settings_store.h"

// Data: the one saver window's, all written when it is created
static int32_t clientWidth;   // pixels, at creation; later size changes are not followed
static int32_t clientHeight;
static GlSurface surface;

uint32_t FramePeriod(uint32_t tempo)
{
    const double seconds = (1000.0 - static_cast<double>(tempo)) / 1000.0;
    const auto milliseconds = static_cast<int64_t>(seconds * 1000.0);
    const auto period = static_cast<uint32_t>(static_cast<uint64_t>(milliseconds));
    return period == 0 ? 1 : period;
}

// Settings, surface, view, frame timer and a finer system timer for short periods; nothing is
// checked, so the window is always created.
static LRESULT OnCreate(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    clientWidth = client.right;
    clientHeight = client.bottom;
    currentSettings = LoadSaverSettings();
    CreateGlSurface(window, surface);
    SetUpView(clientWidth, clientHeight);
    const uint32_t period = FramePeriod(currentSettings.Tempo);
    SetTimer(window, FrameTimerId, period, nullptr);
    RaiseTimerResolution(period);
    return 0;
}

// Every timer message draws a frame, whatever its identifier.
static LRESULT OnTimer()
{
    FrameStep(surface.deviceContext, currentSettings.Density, currentSettings.Size);
    return 0;
}

// Stops the frames and gives the surface back.
static LRESULT OnDestroy(HWND window)
{
    KillTimer(window, FrameTimerId);
    RestoreTimerResolution();
    ReleaseGlSurface(window, surface.deviceContext, surface.renderingContext);
    return 0;
}

LRESULT CALLBACK SaverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:  return OnCreate(window);
    case WM_TIMER:   return OnTimer();
    case WM_DESTROY: return OnDestroy(window);
    default:         return DefaultSaverProcedure(window, message, wParam, lParam);
    }
}
