#pragma once
// Direct access to the settings key for the tests: writes values as another writer would and reads
// back exactly what is stored. All tests share one Wine registry, so each case starts and ends clean.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

constexpr const char* TestSettingsKey = "Software\\Tessaline";

inline void DeleteSettingsKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, TestSettingsKey);
}

inline bool SettingsKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void WriteRawValue(const char* name, DWORD type, const std::vector<BYTE>& data)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

inline void WriteDword(const char* name, uint32_t value)
{
    WriteRawValue(name, REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)});
}

struct RawValue {
    LONG result;
    DWORD type;
    std::vector<BYTE> data;
};

inline RawValue ReadRawValue(const char* name)
{
    RawValue value{ERROR_FILE_NOT_FOUND, REG_NONE, {}};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    BYTE buffer[256];
    DWORD length = sizeof buffer;
    value.result = RegQueryValueExA(key, name, nullptr, &value.type, buffer, &length);
    if (value.result == ERROR_SUCCESS)
        value.data.assign(buffer, buffer + length);
    RegCloseKey(key);
    return value;
}

// Every case starts and ends without the settings key.
class SettingsKeyTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }
};
