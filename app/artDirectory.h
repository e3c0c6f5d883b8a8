#pragma once
// The game reads its art as bin/models/... and bin/texture/... from its working directory. So
// that it can be started from anywhere (a desktop menu, a home directory, an installed copy),
// start-up moves to a directory that holds the art when the working directory does not.

#include <string>
#include <vector>

// Where the art may lie besides the working directory, in the order they are tried: the
// executable's own directory, then the data directory of an installation around it
// (<prefix>/share/zephrandolinth for <prefix>/bin/zephrandolinth), then the one it was built to
// be installed in, when that is another.
std::vector<std::string> artDirectoryCandidates(const std::string& executable,
                                                const std::string& installedDataDirectory);

// The first of `candidates` that holds bin/models; empty when none does.
std::string findArtDirectory(const std::vector<std::string>& candidates);

// Leaves the working directory alone when it holds bin/models; otherwise changes to the first
// candidate that does. When none does it says so in one line on stderr, naming every place
// looked in, and the game runs on without its art.
void enterArtDirectory();
