// The asset operations of the eight mesh-bearing kinds. The kinds' per-frame behaviour lives in
// their own units; here is only what the asset registry and the position capture need.

#include "entities/kindAssets.h"

#include "assets/model3ds.h"
#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/golevka.h"
#include "entities/kanone3d.h"
#include "entities/laser.h"
#include "entities/rocket3d.h"
#include "entities/toutatis.h"

#include <GL/gl.h>

int loadMeshAtScale(Model_3DS& model, double& scaleCoeff, double scale, const char* file,
                    int firstTexture, unsigned int* textures) {
    scaleCoeff = scale;
    return model.Load(file, firstTexture, textures);
}

void issueMeshCommands(Model_3DS& model, unsigned int* textures) { model.Draw(textures); }

void captureDrawnPosition(bool& drawn, float& drawnX, float& drawnY, float& drawnZ) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    drawnX = m[12] / m[15];
    drawnY = m[13] / m[15];
    drawnZ = m[14] / m[15];
    drawn = true;
}

// Scales of the meshes: several are single-precision constants, kept as such when widened.

int Golevka::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 5.0, "bin/models/golevka.3ds", firstTexture,
                           textures);
}
void Golevka::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

int Toutatis::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 1.0, "bin/models/toutatis.3ds", firstTexture,
                           textures);
}
void Toutatis::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

int Castalia::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 3.0, "bin/models/castalia.3ds", firstTexture,
                           textures);
}
void Castalia::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
void Castalia::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }

int Brakiri::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.02f, "bin/models/brakiri.3ds", firstTexture,
                           textures);
}
void Brakiri::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
void Brakiri::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }

int Clipper::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.05f, "bin/models/clipper.3ds", firstTexture,
                           textures);
}
void Clipper::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
void Clipper::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }

// The cannon's file lacks the class name's "3d".
int Kanone3d::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.01f, "bin/models/kanone.3ds", firstTexture,
                           textures);
}
void Kanone3d::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
void Kanone3d::draw() { captureDrawnPosition(drawn, drawnX, drawnY, drawnZ); }

int Laser::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.1f, "bin/models/laser.3ds", firstTexture,
                           textures);
}
void Laser::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }

int Rocket3d::load(int firstTexture, unsigned int* textures) {
    return loadMeshAtScale(model, scaleCoeff, 0.1f, "bin/models/rocket.3ds", firstTexture,
                           textures);
}
void Rocket3d::initDisplayList(unsigned int* textures) { issueMeshCommands(model, textures); }
