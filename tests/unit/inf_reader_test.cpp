// The INF reader's rules, each over a small INF written for the case, and the
// PCI hardware ID parser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/inf_reader.h"

namespace {

using Models = std::vector<std::string>;

// A model as "manufacturer|models section|description|install|hardware ID|compatible;IDs".
std::string Render(const InfModel& model)
{
    std::string text = model.Manufacturer + "|" + model.ModelsSection + "|" + model.Description + "|" +
                       model.InstallSection + "|" + model.HardwareId + "|";
    for (size_t i = 0; i < model.CompatibleIds.size(); ++i)
        text += (i == 0 ? "" : ";") + model.CompatibleIds[i];
    return text;
}

Models Rendered(const InfRead& read)
{
    Models models;
    for (const InfModel& model : read.Models)
        models.push_back(Render(model));
    return models;
}

InfRead Read(const std::string& text)
{
    return ReadInf(text.data(), text.size());
}

const char kVersion[] = "[Version]\nSignature=\"$CHICAGO$\"\n";

std::string Inf(const std::string& body)
{
    return kVersion + body;
}

std::string WithCrLf(const std::string& text)
{
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

std::string Utf16(const std::string& text, bool bigEndian, bool byteOrderMark)
{
    std::string utf16 = byteOrderMark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char c : text) {
        utf16 += bigEndian ? '\0' : c;
        utf16 += bigEndian ? c : '\0';
    }
    return utf16;
}

struct ReaderCase {
    const char* What;
    std::string Text;
    Models Expected;
};

// A small package INF in the form Windows 9x AGP packages use.
const std::string kViaInf = Inf(R"(Provider=%VIA%
[Manufacturer]
"VIA Technologies, Inc."=VIA

[VIA]
%PCI\VEN_1106&DEV_0305.DeviceDesc%=AGP.Install,PCI\VEN_1106&DEV_0305 ; KT133
%PCI\VEN_1106&DEV_8305.DeviceDesc%=AGP.Install,\
    PCI\VEN_1106&DEV_8305
[Strings]
VIA="VIA Technologies, Inc."
PCI\VEN_1106&DEV_0305.DeviceDesc="VIA KT133 CPU to PCI Bridge"
pci\ven_1106&dev_8305.devicedesc="VIA KT133 AGP Bridge"
)");
const Models kViaModels = {
    "VIA Technologies, Inc.|VIA|VIA KT133 CPU to PCI Bridge|AGP.Install|PCI\\VEN_1106&DEV_0305|",
    "VIA Technologies, Inc.|VIA|VIA KT133 AGP Bridge|AGP.Install|PCI\\VEN_1106&DEV_8305|"};

const ReaderCase kReaderCases[] = {
    {"a package INF", kViaInf, kViaModels},
    {"CRLF line ends", WithCrLf(kViaInf), kViaModels},
    {"section names in any case, merged",
     "[version]\nsignature=$chicago$\n[MANUFACTURER]\nA=M\n[m]\nx=i,PCI\\VEN_1\n[Manufacturer]\nB=N\n"
     "[M]\ny=j,PCI\\VEN_2\n[N]\nz=k,PCI\\VEN_3\n",
     {"A|M|x|i|PCI\\VEN_1|", "A|M|y|j|PCI\\VEN_2|", "B|N|z|k|PCI\\VEN_3|"}},
    {"duplicate model keys all kept",
     Inf("[Manufacturer]\nV=M\n[M]\n%D%=i,PCI\\VEN_1106&DEV_0305\n%D%=i,PCI\\VEN_1106&DEV_0391\n"
         "[Strings]\nD=VIA\n"),
     {"V|M|VIA|i|PCI\\VEN_1106&DEV_0305|", "V|M|VIA|i|PCI\\VEN_1106&DEV_0391|"}},
    {"compatible IDs",
     Inf("[Manufacturer]\nV=M\n[M]\nd = i , PCI\\VEN_1&DEV_2&REV_03 , PCI\\VEN_1&DEV_2 ,PCI\\VEN_1&CC_0600\n"),
     {"V|M|d|i|PCI\\VEN_1&DEV_2&REV_03|PCI\\VEN_1&DEV_2;PCI\\VEN_1&CC_0600"}},
    {"a bare manufacturer names its models section",
     Inf("[Manufacturer]\nIntel\n[Intel]\nd=i,h\n"), {"Intel|Intel|d|i|h|"}},
    {"decorated models sections beside the plain one, each read once",
     Inf("[Manufacturer]\n%V%=SiS,NT,NTx86\nAgain=SiS.NT\n[SiS]\nd=i,h1\n[SiS.NT]\nd=i.NT,h2\n"
         "[SiS.NTx86]\nd=i.NTx86,h3\n[Strings]\nV=SiS\n"),
     {"SiS|SiS|d|i|h1|", "SiS|SiS.NT|d|i.NT|h2|", "SiS|SiS.NTx86|d|i.NTx86|h3|"}},
    {"a decoration without its section",
     Inf("[Manufacturer]\nV=M,NT\n[M]\nd=i,h\n"), {"V|M|d|i|h|"}},
    {"comments outside quotes and %keys%",
     Inf("; a comment\n[Manufacturer] ; after the name\nV=M;x\n[M]\n\"a;b\"=i,h ; c\n%K;1%=i,h\n"
         "[Strings]\n\"K;1\"=Semi ; colon\n"),
     {"V|M|a;b|i|h|", "V|M|Semi|i|h|"}},
    {"continuation with a comment after it, and spaces around it",
     Inf("[Manufacturer]\nV=M\n[M]\nd=i,  \\  ; the ID follows\n   PCI\\VEN_8086&DEV_7190 \\\n\nnext=j,k\n"),
     {"V|M|d|i|PCI\\VEN_8086&DEV_7190|", "V|M|next|j|k|"}},
    {"continuation within a field joins without a space",
     Inf("[Manufacturer]\nV=M\n[M]\nd=i,PCI\\VEN_8086\\\n  &DEV_7190\n"), {"V|M|d|i|PCI\\VEN_8086&DEV_7190|"}},
    {"a backslash at the end of the file continues nothing",
     Inf("[Manufacturer]\nV=M\n[M]\nd=i,h\\"), {"V|M|d|i|h|"}},
    {"Ctrl-Z ends the file",
     Inf("[Manufacturer]\nV=M\n[M]\nd=i,h\x1a\ne=j,k\n"), {"V|M|d|i|h|"}},
    {"doubled quotes and percent signs",
     Inf("[Manufacturer]\nV=M\n[M]\n\"Say \"\"AGP\"\"\"=i,h\n\"100%% AGP\"=i,h\n%%=i,h\n"),
     {"V|M|Say \"AGP\"|i|h|", "V|M|100% AGP|i|h|", "V|M|%|i|h|"}},
    {"quotes within a field, spaces within kept",
     Inf("[Manufacturer]\nV=M\n[M]\n  Two  words \" quoted, \"end  =  i\n"), {"V|M|Two  words  quoted, end|i||"}},
    {"a quote left open ends with the line; a lone field is the key too",
     Inf("[Manufacturer]\nV=M\n[M]\n\"open=i,h\ne=j,k\n"), {"V|M|open=i,h|open=i,h||", "V|M|e|j|k|"}},
    {"an unknown %key% stays, values are not substituted again",
     Inf("[Manufacturer]\nV=M\n[M]\n%Nope%=i,h\n%A%=%B%,h\n[Strings]\nA=%B%\nB=b\n"),
     {"V|M|%Nope%|i|h|", "V|M|%B%|b|h|"}},
    {"the first [Strings] line of a key wins",
     Inf("[Manufacturer]\nV=M\n[M]\n%D%=i,h\n[Strings]\nd=first\nD=second\n"), {"V|M|first|i|h|"}},
    {"no [Manufacturer]", Inf("[M]\nd=i,h\n"), {}},
    {"only = in the first field makes a key",
     Inf("[Manufacturer]\nV=M\n[M]\na,b=c\n=i,h\n"), {"V|M||a|b=c|", "V|M||i|h|"}},
    {"a UTF-8 byte-order mark is skipped",
     "\xEF\xBB\xBF" + Inf("[Manufacturer]\nV=M\n[M]\nd=i,h\n"), {"V|M|d|i|h|"}},
    {"signature $Windows 95$", "[Version]\nSignature=$Windows 95$\n[Manufacturer]\nV=M\n[M]\nd=i,h\n",
     {"V|M|d|i|h|"}},
    {"signature $WINDOWS NT$, comment before the first section",
     ";c\n[Version]\nSignature=\"$WINDOWS NT$\"\n[Manufacturer]\nV=M\n[M]\nd=i,h\n", {"V|M|d|i|h|"}},
};

TEST(InfReader, Rules)
{
    for (const ReaderCase& test : kReaderCases) {
        SCOPED_TRACE(test.What);
        InfRead read = Read(test.Text);
        EXPECT_TRUE(read.IsInf) << read.Problem;
        EXPECT_EQ(read.Problem, "");
        EXPECT_FALSE(read.Unicode);
        EXPECT_FALSE(read.Refused);
        EXPECT_EQ(Rendered(read), test.Expected);
        EXPECT_TRUE(read.Warnings.empty());
        EXPECT_TRUE(read.Notes.empty());
    }
}

// Windows 9x setup reads these files, which the NT family refuses or reads
// otherwise: the IDs are kept, with a warning or a note naming the difference.
struct Win9xCase {
    const char* What;
    std::string Text;
    Models Expected;
    const char* Warning;  // empty when none
    const char* Note;     // empty when none
};

const char kSignatureWarning[] = " is none of the documented $Chicago$, $Windows 95$, $Windows NT$: read all the same";

const Win9xCase kWin9xCases[] = {
    {"a /* */ banner before [version]",
     "/****************************\r\n * Rendition Verite [beta] driver; \"quoted\r\n"
     " ***************************/\r\n[version]\r\nsignature=\"$CHICAGO$\"\r\n[Manufacturer]\r\nV=M\r\n"
     "[M]\r\nd=i,PCI\\VEN_1163&DEV_0001\r\n",
     {"V|M|d|i|PCI\\VEN_1163&DEV_0001|"}, "",
     "line 1: text before the first section, which Windows 9x ignores and the NT family refuses"},
    {"a section header right after a ', \\' continuation",
     Inf("[Manufacturer]\nV=M\n[M]\n%D%=i,PCI\\VEN_1106&DEV_0571, \\\n[Strings]\nD=VIA IDE\n"),
     {"V|M|VIA IDE|i|PCI\\VEN_1106&DEV_0571|"}, "",
     "line 7: [Strings] after a '\\' continuation begins a section, which the NT family reads as part of the "
     "line before"},
    {"signature $Windows 9x$", "[Version]\nSignature=\"$Windows 9x$\"\n[Manufacturer]\nV=M\n[M]\nd=i,h\n",
     {"V|M|d|i|h|"}, "Signature \"$Windows 9x$\"", ""},
    {"signature $WINDOWS95$", "[Version]\nSignature=$WINDOWS95$\n[Manufacturer]\nV=M\n[M]\nd=i,h\n", {"V|M|d|i|h|"},
     "Signature \"$WINDOWS95$\"", ""},
    {"signature $CHICAGO without its closing $", "[Version]\nSignature=\"$CHICAGO\"\n[Manufacturer]\nV=M\n[M]\nd=i,h\n",
     {"V|M|d|i|h|"}, "Signature \"$CHICAGO\"", ""},
    {"signature without dollars", "[Version]\nSignature=Chicago\n", {}, "Signature \"Chicago\"", ""},
    {"signature $Windows 98$", "[Version]\nSignature=$Windows 98$\n", {}, "Signature \"$Windows 98$\"", ""},
    {"a substituted signature, not substituted", "[Version]\nSignature=%S%\n[Strings]\nS=$Chicago$\n", {},
     "Signature \"%S%\"", ""},
};

TEST(InfReader, Win9xReading)
{
    for (const Win9xCase& test : kWin9xCases) {
        SCOPED_TRACE(test.What);
        InfRead read = Read(test.Text);
        EXPECT_TRUE(read.IsInf) << read.Problem;
        EXPECT_EQ(Rendered(read), test.Expected);
        std::vector<std::string> warnings;
        if (*test.Warning != '\0')
            warnings.push_back(test.Warning + std::string(kSignatureWarning));
        EXPECT_EQ(read.Warnings, warnings);
        std::vector<std::string> notes;
        if (*test.Note != '\0')
            notes.push_back(test.Note);
        EXPECT_EQ(read.Notes, notes);
    }
}

TEST(InfReader, Utf16IsReadAndReported)
{
    const struct {
        bool BigEndian;
        bool ByteOrderMark;
    } forms[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const auto& form : forms) {
        SCOPED_TRACE(std::string(form.BigEndian ? "big" : "little") + (form.ByteOrderMark ? " with" : " without"));
        InfRead read = Read(Utf16(WithCrLf(kViaInf), form.BigEndian, form.ByteOrderMark));
        EXPECT_TRUE(read.IsInf) << read.Problem;
        EXPECT_TRUE(read.Unicode);
        EXPECT_EQ(Rendered(read), kViaModels);
    }
    std::string outside = Utf16(Inf("[Manufacturer]\nV=M\n[M]\nX=i,h\n"), false, true);
    outside[outside.size() - 11] = '\x30';  // X becomes U+3058
    EXPECT_EQ(Rendered(Read(outside)), Models{"V|M|?|i|h|"});
}

TEST(InfReader, NoInf)
{
    const struct {
        const char* What;
        std::string Text;
        const char* Problem;
    } cases[] = {
        {"no [Version]", "[Manufacturer]\nV=M\n", "no [Version] section"},
        {"no Signature", "[Version]\nClass=System\n", "[Version] has no Signature"},
        {"empty", "", "no [Version] section"},
        {"a section name without its ]", std::string(kVersion) + "[Manufacturer\nV=M\n",
         "line 3: a section name without its ']'"},
        {"a ] cut off by Ctrl-Z", std::string(kVersion) + "[Manu\x1a]\n", "line 3: a section name without"},
        {"a line before the first section is no Signature", "Signature=$Chicago$\n[Version]\n",
         "[Version] has no Signature"},
        {"a section name too long", std::string(kVersion) + "[" + std::string(256, 'S') + "]\n",
         "line 3: a section name longer than 255 characters"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.What);
        InfRead read = Read(test.Text);
        EXPECT_FALSE(read.IsInf);
        EXPECT_FALSE(read.Refused);
        EXPECT_EQ(read.Problem.rfind(test.Problem, 0), 0u) << read.Problem;
        EXPECT_TRUE(read.Models.empty());
    }
}

TEST(InfReader, BoundsOfFieldsNamesAndFiles)
{
    std::string longest = Inf("[" + std::string(255, 'S') + "]\n[Manufacturer]\nV=M\n[M]\n" +
                              std::string(600, 'd') + "=i,h\n%K%%K%%K%%K%%K%%K%%K%%K%%K%=i,h\n[Strings]\nK=" +
                              std::string(511, 'k') + "\n");
    InfRead read = Read(longest);
    ASSERT_EQ(read.Models.size(), 2u);
    EXPECT_EQ(read.Models[0].Description, std::string(kInfFieldMax, 'd'));
    EXPECT_EQ(read.Models[1].Description, std::string(kInfStringMax, 'k'));

    std::string largest(kInfFileMax, '\n');
    longest.copy(&largest[0], longest.size());
    EXPECT_TRUE(Read(largest).IsInf);
    largest += '\n';
    read = Read(largest);
    EXPECT_TRUE(read.Refused);
    EXPECT_FALSE(read.IsInf);
    EXPECT_EQ(read.Problem, "larger than 1048576 bytes (1048577)");
}

TEST(PciHardwareId, Forms)
{
    const struct {
        const char* Text;
        const char* Formatted;  // empty when the text is no PCI hardware ID
    } cases[] = {
        {"PCI\\VEN_8086&DEV_7190", "PCI\\VEN_8086&DEV_7190"},
        {"pci\\ven_10de&dev_0028&subsys_80331043&rev_15", "PCI\\VEN_10DE&DEV_0028&SUBSYS_80331043&REV_15"},
        {"PCI\\VEN_1106&DEV_0305&CC_0600", "PCI\\VEN_1106&DEV_0305&CC_0600"},
        {"PCI\\VEN_1106&DEV_0305&REV_02&CC_060000", "PCI\\VEN_1106&DEV_0305&REV_02&CC_060000"},
        {"PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02&CC_0600",
         "PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02&CC_0600"},
        {"PCI\\VEN_1106&CC_0600", ""},
        {"USB\\VID_046D&PID_C00E", ""},
        {"PCI\\VEN_110&DEV_0305", ""},
        {"PCI\\VEN_11066&DEV_0305", ""},
        {"PCI\\VEN_G106&DEV_0305", ""},
        {"PCI\\VEN_1106&DEV_0305&REV_2", ""},
        {"PCI\\VEN_1106&DEV_0305&CC_06000", ""},
        {"PCI\\VEN_1106&DEV_0305&CC_06000000", ""},
        {"PCI\\VEN_1106&DEV_0305&REV_02&SUBSYS_00000000", ""},
        {"PCI\\VEN_1106&DEV_0305&REV_02&REV_02", ""},
        {"PCI\\VEN_1106&DEV_0305&", ""},
        {" PCI\\VEN_1106&DEV_0305", ""},
        {"PCI\\VEN_1106&DEV_0305 ", ""},
        {"PCI/VEN_1106&DEV_0305", ""},
        {"", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Text);
        PciHardwareId id;
        bool parsed = ParsePciHardwareId(test.Text, &id);
        EXPECT_EQ(parsed, *test.Formatted != '\0');
        if (parsed) {
            EXPECT_EQ(FormatPciHardwareId(id), test.Formatted);
        }
    }
}

TEST(PciHardwareId, Numbers)
{
    PciHardwareId id;
    ASSERT_TRUE(ParsePciHardwareId("PCI\\VEN_10de&DEV_0028&SUBSYS_80331043&REV_15&CC_030001", &id));
    EXPECT_EQ(id.Vendor, 0x10DE);
    EXPECT_EQ(id.Device, 0x0028);
    EXPECT_TRUE(id.HasSubsystem);
    EXPECT_EQ(id.Subsystem, 0x80331043u);
    EXPECT_TRUE(id.HasRevision);
    EXPECT_EQ(id.Revision, 0x15);
    EXPECT_TRUE(id.HasClass);
    EXPECT_EQ(id.BaseClass, 0x03);
    EXPECT_EQ(id.SubClass, 0x00);
    EXPECT_TRUE(id.HasProgrammingInterface);
    EXPECT_EQ(id.ProgrammingInterface, 0x01);
}

}  // namespace
