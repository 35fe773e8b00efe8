#include "engine/color_scheme.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

std::time_t fakeSecond = 0;
std::time_t FakeClock()
{
    return fakeSecond;
}

std::vector<PackedColor> ColorsOf(const ColorScheme& scheme)
{
    std::vector<PackedColor> colors;
    for (uint32_t i = 0; i < scheme.colors.size(); ++i)
        colors.push_back(scheme.colors[i]);
    return colors;
}

class ColorSchemeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        calendarClock = SystemCalendarTime;
        SetAllocationLimit(UnlimitedAllocations);
    }
};

}  // namespace

// The scheme made at program start, looked at before any case here replaces it: a complete scheme
// from makeRandomScheme in one of the last minutes, never the empty default, which would colour
// every seed black.
TEST_F(ColorSchemeTest, TheStartUpSchemeIsAMadeRandomScheme)
{
    const ColorScheme startUp = currentScheme;
    ASSERT_TRUE(startUp.complete());
    ASSERT_GE(startUp.colors.size(), 1u) << "an empty scheme";
    calendarClock = FakeClock;
    bool made = false;
    const std::time_t now = std::time(nullptr);
    for (fakeSecond = now; fakeSecond > now - 600 && !made; --fakeSecond)
        made = makeRandomScheme() == startUp;
    EXPECT_TRUE(made) << "no second of the last ten minutes makes this scheme";
}

TEST_F(ColorSchemeTest, ConstructorDrawsOneRandomColourPerEntryInOrder)
{
    std::srand(4242);
    std::vector<PackedColor> expected;
    for (int i = 0; i < 6; ++i)
        expected.push_back(randomPaletteColor());
    std::srand(4242);
    const ColorScheme scheme(Cycle, 6);
    EXPECT_EQ(scheme.mode, Cycle);
    EXPECT_EQ(ColorsOf(scheme), expected);
    EXPECT_TRUE(scheme.complete());
    EXPECT_EQ(ColorScheme(Single, 0).colors.size(), 0u);
}

TEST_F(ColorSchemeTest, ColorForFollowsTheMode)
{
    ColorScheme cycle(Cycle, 3);
    const PackedColor entries[] = {0xC287B8, 0x0083D5, 0x1F1AB1};
    for (uint32_t i = 0; i < 3; ++i)
        cycle.colors[i] = entries[i];
    for (uint32_t index = 0; index < 12; ++index)
        EXPECT_EQ(cycle.colorFor(index), entries[index % 3]) << "Cycle index " << index;
    EXPECT_EQ(cycle.colorFor(3 * 100000 + 2), entries[2]);
    EXPECT_EQ(cycle.colorFor(4294967295u), entries[4294967295u % 3]) << "the largest index";

    ColorScheme single(Single, 1);
    single.colors[0] = 0x79BBD0;
    for (uint32_t index : {0u, 1u, 2u, 81500u, 4294967295u})
        EXPECT_EQ(single.colorFor(index), 0x79BBD0u) << "Single index " << index;

    // Random ignores its colours and makes one rand call per colour asked for.
    ColorScheme random(Random, 1);
    random.colors[0] = 0x79BBD0;
    std::srand(99);
    std::vector<PackedColor> expected;
    for (int i = 0; i < 20; ++i)
        expected.push_back(randomPaletteColor());
    std::srand(99);
    for (uint32_t i = 0; i < 20; ++i)
        EXPECT_EQ(random.colorFor(0), expected[i]) << "Random draw " << i;
}

TEST_F(ColorSchemeTest, RandomSchemesReseedFromTheClock)
{
    calendarClock = FakeClock;
    int singles = 0;
    int cycles = 0;
    for (fakeSecond = 1700000000; fakeSecond < 1700000200; ++fakeSecond) {
        // The rand order after the reseed: mode, count (Cycle only), one per colour.
        std::srand(static_cast<unsigned>(fakeSecond));
        const int mode = std::rand() % 2;
        const int count = mode == Cycle ? std::rand() % 7 + 2 : 1;
        std::vector<PackedColor> colors;
        for (int i = 0; i < count; ++i)
            colors.push_back(randomPaletteColor());

        std::srand(1);  // whatever came before, the scheme reseeds
        const ColorScheme scheme = makeRandomScheme();
        ASSERT_EQ(scheme.mode, mode) << "second " << fakeSecond;
        ASSERT_EQ(ColorsOf(scheme), colors) << "second " << fakeSecond;
        EXPECT_TRUE(scheme == makeRandomScheme()) << "same second, same scheme: " << fakeSecond;
        (scheme.mode == Single ? singles : cycles) += 1;
        EXPECT_GE(scheme.colors.size(), scheme.mode == Single ? 1u : 2u);
        EXPECT_LE(scheme.colors.size(), scheme.mode == Single ? 1u : 8u);
    }
    EXPECT_GT(singles, 50);
    EXPECT_GT(cycles, 50);

    // With the real clock: two schemes made within one calendar second are equal.
    calendarClock = SystemCalendarTime;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const ColorScheme first = makeRandomScheme();
        const ColorScheme second = makeRandomScheme();
        if (std::time(nullptr) != before)
            continue;
        EXPECT_TRUE(first == second);
        break;
    }
}

TEST_F(ColorSchemeTest, CopiesAndAssignmentsAreDeep)
{
    ColorScheme original(Cycle, 4);
    for (uint32_t i = 0; i < 4; ++i)
        original.colors[i] = 0x101010 * (i + 1);
    const ColorScheme copy(original);
    ColorScheme assigned(Single, 1);
    assigned = original;
    original.colors[0] = 0xFFFFFF;
    original.mode = Single;
    for (const ColorScheme* scheme : {&copy, static_cast<const ColorScheme*>(&assigned)}) {
        EXPECT_EQ(scheme->mode, Cycle);
        EXPECT_EQ(ColorsOf(*scheme), (std::vector<PackedColor>{0x101010, 0x202020, 0x303030, 0x404040}));
    }
    EXPECT_TRUE(copy == assigned);
    EXPECT_FALSE(copy == original);
}

TEST_F(ColorSchemeTest, ShortOfMemoryASchemeIsIncompleteAndAnAssignmentKeepsTheOldValue)
{
    ColorScheme kept(Cycle, 2);
    kept.colors[0] = 0x0083D5;
    kept.colors[1] = 0x1F1AB1;
    const ColorScheme other(Single, 1);

    SetAllocationLimit(0);
    const ColorScheme starved(Cycle, 5);
    EXPECT_FALSE(starved.complete());
    EXPECT_EQ(starved.colors.size(), 0u);
    EXPECT_EQ(starved.colorFor(3), 0x000000u) << "an empty scheme still answers";
    kept = other;
    EXPECT_EQ(kept.mode, Cycle) << "the failed assignment changed the mode";
    EXPECT_EQ(ColorsOf(kept), (std::vector<PackedColor>{0x0083D5, 0x1F1AB1}));
    const ColorScheme copy(kept);
    EXPECT_FALSE(copy.complete());

    SetAllocationLimit(UnlimitedAllocations);
    kept = other;
    EXPECT_TRUE(kept == other);
}
