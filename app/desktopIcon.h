#pragma once
// The game's desktop icon: a lit asteroid against a starry sky with a shot streaking past. One
// drawing in coordinates of the icon's side, so every size shows the same picture. The game
// hands it to the window system itself and the art generator writes it to the icon files, so
// both show the same pixels.

#include <vector>

namespace art {

// size * size RGBA pixels, top row first; the same bytes on every run.
std::vector<unsigned char> iconPixels(int size);

} // namespace art
