#include "entities/kindMesh.h"

#include "assets/model3ds.h"

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
