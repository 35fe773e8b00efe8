#include "engine/gl_surface.h"

#include "engine/gl_library.h"

namespace {

constexpr BYTE RequestedColorBits = 24;

}  // namespace

PIXELFORMATDESCRIPTOR SurfacePixelFormatRequest()
{
    PIXELFORMATDESCRIPTOR request;
    ZeroMemory(&request, sizeof request);
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = RequestedColorBits;
    return request;
}

void CreateGlSurface(HWND window, GlSurface& surface)
{
    LoadSystemOpenGl();
    const PIXELFORMATDESCRIPTOR request = SurfacePixelFormatRequest();
    surface.deviceContext = GetDC(window);
    const int format = ChoosePixelFormat(surface.deviceContext, &request);
    SetPixelFormat(surface.deviceContext, format, &request);
    surface.renderingContext = wglCreateContext(surface.deviceContext);
    wglMakeCurrent(surface.deviceContext, surface.renderingContext);
}

void ReleaseGlSurface(HWND window, HDC deviceContext, HGLRC renderingContext)
{
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderingContext);
    ReleaseDC(window, deviceContext);
}
