#include "settings/settings_dialog.h"

#include "host/exception_guard.h"
#include "settings/saver_settings.h"
#include "settings/settings_dialog_ids.h"
#include "settings/settings_store.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <new>

// Data
namespace {

SettingsDialog* openDialog = nullptr;  // the object of the one open dialog, if its allocation succeeded

// One row per slider, in the order of NumericSettings.
struct SliderControl {
    int sliderId;
    void (SettingsDialog::*showLabel)(int32_t position);
};

constexpr std::array<SliderControl, NumericSettings.size()> Sliders{{
    {IDC_TEMPO_SLIDER, &SettingsDialog::ShowTempoLabel},
    {IDC_DENSITY_SLIDER, &SettingsDialog::ShowDensityLabel},
    {IDC_SIZE_SLIDER, &SettingsDialog::ShowSizeLabel},
}};

constexpr std::size_t LabelCapacity = 32;  // the longest label text is 23 characters

}  // namespace

// Helpers
namespace {

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

void ConfigureSlider(HWND dialog, int sliderId, const NumericSetting& setting)
{
    SendItem(dialog, sliderId, TBM_SETRANGEMAX, FALSE, static_cast<LPARAM>(setting.maximum));
    SendItem(dialog, sliderId, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(setting.minimum));
    SendItem(dialog, sliderId, TBM_SETTICFREQ, setting.sliderStep, 0);
    SendItem(dialog, sliderId, TBM_SETPAGESIZE, 0, static_cast<LPARAM>(setting.sliderStep));
}

// Shows the settings in the controls and the labels.
void ShowSettings(SettingsDialog& owner, HWND dialog, const SaverSettings& settings)
{
    for (std::size_t i = 0; i < Sliders.size(); ++i)
        SendItem(dialog, Sliders[i].sliderId, TBM_SETPOS, TRUE, static_cast<LPARAM>(settings.*NumericSettings[i].field));
    // The saver smooths for any non-zero byte, so another writer's 2 to 255 shows as ticked too.
    SendItem(dialog, IDC_ANTIALIAS, BM_SETCHECK, settings.Antialias != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    for (std::size_t i = 0; i < Sliders.size(); ++i)
        (owner.*Sliders[i].showLabel)(static_cast<int32_t>(settings.*NumericSettings[i].field));
}

// msvcrt's own formatting; its _snprintf leaves a text that fills the buffer unterminated, so the
// last byte is kept for the terminator.
template <typename Value>
void SetLabel(HWND dialog, int labelId, const char* format, Value value)
{
    char text[LabelCapacity] = {};
    _snprintf(text, sizeof text - 1, format, value);
    SetDlgItemTextA(dialog, labelId, text);
}

}  // namespace

// Operations, in the order a dialog's life calls them
void RegisterSettingsDialogControls()
{
    InitCommonControls();
}

SettingsDialog::SettingsDialog(HWND dialog) : dialog_(dialog)
{
    for (std::size_t i = 0; i < Sliders.size(); ++i)
        ConfigureSlider(dialog_, Sliders[i].sliderId, NumericSettings[i]);
    SendItem(dialog_, IDC_ANTIALIAS, BM_SETCHECK, BST_UNCHECKED, 0);
    LoadSettings();
}

void SettingsDialog::LoadSettings()
{
    SaverSettings settings = LoadSaverSettings();
    RepairSaverSettings(settings);
    ShowSettings(*this, dialog_, settings);
}

// Seconds between two frames of the saver: (1000 - position) / 1000; the saver's shortest period,
// at position 1000, is 10 milliseconds, so that shows as 0.010.
void SettingsDialog::ShowTempoLabel(int32_t position)
{
    float seconds = static_cast<float>((1000.0 - static_cast<uint32_t>(position)) / 1000.0);
    if (seconds == 0.0f)
        seconds = 0.01f;
    SetLabel(dialog_, IDC_TEMPO_LABEL, "%.03f seconds per cycle", static_cast<double>(seconds));
}

void SettingsDialog::ShowDensityLabel(int32_t position)
{
    SetLabel(dialog_, IDC_DENSITY_LABEL, "%i seeds in display", position);
}

void SettingsDialog::ShowSizeLabel(int32_t position)
{
    SetLabel(dialog_, IDC_SIZE_LABEL, "%i seed size", position);
}

void SettingsDialog::ApplyDefaults()
{
    ShowSettings(*this, dialog_, DefaultSaverSettings);
}

LONG SettingsDialog::SaveSettings()
{
    SaverSettings settings = DefaultSaverSettings;
    for (std::size_t i = 0; i < Sliders.size(); ++i)
        settings.*NumericSettings[i].field = static_cast<uint32_t>(SendItem(dialog_, Sliders[i].sliderId, TBM_GETPOS, 0, 0));
    settings.Antialias = SendItem(dialog_, IDC_ANTIALIAS, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    return StoreSaverSettings(settings);
}

// Procedure
namespace {

// Creates the object behind the dialog. TRUE: the focus goes to the first tab stop, OK.
INT_PTR OnInitDialog(HWND dialog)
{
    RegisterSettingsDialogControls();
    openDialog = new (std::nothrow) SettingsDialog(dialog);
    return TRUE;
}

// Every scroll notification of a slider, drags included, refreshes its label.
INT_PTR OnHScroll(HWND control)
{
    const int id = GetDlgCtrlID(control);
    for (const SliderControl& slider : Sliders)
        if (openDialog != nullptr && slider.sliderId == id)
            (openDialog->*slider.showLabel)(static_cast<int32_t>(SendMessageA(control, TBM_GETPOS, 0, 0)));
    return FALSE;
}

// Without its object the dialog never showed the settings: OK then stores nothing and ends as Cancel.
INT_PTR OnOk(HWND dialog)
{
    const bool stored = openDialog != nullptr;
    if (stored)
        openDialog->SaveSettings();
    delete openDialog;
    openDialog = nullptr;
    EndDialog(dialog, stored ? 1 : 0);
    return TRUE;
}

INT_PTR OnCancel(HWND dialog)
{
    delete openDialog;
    openDialog = nullptr;
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR OnDefaults()
{
    if (openDialog != nullptr)
        openDialog->ApplyDefaults();
    return FALSE;
}

// The notification code in the high word is not examined.
INT_PTR OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:         return OnOk(dialog);
    case IDCANCEL:     return OnCancel(dialog);
    case IDC_DEFAULTS: return OnDefaults();
    default:           return FALSE;
    }
}

LRESULT CALLBACK HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_HSCROLL:    return OnHScroll(reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(wParam));
    default:            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallInGuardFrame(HandleDialogMessage, dialog, message, wParam, lParam);
}
