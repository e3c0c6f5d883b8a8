#pragma once
// The questions the game asks of the system it runs on, in one place. Each system answers in a
// folder of its own (sys/linux/platformPosix.cpp, sys/windows/platformWindows.cpp) and the build
// picks the folder; the game's rules never ask which system it is.

#include <filesystem>
#include <string>
#include <system_error>

// The file that runs, whatever the command line called it; empty when the system will not say.
std::filesystem::path executablePath();
// The working directory, in full; empty when the system will not say.
std::filesystem::path workingDirectory();

// The standard streams' descriptors: the same numbers in every C library the game is built with.
constexpr int standardOutput = 1;
constexpr int standardError = 2;

// Whether what is written to `fd` is lost for certain: the null device (/dev/null, NUL), or no
// open file at all (a Windows program started from the desktop has no standard output).
bool writesAreDiscarded(int fd);

// Whether both descriptors write to one terminal, where their lines meet on one screen.
bool shareATerminal(int fd, int other);

// Why files inside `directory` cannot be opened by name (the system's error), or no error when
// they can.
std::error_code searchRefusal(const std::filesystem::path& directory);

// Whether an installation on this system puts the art in a data directory apart from the
// executable (share/... on Unix); where it does not, the art lies beside the executable.
bool installsArtApart();

// Whether the environment names the display to open the window on (DISPLAY for X); Windows
// always has its desktop.
bool displayInEnvironment();

// Writes `text`, in UTF-8, to stderr as the system shows it: a console shows it as text.
void writeToStandardError(const std::string& text);

// Sets the standard output up for the console stream before anything is written to it.
void prepareStandardOutput();

// Where the program has no standard output at all, gives it, and a missing standard error, the
// console of the command prompt that started it, if there is one: a Windows program for the
// desktop, typed at a prompt, gets no standard streams of its own. An output sent to a file, a
// pipe or a console stays where it is.
void reachTheStartingConsole();

// The usage text's words for this system's own things: the name of its null device, and the
// lines on the GLUT options its GLUT reads ("  -option   what it does\n" each).
std::string nullDeviceName();
std::string glutOptionsUsage();

// Tells the C library, where it offers the settings, to keep memory freed during a frame for the
// next one. Returns false when it did not take them (another C library, a sanitizer's
// allocator, a system without the settings): the game runs as before, only slower.
bool keepFreedMemory();
