// Fuzzes the path helpers and the launch's working-folder rule with fuzzed
// program file names and commands, with and without the stand-in's
// Shift-JIS lead bytes (whose trail bytes may be a backslash but are never
// a separator). A joined path is whole or empty; the folder made current is
// the command's folder part joined to the module folder; the program
// started is the row's command and nothing else, and nothing is started
// when that folder does not fit a path buffer.
//
// Input: one mode byte (bit 0: lead bytes on; bits 1-2: the row's support
// flags; bit 3: WinExec fails; bit 4: the row asks for a restart), then the
// program's file name, a line feed, and the command.
#include <string>

#include "common/fuzz_support.h"
#include "launch/launch.h"
#include "settings/driver_table.h"
#include "settings/paths.h"
#include "standin.h"

namespace {

bool IsSeparator(char c)
{
    return c == ':' || c == '\\';
}

// Start of the last character of text, or npos when text is empty.
size_t LastCharacter(const std::string& text)
{
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); i = NextCharacter(text, i))
        last = i;
    return last;
}

int ExpectedFolderPartLength(const std::string& path)
{
    size_t last = LastCharacter(path);
    if (last == std::string::npos || IsSeparator(path[last]))
        return -1;
    int length = 0;
    for (size_t i = 0; i < path.size(); i = NextCharacter(path, i)) {
        if (IsSeparator(path[i]))
            length = static_cast<int>(i) + 1;
    }
    return length;
}

// The joined path, or "" when it does not fit a path buffer.
std::string ExpectedJoin(const std::string& folder, const std::string& name)
{
    size_t last = LastCharacter(folder);
    std::string joined = folder;
    if (last == std::string::npos || folder.compare(last, std::string::npos, "\\") != 0)
        joined += '\\';
    joined += name;
    return joined.size() <= kPathSize - 1 ? joined : "";
}

// The folder part of a path without its trailing backslash; false when the
// path has none.
bool FolderWithoutBackslash(const std::string& path, std::string* folder)
{
    int cut = ExpectedFolderPartLength(path);
    if (cut <= 0)
        return false;
    *folder = path.substr(0, cut);
    if (folder->back() == '\\')
        folder->pop_back();
    return true;
}

enum class WorkFolder { None, Made, TooLong };

// The folder the launch makes current: the command's folder part, without
// the backslash that ends it, joined to the module folder (the module
// folder alone for a command without one).
WorkFolder ExpectedWorkFolder(const std::string& moduleFolder, const std::string& command, std::string* folder)
{
    int cut = ExpectedFolderPartLength(command);
    if (cut < 0)
        return WorkFolder::None;
    std::string part = command.substr(0, cut);
    if (!part.empty() && part.back() == '\\')
        part.pop_back();
    if (part.empty()) {
        *folder = moduleFolder;
        return WorkFolder::Made;
    }
    *folder = ExpectedJoin(moduleFolder, part);
    return folder->empty() ? WorkFolder::TooLong : WorkFolder::Made;
}

void CheckFolderPartLength(const std::string& path)
{
    std::unique_ptr<char[]> text = ExactText(path);
    int length = FolderPartLength(text.get());
    FUZZ_CHECK(length == ExpectedFolderPartLength(path),
               "folder part of \"" + path + "\" is " + std::to_string(length));
}

void CheckJoin(const std::string& folder, const std::string& name)
{
    std::unique_ptr<char[]> destination = GuardedBuffer(kPathSize);
    std::unique_ptr<char[]> folderText = ExactText(folder);
    std::unique_ptr<char[]> nameText = ExactText(name);
    int fits = JoinPath(destination.get(), folderText.get(), nameText.get());
    std::string expected = ExpectedJoin(folder, name);
    FUZZ_CHECK(HoldsText(destination.get(), kPathSize), "the joined path has no NUL within its buffer");
    FUZZ_CHECK(destination.get() == expected, "joined \"" + std::string(destination.get()) + "\", expected \"" +
                                                  expected + "\"");
    FUZZ_CHECK((fits != 0) == !expected.empty(), "JoinPath reports the wrong outcome for \"" + expected + "\"");
}

// The module folder is the program file's folder without its backslash,
// or empty when the file name does not fit or has no folder.
void CheckModuleFolder(const std::string& fileName)
{
    Win.ModuleFileName = fileName;
    GetModuleFolder();
    const char* folder = ProgramState.ModuleFolder;
    std::string expected;
    if (fileName.size() > kPathSize - 1 || !FolderWithoutBackslash(fileName, &expected))
        expected.clear();
    FUZZ_CHECK(HoldsText(folder, kPathSize), "the module folder has no NUL within its field");
    FUZZ_CHECK(folder == expected, "module folder \"" + std::string(folder) + "\", expected \"" + expected + "\"");
}

void CheckLaunch(const std::string& command, uint8_t mode)
{
    if (command.size() > kPathSize - 1)
        return;
    DriverEntry& row = DriverTable.Rows[0];
    command.copy(row.Command, command.size());
    row.Command[command.size()] = '\0';
    row.SupportFlags = (mode >> 1) & 3;
    row.RestartFlag = (mode >> 4) & 1;
    Win.WinExecResult = (mode & 8) != 0 ? 2 : 33;
    DriverTable.Count = 1;
    ProgramState.Version = Win.Version;

    LaunchOutcome outcome = LaunchDriver(0);
    if ((row.SupportFlags & 2) == 0) {
        FUZZ_CHECK(outcome == LaunchNotSupported && Win.Started.empty() && Win.Folders.empty(),
                   "an unsupported driver was started or changed the folder");
        return;
    }
    std::string folder;
    WorkFolder workFolder = ExpectedWorkFolder(ProgramState.ModuleFolder, command, &folder);
    if (workFolder == WorkFolder::TooLong) {
        FUZZ_CHECK(outcome == LaunchFailed && Win.Started.empty() && Win.Folders.empty(),
                   "started \"" + command + "\" although its folder does not fit");
        return;
    }
    FUZZ_CHECK(Win.Started.size() == 1 && Win.Started[0].Command == command,
               "started something other than the row's command \"" + command + "\"");
    if (workFolder == WorkFolder::None) {
        FUZZ_CHECK(Win.Folders.empty(), "the folder changed to \"" + Win.Folders[0] + "\"");
    } else {
        FUZZ_CHECK(Win.Folders.size() == 1 && Win.Folders[0] == folder, "the folder did not change to \"" + folder + "\"");
        FUZZ_CHECK(Win.CallOrder.front() == "SetCurrentDirectoryA", "the folder changed after the start");
    }
    LaunchOutcome expected = (mode & 8) != 0          ? LaunchFailed
                             : row.RestartFlag == 1 ? LaunchStartedWithRestart
                                                    : LaunchStarted;
    FUZZ_CHECK(outcome == expected, "launch outcome " + std::to_string(outcome));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    ResetProgram((mode & 1) != 0);
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t newline = input.find('\n');
    std::string fileName = InputText(reinterpret_cast<const uint8_t*>(input.data()),
                                     std::min(newline, input.size()), input.size());
    std::string command = newline == std::string::npos
                              ? std::string()
                              : InputText(reinterpret_cast<const uint8_t*>(input.data()) + newline + 1,
                                          input.size() - newline - 1, input.size());

    CheckFolderPartLength(fileName);
    CheckFolderPartLength(command);
    CheckJoin(fileName, command);
    CheckModuleFolder(fileName);
    CheckJoin(ProgramState.ModuleFolder, command);
    CheckLaunch(command, mode);
    return 0;
}
