#pragma once
// Packed and unpacked colours and the fixed palette of 40 colours that schemes draw from.
#include <array>
#include <cstdint>

// 0x00BBGGRR: red in bits 0-7, green in 8-15, blue in 16-23; the top byte is ignored.
using PackedColor = uint32_t;

struct ColorRGB {
    float red;
    float green;
    float blue;
};

constexpr std::size_t PaletteSize = 40;
using ColorPalette = std::array<PackedColor, PaletteSize>;

ColorRGB unpackColor(PackedColor color);
ColorPalette buildPalette();
// One rand() call picks an entry; repeated entries (white, black, 0x907144) come up more often.
PackedColor randomPaletteColor();
