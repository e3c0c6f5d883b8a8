#pragma once
// The game's console is its standard output: the banner, the key help and the stream of debug
// lines. It is on unless the player asked for quiet or nothing written there can be read. Every
// site that writes a console line asks first, so that a line nobody will see is never formatted:
// after minutes of fire a frame's lines run to megabytes.

bool consoleOn();
void setConsoleOn(bool on);
