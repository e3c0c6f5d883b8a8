// The running game: an untouched session's console against the model of the rules, and play read
// back from the registry's eye-space dump of every frame.

#include "e2e/harness.h"
#include "e2e/transcriptModel.h"
#include "support/console.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

// Toutatis (index 5) never moves by itself, only the view does: its eye-space z, last dump.
float toutatisZ(e2e::GameSession& game) {
    game.waitFrames(2, game.output().size());
    const std::string out = game.output();
    const auto toutatis =
        dumpedRecord(out, 5, out.rfind("\n on print", out.rfind("\n fin du print")));
    return toutatis ? toutatis->z : -1e9f;
}

// Untouched, the console is exactly what the model of the rules predicts, the cannon's texture
// count that of the maps its art names. Then flying past the first asteroids brings the ships,
// still ahead a little above the rockets' line, within reach of a volley.
TEST(WorldPlay, untouchedItWritesWhatTheRulesPredictThenAVolleyPastTheAsteroidsDestroysATarget) {
    const Bytes cannon = readBytes(ZEPH_BUILD_DIR "/bin/models/kanone.3ds");
    EXPECT_GT(transcript::mapNamesIn(cannon, 0, cannon.size()), 0) << "the cannon names its metal";
    e2e::GameSession game;
    ASSERT_TRUE(game.ok() && game.waitForWindow()) << game.describe();
    EXPECT_TRUE(e2e::writesTheUntouchedConsole(game));
    ASSERT_TRUE(game.waitFrames(200, 0)) << game.describe(); // the ships close in and settle
    const std::size_t firing = game.output().size();
    ASSERT_TRUE(
        game.keys({"Left", "Left", "Right", "Right", "Prior", "Prior", "Prior", "Prior", "Prior"}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (toutatisZ(game) < -1.0f) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << game.describe();
    }
    ASSERT_TRUE(game.keys({"Next", "Next", "Next", "Next", "Next"}));
    ASSERT_TRUE(game.waitFrames(100, game.output().size()));
    const auto destroyed = [&](const std::string& out) {
        return out.find("\n life: 0\non set un existe a false", firing) != std::string::npos ||
               out.find("\n life: -1\non set un existe a false", firing) != std::string::npos;
    };
    for (int volley = 0; volley < 60 && !destroyed(game.output()); ++volley) {
        ASSERT_TRUE(game.keys({"F2", "F2", "F2", "F2", "F2"}));
    }
    EXPECT_TRUE(destroyed(game.output())) << game.output().substr(firing, 3000);
    EXPECT_TRUE(game.running()) << game.describe();
}

} // namespace
