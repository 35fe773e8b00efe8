// The settings dialog opened from the real template and driven with the messages a user's clicks and
// keys produce, against the real Wine registry.
#include "settings/settings_dialog.h"
#include "settings/settings_dialog_ids.h"
#include "settings_registry.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

// While set, every nothrow allocation of the process fails, as in a process out of memory.
static bool failNothrowAllocations = false;

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return failNothrowAllocations ? nullptr : std::malloc(size != 0 ? size : 1);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

namespace {

// One step runs per tick of a thread timer inside the dialog's own modal loop, so whatever a step
// posts is handled by the loop before the next step runs.
using Step = std::function<void(HWND dialog)>;

constexpr INT_PTR LeftOpen = 99;         // the result when the steps failed to end the dialog
constexpr int TicksBeforeGivingUp = 500;

std::vector<Step> pendingSteps;
std::size_t nextStep = 0;
int idleTicks = 0;

BOOL CALLBACK KeepVisibleDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindOpenDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), KeepVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindOpenDialog();
    if (dialog == nullptr)
        return;
    if (nextStep < pendingSteps.size()) {
        pendingSteps[nextStep++](dialog);
        return;
    }
    if (++idleTicks > TicksBeforeGivingUp) {
        ADD_FAILURE() << "the dialog stayed open after its last step";
        EndDialog(dialog, LeftOpen);
    }
}

INT_PTR RunDialog(std::vector<Step> steps)
{
    pendingSteps = std::move(steps);
    nextStep = 0;
    idleTicks = 0;
    RegisterSettingsDialogControls();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunNextStep);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                           SettingsDialogProcedure, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(nextStep, pendingSteps.size()) << "the dialog ended before all steps ran";
    return result;
}

// What a user does.
void Click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

void PressKey(WPARAM key)
{
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

// A thumb drag: the trackbar moves and tells its parent.
void DragSlider(HWND dialog, int id, int position)
{
    HWND slider = GetDlgItem(dialog, id);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
}

// A key press on the trackbar itself, which then notifies the dialog on its own.
void SliderKey(HWND dialog, int id, WPARAM key)
{
    SendDlgItemMessageA(dialog, id, WM_KEYDOWN, key, 1);
    SendDlgItemMessageA(dialog, id, WM_KEYUP, key, 0xC0000001);
}

// What a user sees.
std::string Text(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

LRESULT Position(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0);
}

LRESULT Checked(HWND dialog)
{
    return SendDlgItemMessageA(dialog, IDC_ANTIALIAS, BM_GETCHECK, 0, 0);
}

void ExpectShown(HWND dialog, LRESULT tempo, LRESULT density, LRESULT size, LRESULT check, const std::string& tempoLabel,
                 const std::string& context)
{
    EXPECT_EQ(Position(dialog, IDC_TEMPO_SLIDER), tempo) << context;
    EXPECT_EQ(Position(dialog, IDC_DENSITY_SLIDER), density) << context;
    EXPECT_EQ(Position(dialog, IDC_SIZE_SLIDER), size) << context;
    EXPECT_EQ(Checked(dialog), check) << context;
    EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), tempoLabel) << context;
    EXPECT_EQ(Text(dialog, IDC_DENSITY_LABEL), std::to_string(density) + " seeds in display") << context;
    EXPECT_EQ(Text(dialog, IDC_SIZE_LABEL), std::to_string(size) + " seed size") << context;
}

void StoreForeignSettings(uint32_t tempo, uint32_t density, uint32_t size, BYTE antialias)
{
    WriteDword("Tempo", tempo);
    WriteDword("Density", density);
    WriteDword("Size", size);
    WriteRawValue("Antialias", REG_DWORD, {antialias});
}

void ExpectStoredSettings(uint32_t tempo, uint32_t density, uint32_t size, BYTE antialias, const std::string& context)
{
    auto dword = [](uint32_t v) { return std::vector<BYTE>{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; };
    EXPECT_EQ(ReadRawValue("Tempo").data, dword(tempo)) << context;
    EXPECT_EQ(ReadRawValue("Density").data, dword(density)) << context;
    EXPECT_EQ(ReadRawValue("Size").data, dword(size)) << context;
    const RawValue flag = ReadRawValue("Antialias");
    EXPECT_EQ(flag.type, static_cast<DWORD>(REG_DWORD)) << context;
    EXPECT_EQ(flag.data, std::vector<BYTE>{antialias}) << context;
}

}  // namespace

