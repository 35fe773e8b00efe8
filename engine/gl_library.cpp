#include "engine/gl_library.h"

#include "host/system_library.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

// Every entry the saver calls, as X(library, result, name, parameters, arguments).
#define TESSALINE_GL_ENTRIES(X)                                                                        \
    X(openGl, void, glBegin, (GLenum mode), (mode))                                                    \
    X(openGl, void, glBlendFunc, (GLenum source, GLenum target), (source, target))                     \
    X(openGl, void, glClear, (GLbitfield mask), (mask))                                                \
    X(openGl, void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))      \
    X(openGl, void, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))                           \
    X(openGl, void, glEnable, (GLenum capability), (capability))                                       \
    X(openGl, void, glEnd, (), ())                                                                     \
    X(openGl, void, glFinish, (), ())                                                                  \
    X(openGl, void, glLoadIdentity, (), ())                                                            \
    X(openGl, void, glMatrixMode, (GLenum mode), (mode))                                               \
    X(openGl, void, glOrtho,                                                                           \
      (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))    \
    X(openGl, void, glPointSize, (GLfloat size), (size))                                               \
    X(openGl, void, glPolygonMode, (GLenum face, GLenum mode), (face, mode))                           \
    X(openGl, void, glPopMatrix, (), ())                                                               \
    X(openGl, void, glPushMatrix, (), ())                                                              \
    X(openGl, void, glShadeModel, (GLenum mode), (mode))                                               \
    X(openGl, void, glVertex3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))                       \
    X(openGl, void, glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))                \
    X(openGl, HGLRC, wglCreateContext, (HDC dc), (dc))                                                 \
    X(openGl, BOOL, wglDeleteContext, (HGLRC context), (context))                                      \
    X(openGl, BOOL, wglMakeCurrent, (HDC dc, HGLRC context), (dc, context))                            \
    X(glu, void, gluLookAt,                                                                            \
      (GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,                \
       GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ),                                    \
      (eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ))

namespace {

// Data: the entries found, null until loaded and where missing
#define TESSALINE_ENTRY_POINTER(library, result, name, parameters, arguments) result(APIENTRY* name) parameters;
struct Entries {
    TESSALINE_GL_ENTRIES(TESSALINE_ENTRY_POINTER)
} entries = {};
bool loadAttempted = false;

}  // namespace

void LoadSystemOpenGl()
{
    if (loadAttempted)
        return;
    loadAttempted = true;
    HMODULE openGl = LoadSystemLibrary("OPENGL32.DLL");
    HMODULE glu = openGl != nullptr ? LoadSystemLibrary("GLU32.DLL") : nullptr;
#define TESSALINE_FIND_ENTRY(library, result, name, parameters, arguments) \
    if (library != nullptr)                                                 \
        entries.name = FindLibraryEntry<decltype(entries.name)>(library, #name);
    TESSALINE_GL_ENTRIES(TESSALINE_FIND_ENTRY)
}

// The functions themselves, in place of the import libraries' stubs.
#define TESSALINE_DEFINE_ENTRY(library, result, name, parameters, arguments) \
    extern "C" result APIENTRY name parameters                             \
    {                                                                      \
        LoadSystemOpenGl();                                                \
        return entries.name ? entries.name arguments : result();           \
    }
TESSALINE_GL_ENTRIES(TESSALINE_DEFINE_ENTRY)
