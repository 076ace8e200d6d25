// The native profile reader's lists of sections and keys, which pyxet-check
// relies on to see what the lookups themselves never list.
#include <gtest/gtest.h>

#include "profile_reader.h"

using Names = std::vector<std::string>;

TEST(ProfileReader, SectionNamesOnceEachInTheirFirstSpelling)
{
    const char text[] =
        "key=before any section\r\n"
        "[1]\r\nA=1\r\n"
        "  [ Drivers ]  \r\nchip0=x\r\n"
        "[drivers]\r\nchip1=y\r\n"
        "[no close\r\n"
        "[49]]\n";
    EXPECT_EQ(ProfileSectionNames(text), (Names{"1", "Drivers", "49]"}));
    EXPECT_EQ(ProfileSectionNames(""), Names{});
}

TEST(ProfileReader, KeyNamesOfTheFirstSectionOnly)
{
    const char text[] =
        "[Drivers]\n"
        "chip0=a\n"
        "  chip1 =  \n"
        "bare name\n"
        ";chip2=commented\n"
        "[Other]\nchip3=c\n"
        "[DRIVERS]\nchip4=d\n";
    EXPECT_EQ(ProfileKeyNames(text, "drivers"), (Names{"chip0", "chip1", ";chip2"}));
    EXPECT_EQ(ProfileKeyNames(text, " Other "), Names{"chip3"});
    EXPECT_EQ(ProfileKeyNames(text, "Missing"), Names{});
}

TEST(ProfileReader, KeyNamesAgreeWithLookups)
{
    // Every listed key is found by a lookup, and the lookup finds the first line.
    const std::string path = testing::TempDir() + "profile_reader_test.ini";
    const char text[] = "[S]\nk=first\nK=second\n[s]\nk=third\n";
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs(text, file);
    fclose(file);
    EXPECT_EQ(ProfileKeyNames(ReadProfileFile(path), "S"), (Names{"k", "K"}));
    char value[16];
    EXPECT_EQ(ReadPrivateProfileString("s", "K", "", value, sizeof value, path.c_str()), 5u);
    EXPECT_STREQ(value, "first");
    remove(path.c_str());
}