using SettingsDialogTest = SettingsKeyTest;

TEST_F(SettingsDialogTest, OpensWithTheDefaultsAndConfiguredSlidersWhenNothingIsStored)
{
    const INT_PTR result = RunDialog({[](HWND dialog) {
        ExpectShown(dialog, 990, 20000, 3, BST_UNCHECKED, "0.010 seconds per cycle", "no key");
        const struct {
            int id;
            LRESULT minimum, maximum, page, tics;
        } sliders[] = {
            // Tics include both ends: ten steps of 100 over 0..1000 give 11.
            {IDC_TEMPO_SLIDER, 0, 1000, 100, 11},
            {IDC_DENSITY_SLIDER, 1, 100000, 10000, 11},
            {IDC_SIZE_SLIDER, 1, 10, 1, 10},
        };
        for (const auto& s : sliders) {
            HWND slider = GetDlgItem(dialog, s.id);
            char name[32] = {};
            GetClassNameA(slider, name, sizeof name);
            EXPECT_STREQ(name, "msctls_trackbar32") << "slider " << s.id;
            EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), s.minimum) << "slider " << s.id;
            EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), s.maximum) << "slider " << s.id;
            EXPECT_EQ(SendMessageA(slider, TBM_GETPAGESIZE, 0, 0), s.page) << "slider " << s.id;
            EXPECT_EQ(SendMessageA(slider, TBM_GETNUMTICS, 0, 0), s.tics) << "slider " << s.id;
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK)) << "the first focus is on OK";
        char caption[32] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(caption, "Settings");
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(SettingsKeyExists()) << "opening and cancelling writes nothing";
}

TEST_F(SettingsDialogTest, ShowsStoredValuesRepairedAndWritesThemBackOnlyOnOk)
{
    StoreForeignSettings(0, 1, 10, 1);
    RunDialog({[](HWND dialog) {
        ExpectShown(dialog, 0, 1, 10, BST_CHECKED, "1.000 seconds per cycle", "lowest valid values");
        Click(dialog, IDCANCEL);
    }});

    StoreForeignSettings(1001, 0, 11, 0);
    RunDialog({[](HWND dialog) {
        ExpectShown(dialog, 990, 20000, 3, BST_UNCHECKED, "0.010 seconds per cycle", "1001, 0 and 11 stored");
        Click(dialog, IDCANCEL);
    }});
    ExpectStoredSettings(1001, 0, 11, 0, "Cancel leaves the out-of-range values");

    StoreForeignSettings(0xFFFFFFFF, 100001, 0, 7);
    RunDialog({[](HWND dialog) {
        ExpectShown(dialog, 990, 20000, 3, BST_CHECKED, "0.010 seconds per cycle", "FFFFFFFF, 100001, 0 and 7 stored");
        Click(dialog, IDOK);
    }});
    ExpectStoredSettings(990, 20000, 3, 1, "OK writes the repaired values back");
}

