#pragma once
// What the game tells and asks the desktop its window lives on. Each window system answers in a
// folder of its own (sys/linux/desktopWindowX11.cpp, sys/windows/desktopWindowWindows.cpp); the
// build picks the folder.

#include <string>

// Tells the desktop whose window the game's is, so that it can group the window with the game's
// menu entry, name the process that owns it and show the game's icon in task bars and
// switchers. Called once, right after the window is created, while its OpenGL context is
// current.
void identifyWindow();

// Whether the desktop itself puts a window in full screen and gives it back its size and place
// afterwards (GLUT's full-screen switch then asks it to); otherwise the game covers the screen
// with its window by itself.
bool desktopSwitchesFullScreen();

// Shows the player why the game runs without its art, where stderr may reach nobody (a menu
// entry, a desktop shortcut, a web page): `line` is the diagnostic already written to stderr.
void showArtMissing(const std::string& line);
