#pragma once
// Reading the saver's command line: the program name in front, window handles after the mode letter.
#include <cstdint>

// The tail of a command line: the text after the program name and the blanks or control bytes behind it.
const char* SkipProgramName(const char* commandLine);
// Leading decimal digits as a 32-bit value that wraps around; 0 when the text starts with no digit.
uint32_t ParseWindowHandle(const char* text);
