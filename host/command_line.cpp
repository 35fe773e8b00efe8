#include "host/command_line.h"

#include <windows.h>

namespace {

constexpr char Quote = '"';

// Blanks, tabs and every other byte up to 0x20 separate the program name from its arguments.
bool IsSeparatorOrEnd(char byte)
{
    return static_cast<unsigned char>(byte) <= 0x20;
}

const char* Next(const char* position)
{
    return CharNextA(position);
}

}  // namespace

const char* SkipProgramName(const char* commandLine)
{
    const char* position = commandLine;
    if (*position == Quote) {
        position = Next(position);
        while (*position != '\0' && *position != Quote)
            position = Next(position);
        if (*position == Quote)
            position = Next(position);
    } else {
        while (!IsSeparatorOrEnd(*position))
            position = Next(position);
    }
    while (*position != '\0' && IsSeparatorOrEnd(*position))
        position = Next(position);
    return position;
}

uint32_t ParseWindowHandle(const char* text)
{
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    return value;
}
