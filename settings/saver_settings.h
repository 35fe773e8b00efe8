#pragma once
// The saver's four user settings, their defaults and valid ranges, and the repair of stray values.
#include <array>
#include <cstdint>

// Each field carries the name of its registry value.
struct SaverSettings {
    uint32_t Tempo;     // speed: one frame every 1000 - Tempo milliseconds
    uint32_t Density;   // the larger, the more slowly seeds move out and the more are on screen
    uint32_t Size;      // point size in pixels
    uint8_t Antialias;  // point smoothing when non-zero
};

constexpr SaverSettings DefaultSaverSettings{990, 20000, 3, 0};

// One row per numeric setting; the load, the store, the repair and the dialog's sliders walk this table.
// Value names are stored in users' registries: they never change.
struct NumericSetting {
    const char* valueName;
    uint32_t SaverSettings::*field;
    uint32_t defaultValue;
    uint32_t minimum;  // valid range, inclusive; also the slider's range
    uint32_t maximum;
    uint32_t sliderStep;  // the dialog slider's tick spacing and page size
};

constexpr std::array<NumericSetting, 3> NumericSettings{{
    {"Tempo", &SaverSettings::Tempo, 990, 0, 1000, 100},
    {"Density", &SaverSettings::Density, 20000, 1, 100000, 10000},
    {"Size", &SaverSettings::Size, 3, 1, 10, 1},
}};

// "Antialias" is declared REG_DWORD but its stored data is a single byte.
constexpr const char* AntialiasValueName = "Antialias";
constexpr uint32_t NumericDataLength = 4;
constexpr uint32_t AntialiasDataLength = 1;

// Replaces every numeric field outside its valid range (compared unsigned) by its default.
void RepairSaverSettings(SaverSettings& settings);
