#pragma once
// Many frames in a row with drawing off (see counting_gl.h), watching the field, its memory and the
// calls every frame makes.
#include <cstdint>

struct LongRunReport {
    uint32_t smallestField = UINT32_MAX;  // after every frame of the run
    uint32_t largestField = 0;
    uint32_t capacityBefore = 0;  // of the field's storage
    uint32_t capacityAfter = 0;
    int64_t residentBytesBefore = 0;  // of the whole process
    int64_t residentBytesAfter = 0;
    int64_t framesWithWrongCalls = 0;  // not one begin, end, colour and vertex per seed, or unbalanced
    int64_t skippedSeeds = 0;          // frames whose newest seed is not the one of spiralAngle
    double spiralAngleAfter = 0.0;
    double newestSeedError = 0.0;  // largest distance of the 1000 newest seeds from where they belong
    double newestTurnError = 0.0;  // largest difference of their successive turns from the golden angle
    bool lastPointIsNewestSeed = false;
};

// Runs frames at density on the field as it stands (see also BuildSteadyField) and reports.
LongRunReport RunFrames(uint32_t density, int64_t frames);