TEST_F(SettingsDialogTest, LabelsFollowTheSliders)
{
    RunDialog({[](HWND dialog) {
        // Every speed position, against a text made from integers alone: the label's floating-point
        // steps must come out the same on every build. 1000 shows the shortest period, not 0.000.
        for (int position = 0; position <= 1000; ++position) {
            const int milliseconds = position == 1000 ? 10 : 1000 - position;
            char expected[32];
            std::snprintf(expected, sizeof expected, "%d.%03d seconds per cycle", milliseconds / 1000,
                          milliseconds % 1000);
            DragSlider(dialog, IDC_TEMPO_SLIDER, position);
            EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), expected) << "position " << position;
        }
        DragSlider(dialog, IDC_DENSITY_SLIDER, 1);
        EXPECT_EQ(Text(dialog, IDC_DENSITY_LABEL), "1 seeds in display");
        DragSlider(dialog, IDC_SIZE_SLIDER, 7);
        EXPECT_EQ(Text(dialog, IDC_SIZE_LABEL), "7 seed size");

        // The trackbar's own notifications after key presses.
        SliderKey(dialog, IDC_TEMPO_SLIDER, VK_END);
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "0.010 seconds per cycle");
        SliderKey(dialog, IDC_TEMPO_SLIDER, VK_LEFT);
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "0.001 seconds per cycle");
        SliderKey(dialog, IDC_TEMPO_SLIDER, VK_HOME);
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "1.000 seconds per cycle");
        SliderKey(dialog, IDC_TEMPO_SLIDER, VK_NEXT);
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "0.900 seconds per cycle") << "one page is 100";
        SliderKey(dialog, IDC_DENSITY_SLIDER, VK_END);
        EXPECT_EQ(Text(dialog, IDC_DENSITY_LABEL), "100000 seeds in display");
        SliderKey(dialog, IDC_SIZE_SLIDER, VK_END);
        EXPECT_EQ(Text(dialog, IDC_SIZE_LABEL), "10 seed size");

        // A scroll message from anything but a slider changes no label.
        SendMessageA(dialog, WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        EXPECT_EQ(Text(dialog, IDC_SIZE_LABEL), "10 seed size");
        Click(dialog, IDOK);
    }});
    ExpectStoredSettings(100, 100000, 10, 0, "OK stores the slider positions");
}

