#pragma once
// Colour schemes: a few palette colours and the rule by which a seed's index picks one of them.
#include "engine/color_palette.h"
#include "engine/growable_array.h"

#include <cstdint>
#include <ctime>

enum SchemeMode : int32_t {
    Single = 0,  // every seed gets colors[0]
    Cycle = 1,   // seed index i gets colors[i mod n]
    Random = 2,  // a fresh palette colour for every seed; no made scheme has it
};

class ColorScheme {
public:
    ColorScheme() = default;
    // Appends count colours, one randomPaletteColor call each, in list order.
    ColorScheme(SchemeMode schemeMode, int32_t count);
    // Deep copies. When memory runs out a copy is left empty, and an assignment keeps the old value.
    ColorScheme(const ColorScheme& other);
    ColorScheme& operator=(const ColorScheme& other);
    ColorScheme(ColorScheme&& other) noexcept;
    ColorScheme& operator=(ColorScheme&& other) noexcept;

    PackedColor colorFor(uint32_t index) const;
    // False when memory ran out while the colours were appended.
    bool complete() const { return complete_; }

    SchemeMode mode = Single;
    GrowableArray<PackedColor> colors;

private:
    bool complete_ = true;
};

bool operator==(const ColorScheme& a, const ColorScheme& b);

// Reseeds rand from the calendar clock, then draws mode, count (Cycle only) and the colours.
ColorScheme makeRandomScheme();

// The calendar time in whole seconds, as time() gives it; a test seam to force even or odd seconds.
using CalendarClock = std::time_t (*)();
extern CalendarClock calendarClock;
std::time_t SystemCalendarTime();

// The scheme new seeds take their colours from; defined with the seed field (see engine_state.cpp).
extern ColorScheme currentScheme;
