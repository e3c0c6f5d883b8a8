#pragma once
// The preview tool's pieces: a headless OpenGL context, the list of pictures to take, and a
// scene that holds every mesh as the game compiles it (one display list per kind, at the kind's
// scale) and draws each picture with the game's projection and lights.

#include "headlessContext.h"

#include <string>
#include <vector>

namespace preview {

enum class ShotKind { model, group, cockpit, gameView, skyCorner };

struct Shot {
    std::string name;
    ShotKind kind;
    std::string model; // the mesh, for a model shot
    int width, height;
};

std::vector<Shot> shots();

class Scene {
  public:
    // Loads every mesh and texture from bin/ in the working directory.
    bool load();
    void render(const Shot& shot);

  private:
    struct Kind {
        std::string name;
        double scale;  // the kind's scaleCoeff
        double radius;     // farthest vertex from the centre, file units
        double centre[3];  // middle of the bounding box, file units
        unsigned list;
    };
    const Kind* find(const std::string& name) const;
    void drawModelViews(const Kind& kind);
    void drawGroup();
    void drawCockpit();
    void drawGameView();
    void drawSkyCorner();

    std::vector<Kind> kinds;
    unsigned textures[20] = {};
    unsigned skyList = 0;
};

} // namespace preview
