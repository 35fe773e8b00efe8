// Test stand-in for the platform's "OPENGL32.DLL" in which one entry faults. In the system folder, with
// a native override, the saver loads it as its OpenGL; the entry that TESSALINE_OPENGL_FAULT names
// (glFinish, the first frame's, by default; wglChoosePixelFormat, wglCreateContext or wglDeleteContext)
// writes through a null pointer: a real fault inside the real saver, as a bad driver's. Before that it
// appends "running <0|1>" to the file named by TESSALINE_OPENGL_RECORD: whether the system was told, at
// that moment, that a screen saver runs.
#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HGLRC const Context = reinterpret_cast<HGLRC>(1);

void RecordScreenSaverRunning()
{
    const char* path = std::getenv("TESSALINE_OPENGL_RECORD");
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    if (path != nullptr)
        if (std::FILE* record = std::fopen(path, "a")) {
            std::fprintf(record, "running %d\n", running ? 1 : 0);
            std::fclose(record);
        }
}

void WriteThroughNullPointer()
{
    volatile uintptr_t address = 0;
    *reinterpret_cast<volatile int*>(address) = 1;
}

void FaultIfChosen(const char* entry)
{
    const char* chosen = std::getenv("TESSALINE_OPENGL_FAULT");
    if (std::strcmp(chosen != nullptr ? chosen : "glFinish", entry) != 0)
        return;
    RecordScreenSaverRunning();
    WriteThroughNullPointer();
}

}  // namespace

extern "C" {

// The GDI hands pixel formats and buffer swaps to OpenGL.
int WINAPI wglChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR*) { FaultIfChosen("wglChoosePixelFormat"); return 1; }
BOOL WINAPI wglSetPixelFormat(HDC, int, const PIXELFORMATDESCRIPTOR*) { return TRUE; }
int WINAPI wglDescribePixelFormat(HDC, int, UINT, PIXELFORMATDESCRIPTOR*) { return 1; }
int WINAPI wglGetPixelFormat(HDC) { return 1; }
BOOL WINAPI wglSwapBuffers(HDC) { return TRUE; }
HGLRC WINAPI wglCreateContext(HDC) { FaultIfChosen("wglCreateContext"); return Context; }
BOOL WINAPI wglDeleteContext(HGLRC) { FaultIfChosen("wglDeleteContext"); return TRUE; }
BOOL WINAPI wglMakeCurrent(HDC, HGLRC) { return TRUE; }

void APIENTRY glBegin(GLenum) {}
void APIENTRY glBlendFunc(GLenum, GLenum) {}
void APIENTRY glClear(GLbitfield) {}
void APIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void APIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glEnable(GLenum) {}
void APIENTRY glEnd() {}
void APIENTRY glLoadIdentity() {}
void APIENTRY glMatrixMode(GLenum) {}
void APIENTRY glMultMatrixf(const GLfloat*) {}  // GLU's gluLookAt calls these two
void APIENTRY glTranslated(GLdouble, GLdouble, GLdouble) {}
void APIENTRY glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void APIENTRY glPointSize(GLfloat) {}
void APIENTRY glPolygonMode(GLenum, GLenum) {}
void APIENTRY glPopMatrix() {}
void APIENTRY glPushMatrix() {}
void APIENTRY glShadeModel(GLenum) {}
void APIENTRY glVertex3d(GLdouble, GLdouble, GLdouble) {}
void APIENTRY glViewport(GLint, GLint, GLsizei, GLsizei) {}

void APIENTRY glFinish() { FaultIfChosen("glFinish"); }

}  // extern "C"
