#pragma once
// The projection follows the window's shape, so a resized window shows the scene undistorted.
// At the opening 640x480 the projection is never touched again: a reshape then only sets the
// viewport, as GLUT itself would.

// Loads the game's perspective (45 degrees, near 0.1, far 200) for `aspect` (width / height)
// into the projection matrix and leaves model-view as the current matrix.
void setPerspective(float aspect);

// GLUT reshape callback: the viewport covers the window; the projection is set again only when
// the window's aspect differs from the one it holds. A window with no area changes nothing else.
void reshapeWindow(int width, int height);
