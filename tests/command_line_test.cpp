#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TailOf(const char* commandLine)
{
    return SkipProgramName(commandLine);
}

}  // namespace

TEST(SkipProgramName, SkipsQuotedAndUnquotedNamesAndTheSeparatorsBehind)
{
    EXPECT_EQ(TailOf("\"C:\\Program Files\\My Saver\\tessaline.scr\" /s"), "/s") << "quoted path with blanks";
    EXPECT_EQ(TailOf("\"C:\\a b\\t.scr\"/p 12"), "/p 12") << "argument right after the closing quote";
    EXPECT_EQ(TailOf("\"C:\\never closed /s"), "") << "an unclosed quote takes the whole line";
    EXPECT_EQ(TailOf("tessaline.scr /c:42"), "/c:42");
    EXPECT_EQ(TailOf("prog/s"), "") << "an argument against the name belongs to the name";
    EXPECT_EQ(TailOf("prog-s  /s"), "/s");
    EXPECT_EQ(TailOf("tessaline.scr"), "") << "no arguments";
    EXPECT_EQ(TailOf(""), "");
    EXPECT_EQ(TailOf("prog \t\x01\x1f /s x"), "/s x") << "blanks, tabs and control bytes are skipped";
    EXPECT_EQ(TailOf("\t/s"), "/s") << "no name at all";
    EXPECT_EQ(TailOf("pr\xe9g\xff /s"), "/s") << "bytes above 0x7F are part of the name";
}

TEST(ParseWindowHandle, ReadsLeadingDecimalDigitsWithWrapAround)
{
    EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("12ab"), 12u) << "stops at the first non-digit";
    EXPECT_EQ(ParseWindowHandle("0"), 0u);
    EXPECT_EQ(ParseWindowHandle("007"), 7u);
    EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
    EXPECT_EQ(ParseWindowHandle("4294967296"), 0u) << "wraps modulo 2^32";
    EXPECT_EQ(ParseWindowHandle("4294967306"), 10u);
    EXPECT_EQ(ParseWindowHandle("99999999999"), static_cast<uint32_t>(99999999999ull));
    EXPECT_EQ(ParseWindowHandle(""), 0u);
    EXPECT_EQ(ParseWindowHandle(" 12"), 0u) << "no leading blank";
    EXPECT_EQ(ParseWindowHandle("+12"), 0u) << "no sign";
    EXPECT_EQ(ParseWindowHandle("-12"), 0u) << "no sign";
    EXPECT_EQ(ParseWindowHandle("0x1A"), 0u) << "no hexadecimal prefix";
    EXPECT_EQ(ParseWindowHandle(":12"), 0u);
}
