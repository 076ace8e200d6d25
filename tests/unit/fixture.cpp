#include "fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/paths.h"

static const ProgramStateRecord kInitialState = ProgramState;
static const DriverTableRecord kInitialTable = DriverTable;

void ProgramTest::SetUp()
{
    ProgramState = kInitialState;
    DriverTable = kInitialTable;
    ResetStandIn();
    char pattern[] = "/tmp/pyxet-unit-XXXXXX";
    Folder = mkdtemp(pattern);
}

void ProgramTest::TearDown()
{
    std::filesystem::remove_all(Folder);
}

void ProgramTest::WriteSettings(const std::string& text)
{
    std::ofstream(Folder + "/Pyxet.ini", std::ios::binary) << text;
}

void ProgramTest::StartInProgramFolder()
{
    // The folder keeps its slashes; the backslash that the path helpers add
    // is turned back into a slash by the stand-in's file reader.
    Win.ModuleFileName = Folder + "\\PYXET.EXE";
    GetModuleFolder();
}
