#include "bench/bench_cases.h"

#include "bench/steady_field.h"
#include "engine/color_scheme.h"
#include "engine/frame_step.h"
#include "engine/seed.h"
#include "engine/view.h"

#include <GL/gl.h>

#include <cmath>

void PrepareSteadyState(uint32_t density)
{
    currentScheme = ColorScheme(Cycle, 5);
    frameCounter = 0;
    BuildSteadyField(density, SettledFrames(density));
    SetUpView(BenchWidth, BenchHeight);
}

void DrawSteadyFrame(uint32_t density)
{
    DrawFrame(density, BenchSize);
}

double CpuFloor(uint32_t density)
{
    const double step = 1.0 / static_cast<double>(density);
    double sum = 0.0;
    for (uint32_t i = 0; i < seedField.size(); ++i) {
        const Seed& seed = seedField[i];
        const double r = std::sqrt(static_cast<double>(seed.age() + 1) * step);
        sum += r * std::cos(seed.angle()) + r * std::sin(seed.angle());
    }
    return sum;
}

void GlFloor::capture()
{
    positions_.clear();
    colors_.clear();
    for (uint32_t i = 0; i < seedField.size(); ++i) {
        const Seed& seed = seedField[i];
        positions_.insert(positions_.end(), {seed.x(), seed.y(), seed.z()});
        const ColorRGB color = seed.color();
        colors_.insert(colors_.end(), {color.red, color.green, color.blue});
    }
}

void GlFloor::draw() const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(static_cast<float>(BenchSize));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_DOUBLE, 0, positions_.data());
    glColorPointer(3, GL_FLOAT, 0, colors_.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glFinish();
}

void GlFloor::drawEachPoint() const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(static_cast<float>(BenchSize));
    for (uint32_t i = 0; i < points(); ++i) {
        glColor3f(colors_[3 * i], colors_[3 * i + 1], colors_[3 * i + 2]);
        glBegin(GL_POINTS);
        glVertex3d(positions_[3 * i], positions_[3 * i + 1], positions_[3 * i + 2]);
        glEnd();
    }
    glFinish();
}
