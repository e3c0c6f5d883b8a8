#pragma once
// The game's desktop icon: a lit asteroid against a starry sky with a shot streaking past.

#include <string>
#include <vector>

namespace art {

constexpr int kIconSize = 64; // pixels a side

// kIconSize * kIconSize RGBA pixels, top row first; the same bytes on every run.
std::vector<unsigned char> iconPixels();

// Writes the icon as a PNG; false (with a line on stderr) when the file cannot be written.
bool writeIcon(const std::string& path);

} // namespace art
