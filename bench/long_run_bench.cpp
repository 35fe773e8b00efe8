// Two million frames at Density 20000, about five and a half hours of saver time, with drawing off.
// The field is rebuilt as it stands after the first 1,860,000 frames (every seed born before then has
// gone by the end); the last 140,000 frames run for real. Prints one JSON object.
#include "bench/steady_field.h"
#include "engine/color_scheme.h"
#include "engine/seed.h"
#include "support/long_run.h"

#include <chrono>
#include <cstdio>

int main()
{
    constexpr uint32_t Density = 20000;
    constexpr int64_t Frames = 2000000;
    constexpr int64_t RealFrames = 140000;
    currentScheme = ColorScheme(Cycle, 5);
    BuildSteadyField(Density, static_cast<uint32_t>(Frames - RealFrames));
    const auto start = std::chrono::steady_clock::now();
    const LongRunReport report = RunFrames(Density, RealFrames);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("{\"frames\": %lld, \"real_frames\": %lld, \"seconds\": %.1f, \"smallest_field\": %u, "
                "\"largest_field\": %u, \"capacity_before\": %u, \"capacity_after\": %u, "
                "\"resident_growth_bytes\": %lld, \"frames_with_wrong_calls\": %lld, \"skipped_seeds\": %lld, "
                "\"spiral_angle\": %.3f, \"newest_seed_error\": %.3g, \"newest_turn_error\": %.3g}\n",
                static_cast<long long>(Frames), static_cast<long long>(RealFrames), seconds, report.smallestField,
                report.largestField, report.capacityBefore, report.capacityAfter,
                static_cast<long long>(report.residentBytesAfter - report.residentBytesBefore),
                static_cast<long long>(report.framesWithWrongCalls), static_cast<long long>(report.skippedSeeds),
                report.spiralAngleAfter, report.newestSeedError, report.newestTurnError);
    const bool sound = report.smallestField >= 4.0 * Density && report.largestField <= 4.15 * Density &&
                       report.capacityAfter == report.capacityBefore && report.framesWithWrongCalls == 0 &&
                       report.skippedSeeds == 0 && report.newestSeedError < 1e-9 && report.lastPointIsNewestSeed;
    return sound ? 0 : 1;
}
