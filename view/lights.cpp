#include "view/lights.h"

Lights::Lights() : lightingOn(true), ambient{0.2f, 0.2f, 0.2f, 1.0f}, lightSources{} {
    lightSources[0] = {true, {-1.0f, 1.0f, 1.0f, 0.0f}, {4.0f, 4.0f, 4.0f, 1.0f}};
}
