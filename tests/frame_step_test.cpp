#include "engine/frame_step.h"

#include "engine/color_scheme.h"
#include "engine/saver_state.h"
#include "engine/seed.h"
#include "engine/view.h"
#include "support/gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::time_t fakeSecond = 1;
std::time_t FakeClock()
{
    return fakeSecond;
}

constexpr PackedColor Entries[] = {0xC287B8, 0x0083D5, 0x1F1AB1};
const Rgb Grey = ToRgb(ClearGrey, ClearGrey, ClearGrey);

ColorScheme KnownCycle()
{
    ColorScheme scheme(Cycle, 3);
    for (uint32_t i = 0; i < 3; ++i)
        scheme.colors[i] = Entries[i];
    return scheme;
}

bool SameColor(ColorRGB a, ColorRGB b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

const Seed* FindSeed(double angle)
{
    for (uint32_t i = 0; i < seedField.size(); ++i)
        if (seedField[i].angle() == angle)
            return &seedField[i];
    return nullptr;
}

struct Covered {
    int count = 0;
    int left = 1 << 30, right = -1, bottom = 1 << 30, top = -1;
};

Covered NonGreyPixels(const std::vector<Rgb>& pixels)
{
    Covered covered;
    for (int y = 0; y < ViewHeight; ++y)
        for (int x = 0; x < ViewWidth; ++x)
            if (PixelAt(pixels, ViewWidth, x, y) != Grey) {
                ++covered.count;
                covered.left = std::min(covered.left, x);
                covered.right = std::max(covered.right, x);
                covered.bottom = std::min(covered.bottom, y);
                covered.top = std::max(covered.top, y);
            }
    return covered;
}

// The saver's own view in a 600 x 480 buffer, so one view unit is one pixel.
class FrameStepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.current());
        seedField.clear();
        spiralAngle = 0.0;
        frameCounter = 0;
        fakeSecond = 1;
        calendarClock = FakeClock;
        currentScheme = KnownCycle();
        currentSettings = DefaultSaverSettings;
        SetUpView(ViewWidth, ViewHeight);
    }

    void TearDown() override
    {
        calendarClock = SystemCalendarTime;
        SetAllocationLimit(UnlimitedAllocations);
        seedField.clear();
    }

    std::vector<Rgb> Pixels() { return ReadPixels(ViewWidth, ViewHeight); }

    GlTestContext context{ViewWidth, ViewHeight};
};

}  // namespace

