#pragma once
// The saver window's device context with the OpenGL rendering context made on it.
#include <windows.h>

struct GlSurface {
    HDC deviceContext;        // the window's own (CS_OWNDC) context, from GetDC
    HGLRC renderingContext;   // current on the window's thread while the saver runs
};

// Double-buffered RGBA with 24 colour bits; everything else, PFD_DRAW_TO_WINDOW included, left 0.
PIXELFORMATDESCRIPTOR SurfacePixelFormatRequest();
// Loads the system's OpenGL, gets the device context, sets the pixel format, creates the rendering
// context and makes it current. No step is checked: without a context the saver just shows no picture.
void CreateGlSurface(HWND window, GlSurface& surface);
// Detaches and deletes the rendering context, then releases the device context; failures are ignored.
void ReleaseGlSurface(HWND window, HDC deviceContext, HGLRC renderingContext);
