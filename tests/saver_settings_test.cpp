#include "settings/saver_settings.h"

#include <gtest/gtest.h>

TEST(SaverSettingsRepair, ReplacesOnlyValuesOutsideTheInclusiveRanges)
{
    SaverSettings low{0, 1, 1, 0};
    RepairSaverSettings(low);
    EXPECT_EQ(low.Tempo, 0u);
    EXPECT_EQ(low.Density, 1u);
    EXPECT_EQ(low.Size, 1u);

    SaverSettings high{1000, 100000, 10, 1};
    RepairSaverSettings(high);
    EXPECT_EQ(high.Tempo, 1000u);
    EXPECT_EQ(high.Density, 100000u);
    EXPECT_EQ(high.Size, 10u);
    EXPECT_EQ(high.Antialias, 1);

    SaverSettings outside{1001, 0, 0, 0xFF};
    RepairSaverSettings(outside);
    EXPECT_EQ(outside.Tempo, 990u);
    EXPECT_EQ(outside.Density, 20000u);
    EXPECT_EQ(outside.Size, 3u);
    EXPECT_EQ(outside.Antialias, 0xFF) << "the flag is never repaired";

    // Compared unsigned: what would be negative as a signed number is far above the range.
    SaverSettings wrapped{0xFFFFFFFF, 0x80000000, 0xFFFFFFFF, 0};
    RepairSaverSettings(wrapped);
    EXPECT_EQ(wrapped.Tempo, 990u);
    EXPECT_EQ(wrapped.Density, 20000u);
    EXPECT_EQ(wrapped.Size, 3u);

    SaverSettings justAbove{1001, 100001, 11, 0};
    RepairSaverSettings(justAbove);
    EXPECT_EQ(justAbove.Density, 20000u);
    EXPECT_EQ(justAbove.Size, 3u);
}

TEST(SaverSettingsTable, DefaultsMatchTheRecordAndLieInTheirRanges)
{
    for (const NumericSetting& row : NumericSettings) {
        EXPECT_EQ(DefaultSaverSettings.*row.field, row.defaultValue) << row.valueName;
        EXPECT_LE(row.minimum, row.defaultValue) << row.valueName;
        EXPECT_GE(row.maximum, row.defaultValue) << row.valueName;
    }
}
