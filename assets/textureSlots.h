#pragma once

// Size of the game's one array of texture ids (Geometries::textures). Every loader checks a
// slot against it before writing, so no mesh or image can write past the array.
constexpr int textureSlotCount = 20;
