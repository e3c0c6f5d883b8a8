#pragma once
// The game's own diagnostics: one line each on stderr, naming the file or value that caused it.
// They go through here so that each starts on a line of its own on a terminal that stdout
// shares, where the console stream always leaves its last line open.

#include <string>

// Writes `line`, which ends in '\n', to stderr; first a '\n' when the console is on and shares
// stderr's terminal, so the line does not run on after the console's.
void diagnose(const std::string& line);

// Once start-up has said that the art is missing, the meshes and images that then cannot be
// opened go unreported, one by one: that line said it for all of them.
void setArtMissing(bool missing);
// Whether a file that could not be opened for `error` (errno) goes unreported: it is not there,
// and neither is the art it belongs to.
bool goneWithTheArt(int error);
