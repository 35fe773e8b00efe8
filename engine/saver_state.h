#pragma once
// The saver's current settings: written by the saver procedure's create branch, read by SetUpView.
#include "settings/saver_settings.h"

extern SaverSettings currentSettings;
