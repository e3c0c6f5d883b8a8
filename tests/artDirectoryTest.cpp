// Started from anywhere, the game finds its art beside its executable or in the installed data
// directory around it, in that order.

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
    const std::string bare = (root / "bare").string();     // no art at all
    const std::string textures = (root / "half").string(); // bin/texture only
    const std::string first = (root / "first").string();
    const std::string second = (root / "second").string();
    fs::create_directories(bare);
    fs::create_directories(root / "half" / "bin" / "texture");
    fs::create_directories(root / "first" / "bin" / "models");
    fs::create_directories(root / "second" / "bin" / "models");
    fs::create_directories(root / "file" / "bin");
    std::ofstream(root / "file" / "bin" / "models") << "not a directory";

    EXPECT_EQ(findArtDirectory({bare, textures, first, second}), first);
    EXPECT_EQ(findArtDirectory({second, first}), second);
    EXPECT_EQ(findArtDirectory({bare, (root / "file").string(), (root / "missing").string()}), "");
    EXPECT_EQ(findArtDirectory({}), "");
    fs::remove_all(root);
}

} // namespace
