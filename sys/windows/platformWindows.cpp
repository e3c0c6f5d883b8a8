// The platform's answers on Windows.

#include "sys/platform.h"
#include "sys/windows/wideText.h"

#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <streambuf>
#include <string>

namespace fs = std::filesystem;

namespace {

// The longest path Windows knows, in UTF-16 units, with the "\\?\" prefix.
constexpr std::size_t kLongestPath = 32768;

HANDLE handleOf(int fd) {
    // A program without a console (one started from the desktop) has no standard streams: the
    // C runtime then gives -2 rather than INVALID_HANDLE_VALUE.
    const intptr_t handle = _get_osfhandle(fd);
    return handle == -1 || handle == -2 ? nullptr : reinterpret_cast<HANDLE>(handle);
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

// Whether the device behind `handle` is the null device (NUL). The file system names the device
// type of any handle; ntdll is in every process, so it is looked up rather than linked.
bool isNullDevice(HANDLE handle) {
    using Query = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FS_INFORMATION_CLASS);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto query = ntdll == nullptr
                           ? nullptr
                           : reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
                                 GetProcAddress(ntdll, "NtQueryVolumeInformationFile")));
    if (query == nullptr) {
        return false;
    }
    IO_STATUS_BLOCK status{};
    FILE_FS_DEVICE_INFORMATION device{};
    return query(handle, &status, &device, sizeof device, FileFsDeviceInformation) >= 0 &&
           device.DeviceType == FILE_DEVICE_NULL;
}

// Writes UTF-8 `text` to a console as the UTF-16 text consoles show; false when it cannot.
bool writeToConsole(HANDLE console, const std::string& text) {
    const std::wstring converted = wideText(text);
    if (converted.empty()) {
        return text.empty();
    }
    DWORD written = 0;
    return WriteConsoleW(console, converted.data(), DWORD(converted.size()), &written, nullptr) !=
           0;
}

} // namespace

fs::path executablePath() {
    // The result is cut short, without an error, when the buffer is too small: grow it until the
    // whole path fits, for folders past the old 260-character limit.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return fs::path(path);
        }
        if (path.size() >= kLongestPath) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

fs::path workingDirectory() {
    // Asked directly: the C++ library's answer comes back empty, without an error, for a folder
    // past 260 characters. The call gives the length it needs when the buffer is too small.
    std::wstring path(MAX_PATH, L'\0');
    for (int tries = 0; tries < 3; ++tries) {
        const DWORD length = GetCurrentDirectoryW(DWORD(path.size()), path.data());
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return fs::path(path);
        }
        path.resize(length); // the working directory may change meanwhile: ask again
    }
    return {};
}

bool writesAreDiscarded(int fd) {
    const HANDLE handle = handleOf(fd);
    if (handle == nullptr) {
        return true;
    }
    // Only a character device can be NUL; asking a disk file or a pipe for its device would cost
    // a system call for nothing. Among character devices the device type tells NUL from a
    // console, on Windows and under Wine alike (where a Unix terminal is no console at all, so
    // "a character device that is not a console" would take it for NUL).
    return GetFileType(handle) == FILE_TYPE_CHAR && isNullDevice(handle);
}

bool shareATerminal(int fd, int other) {
    // A process has at most one console: two handles on a console are on the same one.
    return isConsole(handleOf(fd)) && isConsole(handleOf(other));
}

std::error_code searchRefusal(const fs::path&) {
    // Windows lets everyone pass through a folder to a file inside it that they may open (the
    // traverse check is bypassed for every user by default): there is nothing to ask.
    return {};
}

bool installsArtApart() {
    // The installer, like the zip, puts the art beside the executable.
    return false;
}

bool displayInEnvironment() {
    return true;
}

void writeToStandardError(const std::string& text) {
    // A console shows bytes in its own code page, which is not UTF-8: a folder's name such as
    // Zéphyr is written to it as UTF-16 text. A file or a pipe gets the UTF-8 bytes.
    const HANDLE handle = handleOf(standardError);
    std::cerr.flush();
    if (!isConsole(handle) || !writeToConsole(handle, text)) {
        std::cerr << text;
    }
}

void prepareStandardOutput() {
    // Text mode, so that each "\n" of the console stream goes out as "\r\n" to a console, a file
    // or a pipe, as Windows programs read lines; a program without standard output has nothing
    // to set.
    const int fd = _fileno(stdout);
    if (fd >= 0) {
        _setmode(fd, _O_TEXT);
    }
}

namespace {

// Writes what a C++ stream gives it to a console. The stream holds no console of its own: the C
// runtime's standard streams cannot be reopened on one (Wine's runtime refuses a stream that
// had no file), so the C++ stream is pointed here instead.
class ConsoleBuffer : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console(console) {}

  protected:
    // The streams hand a whole text at once, so no UTF-8 sequence is cut in two.
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        return writeToConsole(console, std::string(text, std::size_t(count))) ? count : 0;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char one = traits_type::to_char_type(c);
        return xsputn(&one, 1) == 1 ? c : traits_type::eof();
    }

  private:
    HANDLE console;
};

} // namespace

void reachTheStartingConsole() {
    // Launched from Explorer there is no parent console and nothing changes. Typed at a prompt,
    // the prompt's console is the one the player looks at (Wine has already given it to the
    // program: attaching again is refused as denied). A prompt does not wait for a windowed
    // program, so the text comes after its next prompt, as with any such program.
    if (handleOf(standardOutput) != nullptr ||
        (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)) {
        return;
    }
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        return;
    }
    static ConsoleBuffer buffer(console); // for as long as the streams may write
    std::cout.rdbuf(&buffer);
    if (handleOf(standardError) == nullptr) {
        std::cerr.rdbuf(&buffer);
    }
}

std::string nullDeviceName() {
    return "NUL";
}

std::string glutOptionsUsage() {
    // GLUT for Windows acts on these; of the others it reads, -display names a monitor for its
    // measurements and -direct, -indirect and -sync do nothing here.
    return "  -geometry WxH+X+Y   a size and place, which the game's own 640x480 at 250,250\n"
           "                      replaces\n"
           "  -iconic             start with the window minimized\n"
           "  -gldebug            report OpenGL errors\n";
}

bool keepFreedMemory() {
    // The Windows heap offers no setting at run time for how soon it gives freed memory back:
    // nothing is asked, and the game runs with the system's defaults.
    return false;
}
