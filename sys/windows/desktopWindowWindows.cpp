#include "sys/desktopWindow.h"
#include "sys/windows/wideText.h"

#include <windows.h>

#include <cctype>

namespace {

// The diagnostic as a sentence for a player: the program's name is the box's title.
std::string sentence(std::string line) {
    const std::string program = "zephrandolinth: ";
    if (line.rfind(program, 0) == 0) {
        line.erase(0, program.size());
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    if (!line.empty()) {
        line[0] = char(std::toupper(static_cast<unsigned char>(line[0])));
    }
    return line + ".";
}

} // namespace

// freeglut gives every window the icon resource named GLUT_ICON, which the executable carries,
// and the task bar groups windows by their executable: nothing to add.
void identifyWindow() {}

// freeglut keeps the window's place and size and covers the monitor itself.
bool desktopSwitchesFullScreen() {
    return true;
}

// Started from Explorer or the Start Menu the game has no standard error at all, and the most
// likely reasons are the ones the box names: the game run from inside its zip, or its bin
// folder gone. The box waits for the player; then the game runs on.
void showArtMissing(const std::string& line) {
    const std::string text =
        sentence(line) +
        "\n\nThe game's art is the bin folder that comes beside zephrandolinth.exe: unpack the "
        "whole zip and start the game from its folder, or install the game again.";
    MessageBoxW(GetActiveWindow(), wideText(text).c_str(), L"Zephrandolinth",
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}
