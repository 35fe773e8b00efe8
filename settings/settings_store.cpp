#include "settings/settings_store.h"

#include <cstring>

namespace {

constexpr const char* SettingsKeyName = "Software\\Tessaline";

// Reads a value of at most 4 bytes as an unsigned little-endian number, zero-extended when shorter.
// False when the value is missing or empty, or longer than 4 bytes: the platform then reports
// ERROR_MORE_DATA and leaves the buffer undefined. The stored type is never examined.
bool QuerySmallValue(HKEY key, const char* name, uint32_t& value)
{
    BYTE buffer[NumericDataLength] = {};
    DWORD length = NumericDataLength;
    if (RegQueryValueExA(key, name, nullptr, nullptr, buffer, &length) != ERROR_SUCCESS || length == 0)
        return false;
    std::memcpy(&value, buffer, sizeof value);
    return true;
}

void QueryNumericSettings(HKEY key, SaverSettings& settings)
{
    for (const NumericSetting& row : NumericSettings)
        QuerySmallValue(key, row.valueName, settings.*row.field);
}

// The flag is the first byte of the data, whatever its length up to 4.
void QueryAntialias(HKEY key, SaverSettings& settings)
{
    uint32_t value = 0;
    if (QuerySmallValue(key, AntialiasValueName, value))
        settings.Antialias = static_cast<uint8_t>(value & 0xFF);
}

void SetDwordValue(HKEY key, const char* name, const void* data, DWORD length)
{
    RegSetValueExA(key, name, 0, REG_DWORD, static_cast<const BYTE*>(data), length);
}

}  // namespace

SaverSettings LoadSaverSettings()
{
    SaverSettings settings = DefaultSaverSettings;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return settings;
    QueryNumericSettings(key, settings);
    QueryAntialias(key, settings);
    RegCloseKey(key);
    return settings;
}

// The results of the single writes are not examined: a failed write does not stop the later ones.
LONG StoreSaverSettings(const SaverSettings& settings)
{
    HKEY key;
    LONG created = RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_WRITE, nullptr, &key, nullptr);
    if (created != ERROR_SUCCESS)
        return created;
    for (const NumericSetting& row : NumericSettings)
        SetDwordValue(key, row.valueName, &(settings.*row.field), NumericDataLength);
    const uint8_t antialias = settings.Antialias != 0 ? 1 : 0;
    SetDwordValue(key, AntialiasValueName, &antialias, AntialiasDataLength);
    return RegCloseKey(key);
}
