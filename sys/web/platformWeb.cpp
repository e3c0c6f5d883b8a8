// The platform's answers in a web page: Emscripten's file system in memory, the art preloaded
// at /bin, the working directory /, and the standard streams handed byte by byte to the page.

#include "sys/platform.h"

#include <iostream>

namespace fs = std::filesystem;

fs::path executablePath() {
    // A page runs no file: the art is looked for in the working directory alone.
    return {};
}

fs::path workingDirectory() {
    std::error_code error;
    return fs::current_path(error);
}

bool writesAreDiscarded(int) {
    // The page is handed every byte; whether it keeps them is its own choice (--quiet).
    return false;
}

bool shareATerminal(int, int) {
    // The page keeps the console stream and the diagnostics apart.
    return false;
}

std::error_code searchRefusal(const fs::path&) {
    // The file system in memory keeps no permissions.
    return {};
}

bool installsArtApart() {
    return false;
}

bool displayInEnvironment() {
    // The page's canvas is the display.
    return true;
}

void writeToStandardError(const std::string& text) {
    std::cerr << text;
}

void prepareStandardOutput() {
    // Nothing to do: the page receives the bytes as they are written.
}

bool keepFreedMemory() {
    // The browser's heap grows and never shrinks: nothing to ask.
    return false;
}
