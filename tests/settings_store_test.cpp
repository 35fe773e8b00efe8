#include "settings/settings_store.h"
#include "settings_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectSettings(const SaverSettings& actual, uint32_t tempo, uint32_t density, uint32_t size, uint8_t antialias,
                    const std::string& context)
{
    EXPECT_EQ(actual.Tempo, tempo) << context;
    EXPECT_EQ(actual.Density, density) << context;
    EXPECT_EQ(actual.Size, size) << context;
    EXPECT_EQ(actual.Antialias, antialias) << context;
}

void ExpectStored(const char* name, const std::vector<BYTE>& bytes)
{
    RawValue value = ReadRawValue(name);
    ASSERT_EQ(value.result, ERROR_SUCCESS) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(value.data, bytes) << name;
}

}  // namespace

using SettingsStore = SettingsKeyTest;

TEST_F(SettingsStore, LoadsTheDefaultsForMissingKeyOrValues)
{
    ExpectSettings(LoadSaverSettings(), 990, 20000, 3, 0, "no key");
    EXPECT_FALSE(SettingsKeyExists()) << "loading must not create the key";

    WriteDword("Density", 54321);
    ExpectSettings(LoadSaverSettings(), 990, 54321, 3, 0, "only Density stored");

    WriteRawValue("Antialias", REG_DWORD, {0x01});
    ExpectSettings(LoadSaverSettings(), 990, 54321, 3, 1, "Density and the one byte 01 of Antialias");
}

TEST_F(SettingsStore, LoadPassesOutOfRangeValuesAndRepairReplacesThem)
{
    struct Case {
        const char* name;
        uint32_t stored;
        uint32_t repaired;
    };
    const Case cases[] = {
        {"Tempo", 1001, 990},    {"Tempo", 0xFFFFFFFF, 990}, {"Tempo", 0, 0},           {"Tempo", 1000, 1000},
        {"Density", 0, 20000},   {"Density", 100001, 20000}, {"Density", 1, 1},         {"Density", 100000, 100000},
        {"Density", 0x80000000, 20000},
        {"Size", 0, 3},          {"Size", 11, 3},            {"Size", 1, 1},            {"Size", 10, 10},
    };
    for (const Case& c : cases) {
        const std::string context = std::string(c.name) + " stored as " + std::to_string(c.stored);
        DeleteSettingsKey();
        WriteDword(c.name, c.stored);
        WriteRawValue("Antialias", REG_DWORD, {0x05});
        SaverSettings settings = LoadSaverSettings();
        const NumericSetting* row = nullptr;
        for (const NumericSetting& candidate : NumericSettings)
            if (std::string(candidate.valueName) == c.name)
                row = &candidate;
        ASSERT_NE(row, nullptr) << context;
        EXPECT_EQ(settings.*row->field, c.stored) << context << ": the load repairs nothing";
        RepairSaverSettings(settings);
        EXPECT_EQ(settings.*row->field, c.repaired) << context;
        EXPECT_EQ(settings.Antialias, 5) << context << ": the repair leaves Antialias alone";
    }
}

TEST_F(SettingsStore, StoresFourDwordValuesWithTheirDataLengths)
{
    EXPECT_EQ(StoreSaverSettings(DefaultSaverSettings), ERROR_SUCCESS);
    ExpectStored("Tempo", {0xDE, 0x03, 0x00, 0x00});
    ExpectStored("Density", {0x20, 0x4E, 0x00, 0x00});
    ExpectStored("Size", {0x03, 0x00, 0x00, 0x00});
    ExpectStored("Antialias", {0x00});

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 0;
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 4u) << "no values besides the four, none in the key's default value";
    EXPECT_EQ(subkeys, 0u);

    // Rewriting an existing key replaces every value; any non-zero flag is stored as 01.
    EXPECT_EQ(StoreSaverSettings({1000, 100000, 10, 7}), ERROR_SUCCESS);
    ExpectStored("Tempo", {0xE8, 0x03, 0x00, 0x00});
    ExpectStored("Density", {0xA0, 0x86, 0x01, 0x00});
    ExpectStored("Size", {0x0A, 0x00, 0x00, 0x00});
    ExpectStored("Antialias", {0x01});
    ExpectSettings(LoadSaverSettings(), 1000, 100000, 10, 1, "read back after the store");
}

// Another writer may leave any type and length. A value is taken when its data fits the 4-byte
// buffer, zero-extended; an empty value or one longer than 4 bytes leaves the default.
TEST_F(SettingsStore, ForeignTypesAndLengthsNeverOverrunOrMixWithTheDefault)
{
    struct Case {
        const char* description;
        DWORD type;
        std::vector<BYTE> data;
        uint32_t tempo;
        uint8_t antialias;
    };
    const std::vector<BYTE> eight{0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    const std::vector<BYTE> hundred(100, 0x01);
    const Case cases[] = {
        {"0 bytes", REG_DWORD, {}, 990, 0},
        {"1 byte", REG_DWORD, {0x05}, 5, 5},
        {"3 bytes", REG_DWORD, {0x01, 0x02, 0x03}, 0x030201, 1},
        {"4 bytes", REG_DWORD, {0x00, 0x01, 0x00, 0x00}, 256, 0},
        {"8 bytes", REG_DWORD, eight, 990, 0},
        {"100 bytes", REG_BINARY, hundred, 990, 0},
        {"REG_BINARY of 4 bytes", REG_BINARY, {0x2A, 0x00, 0x00, 0x00}, 42, 0x2A},
        {"short REG_SZ \"7\"", REG_SZ, {'7', 0}, 0x37, '7'},
        {"long REG_SZ", REG_SZ, {'1', '2', '3', '4', '5', '6', 0}, 990, 0},
    };
    for (const Case& c : cases) {
        DeleteSettingsKey();
        WriteRawValue("Tempo", c.type, c.data);
        WriteDword("Density", 777);
        WriteRawValue("Antialias", c.type, c.data);
        WriteDword("Size", 4);
        ExpectSettings(LoadSaverSettings(), c.tempo, 777, 4, c.antialias, c.description);
    }
}
