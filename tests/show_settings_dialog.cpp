// Opens the settings dialog as the configuration mode does, for a look at it on screen.
// Its exit code is the dialog's result.
#include "settings/settings_dialog.h"
#include "settings/settings_dialog_ids.h"

int main()
{
    RegisterSettingsDialogControls();
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                            SettingsDialogProcedure, 0));
}
