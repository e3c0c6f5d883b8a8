#include "app/artDirectory.h"

#include "app/diagnostics.h"
#include "sys/desktopWindow.h"
#include "sys/platform.h"

#include <system_error>

#ifndef ZEPH_DATA_FROM_BINARY
#define ZEPH_DATA_FROM_BINARY "../share/zephrandolinth"
#endif
#ifndef ZEPH_INSTALLED_DATA_DIR
#define ZEPH_INSTALLED_DATA_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

// A place by its name alone, so that places not made yet compare too: "/a/b/." is "/a/b".
fs::path normal(const fs::path& directory) {
    const fs::path name = directory.lexically_normal();
    return name.has_filename() || !name.has_relative_path() ? name : name.parent_path();
}

bool samePlace(const fs::path& one, const fs::path& other) {
    return normal(one) == normal(other);
}

void addOnce(std::vector<fs::path>& list, const fs::path& directory) {
    if (directory.empty()) {
        return;
    }
    for (const fs::path& known : list) {
        if (samePlace(known, directory)) {
            return;
        }
    }
    list.push_back(normal(directory));
}

ArtPlace refused(ArtPlace place, ArtPlace::State state, const std::error_code& error) {
    place.state = state;
    place.reason = error.message();
    return place;
}

// A path as the message shows it: the system's separators, in UTF-8 whatever the system's
// own encoding of names.
std::string shown(const fs::path& path) {
    return fs::path(path).make_preferred().u8string();
}

} // namespace

std::vector<fs::path> artDirectoryCandidates(const fs::path& executable,
                                             const fs::path& dataFromBinary,
                                             const fs::path& installedDataDirectory) {
    std::vector<fs::path> candidates;
    if (!executable.empty()) {
        const fs::path own = executable.parent_path();
        addOnce(candidates, own);
        if (!dataFromBinary.empty()) {
            addOnce(candidates, own / dataFromBinary);
        }
    }
    addOnce(candidates, installedDataDirectory);
    return candidates;
}

ArtPlace lookForArt(const fs::path& directory) {
    const ArtPlace place{directory, ArtPlace::State::noArt, ""};
    const fs::path models = directory / "bin" / "models";
    std::error_code error;
    const fs::file_status status = fs::status(models, error);
    if (status.type() == fs::file_type::none) {
        return refused(place, ArtPlace::State::unreadable, error);
    }
    if (status.type() != fs::file_type::directory) {
        return place;
    }
    if (const std::error_code refusal = searchRefusal(models)) {
        return refused(place, ArtPlace::State::unenterable, refusal);
    }
    return {directory, ArtPlace::State::holdsArt, ""};
}

std::string artSearchFailure(const std::vector<ArtPlace>& places) {
    const std::string models = shown(fs::path("bin") / "models");
    std::string absent, others;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ArtPlace& place = places[i];
        const std::string name = (i == 0 ? "the working directory " : "") + shown(place.directory);
        switch (place.state) {
        case ArtPlace::State::noArt:
            absent += (absent.empty() ? "no game art (" + models + ") in " : ", nor in ") + name;
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

std::vector<ArtPlace> enterArt(const fs::path& working, const std::vector<fs::path>& candidates) {
    std::vector<ArtPlace> places{lookForArt(working)};
    if (places.front().state == ArtPlace::State::holdsArt) {
        return {};
    }
    for (const fs::path& candidate : candidates) {
        if (samePlace(candidate, working)) {
            continue; // looked in already, as the working directory
        }
        ArtPlace place = lookForArt(candidate);
        if (place.state == ArtPlace::State::holdsArt) {
            std::error_code error;
            fs::current_path(candidate, error);
            if (!error) {
                return {};
            }
            place = refused(place, ArtPlace::State::unenterable, error);
        }
        places.push_back(place);
    }
    return places;
}

void enterArtDirectory() {
    fs::path working = workingDirectory();
    if (working.empty()) {
        working = ".";
    }
    const fs::path executable = executablePath();
    const std::vector<ArtPlace> places = enterArt(
        working, installsArtApart() ? artDirectoryCandidates(executable, ZEPH_DATA_FROM_BINARY,
                                                             ZEPH_INSTALLED_DATA_DIR)
                                    : artDirectoryCandidates(executable, {}, {}));
    if (!places.empty()) {
        setArtMissing(true);
        const std::string line = artSearchFailure(places);
        diagnose(line);
        showArtMissing(line);
    }
}
