// The platform's Windows answers, under Wine: which standard outputs lose what is written to
// them, and the working directory past the old 260-character limit.

#include "sys/platform.h"
#include "support/scratch.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Only NUL, or no file at all, loses for certain what is written to it; a file and a pipe are
// read by someone (a console too: the whole-program tests hand the game one).
TEST(WindowsPlatform, standardOutputOnNulIsTakenForQuiet) {
    const Scratch folder;
    int ends[2];
    ASSERT_EQ(_pipe(ends, 4096, _O_BINARY), 0);
    std::vector<std::tuple<std::string, int, bool>> cases = {
        {"NUL", _open("NUL", _O_WRONLY), true},
        {"a file", _wopen((folder.path / "console").c_str(), _O_WRONLY | _O_CREAT, 0644), false},
        {"a pipe", ends[1], false},
        {"a closed descriptor", ends[0], true}};
    _close(ends[0]); // nothing is opened from here on that could take its number
    for (const auto& [what, fd, discarded] : cases) {
        ASSERT_GE(fd, 0) << what << " did not open";
        EXPECT_EQ(writesAreDiscarded(fd), discarded) << what;
        if (fd != ends[0]) {
            _close(fd);
        }
    }
}

// The C++ library's answer is empty there, which the art's search would take for ".".
TEST(WindowsPlatform, aWorkingDirectoryPastTheOld260CharacterLimitIsGivenInFull) {
    const Scratch folder;
    fs::path deep = folder.path;
    for (const char part : {'a', 'b', 'c'}) {
        deep /= std::string(100, part);
    }
    ASSERT_GT(deep.native().size(), 260u);
    const fs::path before = workingDirectory();
    // Made and removed by the long names' own prefix, which the C++ library does not use.
    const std::vector<fs::path> levels = {deep.parent_path().parent_path(), deep.parent_path(),
                                          deep};
    for (const fs::path& level : levels) {
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + level.native()).c_str(), nullptr)) << level;
    }
    ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));
    const fs::path inside = workingDirectory();
    SetCurrentDirectoryW(before.c_str());
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        RemoveDirectoryW((L"\\\\?\\" + level->native()).c_str());
    }
    EXPECT_EQ(inside, deep);
}

} // namespace
