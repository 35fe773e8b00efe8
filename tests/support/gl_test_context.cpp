#include "support/gl_test_context.h"

#include <cmath>

#ifdef _WIN32
#include "support/test_window.h"
#endif

bool operator==(Rgb a, Rgb b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

bool operator!=(Rgb a, Rgb b)
{
    return !(a == b);
}

#ifdef _WIN32

GlTestContext::GlTestContext(int32_t width, int32_t height)
    : width_(width), height_(height)
{
    window_ = CreateTestWindow(width, height, DefWindowProcA);
    deviceContext_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 24;
    SetPixelFormat(deviceContext_, ChoosePixelFormat(deviceContext_, &format), &format);
    renderingContext_ = wglCreateContext(deviceContext_);
    wglMakeCurrent(deviceContext_, renderingContext_);
}

GlTestContext::~GlTestContext()
{
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderingContext_);
    ReleaseDC(window_, deviceContext_);
    DestroyWindow(window_);
}

bool GlTestContext::current() const
{
    return renderingContext_ != nullptr && wglGetCurrentContext() == renderingContext_;
}

#else

// Mesa keeps a few blocks of a destroyed context until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libOSMesa.so\nleak:libgallium\nleak:libLLVM\n";
}

GlTestContext::GlTestContext(int32_t width, int32_t height)
    : width_(width), height_(height), buffer_(static_cast<std::size_t>(width) * height * 4)
{
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (context_ != nullptr)
        OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, width, height);
}

GlTestContext::~GlTestContext()
{
    if (context_ != nullptr)
        OSMesaDestroyContext(context_);
}

bool GlTestContext::current() const
{
    return context_ != nullptr && OSMesaGetCurrentContext() == context_;
}

#endif

std::vector<Rgb> ReadPixels(int32_t width, int32_t height, GLenum buffer)
{
    GLint previous = 0;
    glGetIntegerv(GL_READ_BUFFER, &previous);
    if (buffer == 0)
        glGetIntegerv(GL_DRAW_BUFFER, reinterpret_cast<GLint*>(&buffer));
    glReadBuffer(buffer);
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glReadBuffer(static_cast<GLenum>(previous));
    return pixels;
}

Rgb PixelAt(const std::vector<Rgb>& pixels, int32_t width, int32_t x, int32_t y)
{
    return pixels[static_cast<std::size_t>(y) * width + x];
}

Rgb ToRgb(float red, float green, float blue)
{
    auto level = [](float v) { return static_cast<uint8_t>(std::lround(v * 255.0f)); };
    return {level(red), level(green), level(blue)};
}
