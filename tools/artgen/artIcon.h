#pragma once
// The desktop icon's files. The drawing itself is the game's (app/desktopIcon.h), so the
// window's icon and the installed files are the same picture.

#include "app/desktopIcon.h"

#include <string>

namespace art {

// The sizes desktops look for in the hicolor theme, in pixels a side.
constexpr int kIconSizes[] = {48, 64, 128, 256};

// Writes the icon at every size as <root>/hicolor/<n>x<n>/apps/zephrandolinth.png, the theme's
// own layout; false (with a line on stderr naming the file) when one cannot be written.
bool writeIcons(const std::string& root);

} // namespace art
