#pragma once
// Test-side helpers for the collision registry: a capture of the console stream, so that the
// registry's lines can be compared byte for byte.

#include <iostream>
#include <sstream>
#include <string>

// Sends std::cout into a string for the lifetime of the object.
class ConsoleCapture {
  public:
    ConsoleCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~ConsoleCapture() { std::cout.rdbuf(previous); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Everything written since the last take, which empties the capture.
    std::string take() {
        std::string text = buffer.str();
        buffer.str(std::string());
        return text;
    }

  private:
    std::ostringstream buffer;
    std::streambuf* previous;
};
