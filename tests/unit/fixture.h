// Test fixture: fresh program state, driver table and stand-in for every test,
// and a program folder in a temporary directory to put a settings file in.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/program_state.h"
#include "settings/driver_table.h"
#include "standin.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the settings file Pyxet.ini into the program folder.
    void WriteSettings(const std::string& text);
    // Points the module file name at the program folder and reads it.
    void StartInProgramFolder();

    std::string Folder;
};
