#pragma once
// The game's picture is composed for 4:3 (the cockpit's pillars and dashboard frame a 640x480
// view). In a window of any other shape the picture keeps that composition whole: it fills the
// largest centred 4:3 area and black bars, which the frame's clear leaves black, fill the rest.
// The projection is the opening one for the whole run. Full screen is the same picture on the
// whole screen.

// Where the picture goes in a window, in window pixels from its lower left corner, as
// glViewport takes them.
struct PictureArea {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PictureArea& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The largest 4:3 area centred in a window of that size; nothing in a window with no area.
PictureArea pictureArea(int width, int height);

// Loads the game's perspective (45 degrees, near 0.1, far 200) for `aspect` (width / height)
// into the projection matrix and leaves model-view as the current matrix.
void setPerspective(float aspect);

// GLUT reshape callback: the viewport becomes the window's picture area; nothing else changes.
void reshapeWindow(int width, int height);

// Full screen on when off, off when on, back to the window's size and place of before.
void switchFullScreen();
