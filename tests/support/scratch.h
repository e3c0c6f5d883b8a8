#pragma once
// A fresh temporary directory, removed with the object; optionally the working directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline Bytes readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Files the process holds open: a reader closes every file it opens.
inline long openFiles() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

class Scratch {
  public:
    explicit Scratch(bool enter = false) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zephtestXXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a scratch directory from " << pattern;
            return;
        }
        path = name.data();
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
