#include "engine/color_palette.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

TEST(ColorPalette, HoldsFortyEntriesInTheirFixedOrder)
{
    const ColorPalette palette = buildPalette();
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(palette[i], 0xFFFFFFu) << "entry " << i;
    for (int i = 7; i < 12; ++i)
        EXPECT_EQ(palette[i], 0x000000u) << "entry " << i;
    for (int i = 12; i < 17; ++i)
        EXPECT_EQ(palette[i], 0x907144u) << "entry " << i;
    uint32_t grey = 240;
    for (int i = 17; i < 33; ++i, grey -= 15)
        EXPECT_EQ(palette[i], grey * 0x010101u) << "entry " << i;
    EXPECT_EQ(palette[17], 0xF0F0F0u);
    EXPECT_EQ(palette[32], 0x0F0F0Fu);
    const PackedColor tail[] = {0xC287B8, 0xC3C904, 0xB9D8BA, 0xFF473E, 0x79BBD0, 0x0083D5, 0x1F1AB1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(palette[33 + i], tail[i]) << "entry " << 33 + i;
}

TEST(ColorPalette, UnpacksRedFromTheLowByte)
{
    const ColorRGB white = unpackColor(0xFFFFFF);
    EXPECT_EQ(white.red, 1.0f);
    EXPECT_EQ(white.green, 1.0f);
    EXPECT_EQ(white.blue, 1.0f);

    const ColorRGB steel = unpackColor(0x907144);
    EXPECT_NEAR(steel.red, 0.266667f, 1e-6);
    EXPECT_NEAR(steel.green, 0.443137f, 1e-6);
    EXPECT_NEAR(steel.blue, 0.564706f, 1e-6);

    const ColorRGB orange = unpackColor(0xFF0083D5);  // the top byte is ignored
    EXPECT_NEAR(orange.red, 0.835294f, 1e-6);
    EXPECT_NEAR(orange.green, 0.513725f, 1e-6);
    EXPECT_EQ(orange.blue, 0.0f);
}

TEST(ColorPalette, RandomColorsFollowTheEntryFrequencies)
{
    std::srand(12345);
    std::map<PackedColor, int> counts;
    constexpr int draws = 400000;
    for (int i = 0; i < draws; ++i)
        ++counts[randomPaletteColor()];
    auto share = [&](PackedColor c) { return counts[c] * 40.0 / draws; };
    EXPECT_NEAR(share(0xFFFFFF), 7.0, 0.15);
    EXPECT_NEAR(share(0x000000), 5.0, 0.15);
    EXPECT_NEAR(share(0x907144), 5.0, 0.15);
    EXPECT_NEAR(share(0x1F1AB1), 1.0, 0.08);
    EXPECT_NEAR(share(0x0F0F0F), 1.0, 0.08);
    EXPECT_EQ(counts.size(), 1u + 1 + 1 + 16 + 7);
}
