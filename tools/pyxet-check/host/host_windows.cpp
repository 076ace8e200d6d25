// pyxet-check.exe on Windows 7 and later: pci.ids beside the program, and a
// standard output that suits a console, a file and a pipe. Compiled against
// the real windows.h.
#include "host/host.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace {

// While the report is captured: the console it is shown on at exit, and the
// temporary file that the standard output writes to until then.
HANDLE CaptureConsole = INVALID_HANDLE_VALUE;
int CaptureFile = -1;

// The program's own path, however long.
std::string ProgramPath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// A file of the user's temporary folder that Windows deletes when it is
// closed, open for reading and writing; -1 when there is none.
int OpenTemporaryFile()
{
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"pxc", 0, name) == 0)
        return -1;
    HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return -1;
    }
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    if (descriptor < 0)
        CloseHandle(file);
    return descriptor;
}

std::string CapturedText()
{
    std::fflush(stdout);
    std::string text;
    char buffer[4096];
    _lseek(CaptureFile, 0, SEEK_SET);
    for (int got; (got = _read(CaptureFile, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

// UTF-8 text as the console's Unicode, each line ended by CR LF.
std::wstring ConsoleText(const std::string& text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    std::wstring lines;
    for (wchar_t c : wide) {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    return lines;
}

// At exit: the captured report, shown on the console. WriteConsoleW is
// given a few thousand characters at a time, as older consoles need.
void ShowCapturedText()
{
    std::wstring text = ConsoleText(CapturedText());
    DWORD written = 0;
    for (size_t at = 0; at < text.size(); at += written) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - at, 8192));
        if (!WriteConsoleW(CaptureConsole, text.data() + at, chunk, &written, nullptr) || written == 0)
            return;
    }
}

// Sends the standard output to a temporary file until exit, when it is shown
// on the console. A console shows bytes in its own code page (437 or 850, say),
// and UTF-8 in code page 65001 is cut short by Windows 7's console, so the
// report is written there in Unicode. The console is kept through a handle of
// its own: _dup2 closes the standard output's. False when no temporary file
// can be made; the report then goes to the console as it is.
bool CaptureForConsole(HANDLE console)
{
    HANDLE process = GetCurrentProcess();
    HANDLE kept = INVALID_HANDLE_VALUE;
    if (!DuplicateHandle(process, console, process, &kept, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    int file = OpenTemporaryFile();
    std::fflush(stdout);
    if (file < 0 || _dup2(file, _fileno(stdout)) != 0) {
        if (file >= 0)
            _close(file);
        CloseHandle(kept);
        return false;
    }
    CaptureConsole = kept;
    CaptureFile = file;
    _setmode(_fileno(stdout), _O_BINARY);
    std::atexit(ShowCapturedText);
    return true;
}

}  // namespace

std::string DefaultPciIdsPath()
{
    std::string program = ProgramPath();
    if (program.empty())
        return "";
    return program.substr(0, program.find_last_of("\\/") + 1) + "pci.ids";
}

void SetUpStandardOutput(bool json)
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode) && CaptureForConsole(output))
        return;
    _setmode(_fileno(stdout), json ? _O_BINARY : _O_TEXT);
}

bool HostKnowsCodePage(int codePage)
{
    return IsValidCodePage(static_cast<UINT>(codePage)) != 0;
}

// Text from one code page into another, through UTF-16; what the second
// lacks becomes its default character.
static std::string Reencode(UINT from, UINT to, const std::string& text)
{
    if (text.empty())
        return "";
    int wideSize = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideSize);
    DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(to, flags, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(to, flags, wide.data(), wideSize, out.data(), size, nullptr, nullptr);
    return out;
}

std::string HostUtf8FromCodePage(int codePage, const std::string& text)
{
    return Reencode(static_cast<UINT>(codePage), CP_UTF8, text);
}

std::string HostCodePageFromUtf8(int codePage, const std::string& text)
{
    return Reencode(CP_UTF8, static_cast<UINT>(codePage), text);
}

bool HostIsLeadByte(int codePage, unsigned char byte)
{
    return IsDBCSLeadByteEx(static_cast<UINT>(codePage), byte) != 0;
}
