#pragma once
// The scene's lights: global ambient and eight OpenGL light sources, sent once per frame with
// the identity model-view matrix, so light 0 stays fixed relative to the eye.

struct LightSource {
    bool on;
    float position[4]; // w = 0: directional
    float diffuse[4];
};

class Lights {
  public:
    Lights();
    void apply();

    bool lightingOn;
    float ambient[4];
    LightSource lightSources[8];
};
