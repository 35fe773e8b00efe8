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

bool IsModeSeparator(char byte)
{
    return byte == ' ' || byte == '-' || byte == '/';
}

// Only the blank is skipped: a tab stays and ends a window handle at once.
const char* SkipBlanks(const char* text)
{
    while (*text == ' ')
        ++text;
    return text;
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

ModeChoice ChooseSaverMode(const char* tail, bool isWin9x)
{
    const char* position = tail;
    while (IsModeSeparator(*position))
        ++position;
    switch (*position) {
    case '\0':
        return {SaverMode::SettingsWithoutOwner, position};
    case 'S': case 's':
        return {SaverMode::FullScreen, position + 1};
    case 'P': case 'p': case 'L': case 'l':
        return {SaverMode::Preview, SkipBlanks(position + 1)};
    case 'C': case 'c':
        return {SaverMode::Settings, position + 1};
    case 'A': case 'a':
        if (isWin9x)
            return {SaverMode::ChangePassword, SkipBlanks(position + 1)};
        return {SaverMode::Unknown, position};
    default:
        return {SaverMode::Unknown, position};
    }
}
