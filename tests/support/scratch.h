#pragma once
// A fresh temporary directory, removed with the object; optionally the working directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline Bytes readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Files the process holds open: a reader closes every file it opens. Windows lists none (under
// Wine, /proc would be Wine's own), so there it is always 0 and the check holds trivially.
inline long openFiles() {
#ifdef _WIN32
    return 0;
#else
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
#endif
}

class Scratch {
  public:
    // A name nobody holds yet, made by this object alone (create_directory fails on one that
    // exists), in the standard library's terms so that it builds for Windows too. Private
    // (0700, as mkdtemp makes it) before anything is put in it, where the standard library
    // leaves the umask's 0755: a test that needs another user to enter it opens it itself.
    explicit Scratch(bool enter = false) {
        const std::filesystem::path temporary = std::filesystem::temp_directory_path();
        std::random_device random;
        std::error_code error;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            const std::filesystem::path name = temporary / ("zephtest" + std::to_string(random()));
            path = std::filesystem::create_directory(name, error) ? name : path;
        }
        if (!path.empty()) {
            std::filesystem::permissions(path, std::filesystem::perms::owner_all, error);
        }
        if (path.empty() || error) {
            ADD_FAILURE() << "cannot make a private scratch directory in " << temporary << ": "
                          << error.message();
            return;
        }
        if (enter) {
            previous = std::filesystem::current_path();
            std::filesystem::current_path(path);
        }
    }
    ~Scratch() {
        if (!previous.empty()) {
            std::filesystem::current_path(previous);
        }
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // Writes the file, making its directories; returns its full path.
    std::string write(const std::string& relative, const Bytes& bytes) const {
        const std::filesystem::path file = path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        EXPECT_TRUE(out.good()) << file;
        return file.string();
    }

    std::filesystem::path path;

  private:
    std::filesystem::path previous;
};
