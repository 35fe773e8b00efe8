#pragma once
// Reading the saver's command line: the program name in front, window handles after the mode letter.
#include <cstdint>

// The tail of a command line: the text after the program name and the blanks or control bytes behind it.
const char* SkipProgramName(const char* commandLine);
// The mode that a tail asks for, and the text behind its letter that the mode reads.
enum class SaverMode { SettingsWithoutOwner, FullScreen, Preview, Settings, ChangePassword, Unknown };
struct ModeChoice {
    SaverMode mode;
    // Preview and password change: past the letter and the blanks behind it. Settings ("C"): just past
    // the letter, where ":" and the owner's handle may follow. Full screen: just past the letter.
    // Otherwise the position of the letter or of the end.
    const char* rest;
};
// The letter after any run of blanks, '-' and '/' picks the mode; "A" only on Windows 9x.
ModeChoice ChooseSaverMode(const char* tail, bool isWin9x);
// Leading decimal digits as a 32-bit value that wraps around; 0 when the text starts with no digit.
uint32_t ParseWindowHandle(const char* text);
