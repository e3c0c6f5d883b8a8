#pragma once
// The game reads its art as bin/models/... and bin/texture/... from its working directory. So
// that it can be started from anywhere (a desktop menu, a home directory, an installed copy),
// start-up moves to a directory that holds the art when the working directory does not.

#include <filesystem>
#include <string>
#include <vector>

// Where the art may lie besides the working directory, in the order they are tried: the
// executable's own directory, then the data directory of an installation around it
// (`dataFromBinary`, relative to the executable's directory: ../share/games/zephrandolinth for
// /usr/games/zephrandolinth), then the one this build installs to, when that is another. An
// empty path stands for no such place.
std::vector<std::filesystem::path>
artDirectoryCandidates(const std::filesystem::path& executable,
                       const std::filesystem::path& dataFromBinary,
                       const std::filesystem::path& installedDataDirectory);

// What one directory showed of the art (bin/models in it).
struct ArtPlace {
    enum class State {
        holdsArt,    // there, and the game may open the files in it
        noArt,       // not there, or not a directory
        unreadable,  // the system would not say whether it is there
        unenterable, // there, but the game may not pass through it to its files
    };
    std::filesystem::path directory;
    State state = State::noArt;
    std::string reason; // the system's, for the last two
};
ArtPlace lookForArt(const std::filesystem::path& directory);

// The one stderr line that says why no place could be used, `places` being every place looked
// in, the working directory first, in the order they were tried.
std::string artSearchFailure(const std::vector<ArtPlace>& places);

// Leaves the working directory `working` alone when it holds the art; otherwise changes to the
// first of `candidates` that does and can be entered, each place looked in once. Returns the
// places looked in when none could be used, and nothing when the art was found.
std::vector<ArtPlace> enterArt(const std::filesystem::path& working,
                               const std::vector<std::filesystem::path>& candidates);

// enterArt from the working directory through the candidates of this executable. When no place
// can be used, it writes the line above and the game runs on without its art.
void enterArtDirectory();
