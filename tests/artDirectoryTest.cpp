// The game finds its art beside its executable, then in the installed data directory.

#include "app/artDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(ArtDirectory, looksBesideTheExecutableThenInItsInstallationThenWhereItWasToBeInstalled) {
    EXPECT_EQ(artDirectoryCandidates("/opt/z/bin/zephrandolinth", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/opt/z/bin", "/opt/z/share/zephrandolinth",
                                        "/usr/share/zephrandolinth"}));
    // An installation in /usr names its data directory once.
    EXPECT_EQ(artDirectoryCandidates("/usr/bin/zephrandolinth", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/usr/bin", "/usr/share/zephrandolinth"}));
    // With no executable path known, only the installation directory is left.
    EXPECT_EQ(artDirectoryCandidates("", "/usr/share/zephrandolinth"),
              (std::vector<std::string>{"/usr/share/zephrandolinth"}));
}

TEST(ArtDirectory, theFirstCandidateHoldingTheModelsWins) {
    char pattern[] = "/tmp/zephartdirXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    // bare: no art at all; half: bin/texture only; file: bin/models is not a directory.
    const std::string bare = root / "bare", half = root / "half", first = root / "first",
                      second = root / "second";
    for (const char* made :
         {"bare", "half/bin/texture", "first/bin/models", "second/bin/models", "file/bin"}) {
        fs::create_directories(root / made);
    }
    std::ofstream(root / "file" / "bin" / "models") << "not a directory";

    EXPECT_EQ(findArtDirectory({bare, half, first, second}), first);
    EXPECT_EQ(findArtDirectory({second, first}), second);
    EXPECT_EQ(findArtDirectory({bare, (root / "file").string(), (root / "missing").string()}), "");
    EXPECT_EQ(findArtDirectory({}), "");
    fs::remove_all(root);
}

} // namespace
