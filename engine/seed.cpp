#include "engine/seed.h"

#include <GL/gl.h>

#include <cmath>

void Seed::reset()
{
    age_ = 0;
    x_ = 0.0;
    y_ = 0.0;
    z_ = 0.0;
}

void Seed::setAngle(double newAngle)
{
    angle_ = newAngle;
    cosine_ = std::cos(newAngle);
    sine_ = std::sin(newAngle);
}

void Seed::setColor(ColorRGB color)
{
    red_ = color.red;
    green_ = color.green;
    blue_ = color.blue;
}

void Seed::advance(double step, int32_t scaleX, int32_t scaleY)
{
    ++age_;
    const double r = std::sqrt(static_cast<double>(age_) * step);
    const double alongX = r * cosine_;
    const double alongY = r * sine_;
    x_ = static_cast<double>(scaleX) * alongX;
    y_ = static_cast<double>(scaleY) * alongY;
}

void Seed::draw() const
{
    glColor3f(red_, green_, blue_);
    glBegin(GL_POINTS);
    glVertex3d(x_, y_, z_);
    glEnd();
}
