#include "app/artDirectory.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#ifndef ZEPH_INSTALLED_DATA_DIR
#define ZEPH_INSTALLED_DATA_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

bool holdsArt(const fs::path& directory) {
    std::error_code error;
    return fs::is_directory(directory / "bin" / "models", error);
}

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

} // namespace

std::vector<std::string> artDirectoryCandidates(const std::string& executable,
                                                const std::string& installedDataDirectory) {
    std::vector<std::string> candidates;
    if (!executable.empty()) {
        const fs::path own = fs::path(executable).parent_path();
        addOnce(candidates, own);
        addOnce(candidates, own / ".." / "share" / "zephrandolinth");
    }
    addOnce(candidates, installedDataDirectory);
    return candidates;
}

std::string findArtDirectory(const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        if (holdsArt(candidate)) {
            return candidate;
        }
    }
    return "";
}

void enterArtDirectory() {
    if (holdsArt(".")) {
        return;
    }
    std::error_code error;
    const fs::path working = fs::current_path(error); // named in the message when art is missing
    // The link names the file that runs, whatever the command line called it.
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    const std::vector<std::string> candidates = artDirectoryCandidates(
        error ? std::string() : executable.string(), ZEPH_INSTALLED_DATA_DIR);
    const std::string found = findArtDirectory(candidates);
    if (!found.empty()) {
        fs::current_path(found, error);
        if (!error) {
            return;
        }
    }
    std::cerr << "zephrandolinth: no game art (bin/models) in the working directory "
              << working.string();
    for (const std::string& candidate : candidates) {
        std::cerr << ", nor in " << candidate;
    }
    std::cerr << "; the game runs without it\n";
}
