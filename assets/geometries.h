#pragma once
// Loads every mesh and texture once, at start-up, into one texture id array and one display
// list per kind. A mesh list leaves its scale on the current matrix: callers push and pop.

#include "assets/textureSlots.h"

class Geometries {
  public:
    Geometries() {}
    // Needs a current OpenGL context. Prints the registry's two console lines.
    void init();

    unsigned int textures[textureSlotCount] = {}; // slot 0 is the sky image
    unsigned int cockpitList = 0;
    unsigned int skyboxList = 0;
    unsigned int toutatisList = 0;
    unsigned int castaliaList = 0;
    unsigned int golevkaList = 0;
    unsigned int rocket3dList = 0;
    unsigned int clipperList = 0;
    unsigned int brakiriList = 0;
    unsigned int kanone3dList = 0;
    unsigned int laserList = 0;
};
