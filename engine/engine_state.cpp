// The engine's process-wide objects that need start-up work. They are defined in this one file because
// only within a file does C++ fix the order of start-up: the field, then goldenAngle, then the scheme.
// None of them is ever destroyed on purpose; the process ends without running exit processing.
#include "engine/color_scheme.h"
#include "engine/saver_state.h"
#include "engine/seed.h"

#include <cmath>

// Data
SeedField seedField;
// The factor is this literal, not a full-precision 2 pi.
extern const double goldenAngle = (std::sqrt(5.0) - 1.0) / 2.0 * 6.2831853;
ColorScheme currentScheme = makeRandomScheme();
SaverSettings currentSettings = DefaultSaverSettings;
