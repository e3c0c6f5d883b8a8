#pragma once
// The game's desktop icon: a lit asteroid against a starry sky with a shot streaking past. One
// drawing in coordinates of the icon's side, so every size shows the same picture.

#include <string>
#include <vector>

namespace art {

// The sizes desktops look for in the hicolor theme, in pixels a side.
constexpr int kIconSizes[] = {48, 64, 128, 256};

// size * size RGBA pixels, top row first; the same bytes on every run.
std::vector<unsigned char> iconPixels(int size);

// Writes the icon at every size as <root>/hicolor/<n>x<n>/apps/zephrandolinth.png, the theme's
// own layout; false (with a line on stderr naming the file) when one cannot be written.
bool writeIcons(const std::string& root);

} // namespace art
