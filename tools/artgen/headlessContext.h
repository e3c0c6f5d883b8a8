#pragma once
// A desktop OpenGL compatibility context with no window: EGL on Mesa's surfaceless platform
// and a pbuffer of the given size to draw into and read back.

#include <string>

namespace preview {

class Context {
  public:
    Context(int width, int height);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    bool ok() const { return current; }
    const std::string& error() const { return failure; }

  private:
    void* display = nullptr;
    void* context = nullptr;
    void* surface = nullptr;
    bool current = false;
    std::string failure;
};

} // namespace preview
