// The command-line tail and the early-build warning's format check.
#include <gtest/gtest.h>

#include "core/command_line.h"
#include "settings/format_check.h"
#include "standin.h"

TEST(CommandLineTail, SkipsTheProgramNameAndBlanks)
{
    EXPECT_STREQ(CommandLineTail("PYXET.EXE"), "");
    EXPECT_STREQ(CommandLineTail("PYXET.EXE   "), "");
    EXPECT_STREQ(CommandLineTail("PYXET.EXE x"), "x");
    EXPECT_STREQ(CommandLineTail("PYXET.EXE\t\x01 /r a"), "/r a");
    EXPECT_STREQ(CommandLineTail("\"C:\\My Drivers\\PYXET.EXE\" -r"), "-r");
    EXPECT_STREQ(CommandLineTail("\"C:\\AGP\\PYXET.EXE\"-r"), "-r") << "the closing quote ends the name";
    EXPECT_STREQ(CommandLineTail("\"C:\\AGP\\PYXET.EXE -r"), "") << "an open quote runs to the end";
    EXPECT_STREQ(CommandLineTail(""), "");
    EXPECT_STREQ(CommandLineTail("PYXET.EXE\x01\x1f\x20" "a b "), "a b ") << "the tail keeps its own blanks";
    EXPECT_STREQ(CommandLineTail("PYXET.EXE\x7f"), "") << "0x7F belongs to the name";
    EXPECT_STREQ(CommandLineTail("\"\" x"), "x") << "an empty quoted name";
}

TEST(CommandLineTail, LeadByteTakesTheNextByteWithIt)
{
    ResetStandIn();
    Win.ShiftJisLeadBytes = true;
    // 0x95 0x22 is one double-byte character whose trail byte is a quote.
    EXPECT_STREQ(CommandLineTail("\"C:\\\x95\"X.EXE\" arg"), "arg");
    EXPECT_STREQ(CommandLineTail("\"A\x95"), "") << "a lead byte at the end reads nothing beyond";
    ResetStandIn();
    EXPECT_STREQ(CommandLineTail("\"C:\\\x95\"X.EXE\" arg"), "X.EXE\" arg");
}

TEST(FormatCheck, AcceptsAtMostOneIntegerConversion)
{
    EXPECT_TRUE(IsSingleIntegerFormat("Early build %d. Go on?"));
    EXPECT_TRUE(IsSingleIntegerFormat("No number"));
    EXPECT_TRUE(IsSingleIntegerFormat("100%% sure: %-08X"));
    EXPECT_TRUE(IsSingleIntegerFormat("%#x"));
    EXPECT_TRUE(IsSingleIntegerFormat("%u"));
    EXPECT_TRUE(IsSingleIntegerFormat("%255i"));
    EXPECT_TRUE(IsSingleIntegerFormat("%00255d")) << "zeros before the width are flags";
    EXPECT_TRUE(IsSingleIntegerFormat("%%d%%"));
    EXPECT_TRUE(IsSingleIntegerFormat(""));
}

TEST(FormatCheck, RefusesAnythingThatReadsAnotherArgument)
{
    EXPECT_FALSE(IsSingleIntegerFormat("%s"));
    EXPECT_FALSE(IsSingleIntegerFormat("%c"));
    EXPECT_FALSE(IsSingleIntegerFormat("%d and %d"));
    EXPECT_FALSE(IsSingleIntegerFormat("%ld"));
    EXPECT_FALSE(IsSingleIntegerFormat("%.5d"));
    EXPECT_FALSE(IsSingleIntegerFormat("%256d")) << "a width that could overflow the text";
    EXPECT_FALSE(IsSingleIntegerFormat("trailing %"));
    EXPECT_FALSE(IsSingleIntegerFormat("%%%s"));
    EXPECT_FALSE(IsSingleIntegerFormat("%0256d"));
    EXPECT_FALSE(IsSingleIntegerFormat("%99999999999d")) << "a huge width neither overflows nor passes";
    EXPECT_FALSE(IsSingleIntegerFormat("%+d"));
    EXPECT_FALSE(IsSingleIntegerFormat("% d"));
    EXPECT_FALSE(IsSingleIntegerFormat("%x%%%X"));
}
