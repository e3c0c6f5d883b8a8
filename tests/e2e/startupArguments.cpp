// The game's arguments go to GLUT: a display named with -display is opened even when the
// DISPLAY variable is not set, and the one-line refusal is kept for when no display is named.

#include "e2e/harness.h"

#include <gtest/gtest.h>

namespace {

const std::string sceneReady = "on a reussi a init la scene";

TEST(GameArguments, aDisplayNamedOnTheCommandLineIsOpenedWithoutTheDisplayVariable) {
    e2e::VirtualDisplay screen;
    ASSERT_TRUE(screen.ok()) << screen.error();
    // The game never ends by itself: it is stopped at the timeout, its console written
    // unbuffered so that what it wrote by then is there.
    const e2e::CommandResult run =
        e2e::runCommand({"stdbuf", "-o0", e2e::gameExecutable(), "-display", screen.name()},
                        std::nullopt, 20, e2e::buildDirectory());
    EXPECT_TRUE(run.timedOut) << "ended on its own, code " << run.status.code << "\n" << run.err;
    EXPECT_NE(run.out.find(sceneReady), std::string::npos) << run.out << "\n" << run.err;
    EXPECT_EQ(run.err.find("DISPLAY"), std::string::npos) << run.err;
}

} // namespace
