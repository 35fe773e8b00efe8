#include "engine/seed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

Seed MadeSeed(double angle, ColorRGB color = {0.25f, 0.5f, 0.75f})
{
    Seed seed;
    seed.reset();
    seed.setAngle(angle);
    seed.setColor(color);
    return seed;
}

std::vector<double> AnglesOf(const SeedField& field)
{
    std::vector<double> angles;
    for (uint32_t i = 0; i < field.size(); ++i)
        angles.push_back(field[i].angle());
    return angles;
}

class SeedFieldTest : public ::testing::Test {
protected:
    void SetUp() override { seedField.clear(); }
    void TearDown() override
    {
        SetAllocationLimit(UnlimitedAllocations);
        seedField.clear();
    }
};

}  // namespace

TEST(Seed, GoldenAngleUsesTheShortTwoPi)
{
    EXPECT_EQ(goldenAngle, 3.8832220730137053);
    EXPECT_EQ(goldenAngle, (std::sqrt(5.0) - 1.0) / 2.0 * 6.2831853);
    EXPECT_LT(goldenAngle, (std::sqrt(5.0) - 1.0) * 3.14159265358979323846);
}

TEST(Seed, ResetZeroesAgeAndPositionButKeepsAngleAndColour)
{
    Seed seed = MadeSeed(2.5, {0.1f, 0.2f, 0.3f});
    EXPECT_EQ(seed.age(), 0);
    EXPECT_EQ(seed.x(), 0.0);
    EXPECT_EQ(seed.y(), 0.0);
    EXPECT_EQ(seed.z(), 0.0);
    for (int i = 0; i < 7; ++i)
        seed.advance(0.01, 300, 300);
    ASSERT_EQ(seed.age(), 7);
    ASSERT_NE(seed.x(), 0.0);
    seed.reset();
    EXPECT_EQ(seed.age(), 0);
    EXPECT_EQ(seed.x(), 0.0);
    EXPECT_EQ(seed.y(), 0.0);
    EXPECT_EQ(seed.angle(), 2.5);
    EXPECT_EQ(seed.color().red, 0.1f);
    EXPECT_EQ(seed.color().green, 0.2f);
    EXPECT_EQ(seed.color().blue, 0.3f);
}

TEST(Seed, AdvanceMovesOutWithTheSquareRootOfAge)
{
    Seed slow = MadeSeed(goldenAngle);
    slow.advance(1.0 / 20000, 300, 300);
    EXPECT_EQ(slow.age(), 1);
    EXPECT_NEAR(slow.x(), -1.5641956, 1e-7);
    EXPECT_NEAR(slow.y(), -1.4329313, 1e-7);

    Seed fast = MadeSeed(goldenAngle);
    fast.advance(1.0, 300, 300);
    EXPECT_NEAR(fast.x(), -221.2107, 1e-4);
    EXPECT_NEAR(fast.y(), -202.6471, 1e-4);
    for (int i = 0; i < 3; ++i)
        fast.advance(1.0, 300, 300);
    EXPECT_EQ(fast.age(), 4);
    EXPECT_NEAR(fast.x(), -442.4213, 1e-4);
    EXPECT_NEAR(fast.y(), -405.2942, 1e-4);
    EXPECT_EQ(fast.z(), 0.0);

    // The scales apply per axis, and the position is recomputed, not accumulated.
    Seed stretched = MadeSeed(0.7);
    for (int i = 0; i < 1000; ++i)
        stretched.advance(0.001, 300, 240);
    EXPECT_DOUBLE_EQ(stretched.x(), 300.0 * std::cos(0.7));
    EXPECT_DOUBLE_EQ(stretched.y(), 240.0 * std::sin(0.7));
    EXPECT_EQ(stretched.z(), 0.0);

    // Angles after long runs go to cos and sin as they are.
    volatile double windings = 5000000.123;  // cos and sin of the library at run time, not folded
    Seed wound = MadeSeed(windings);
    wound.advance(0.25, 300, 300);
    EXPECT_EQ(wound.x(), 300.0 * (0.5 * std::cos(windings)));
    EXPECT_EQ(wound.y(), 300.0 * (0.5 * std::sin(windings)));
}

TEST_F(SeedFieldTest, KeepsBirthOrderThroughRemovalsAnywhere)
{
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(seedField.append(MadeSeed(i)));
    seedField.removeAt(0);
    seedField.removeAt(38);
    seedField.removeAt(10);
    std::vector<double> expected;
    for (int i = 1; i < 39; ++i)
        if (i != 11)
            expected.push_back(i);
    EXPECT_EQ(AnglesOf(seedField), expected);
    seedField[0].advance(1.0, 300, 300);
    EXPECT_EQ(seedField[0].age(), 1) << "seeds are changed in place";
}

TEST_F(SeedFieldTest, AnAppendWithoutMemoryFailsAndLeavesTheField)
{
    // Earlier cases in this process may have left a larger block: fill it first.
    uint32_t appended = 0;
    while (seedField.size() < 16 || seedField.size() != seedField.capacity())
        ASSERT_TRUE(seedField.append(MadeSeed(appended++)));

    SetAllocationLimit(0);
    EXPECT_FALSE(seedField.append(MadeSeed(-1.0)));
    EXPECT_EQ(seedField.size(), appended);
    EXPECT_EQ(seedField[appended - 1].angle(), appended - 1.0) << "the field is left as it was";
    seedField.removeAt(0);
    EXPECT_TRUE(seedField.append(MadeSeed(-2.0))) << "a freed place is used again";
    EXPECT_EQ(seedField[appended - 1].angle(), -2.0);

    SetAllocationLimit(UnlimitedAllocations);
    EXPECT_TRUE(seedField.append(MadeSeed(-3.0)));
    EXPECT_EQ(seedField.size(), appended + 1);
    EXPECT_EQ(seedField[0].angle(), 1.0);
}
