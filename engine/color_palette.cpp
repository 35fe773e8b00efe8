#include "engine/color_palette.h"

#include <cstdlib>

namespace {

constexpr ColorPalette makePalette()
{
    ColorPalette palette{};
    std::size_t next = 0;
    for (int i = 0; i < 7; ++i)
        palette[next++] = 0xFFFFFF;
    for (int i = 0; i < 5; ++i)
        palette[next++] = 0x000000;
    for (int i = 0; i < 5; ++i)
        palette[next++] = 0x907144;
    // Sixteen greys from 240 down to 15: the counter is lowered before each entry.
    for (uint32_t level = 255; level > 15;) {
        level -= 15;
        palette[next++] = (level & 0xFF) * 0x010101;
    }
    for (PackedColor color : {0xC287B8u, 0xC3C904u, 0xB9D8BAu, 0xFF473Eu, 0x79BBD0u, 0x0083D5u, 0x1F1AB1u})
        palette[next++] = color;
    return palette;
}

constexpr ColorPalette Palette = makePalette();

float channel(PackedColor color, int shift)
{
    return static_cast<float>(((color >> shift) & 0xFF) / 255.0);
}

}  // namespace

ColorRGB unpackColor(PackedColor color)
{
    return {channel(color, 0), channel(color, 8), channel(color, 16)};
}

ColorPalette buildPalette()
{
    return Palette;
}

PackedColor randomPaletteColor()
{
    return Palette[static_cast<unsigned>(std::rand()) % PaletteSize];
}
