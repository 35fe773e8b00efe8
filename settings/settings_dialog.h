#pragma once
// The settings dialog (resource 2003) and the object behind an open dialog.
#include <windows.h>

#include <cstdint>

// Registers the trackbar class. The dialog manager creates the controls before WM_INITDIALOG,
// so this must run before DialogBoxParamA.
void RegisterSettingsDialogControls();

// Handles every message inside the exception guard's frame.
INT_PTR CALLBACK SettingsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lives from WM_INITDIALOG until OK or Cancel ends the dialog.
class SettingsDialog {
public:
    // Configures the sliders and the checkbox, then loads the stored settings.
    explicit SettingsDialog(HWND dialog);
    ~SettingsDialog() {}

    // Reads, repairs and shows the stored settings.
    void LoadSettings();
    // Shows the default settings; writes nothing.
    void ApplyDefaults();
    // Stores what the controls show; the result of StoreSaverSettings.
    LONG SaveSettings();

    void ShowTempoLabel(int32_t position);
    void ShowDensityLabel(int32_t position);
    void ShowSizeLabel(int32_t position);

private:
    HWND dialog_;
};