TEST_F(SettingsDialogTest, DefaultsChangeOnlyTheControlsUntilOk)
{
    StoreForeignSettings(100, 5, 7, 1);
    auto applyDefaults = [](HWND dialog) {
        ExpectShown(dialog, 100, 5, 7, BST_CHECKED, "0.900 seconds per cycle", "before Defaults");
        Click(dialog, IDC_DEFAULTS);
        ExpectShown(dialog, 990, 20000, 3, BST_UNCHECKED, "0.010 seconds per cycle", "after Defaults");
    };
    EXPECT_EQ(RunDialog({applyDefaults, [](HWND dialog) { Click(dialog, IDCANCEL); }}), 0);
    ExpectStoredSettings(100, 5, 7, 1, "Defaults then Cancel");

    EXPECT_EQ(RunDialog({applyDefaults, [](HWND dialog) { Click(dialog, IDOK); }}), 1);
    EXPECT_EQ(ReadRawValue("Tempo").data, (std::vector<BYTE>{0xDE, 0x03, 0x00, 0x00}));
    EXPECT_EQ(ReadRawValue("Density").data, (std::vector<BYTE>{0x20, 0x4E, 0x00, 0x00}));
    EXPECT_EQ(ReadRawValue("Size").data, (std::vector<BYTE>{0x03, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadRawValue("Antialias").data, std::vector<BYTE>{0x00});
}

TEST_F(SettingsDialogTest, OkAndEnterStoreAndGiveOneWhileCancelEscAndCloseBoxGiveZero)
{
    const struct {
        const char* how;
        Step close;
        INT_PTR result;
    } closings[] = {
        {"OK clicked", [](HWND dialog) { Click(dialog, IDOK); }, 1},
        {"Enter on OK", [](HWND) { PressKey(VK_RETURN); }, 1},
        {"Enter on a slider",
         [](HWND dialog) {
             SetFocus(GetDlgItem(dialog, IDC_DENSITY_SLIDER));
             PressKey(VK_RETURN);
         },
         1},
        {"Cancel clicked", [](HWND dialog) { Click(dialog, IDCANCEL); }, 0},
        {"Esc", [](HWND) { PressKey(VK_ESCAPE); }, 0},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
        {"WM_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }, 0},
    };
    for (const auto& closing : closings) {
        DeleteSettingsKey();
        EXPECT_EQ(RunDialog({closing.close}), closing.result) << closing.how;
        if (closing.result == 1)
            ExpectStoredSettings(990, 20000, 3, 0, std::string(closing.how) + " creates the key with all four values");
        else
            EXPECT_FALSE(SettingsKeyExists()) << closing.how << " stores nothing";
    }
}

TEST_F(SettingsDialogTest, TickedCheckboxIsStoredOnlyOnOk)
{
    StoreForeignSettings(990, 20000, 3, 0);
    auto tick = [](HWND dialog) {
        Click(dialog, IDC_ANTIALIAS);
        EXPECT_EQ(Checked(dialog), BST_CHECKED);
    };
    EXPECT_EQ(RunDialog({tick, [](HWND dialog) { Click(dialog, IDCANCEL); }}), 0);
    EXPECT_EQ(ReadRawValue("Antialias").data, std::vector<BYTE>{0x00}) << "Cancel";
    EXPECT_EQ(RunDialog({tick, [](HWND dialog) { Click(dialog, IDOK); }}), 1);
    EXPECT_EQ(ReadRawValue("Antialias").data, std::vector<BYTE>{0x01}) << "OK";
}

TEST_F(SettingsDialogTest, TabKeyWalksTheControlsInTemplateOrder)
{
    const int order[] = {IDCANCEL, IDC_TEMPO_SLIDER, IDC_DENSITY_SLIDER, IDC_SIZE_SLIDER,
                         IDC_ANTIALIAS, IDC_DEFAULTS, IDOK};
    std::vector<Step> steps;
    steps.push_back([](HWND) {
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        PressKey(VK_TAB);
    });
    for (int id : order)
        steps.push_back([id](HWND) {
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
            PressKey(VK_TAB);
        });
    steps.push_back([](HWND dialog) { Click(dialog, IDCANCEL); });
    EXPECT_EQ(RunDialog(steps), 0);
}

// Without its object the dialog shows the template as it is; OK and Cancel still end it,
// and neither writes anything, since no settings were ever shown.
TEST_F(SettingsDialogTest, EndsSoundlyWhenItsObjectCannotBeAllocated)
{
    auto untouched = [](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "seconds per cycle");
        DragSlider(dialog, IDC_TEMPO_SLIDER, 50);
        Click(dialog, IDC_DEFAULTS);
        EXPECT_EQ(Text(dialog, IDC_TEMPO_LABEL), "seconds per cycle");
    };
    failNothrowAllocations = true;
    const INT_PTR afterOk = RunDialog({untouched, [](HWND dialog) { Click(dialog, IDOK); }});
    const INT_PTR afterCancel = RunDialog({untouched, [](HWND dialog) { Click(dialog, IDCANCEL); }});
    failNothrowAllocations = false;
    EXPECT_EQ(afterOk, 0);
    EXPECT_EQ(afterCancel, 0);
    EXPECT_FALSE(SettingsKeyExists());

    EXPECT_EQ(RunDialog({[](HWND dialog) { Click(dialog, IDOK); }}), 1) << "the next dialog works again";
    EXPECT_TRUE(SettingsKeyExists());
}

// A user whose settings key cannot be created: OK still ends the dialog with 1 and tells nothing.
TEST_F(SettingsDialogTest, OkEndsWithOneWhenTheKeyCannotBeCreated)
{
    // The user's registry redirected, for this process, to a volatile key: nothing lasting can be
    // created beneath it.
    constexpr char VolatileRoot[] = "Software\\TessalineVolatileRoot";
    HKEY root;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, VolatileRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &root, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root), ERROR_SUCCESS);
    HKEY refused = nullptr;
    const LONG created = RegCreateKeyExA(HKEY_CURRENT_USER, TestSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_WRITE, nullptr, &refused, nullptr);
    INT_PTR result = LeftOpen;
    if (created != ERROR_SUCCESS) {
        result = RunDialog({[](HWND dialog) {
            DragSlider(dialog, IDC_TEMPO_SLIDER, 500);
            Click(dialog, IDOK);
        }});
    } else {
        RegCloseKey(refused);
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    DWORD subkeys = 1;
    RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(root);
    RegDeleteKeyA(HKEY_CURRENT_USER, VolatileRoot);

    ASSERT_NE(created, ERROR_SUCCESS) << "the key could be created after all";
    EXPECT_EQ(result, 1) << "OK ends the dialog with 1 as after a successful store";
    EXPECT_EQ(subkeys, 0u) << "something was stored";
    EXPECT_FALSE(SettingsKeyExists());
}
