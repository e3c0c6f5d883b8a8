#include "app/console.h"

namespace {

bool on = true;

} // namespace

bool consoleOn() {
    return on;
}

void setConsoleOn(bool value) {
    on = value;
}
