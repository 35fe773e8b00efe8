#pragma once
// The seed field rebuilt as the frame step leaves it after a given number of frames from an empty
// start, without running those frames: a seed's position depends only on its age and direction, and
// its distance only grows, so the live seeds are those still in bounds at their present age.
#include <cstdint>

// Frames after which every seed born in the first frame has gone, whatever its direction.
uint32_t SettledFrames(uint32_t density);

// Sets spiralAngle by the same additions the frames make and fills the field with the live seeds in
// birth order. Colours come from the current scheme by field index, which the real run may assign
// differently once seeds are being removed; positions, ages and directions are exact.
void BuildSteadyField(uint32_t density, uint32_t frames);
