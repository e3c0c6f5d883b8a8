// Node.js has no OpenGL at all: the tests that draw are skipped in the WebAssembly build, and the
// Linux builds run them (the browser's drawing is checked by the page's tests).

#include "support/glContext.h"

const bool GlContext::headless = false;

GlContext::GlContext(int, int) : failure("no OpenGL context under Node.js") {}

GlContext::~GlContext() = default;

// Never made: no display, context nor surface to make current.
bool GlContext::makeCurrent() {
    return display != nullptr && context != nullptr && surface != nullptr;
}
