#include "settings/settings_store.h"

// Placeholders until the registry store exists.
SaverSettings LoadSaverSettings()
{
    return DefaultSaverSettings;
}

LONG StoreSaverSettings(const SaverSettings&)
{
    return ERROR_SUCCESS;
}
