#pragma once
// Drawing off: a program that links counting_gl.cpp gets these definitions of the OpenGL calls a
// frame makes instead of the library's. They draw nothing; they count the points and keep the last one.
#include <cstdint>

struct GlCallCounts {
    int64_t begins = 0;
    int64_t ends = 0;
    int64_t vertices = 0;
    int64_t colors = 0;
    int64_t pushes = 0;
    int64_t pops = 0;
    double lastX = 0.0;
    double lastY = 0.0;
    double lastZ = 0.0;
};

extern GlCallCounts glCalls;
