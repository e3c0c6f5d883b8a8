// An untouched session writes, from its first byte through its fiftieth frame, exactly what the
// independent model of the rules predicts (tests/e2e/transcriptModel.h).

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(WorldTranscript, fiftyUntouchedFramesWriteExactlyWhatTheRulesPredict) {
    const int cannonTextures =
        transcript::textureMapsNamedIn(std::string(ZEPH_BUILD_DIR) + "/bin/models/kanone.3ds");
    ASSERT_GE(cannonTextures, 0) << "the cannon's mesh is missing from the build";
    const std::string expected =
        transcript::banner() + transcript::startUp(cannonTextures) + transcript::frames(50);
    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    // Frame 50 ends with its collision lines, which only the dump of frame 51 closes off.
    ASSERT_TRUE(game.waitFrames(51, 0)) << game.describe();
    const std::string out = game.output();
    const std::size_t at =
        std::size_t(std::mismatch(expected.begin(), expected.end(), out.begin(), out.end()).first -
                    expected.begin());
    const std::size_t from = at < 200 ? 0 : at - 200;
    EXPECT_EQ(at, expected.size()) << "--- expected ---\n"
                                   << expected.substr(from, 400) << "\n--- actual ---\n"
                                   << out.substr(from, 400);
    EXPECT_EQ(out.compare(expected.size(), 10, "\n on print"), 0)
        << "frame 51 begins right after frame 50's collision lines";
}
