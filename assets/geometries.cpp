// Every texture and mesh of the game is read once here, in a fixed order, so texture slots are
// handed out the same way on every run: the sky first, then the kinds one after the other.

#include "assets/geometries.h"

#include "app/console.h"
#include "app/diagnostics.h"
#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/farPlane.h"
#include "entities/golevka.h"
#include "entities/kanone3d.h"
#include "entities/laser.h"
#include "entities/rocket3d.h"
#include "entities/toutatis.h"
#include "view/cockpit.h"
#include "view/skybox.h"

#include <GL/gl.h>

#include <iostream>

namespace {

// A list name of 0 means none could be made: the list is never compiled, and its users skip it.
unsigned int newList(const char* what) {
    const unsigned int list = glGenLists(1);
    if (list == 0) {
        diagnose(std::string("geometries: glGenLists gave no display list for ") + what +
                 "; it will not be drawn\n");
    }
    return list;
}

void reportKanoneTextures(int count) {
    if (consoleOn()) {
        std::cout << "\n ******* nb nbTextureKan : " << count << "  ******* \n";
    }
}

// One kind's mesh: its textures are made before its list is opened, then the list holds the
// kind's scale and the mesh's commands. The scale stays on the caller's matrix after a call.
template <class Kind>
unsigned int compileKind(Kind& kind, const char* what, int& slots, unsigned int* textures,
                         void (*afterLoad)(int) = nullptr, float* reach = nullptr) {
    const unsigned int list = newList(what);
    const int used = kind.load(slots, textures);
    if (afterLoad != nullptr) {
        afterLoad(used);
    }
    slots += used;
    if (reach != nullptr) {
        *reach = meshReach(kind.model, float(kind.getScaleCoeff()));
    }
    if (list != 0) {
        glNewList(list, GL_COMPILE);
        const float scale = float(kind.getScaleCoeff());
        glScalef(scale, scale, scale);
        kind.initDisplayList(textures);
        glEndList();
    }
    return list;
}

} // namespace

void Geometries::init() {
    if (consoleOn()) {
        std::cout << "\n une geometrie est initialisee";
    }
    int slots = 0;

    Skybox skybox;
    slots += skybox.loadTexture(slots, textures);
    skyboxList = newList("the sky box");
    if (skyboxList != 0) {
        glNewList(skyboxList, GL_COMPILE);
        skybox.initDisplayList(textures);
        glEndList();
    }

    // The temporaries live until init returns; their meshes are not needed once compiled.
    Toutatis toutatis;
    toutatisList = compileKind(toutatis, "Toutatis", slots, textures, nullptr, &toutatisReach);
    Cockpit cockpit;
    cockpitList = compileKind(cockpit, "the cockpit", slots, textures);
    Rocket3d rocket;
    rocket3dList = compileKind(rocket, "Rocket3d", slots, textures, nullptr, &rocket3dReach);
    Clipper clipper;
    clipperList = compileKind(clipper, "Clipper", slots, textures, nullptr, &clipperReach);
    Brakiri brakiri;
    brakiriList = compileKind(brakiri, "Brakiri", slots, textures, nullptr, &brakiriReach);
    Castalia castalia;
    castaliaList = compileKind(castalia, "Castalia", slots, textures, nullptr, &castaliaReach);
    Golevka golevka;
    golevkaList = compileKind(golevka, "Golevka", slots, textures, nullptr, &golevkaReach);
    Kanone3d kanone;
    kanone3dList =
        compileKind(kanone, "Kanone3d", slots, textures, reportKanoneTextures, &kanone3dReach);
    Laser laser;
    laserList = compileKind(laser, "Laser", slots, textures, nullptr, &laserReach);
}
