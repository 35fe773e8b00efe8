// Hours of saver time with drawing off: the field settles and stays near four times the density,
// its memory stays as it is, and the newest seeds keep their places on the spiral.
#include "bench/steady_field.h"
#include "engine/color_scheme.h"
#include "engine/frame_step.h"
#include "engine/seed.h"
#include "support/counting_gl.h"
#include "support/long_run.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::time_t oddSecond()
{
    return 1;
}

class LongRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        seedField.clear();
        spiralAngle = 0.0;
        frameCounter = 0;
        currentScheme = ColorScheme(Cycle, 5);
    }
    void TearDown() override
    {
        calendarClock = SystemCalendarTime;
        SetAllocationLimit(UnlimitedAllocations);
        seedField.clear();
    }
};

struct Placed {
    double angle;
    int32_t age;
    double x;
    double y;
};

std::vector<Placed> FieldNow()
{
    std::vector<Placed> seeds;
    for (uint32_t i = 0; i < seedField.size(); ++i)
        seeds.push_back({seedField[i].angle(), seedField[i].age(), seedField[i].x(), seedField[i].y()});
    return seeds;
}

void ExpectSettled(const LongRunReport& report, uint32_t density)
{
    EXPECT_GE(report.smallestField, 4.0 * density);
    EXPECT_LE(report.largestField, 4.15 * density);
    EXPECT_EQ(report.capacityAfter, report.capacityBefore) << "the field's storage grew";
    EXPECT_LT(report.residentBytesAfter - report.residentBytesBefore, 4 << 20) << "the process grew";
    EXPECT_EQ(report.framesWithWrongCalls, 0) << "frames without one point per seed";
    EXPECT_EQ(report.skippedSeeds, 0);
    EXPECT_LT(report.newestSeedError, 1e-9) << "newest seeds off the spiral";
    // The sum's rounding: a few units in the last place of millions of radians.
    EXPECT_LT(report.newestTurnError, 1e-8) << "directions not a golden angle apart";
    EXPECT_TRUE(report.lastPointIsNewestSeed);
}

}  // namespace

// The benchmarks and the runs below start from a rebuilt field; it must be the one real frames leave.
TEST_F(LongRun, RebuiltFieldIsTheFieldRealFramesLeave)
{
    constexpr uint32_t Density = 1000;
    constexpr uint32_t Frames = 15000;
    RunFrames(Density, Frames);
    const std::vector<Placed> real = FieldNow();
    const double realAngle = spiralAngle;

    BuildSteadyField(Density, Frames);
    const std::vector<Placed> rebuilt = FieldNow();
    EXPECT_EQ(spiralAngle, realAngle);
    ASSERT_EQ(rebuilt.size(), real.size());
    for (std::size_t i = 0; i < real.size(); ++i) {
        ASSERT_EQ(rebuilt[i].angle, real[i].angle) << "seed " << i;
        ASSERT_EQ(rebuilt[i].age, real[i].age) << "seed " << i;
        ASSERT_EQ(rebuilt[i].x, real[i].x) << "seed " << i;
        ASSERT_EQ(rebuilt[i].y, real[i].y) << "seed " << i;
    }
}

// 100,000 frames from an empty field: about 17 minutes of saver time at the default rate.
TEST_F(LongRun, HundredThousandFramesFromTheStart)
{
    constexpr uint32_t Density = 1000;
    RunFrames(Density, SettledFrames(Density));
    const LongRunReport report = RunFrames(Density, 100000 - SettledFrames(Density));
    ExpectSettled(report, Density);
    EXPECT_GT(report.spiralAngleAfter, 388000.0) << "not 100,000 frames";
}

// Two million frames in (more than five hours at the default rate) the angle is in the millions of
// radians. Once settled, no frame allocates: with every allocation refused and the scheme left alone,
// each frame still gets its seed.
TEST_F(LongRun, TwoMillionFramesInTheSpiralStillHolds)
{
    constexpr uint32_t Density = 2000;
    BuildSteadyField(Density, 2000000 - 20000);
    RunFrames(Density, 10000);
    calendarClock = oddSecond;
    SetAllocationLimit(0);
    const LongRunReport report = RunFrames(Density, 10000);
    ExpectSettled(report, Density);
    EXPECT_GT(report.spiralAngleAfter, 7.7e6);
}
