#pragma once
// The four settings in the per-user registry key "Software\Tessaline".
#include "settings/saver_settings.h"

#include <windows.h>

// The defaults overlaid with what the registry holds; no range repair.
SaverSettings LoadSaverSettings();
// Writes all four values; the platform's error code of the open, else of the close.
LONG StoreSaverSettings(const SaverSettings& settings);
