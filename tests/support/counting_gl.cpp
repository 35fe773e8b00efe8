#include "support/counting_gl.h"

#include <GL/gl.h>

// Data
GlCallCounts glCalls;

extern "C" {

void GLAPIENTRY glClear(GLbitfield) {}
void GLAPIENTRY glPushMatrix()
{
    ++glCalls.pushes;
}
void GLAPIENTRY glPopMatrix()
{
    ++glCalls.pops;
}
void GLAPIENTRY glPointSize(GLfloat) {}
void GLAPIENTRY glColor3f(GLfloat, GLfloat, GLfloat)
{
    ++glCalls.colors;
}
void GLAPIENTRY glBegin(GLenum)
{
    ++glCalls.begins;
}
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    ++glCalls.vertices;
    glCalls.lastX = x;
    glCalls.lastY = y;
    glCalls.lastZ = z;
}
void GLAPIENTRY glEnd()
{
    ++glCalls.ends;
}
void GLAPIENTRY glFinish() {}

}  // extern "C"
