#include "settings/saver_settings.h"

void RepairSaverSettings(SaverSettings& settings)
{
    for (const NumericSetting& row : NumericSettings) {
        uint32_t& value = settings.*row.field;
        if (value < row.minimum || value > row.maximum)
            value = row.defaultValue;
    }
}
