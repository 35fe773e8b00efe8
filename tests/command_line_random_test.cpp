// Seeded random command lines through the real program-name scan (CharNextA of the process's ANSI code
// page) and the mode choice, checked against a small model written here. Run once in the default
// code page and once with a Japanese locale, where Wine's ANSI code page is the double-byte 932; the
// second run is told the code page it must see through TESSALINE_EXPECT_CODE_PAGE.
#include "host/command_line.h"
#include "host/entry.h"
#include "host/host_state.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr uint32_t Seed = 20261208;
constexpr int FullLineCases = 3000;
constexpr int TailCases = 3000;
constexpr int WrongCasesShown = 5;

// Code page 932 (Shift JIS) lead bytes; single-byte code pages have none.
bool IsLeadByteOf(UINT codePage, unsigned char byte)
{
    if (codePage != 932)
        return false;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The model ------------------------------------------------------------------------------------------

struct Model {
    UINT codePage;

    // CharNextA: a lead byte takes the next byte with it unless that is the end.
    size_t next(const std::string& text, size_t i) const
    {
        if (i >= text.size())
            return i;
        if (IsLeadByteOf(codePage, static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            return i + 2;
        return i + 1;
    }

    static unsigned char at(const std::string& text, size_t i)
    {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    }

    // Offset of the tail in a command line.
    size_t tailOffset(const std::string& line) const
    {
        size_t i = 0;
        if (at(line, 0) == '"') {
            i = next(line, 0);
            while (i < line.size() && line[i] != '"')
                i = next(line, i);
            if (i < line.size())
                i = next(line, i);
        } else {
            while (at(line, i) > 0x20)
                i = next(line, i);
        }
        while (i < line.size() && at(line, i) <= 0x20)
            i = next(line, i);
        return i;
    }

    struct Choice {
        SaverMode mode;
        size_t rest;
    };

    static Choice choose(const std::string& tail, bool isWin9x)
    {
        size_t i = tail.find_first_not_of(" -/");
        if (i == std::string::npos)
            return {SaverMode::SettingsWithoutOwner, tail.size()};
        const char letter = tail[i];
        auto pastBlanks = [&](size_t from) {
            size_t j = tail.find_first_not_of(' ', from);
            return j == std::string::npos ? tail.size() : j;
        };
        switch (letter) {
        case 'S': case 's': return {SaverMode::FullScreen, i + 1};
        case 'P': case 'p': case 'L': case 'l': return {SaverMode::Preview, pastBlanks(i + 1)};
        case 'C': case 'c': return {SaverMode::Settings, i + 1};
        case 'A': case 'a':
            if (isWin9x) return {SaverMode::ChangePassword, pastBlanks(i + 1)};
            return {SaverMode::Unknown, i};
        default: return {SaverMode::Unknown, i};
        }
    }

    static uint32_t handle(const std::string& text, size_t from)
    {
        uint64_t value = 0;
        for (size_t i = from; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = (value * 10 + static_cast<uint64_t>(text[i] - '0')) % 0x100000000ull;
        return static_cast<uint32_t>(value);
    }
};

// The generator ---------------------------------------------------------------------------------------

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    // Program name, separators, tail.
    std::string commandLine()
    {
        std::string line;
        switch (below(5)) {
        case 0: line = quotedName(true); break;
        case 1: line = quotedName(false); break;
        case 2: case 3: line = unquotedName(); break;
        default: break;  // no name at all
        }
        line += separators();
        if (below(4) != 0)
            line += tail();
        return line;
    }

    std::string tail()
    {
        std::string text;
        const int runs = below(4);
        for (int i = 0; i < runs; ++i)
            text += pick(" -/ -/\t");
        if (below(10) == 0)
            return text;  // nothing but separators
        text += letter();
        switch (below(4)) {
        case 0: text += number(); break;
        case 1: text += std::string(below(4), ' ') + number(); break;
        case 2: text += pick(": \t") + number(); break;
        default: break;
        }
        if (below(3) == 0)
            text += junk();
        return text;
    }

private:
    int below(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
    char pick(const char* bytes) { return bytes[below(static_cast<int>(std::strlen(bytes)))]; }
    char anyByte(int from, int to) { return static_cast<char>(from + below(to - from + 1)); }

    // Lead bytes of code page 932, high bytes and plain name bytes.
    char nameByte()
    {
        switch (below(6)) {
        case 0: return anyByte(0x80, 0xFF);
        case 1: return pick("\x81\x82\x88\x9F\xE0\xEA\xFC");
        default: return pick("abcXYZ09._\\:-/sSpPcC");
        }
    }

    std::string quotedName(bool closed)
    {
        std::string name = "\"";
        const int length = below(12);
        for (int i = 0; i < length; ++i)
            name += below(5) == 0 ? pick(" \t-/") : nameByte();
        if (below(4) == 0)
            name += pick("\x81\x9F\xE0");  // a lead byte right before the closing quote
        if (closed)
            name += '"';
        if (below(5) == 0)
            name += nameByte();  // an argument against the closing quote
        return name;
    }

    std::string unquotedName()
    {
        std::string name;
        const int length = 1 + below(12);
        for (int i = 0; i < length; ++i)
            name += nameByte();
        if (below(4) == 0)
            name += pick("\x81\x9F\xE0\xFC");  // a lead byte right before the separator
        return name;
    }

    std::string separators()
    {
        std::string text;
        const int length = below(5);
        for (int i = 0; i < length; ++i)
            text += below(3) == 0 ? anyByte(0x01, 0x20) : pick(" \t");
        return text;
    }

    char letter()
    {
        if (below(6) == 0)
            return below(2) == 0 ? anyByte(0x80, 0xFF) : anyByte(0x01, 0x7F);
        return pick("SsPpLlCcAaXx0:\t");
    }

    // Short handles, long ones that overflow 32 bits, and ones that begin with a non-digit.
    std::string number()
    {
        std::string digits;
        const int length = below(3) == 0 ? 10 + below(12) : below(8);
        for (int i = 0; i < length; ++i)
            digits += static_cast<char>('0' + below(10));
        if (below(8) == 0)
            digits.insert(0, 1, pick("+-x "));
        return digits;
    }

    std::string junk()
    {
        std::string text;
        const int length = 1 + below(6);
        for (int i = 0; i < length; ++i)
            text += below(3) == 0 ? anyByte(0x01, 0xFF) : pick(" /-:sp1");
        return text;
    }

    std::mt19937 random_;
};

// Checks -----------------------------------------------------------------------------------------------

std::string Shown(const std::string& text)
{
    std::string shown;
    for (unsigned char byte : text) {
        char hex[8];
        if (byte >= 0x21 && byte < 0x7F && byte != '\\') {
            shown += static_cast<char>(byte);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        }
    }
    return shown;
}

const char* NameOf(SaverMode mode)
{
    switch (mode) {
    case SaverMode::SettingsWithoutOwner: return "settings without owner";
    case SaverMode::FullScreen: return "full screen";
    case SaverMode::Preview: return "preview";
    case SaverMode::Settings: return "settings";
    case SaverMode::ChangePassword: return "password change";
    case SaverMode::Unknown: return "unknown";
    }
    return "?";
}

// Counts what the cases exercised, so a generator that stopped making some kind of case is noticed.
struct Coverage {
    int modes[6] = {};
    int doubleByteSteps = 0;
    int wrappedHandles = 0;
};

// The choice for one tail, on both platforms; false (and a failure) when it differs from the model.
bool CheckTail(const std::string& tail, const std::string& what, Coverage& coverage)
{
    for (bool isWin9x : {false, true}) {
        const ModeChoice choice = ChooseSaverMode(tail.c_str(), isWin9x);
        const Model::Choice expected = Model::choose(tail, isWin9x);
        const size_t rest = static_cast<size_t>(choice.rest - tail.c_str());
        if (choice.mode != expected.mode || rest != expected.rest) {
            ADD_FAILURE() << what << " \"" << Shown(tail) << "\"" << (isWin9x ? " on Windows 9x" : "")
                          << ": " << NameOf(choice.mode) << " at " << rest << ", expected "
                          << NameOf(expected.mode) << " at " << expected.rest;
            return false;
        }
        const std::string handleText =
            expected.mode == SaverMode::Settings && tail[expected.rest] == ':' ? tail.substr(expected.rest + 1)
                                                                               : tail.substr(expected.rest);
        const uint32_t expectedHandle = Model::handle(handleText, 0);
        if (ParseWindowHandle(handleText.c_str()) != expectedHandle) {
            ADD_FAILURE() << what << " \"" << Shown(tail) << "\": handle " << ParseWindowHandle(handleText.c_str())
                          << ", expected " << expectedHandle;
            return false;
        }
        if (isWin9x) {
            ++coverage.modes[static_cast<int>(expected.mode)];
        } else {
            size_t digits = 0;
            while (digits < handleText.size() && handleText[digits] >= '0' && handleText[digits] <= '9') ++digits;
            coverage.wrappedHandles += digits > 10;
        }
    }
    return true;
}

UINT ExpectedCodePage()
{
    const char* text = std::getenv("TESSALINE_EXPECT_CODE_PAGE");
    return text != nullptr ? static_cast<UINT>(std::atoi(text)) : 0;
}

}  // namespace

TEST(CommandLineRandom, LeadBytesOfTheCodePageAreThoseOfTheModel)
{
    const UINT expected = ExpectedCodePage();
    if (expected != 0) {
        ASSERT_EQ(GetACP(), expected) << "the locale did not give the expected ANSI code page";
    }
    for (int byte = 0; byte <= 0xFF; ++byte) {
        EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE, IsLeadByteOf(GetACP(), static_cast<unsigned char>(byte)))
            << "code page " << GetACP() << ", byte " << byte;
    }
}

TEST(CommandLineRandom, ProgramNameScanAndModeChoiceFollowTheModel)
{
    const UINT expected = ExpectedCodePage();
    if (expected != 0) {
        ASSERT_EQ(GetACP(), expected) << "the locale did not give the expected ANSI code page";
    }
    const Model model{GetACP()};
    Generator generator(Seed);
    Coverage coverage;
    int wrong = 0;

    for (int i = 0; i < FullLineCases && wrong < WrongCasesShown; ++i) {
        const std::string line = generator.commandLine();
        const size_t tail = static_cast<size_t>(SkipProgramName(line.c_str()) - line.c_str());
        const size_t expectedTail = model.tailOffset(line);
        if (tail != expectedTail) {
            ADD_FAILURE() << "command line " << i << " \"" << Shown(line) << "\": tail at " << tail
                          << ", expected at " << expectedTail;
            ++wrong;
            continue;
        }
        for (size_t j = 0; j < tail; j = model.next(line, j))
            coverage.doubleByteSteps += model.next(line, j) == j + 2;
        if (!CheckTail(line.substr(tail), "tail of command line " + std::to_string(i), coverage))
            ++wrong;
    }
    for (int i = 0; i < TailCases && wrong < WrongCasesShown; ++i)
        if (!CheckTail(generator.tail(), "tail " + std::to_string(i), coverage))
            ++wrong;

    for (int mode = 0; mode < 6; ++mode) {
        EXPECT_GT(coverage.modes[mode], 20) << "too few cases of mode " << NameOf(static_cast<SaverMode>(mode));
    }
    EXPECT_GT(coverage.wrappedHandles, 100) << "too few handles above 32 bits";
    if (IsLeadByteOf(GetACP(), 0x81)) {
        EXPECT_GT(coverage.doubleByteSteps, 100) << "too few double-byte characters in program names";
    }
    std::printf("%d command lines and %d tails, code page %u, %d double-byte steps, %d wrapped handles\n",
                FullLineCases, TailCases, GetACP(), coverage.doubleByteSteps, coverage.wrappedHandles);
}

// SaverMain takes its choice from the same function: every tail the model calls unknown ends the run
// with -1 before anything is shown.
TEST(CommandLineRandom, SaverMainRefusesTheTailsTheModelCallsUnknown)
{
    Generator generator(Seed + 1);
    int refused = 0;
    for (int i = 0; i < TailCases; ++i) {
        const std::string tail = generator.tail();
        if (Model::choose(tail, false).mode != SaverMode::Unknown)
            continue;
        ++refused;
        ASSERT_EQ(SaverMain(GetModuleHandleA(nullptr), tail.c_str()), -1) << "tail \"" << Shown(tail) << "\"";
        ASSERT_EQ(hostState.saverWindow, nullptr) << "tail \"" << Shown(tail) << "\"";
    }
    EXPECT_GT(refused, 100);
    std::printf("%d of %d tails refused\n", refused, TailCases);
}
