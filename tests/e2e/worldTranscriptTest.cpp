// An untouched session, end to end: the real game in a real window writes, from its first byte
// through its fiftieth frame, exactly what the rules predict (tests/e2e/transcriptModel.h).

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// The first byte that differs, with some context on both sides, for a readable failure.
std::string firstDifference(const std::string& actual, const std::string& expected) {
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    const std::size_t from = at < 200 ? 0 : at - 200;
    return "first difference at byte " + std::to_string(at) + "\n--- expected ---\n" +
           expected.substr(from, 400) + "\n--- actual ---\n" + actual.substr(from, 400);
}

} // namespace

TEST(WorldTranscript, fiftyUntouchedFramesWriteExactlyWhatTheRulesPredict) {
    const int cannonTextures = transcript::textureMapsNamedIn(e2e::buildDirectory() +
                                                              "/bin/models/kanone.3ds");
    ASSERT_GE(cannonTextures, 0) << "the cannon's mesh is missing from the build";
    const std::string expected =
        transcript::banner() + transcript::startUp(cannonTextures) + transcript::frames(50);

    e2e::GameSession game;
    ASSERT_TRUE(game.ok()) << game.describe();
    // Frame 50 ends with its collision lines, which only the dump of frame 51 closes off.
    const std::string frameEnd = "\n fin du print";
    std::size_t from = 0;
    for (int frame = 1; frame <= 51; ++frame) {
        ASSERT_TRUE(game.waitForOutput(frameEnd, 60, from))
            << "frame " << frame << "\n" << game.describe();
        from = game.output().find(frameEnd, from) + frameEnd.size();
    }
    const std::string out = game.output();
    ASSERT_GE(occurrences(out, frameEnd), 51u);
    ASSERT_GT(out.size(), expected.size());
    EXPECT_TRUE(out.compare(0, expected.size(), expected) == 0)
        << firstDifference(out, expected);
    EXPECT_EQ(out.compare(expected.size(), 10, "\n on print"), 0)
        << "frame 51 begins right after frame 50's collision lines";
}
