// Paths, the module folder, localized texts and the country code.
#include "fixture.h"

#include "core/text.h"
#include "settings/paths.h"
#include "settings/texts.h"

using SettingsTest = ProgramTest;

TEST(Paths, FolderPartLength)
{
    EXPECT_EQ(FolderPartLength("A:\\X\\Y.EXE"), 5);
    EXPECT_EQ(FolderPartLength("C:"), -1);
    EXPECT_EQ(FolderPartLength("C:\\"), -1);
    EXPECT_EQ(FolderPartLength(""), -1);
    EXPECT_EQ(FolderPartLength("FILE"), 0);
    EXPECT_EQ(FolderPartLength("C:FILE"), 2);
    EXPECT_EQ(FolderPartLength("DRV/A/SETUP.EXE"), 0) << "the forward slash is no separator";
}

TEST(Paths, JoinPathAddsOneBackslash)
{
    char joined[kPathSize];
    EXPECT_TRUE(JoinPath(joined, "C:\\DRV\\", "A.INI"));
    EXPECT_STREQ(joined, "C:\\DRV\\A.INI");
    EXPECT_TRUE(JoinPath(joined, "C:\\DRV", "A.INI"));
    EXPECT_STREQ(joined, "C:\\DRV\\A.INI");
    EXPECT_TRUE(JoinPath(joined, "C:\\DRV", "\\A.INI"));
    EXPECT_STREQ(joined, "C:\\DRV\\\\A.INI");
    EXPECT_TRUE(JoinPath(joined, "C:", "A.INI"));
    EXPECT_STREQ(joined, "C:\\A.INI");
}

TEST(Paths, JoinPathThatDoesNotFitLeavesNothing)
{
    char joined[kPathSize + 8];
    memset(joined, 'z', sizeof joined);
    std::string folder(120, 'F');
    EXPECT_TRUE(JoinPath(joined, folder.c_str(), "123456")) << "127 characters fit";
    EXPECT_EQ(strlen(joined), 127u);
    memset(joined, 'z', sizeof joined);
    EXPECT_FALSE(JoinPath(joined, folder.c_str(), "1234567"));
    EXPECT_STREQ(joined, "");
    EXPECT_EQ(joined[kPathSize], 'z') << "nothing written past the buffer";
}

TEST(Paths, TrailByteThatIsABackslashsCodeSeparatesNothing)
{
    // 0x83 0x5C is one Shift-JIS character whose trail byte is 0x5C.
    ResetStandIn();
    Win.ShiftJisLeadBytes = true;
    EXPECT_EQ(FolderPartLength("C:\\\x83\x5c"), 3);
    EXPECT_EQ(FolderPartLength("C:\\\x83\x5c\\A.EXE"), 6);
    EXPECT_EQ(FolderPartLength("\x83\x5c" "A"), 0);
    char joined[kPathSize];
    EXPECT_TRUE(JoinPath(joined, "C:\\\x83\x5c", "A.INI"));
    EXPECT_STREQ(joined, "C:\\\x83\x5c\\A.INI") << "the folder does not end with a backslash";
    ResetStandIn();
    EXPECT_EQ(FolderPartLength("C:\\\x83\x5c"), -1) << "in a single-byte code page 0x5C is the backslash";
}

TEST_F(SettingsTest, ModuleFolderDropsFileNameAndBackslash)
{
    Win.ModuleFileName = "C:\\DRIVERS\\AGP\\SETUP.EXE";
    GetModuleFolder();
    EXPECT_STREQ(ProgramState.ModuleFolder, "C:\\DRIVERS\\AGP");
    Win.ModuleFileName = "C:\\SETUP.EXE";
    GetModuleFolder();
    EXPECT_STREQ(ProgramState.ModuleFolder, "C:");
}

