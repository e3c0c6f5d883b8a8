#pragma once
// The game's icon for Windows: one .ico file with the desktop icon's picture at every size
// Explorer, the Start Menu, the task bar and the title bar ask for. Each entry is a PNG image,
// which Windows reads since Vista; the executable and the installer carry this file.

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// Pixels a side; 256 is the largest an .ico entry can say.
constexpr int kIcoSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The .ico file's bytes: its directory, then the PNG images in the order of kIcoSizes.
std::vector<std::uint8_t> encodeIco();

// Writes encodeIco() to path; false (with a line on stderr naming the file) when it fails.
bool writeIco(const std::string& path);

} // namespace art
