#pragma once
// One timer tick of the animation: a new seed, every seed advanced and drawn, the far ones removed,
// and every 100th frame perhaps a new colour scheme.
#include <cstdint>

class Seed;

// Frames since the last scheme-change attempt, which comes when this reaches this count.
constexpr int32_t SchemeChangeFrames = 100;

// Seeds move out along both axes on the same scale, so the spiral is round in view units.
constexpr int32_t SeedScale = 300;

// Twice the visible half-extents, bounds included; a coordinate that is not a number fails.
bool InBounds(const Seed& seed);

extern double spiralAngle;     // direction of the newest seed, never reduced modulo a full turn
extern int32_t frameCounter;   // 0..99 between frames

// The frame without presenting it: clear, grow, advance, draw, prune, scheme attempt, glFinish.
// Needs a current GL context with the model-view matrix current; leaves the matrix stack as it found it.
void DrawFrame(uint32_t density, uint32_t size);

#ifdef _WIN32
#include <windows.h>
// DrawFrame, then the buffer swap on the saver window's device context.
void FrameStep(HDC deviceContext, uint32_t density, uint32_t size);
#endif
