#pragma once
// A headless OpenGL context for tests of code that calls OpenGL: EGL on Mesa's surfaceless
// platform, a desktop compatibility-profile context (fixed function, display lists) and a
// small pbuffer so that drawing and glReadPixels work. No display is needed.

#include <gtest/gtest.h>

#include <memory>
#include <string>

class GlContext {
  public:
    // Makes a context current on this thread; width and height size its pbuffer.
    explicit GlContext(int width = 64, int height = 64);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    bool ok() const { return current; }
    // Makes this context current again, e.g. after another test's context was current; a
    // context that lives for a whole test suite keeps its display lists and state.
    bool makeCurrent();
    const std::string& error() const { return failure; }

  private:
    void* display = nullptr;
    void* context = nullptr;
    void* surface = nullptr;
    bool current = false;
    std::string failure;
};

// Fixture: a fresh context per test, so no OpenGL state leaks from one test to the next.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<GlContext> gl;
};
