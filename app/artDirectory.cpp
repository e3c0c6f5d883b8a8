#include "app/artDirectory.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

#ifndef ZEPH_DATA_FROM_BINARY
#define ZEPH_DATA_FROM_BINARY "../share/zephrandolinth"
#endif
#ifndef ZEPH_INSTALLED_DATA_DIR
#define ZEPH_INSTALLED_DATA_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

void addOnce(std::vector<std::string>& list, const fs::path& directory) {
    const std::string name = directory.lexically_normal().string();
    if (name.empty()) {
        return;
    }
    for (const std::string& known : list) {
        if (known == name) {
            return;
        }
    }
    list.push_back(name);
}

ArtPlace refused(ArtPlace place, ArtPlace::State state, int error) {
    place.state = state;
    place.reason = std::generic_category().message(error);
    return place;
}

} // namespace

std::vector<std::string> artDirectoryCandidates(const std::string& executable,
                                                const std::string& dataFromBinary,
                                                const std::string& installedDataDirectory) {
    std::vector<std::string> candidates;
    if (!executable.empty()) {
        const fs::path own = fs::path(executable).parent_path();
        addOnce(candidates, own);
        addOnce(candidates, own / dataFromBinary);
    }
    addOnce(candidates, installedDataDirectory);
    return candidates;
}

ArtPlace lookForArt(const std::string& directory) {
    const ArtPlace place{directory, ArtPlace::State::noArt, ""};
    const fs::path models = fs::path(directory) / "bin" / "models";
    std::error_code error;
    const fs::file_status status = fs::status(models, error);
    if (status.type() == fs::file_type::none) {
        return refused(place, ArtPlace::State::unreadable, error.value());
    }
    if (status.type() != fs::file_type::directory) {
        return place;
    }
    // The game opens the files in bin/models by name and the registry may list them.
    if (access(models.c_str(), R_OK | X_OK) != 0) {
        return refused(place, ArtPlace::State::unenterable, errno);
    }
    return {directory, ArtPlace::State::holdsArt, ""};
}

std::string artSearchFailure(const std::vector<ArtPlace>& places) {
    std::string absent, others;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ArtPlace& place = places[i];
        const std::string name = (i == 0 ? "the working directory " : "") + place.directory;
        switch (place.state) {
        case ArtPlace::State::noArt:
            absent += (absent.empty() ? "no game art (bin/models) in " : ", nor in ") + name;
            break;
        case ArtPlace::State::unreadable:
            others += "; cannot look for the game art in " + name + ": " + place.reason;
            break;
        case ArtPlace::State::unenterable:
            others += "; the game art in " + name + " cannot be entered: " + place.reason;
            break;
        case ArtPlace::State::holdsArt:
            break;
        }
    }
    const std::string line = absent + others + "; the game runs without it";
    return "zephrandolinth: " + (absent.empty() ? line.substr(2) : line) + "\n";
}

void enterArtDirectory() {
    std::error_code error;
    const std::string working = fs::current_path(error).string();
    std::vector<ArtPlace> places{lookForArt(working.empty() ? "." : working)};
    if (places.front().state == ArtPlace::State::holdsArt) {
        return;
    }
    // The link names the file that runs, whatever the command line called it.
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    for (const std::string& candidate :
         artDirectoryCandidates(error ? std::string() : executable.string(), ZEPH_DATA_FROM_BINARY,
                                ZEPH_INSTALLED_DATA_DIR)) {
        ArtPlace place = lookForArt(candidate);
        if (place.state == ArtPlace::State::holdsArt) {
            fs::current_path(candidate, error);
            if (!error) {
                return;
            }
            place = refused(place, ArtPlace::State::unenterable, error.value());
        }
        places.push_back(place);
    }
    std::cerr << artSearchFailure(places);
}
