#include "engine/color_scheme.h"

#include <cstdlib>

// Data
CalendarClock calendarClock = SystemCalendarTime;

std::time_t SystemCalendarTime()
{
    return std::time(nullptr);
}

ColorScheme::ColorScheme(SchemeMode schemeMode, int32_t count)
    : mode(schemeMode)
{
    for (int32_t i = 0; i < count; ++i)
        complete_ = colors.append(randomPaletteColor()) && complete_;
}

ColorScheme::ColorScheme(const ColorScheme& other)
    : mode(other.mode), complete_(other.complete_)
{
    if (!colors.assign(other.colors))
        complete_ = false;
}

ColorScheme& ColorScheme::operator=(const ColorScheme& other)
{
    // The colours are copied first, so a failed copy leaves this scheme whole.
    if (colors.assign(other.colors)) {
        mode = other.mode;
        complete_ = other.complete_;
    }
    return *this;
}

ColorScheme::ColorScheme(ColorScheme&& other) noexcept
    : mode(other.mode), complete_(other.complete_)
{
    colors.swap(other.colors);
}

ColorScheme& ColorScheme::operator=(ColorScheme&& other) noexcept
{
    mode = other.mode;
    complete_ = other.complete_;
    colors.swap(other.colors);
    return *this;
}

PackedColor ColorScheme::colorFor(uint32_t index) const
{
    const uint32_t count = colors.size();
    if (mode == Random)
        return randomPaletteColor();
    if (count == 0)
        return 0x000000;  // only a scheme whose colours could not be allocated
    if (mode == Single)
        return colors[0];
    return colors[index % count];
}

bool operator==(const ColorScheme& a, const ColorScheme& b)
{
    if (a.mode != b.mode || a.colors.size() != b.colors.size())
        return false;
    for (uint32_t i = 0; i < a.colors.size(); ++i)
        if (a.colors[i] != b.colors[i])
            return false;
    return true;
}

ColorScheme makeRandomScheme()
{
    std::srand(static_cast<unsigned>(calendarClock()));
    int32_t count = 1;
    const SchemeMode mode = static_cast<SchemeMode>(std::rand() % 2);
    if (mode == Cycle)
        count = std::rand() % 7 + 2;
    return ColorScheme(mode, count);
}
