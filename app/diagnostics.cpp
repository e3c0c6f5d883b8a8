#include "app/diagnostics.h"

#include "app/console.h"
#include "sys/platform.h"

#include <cerrno>
#include <iostream>

namespace {

bool missing = false;

} // namespace

void diagnose(const std::string& line) {
    const bool openLine = consoleOn() && shareATerminal(standardOutput, standardError);
    // What the console holds goes out first, then the line.
    std::cout.flush();
    writeToStandardError((openLine ? "\n" : "") + line);
}

void setArtMissing(bool value) {
    missing = value;
}

bool goneWithTheArt(int error) {
    return missing && (error == ENOENT || error == ENOTDIR);
}
