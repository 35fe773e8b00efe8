#pragma once
// Test support: a current OpenGL context with a colour buffer of a given size, and pixel read-back.
// On Linux it is a headless OSMesa context; under Wine a real visible window with its own WGL context.
#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <GL/osmesa.h>
#endif
#include <GL/gl.h>

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

bool operator==(Rgb a, Rgb b);
bool operator!=(Rgb a, Rgb b);

class GlTestContext {
public:
    GlTestContext(int32_t width, int32_t height);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool current() const;
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
#ifdef _WIN32
    HWND window() const { return window_; }
    HDC deviceContext() const { return deviceContext_; }
#endif

private:
    int32_t width_;
    int32_t height_;
#ifdef _WIN32
    HWND window_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC renderingContext_ = nullptr;
#else
    OSMesaContext context_ = nullptr;
    std::vector<uint8_t> buffer_;
#endif
};

// The whole colour buffer of the current context, row 0 at the bottom, from the given buffer
// (0: the one being drawn into).
std::vector<Rgb> ReadPixels(int32_t width, int32_t height, GLenum buffer = 0);
Rgb PixelAt(const std::vector<Rgb>& pixels, int32_t width, int32_t x, int32_t y);
// A colour as the 8-bit frame buffer holds it.
Rgb ToRgb(float red, float green, float blue);
