#include "engine/view.h"

#include "engine/saver_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Depth range around the drawing plane z = 0, seen from the eye at z = 50.
constexpr double NearPlane = 25.0;
constexpr double FarPlane = 75.0;
constexpr double EyeDistance = 50.0;

void SetProjection()
{
    const int32_t right = ViewWidth / 2;
    const int32_t top = ViewHeight / 2;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(static_cast<double>(-right), static_cast<double>(right), static_cast<double>(-top),
            static_cast<double>(top), NearPlane, FarPlane);
}

void SetCamera()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, EyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void SetDrawingState()
{
    glClearColor(ClearGrey, ClearGrey, ClearGrey, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    // Smoothing is left at its default (off) otherwise, never switched off explicitly.
    if (currentSettings.Antialias != 0)
        glEnable(GL_POINT_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor3f(0.0f, 0.0f, 0.0f);
}

}  // namespace

void SetUpView(int32_t clientWidth, int32_t clientHeight)
{
    glViewport(0, 0, clientWidth, clientHeight);
    SetProjection();
    SetCamera();
    SetDrawingState();
}