TEST_F(SettingsTest, OverlongModulePathMakesTheFolderUnusable)
{
    WriteSettings("[1]\nExit=Quit\n[Drivers]\nchip0=A,1,2,0,3,S.EXE,1\n");
    Win.ModuleFileName = "C:\\" + std::string(130, 'D') + "\\PYXET.EXE";
    GetModuleFolder();
    EXPECT_STREQ(ProgramState.ModuleFolder, "");

    char text[kTextSize] = "old";
    LookupText("Exit", text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(LoadDriverTable(), 0);
    EXPECT_EQ(DriverTable.Count, 0);
    EXPECT_TRUE(Win.ProfileKeysRead.empty()) << "no file is read from an unusable folder";
}

TEST_F(SettingsTest, ModulePathMustFitTheFolderField)
{
    // 127 characters fit the 128-byte field; 128 do not, and neither does a
    // path longer than the buffer GetModuleFileNameA fills.
    std::string fits = "C:\\" + std::string(114, 'D') + "\\PYXET.EXE";
    ASSERT_EQ(fits.size(), 127u);
    Win.ModuleFileName = fits;
    GetModuleFolder();
    EXPECT_EQ(std::string(ProgramState.ModuleFolder), "C:\\" + std::string(114, 'D'));

    for (size_t length : {128, 300}) {
        strcpy(ProgramState.ModuleFolder, "stale");
        Win.ModuleFileName = "C:\\" + std::string(length - 13, 'D') + "\\PYXET.EXE";
        GetModuleFolder();
        EXPECT_STREQ(ProgramState.ModuleFolder, "") << length << " characters";
    }
}

TEST_F(SettingsTest, SettingsPathThatDoesNotFitIsLeftEmpty)
{
    // The program file fits, but 120 characters of folder leave no room for
    // the settings file's longer name.
    Win.ModuleFileName = std::string(120, 'D') + "\\A.EXE";
    GetModuleFolder();
    EXPECT_EQ(strlen(ProgramState.ModuleFolder), 120u);
    EXPECT_FALSE(EnsureSettingsPath());
    EXPECT_STREQ(ProgramState.SettingsPath, "");
}

TEST_F(SettingsTest, CountryCodeFromSystemProfile)
{
    Win.SystemProfile["Intl/iCountry"] = "49";
    ReadCountryCode();
    EXPECT_STREQ(ProgramState.CountryCode, "49");
    Win.SystemProfile["Intl/iCountry"] = "";
    ReadCountryCode();
    EXPECT_STREQ(ProgramState.CountryCode, "") << "present but empty is not missing";
    Win.SystemProfile["Intl/iCountry"] = std::string(25, '7');
    ReadCountryCode();
    EXPECT_EQ(std::string(ProgramState.CountryCode), std::string(19, '7'));
    Win.SystemProfile.erase("Intl/iCountry");
    ReadCountryCode();
    EXPECT_STREQ(ProgramState.CountryCode, "0");
}

TEST_F(SettingsTest, LookupPrefersUserSectionAndFallsBackToSectionOne)
{
    WriteSettings(
        "[1]\nExit=Exit\nOK=OK\nInstall=Install\n"
        "[49]\nexit = Beenden \nOK=\n");
    StartInProgramFolder();
    Win.SystemProfile["Intl/iCountry"] = "49";
    ReadCountryCode();

    char text[kTextSize];
    LookupText("EXIT", text);
    EXPECT_STREQ(text, "Beenden") << "user section, blanks dropped, keys without case";
    LookupText("OK", text);
    EXPECT_STREQ(text, "OK") << "an empty value falls back like a missing one";
    LookupText("Install", text);
    EXPECT_STREQ(text, "Install");
    LookupText("Missing", text);
    EXPECT_STREQ(text, "");

    std::vector<std::string> reads = {"49/EXIT", "49/OK", "1/OK", "49/Install", "1/Install",
                                      "49/Missing", "1/Missing"};
    EXPECT_EQ(Win.ProfileKeysRead, reads) << "section 1 is read only when the user's has nothing";
}

TEST_F(SettingsTest, WithoutCountryLookupsTrySectionZeroFirst)
{
    WriteSettings("[0]\nExit=Null\n[1]\nExit=One\n");
    StartInProgramFolder();
    Win.SystemProfile.erase("Intl/iCountry");
    ReadCountryCode();
    char text[kTextSize];
    LookupText("Exit", text);
    EXPECT_STREQ(text, "Null");
}

TEST_F(SettingsTest, MissingSettingsFileYieldsEmptyTexts)
{
    StartInProgramFolder();
    char text[kTextSize] = "old";
    LookupText("Exit", text);
    EXPECT_STREQ(text, "");
}

TEST_F(SettingsTest, LongTextsAreCutToTheirBuffer)
{
    WriteSettings("[1]\nLong=" + std::string(300, 'x') + "\n");
    StartInProgramFolder();
    char text[kTextSize + 4];
    memset(text, 'z', sizeof text);
    LookupText("Long", text);
    EXPECT_EQ(strlen(text), 255u);
    EXPECT_EQ(text[kTextSize], 'z');

    char caption[128 + 4];
    memset(caption, 'z', sizeof caption);
    LookupText("Long", caption, 128);
    EXPECT_EQ(strlen(caption), 127u);
    EXPECT_EQ(caption[128], 'z');
}

TEST_F(SettingsTest, CopyTextNeverSplitsADoubleByteCharacter)
{
    Win.ShiftJisLeadBytes = true;
    char small[4];
    EXPECT_FALSE(CopyText(small, "ab\x82\xa0", sizeof small));
    EXPECT_STREQ(small, "ab") << "the lead byte goes with its trail byte or not at all";
    EXPECT_TRUE(CopyText(small, "a\x82\xa0", sizeof small));
    EXPECT_STREQ(small, "a\x82\xa0");
    EXPECT_TRUE(CopyText(small, "ab\x82", sizeof small)) << "a lead byte without trail is one byte";
    EXPECT_STREQ(small, "ab\x82");
    EXPECT_FALSE(CopyText(small, "\x82\xa0\x82\xa0", sizeof small));
    EXPECT_STREQ(small, "\x82\xa0");

    Win.ShiftJisLeadBytes = false;
    EXPECT_FALSE(CopyText(small, "ab\x82\xa0", sizeof small));
    EXPECT_STREQ(small, "ab\x82") << "without a double-byte code page every byte stands alone";
}
