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

TEST(ProfileReader, SectionsInFileOrderWithTheirRepeats)
{
    const char text[] = "lost=1\n[Drivers]\nchip0=a\nchip0=b\nbare\n[1]\n[drivers]\nchip1=c\n";
    std::vector<ProfileSection> sections = ProfileSections(text);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].Name, "Drivers");
    EXPECT_EQ(sections[0].KeyNames, (Names{"chip0", "chip0"}));
    EXPECT_EQ(sections[1].KeyNames, Names{});
    EXPECT_EQ(sections[2].Name, "drivers");
    EXPECT_EQ(sections[2].KeyNames, Names{"chip1"});
}

static void WriteFile(const std::string& path, const char* text)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs(text, file);
    fclose(file);
}

static std::string Lookup(const std::string& path, const char* section, const char* key)
{
    char value[32];
    DWORD length = ReadPrivateProfileString(section, key, "", value, sizeof value, path.c_str());
    return std::string(value, length);
}

TEST(ProfileReader, AKeptIndexFollowsTheFile)
{
    const std::string path = testing::TempDir() + "profile_reader_kept.ini";
    KeepProfileIndexes(true);
    WriteFile(path, "[S]\nk=first\n");
    EXPECT_EQ(Lookup(path, "S", "k"), "first");
    EXPECT_EQ(Lookup(path, "s", "K"), "first");
    WriteFile(path, "[S]\nk=the second\n");
    EXPECT_EQ(Lookup(path, "S", "k"), "the second");
    remove(path.c_str());
    EXPECT_EQ(Lookup(path, "S", "k"), "");
    KeepProfileIndexes(false);
}

TEST(ProfileReader, WithoutKeepingEveryLookupReadsTheFile)
{
    // The same size and, within one clock tick, the same time: only a read sees it.
    const std::string path = testing::TempDir() + "profile_reader_anew.ini";
    WriteFile(path, "[S]\nk=one\n");
    EXPECT_EQ(Lookup(path, "S", "k"), "one");
    WriteFile(path, "[S]\nk=two\n");
    EXPECT_EQ(Lookup(path, "S", "k"), "two");
    remove(path.c_str());
}

TEST(ProfileReader, KeyNamesAgreeWithLookups)
{
    // Every listed key is found by a lookup, and the lookup finds the first line.
    const std::string path = testing::TempDir() + "profile_reader_test.ini";
    const char text[] = "[S]\nk=first\nK=second\n[s]\nk=third\n";
    WriteFile(path, text);
    EXPECT_EQ(ProfileKeyNames(ReadProfileFile(path), "S"), (Names{"k", "K"}));
    char value[16];
    EXPECT_EQ(ReadPrivateProfileString("s", "K", "", value, sizeof value, path.c_str()), 5u);
    EXPECT_STREQ(value, "first");
    remove(path.c_str());
}
