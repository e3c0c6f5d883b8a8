#pragma once
// The game reads its art as bin/models/... and bin/texture/... from its working directory. So
// that it can be started from anywhere (a desktop menu, a home directory, an installed copy),
// start-up moves to a directory that holds the art when the working directory does not.

#include <string>
#include <vector>

// Where the art may lie besides the working directory, in the order they are tried: the
// executable's own directory, then the data directory of an installation around it
// (`dataFromBinary`, relative to the executable's directory: ../share/games/zephrandolinth for
// /usr/games/zephrandolinth), then the one this build installs to, when that is another.
std::vector<std::string> artDirectoryCandidates(const std::string& executable,
                                                const std::string& dataFromBinary,
                                                const std::string& installedDataDirectory);

// What one directory showed of the art (bin/models in it).
struct ArtPlace {
    enum class State {
        holdsArt,    // there, and the game can enter it and read it
        noArt,       // not there, or not a directory
        unreadable,  // the system would not say whether it is there
        unenterable, // there, but the game may not enter it or read it
    };
    std::string directory;
    State state = State::noArt;
    std::string reason; // the system's, for the last two
};
ArtPlace lookForArt(const std::string& directory);

// The one stderr line that says why no place could be used, `places` being every place looked
// in, the working directory first, in the order they were tried.
std::string artSearchFailure(const std::vector<ArtPlace>& places);

// Leaves the working directory alone when it holds the art; otherwise changes to the first
// candidate that does and can be entered. When none can, it writes the line above and the game
// runs on without its art.
void enterArtDirectory();
