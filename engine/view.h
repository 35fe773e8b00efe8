#pragma once
// The fixed 600 x 480 view, in view units, that every window shows whatever its size.
#include <cstdint>

constexpr int32_t ViewWidth = 600;
constexpr int32_t ViewHeight = 480;

// Light grey background: the float nearest 0.8745, not 223/255.
constexpr float ClearGrey = 0.8745f;

// Viewport over the whole client area, projection, camera and drawing state, in the current context.
// Point smoothing follows the Antialias flag of currentSettings.
void SetUpView(int32_t clientWidth, int32_t clientHeight);
