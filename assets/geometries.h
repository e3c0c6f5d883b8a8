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

    // Radius about its origin that holds all of a kind's list, scale included; negative while
    // unknown, and then the list is always called (see entities/farPlane.h).
    float toutatisReach = -1.0f;
    float castaliaReach = -1.0f;
    float golevkaReach = -1.0f;
    float rocket3dReach = -1.0f;
    float clipperReach = -1.0f;
    float brakiriReach = -1.0f;
    float kanone3dReach = -1.0f;
    float laserReach = -1.0f;
};