TEST_F(FrameStepTest, FirstFrameDrawsOneSeedWhereItsPositionMaps)
{
    GLint depthBefore = 0;
    double matrixBefore[16];
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glGetDoublev(GL_MODELVIEW_MATRIX, matrixBefore);

    DrawFrame(20000, 3);

    ASSERT_EQ(seedField.size(), 1u);
    const Seed& seed = seedField[0];
    EXPECT_EQ(seed.age(), 1);
    EXPECT_EQ(seed.angle(), goldenAngle);
    EXPECT_DOUBLE_EQ(seed.x(), 300.0 * std::sqrt(1.0 / 20000) * std::cos(goldenAngle));
    EXPECT_DOUBLE_EQ(seed.y(), 300.0 * std::sqrt(1.0 / 20000) * std::sin(goldenAngle));
    EXPECT_TRUE(SameColor(seed.color(), unpackColor(Entries[0])));

    const std::vector<Rgb> pixels = Pixels();
    const int px = static_cast<int>(std::floor(seed.x() + 300));
    const int py = static_cast<int>(std::floor(seed.y() + 240));
    const Rgb expected = ToRgb(184 / 255.0f, 135 / 255.0f, 194 / 255.0f);
    EXPECT_EQ(PixelAt(pixels, ViewWidth, px, py), expected) << "seed pixel " << px << "," << py;
    EXPECT_EQ(Grey, (Rgb{223, 223, 223}));
    EXPECT_EQ(PixelAt(pixels, ViewWidth, 0, 0), Grey);
    EXPECT_EQ(PixelAt(pixels, ViewWidth, 599, 479), Grey);
    EXPECT_EQ(PixelAt(pixels, ViewWidth, 300, 245), Grey);
    const Covered covered = NonGreyPixels(pixels);
    EXPECT_EQ(covered.count, 9) << "one 3-pixel point";
    EXPECT_LE(covered.left, px);
    EXPECT_GE(covered.right, px);

    GLint depthAfter = 0;
    double matrixAfter[16];
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    glGetDoublev(GL_MODELVIEW_MATRIX, matrixAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(matrixAfter[i], matrixBefore[i]) << "model-view entry " << i;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameStepTest, PointSizeFollowsSize)
{
    DrawFrame(20000, 10);
    Covered covered = NonGreyPixels(Pixels());
    EXPECT_EQ(covered.count, 100);
    EXPECT_EQ(covered.right - covered.left + 1, 10);
    EXPECT_EQ(covered.top - covered.bottom + 1, 10);

    seedField.clear();
    DrawFrame(20000, 1);
    const Seed& seed = seedField[0];
    const std::vector<Rgb> pixels = Pixels();
    covered = NonGreyPixels(pixels);
    EXPECT_EQ(covered.count, 1);
    EXPECT_EQ(covered.left, static_cast<int>(std::floor(seed.x() + 300)));
    EXPECT_EQ(covered.bottom, static_cast<int>(std::floor(seed.y() + 240)));
    EXPECT_EQ(PixelAt(pixels, ViewWidth, covered.left, covered.bottom), ToRgb(seed.color().red, seed.color().green, seed.color().blue));
}

TEST_F(FrameStepTest, SeedsGrowInBirthOrderWithTheirIndexColours)
{
    double angle = 0.0;
    for (uint32_t frame = 1; frame <= 10; ++frame) {
        DrawFrame(20000, 3);
        angle += goldenAngle;
        ASSERT_EQ(seedField.size(), frame);
        EXPECT_EQ(spiralAngle, angle);
        EXPECT_EQ(seedField[frame - 1].angle(), angle) << "newest seed last";
    }
    for (uint32_t k = 0; k < 10; ++k) {
        EXPECT_EQ(seedField[k].age(), static_cast<int32_t>(10 - k)) << "seed " << k;
        EXPECT_TRUE(SameColor(seedField[k].color(), unpackColor(Entries[k % 3]))) << "seed " << k;
    }
}

TEST_F(FrameStepTest, DensityOneKeepsAtMostSixSeedsAndColoursByFieldSize)
{
    const double secondSeedAngle = goldenAngle + goldenAngle;
    int repeatedColours = 0;
    ColorRGB previousNewest{};
    uint32_t previousSize = 0;
    uint32_t sizeBeforeLast = 0;
    for (int frame = 1; frame <= 300; ++frame) {
        const uint32_t before = seedField.size();
        DrawFrame(1, 3);
        ASSERT_LE(seedField.size(), 6u) << "frame " << frame;
        ASSERT_GT(seedField.size(), 0u);
        const ColorRGB newest = seedField[seedField.size() - 1].color();
        EXPECT_TRUE(SameColor(newest, unpackColor(Entries[before % 3]))) << "frame " << frame;
        // One removal in the previous frame: the new seed has the same index as the one before it.
        if (frame > 2 && before == previousSize && previousSize == sizeBeforeLast) {
            EXPECT_TRUE(SameColor(newest, previousNewest)) << "frame " << frame;
            ++repeatedColours;
        }
        if (frame == 3) {
            EXPECT_NE(FindSeed(secondSeedAngle), nullptr) << "the second seed lives through frame 3";
        }
        if (frame == 4) {
            EXPECT_EQ(FindSeed(secondSeedAngle), nullptr) << "the second seed goes in frame 4";
        }
        sizeBeforeLast = previousSize;
        previousSize = before;
        previousNewest = newest;
    }
    EXPECT_GT(repeatedColours, 10);
}

TEST_F(FrameStepTest, FieldSettlesNearFourTimesDensity)
{
    constexpr uint32_t density = 20;
    for (int frame = 0; frame < 200; ++frame)
        DrawFrame(density, 1);
    double total = 0;
    constexpr int measured = 1000;
    for (int frame = 0; frame < measured; ++frame) {
        DrawFrame(density, 1);
        total += seedField.size();
    }
    EXPECT_NEAR(total / measured, 4.07 * density, 0.04 * 4.07 * density);
}

TEST_F(FrameStepTest, UnusableCoordinatesAreRemoved)
{
    // Density 0: an infinite step puts every seed at infinity and it goes at once.
    for (int frame = 0; frame < 5; ++frame) {
        DrawFrame(0, 10);
        EXPECT_EQ(seedField.size(), 0u) << "frame " << frame;
    }
    EXPECT_EQ(NonGreyPixels(Pixels()).count, 0);

    // A direction that is not a number gives coordinates that are not numbers.
    spiralAngle = std::numeric_limits<double>::quiet_NaN();
    DrawFrame(20000, 3);
    EXPECT_EQ(seedField.size(), 0u);
    spiralAngle = 0.0;
    DrawFrame(20000, 3);
    EXPECT_EQ(seedField.size(), 1u);
}

TEST_F(FrameStepTest, BoundsAreTheFullExtentsIncluded)
{
    struct Case {
        double angle;
        uint32_t density;
        int32_t age;       // when the seed reaches the bound exactly
        bool vertical;
        double bound;
    };
    const double halfTurn = 3.141592653589793;
    const Case cases[] = {
        {0.0, 1, 4, false, 600.0},
        {halfTurn, 1, 4, false, -600.0},
        {halfTurn / 2, 25, 64, true, 480.0},
        {-halfTurn / 2, 25, 64, true, -480.0},
    };
    for (const Case& c : cases) {
        SetUp();
        spiralAngle = c.angle - goldenAngle;
        for (int32_t frame = 1; frame <= c.age; ++frame)
            DrawFrame(c.density, 1);
        const Seed* seed = FindSeed(c.angle);
        ASSERT_NE(seed, nullptr) << "angle " << c.angle;
        ASSERT_EQ(seed->age(), c.age);
        ASSERT_EQ(c.vertical ? seed->y() : seed->x(), c.bound) << "angle " << c.angle;
        DrawFrame(c.density, 1);
        EXPECT_EQ(FindSeed(c.angle), nullptr) << "past the bound at angle " << c.angle;
    }
}

TEST_F(FrameStepTest, SchemeChangeIsTriedEveryHundredthFrameOnEvenSeconds)
{
    const ColorScheme known = KnownCycle();
    fakeSecond = 1700000001;
    for (int frame = 1; frame <= 100; ++frame)
        DrawFrame(100000, 1);
    EXPECT_EQ(frameCounter, 0) << "the counter starts again after an odd second";
    EXPECT_TRUE(currentScheme == known) << "odd second at frame 100";

    fakeSecond = 1700000002;
    const ColorScheme expected = makeRandomScheme();
    ASSERT_FALSE(expected == known);
    for (int frame = 101; frame <= 199; ++frame)
        DrawFrame(100000, 1);
    EXPECT_EQ(frameCounter, 99);
    EXPECT_TRUE(currentScheme == known) << "no attempt before frame 200";
    DrawFrame(100000, 1);
    EXPECT_EQ(frameCounter, 0);
    EXPECT_TRUE(currentScheme == expected) << "even second at frame 200";

    const uint32_t before = seedField.size();
    DrawFrame(100000, 1);
    EXPECT_TRUE(SameColor(seedField[before].color(), unpackColor(expected.colorFor(before))));
}

TEST_F(FrameStepTest, ShortOfMemoryAFrameSkipsItsSeedOrKeepsTheScheme)
{
    while (seedField.size() < 16 || seedField.size() != seedField.capacity())
        DrawFrame(100000, 1);
    const ColorScheme known = KnownCycle();
    const uint32_t full = seedField.size();
    const int32_t oldestAge = seedField[0].age();
    const double newestAngle = seedField[full - 1].angle();

    SetAllocationLimit(0);
    DrawFrame(100000, 1);
    EXPECT_EQ(seedField.size(), full) << "no seed without memory";
    EXPECT_EQ(seedField[0].age(), oldestAge + 1) << "the others still advance";
    EXPECT_EQ(seedField[full - 1].angle(), newestAngle);

    // A scheme that could not get its colours is not put in place.
    fakeSecond = 1700000002;
    frameCounter = SchemeChangeFrames - 1;
    DrawFrame(100000, 1);
    EXPECT_EQ(frameCounter, 0);
    EXPECT_TRUE(currentScheme == known);

    SetAllocationLimit(UnlimitedAllocations);
    DrawFrame(100000, 1);
    EXPECT_EQ(seedField.size(), full + 1);
    EXPECT_EQ(seedField[full].angle(), spiralAngle);
}
