#include "support/long_run.h"

#include "engine/frame_step.h"
#include "engine/seed.h"
#include "support/counting_gl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

int64_t ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

// Where a seed of this age and direction lies, worked out afresh.
double DistanceFromItsPlace(const Seed& seed, uint32_t density)
{
    const double r = 300.0 * std::sqrt(static_cast<double>(seed.age()) / static_cast<double>(density));
    return std::hypot(seed.x() - r * std::cos(seed.angle()), seed.y() - r * std::sin(seed.angle()));
}

// The newest seeds have ages 1, 2, 3, ... and lie where their age and direction put them.
double NewestSeedsError(uint32_t density)
{
    double worst = 0.0;
    const uint32_t size = seedField.size();
    for (uint32_t back = 0; back < std::min(size, 1000u); ++back) {
        const Seed& seed = seedField[size - 1 - back];
        worst = std::max(worst, DistanceFromItsPlace(seed, density));
        worst = std::max(worst, std::fabs(static_cast<double>(seed.age()) - (back + 1.0)));
    }
    return worst;
}

// Successive directions differ by the golden angle, up to the rounding of their growing sum.
double NewestTurnsError()
{
    double worst = 0.0;
    const uint32_t size = seedField.size();
    for (uint32_t back = 1; back < std::min(size, 1000u); ++back) {
        const double turn = seedField[size - back].angle() - seedField[size - 1 - back].angle();
        worst = std::max(worst, std::fabs(turn - goldenAngle));
    }
    return worst;
}

}  // namespace

LongRunReport RunFrames(uint32_t density, int64_t frames)
{
    LongRunReport report;
    report.capacityBefore = seedField.capacity();
    report.residentBytesBefore = ResidentBytes();
    for (int64_t frame = 0; frame < frames; ++frame) {
        const GlCallCounts before = glCalls;
        const int64_t drawn = static_cast<int64_t>(seedField.size()) + 1;
        DrawFrame(density, 3);
        const GlCallCounts& after = glCalls;
        if (after.begins - before.begins != drawn || after.ends - before.ends != drawn ||
            after.vertices - before.vertices != drawn || after.colors - before.colors != drawn ||
            after.pushes - before.pushes != 1 || after.pops - before.pops != 1)
            ++report.framesWithWrongCalls;
        if (seedField.size() == 0 || seedField[seedField.size() - 1].angle() != spiralAngle)
            ++report.skippedSeeds;
        report.smallestField = std::min(report.smallestField, seedField.size());
        report.largestField = std::max(report.largestField, seedField.size());
    }
    report.capacityAfter = seedField.capacity();
    report.residentBytesAfter = ResidentBytes();
    report.spiralAngleAfter = spiralAngle;
    report.newestSeedError = NewestSeedsError(density);
    report.newestTurnError = NewestTurnsError();
    const Seed& newest = seedField[seedField.size() - 1];
    report.lastPointIsNewestSeed = glCalls.lastX == newest.x() && glCalls.lastY == newest.y() && glCalls.lastZ == 0.0;
    return report;
}
