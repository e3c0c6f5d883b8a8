#include "entities/kindMesh.h"

#include "assets/model3ds.h"

#include <GL/gl.h>

int loadMeshAtScale(Model_3DS& model, double& scaleCoeff, double scale, const char* file,
                    int firstTexture, unsigned int* textures) {
    scaleCoeff = scale;
    return model.Load(file, firstTexture, textures);
}

void issueMeshCommands(Model_3DS& model, unsigned int* textures) { model.Draw(textures); }

void eyeOrigin(const float* m, float& x, float& y, float& z) {
    x = m[12] / m[15];
    y = m[13] / m[15];
    z = m[14] / m[15];
}

void captureDrawnPosition(bool& drawn, float& drawnX, float& drawnY, float& drawnZ) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    eyeOrigin(m, drawnX, drawnY, drawnZ);
    drawn = true;
}
