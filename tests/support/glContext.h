#pragma once
// A headless OpenGL context: EGL on Mesa's surfaceless platform, desktop compatibility profile
// (fixed function, display lists), a small pbuffer so that drawing and glReadPixels work.

#include <gtest/gtest.h>

#include <memory>
#include <string>

class GlContext {
  public:
    explicit GlContext(int width = 64, int height = 64); // current at once; sizes the pbuffer
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    static const bool headless; // whether this system's tests have such contexts at all
    bool ok() const { return current; }
    // Current again after another test's context: one living for a suite keeps its lists.
    bool makeCurrent();
    const std::string& error() const { return failure; }

  private:
    void *display = nullptr, *context = nullptr, *surface = nullptr;
    bool current = false;
    std::string failure;
};

// Fixture: a fresh context per test, so no OpenGL state leaks from one test to the next.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gl = std::make_unique<GlContext>();
        if (!GlContext::headless) {
            GTEST_SKIP() << gl->error();
        }
        ASSERT_TRUE(gl->ok()) << gl->error();
    }
    std::unique_ptr<GlContext> gl;
};
