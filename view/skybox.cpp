#include "view/skybox.h"

#include "assets/textureSlots.h"
#include "assets/tga.h"

#include <GL/gl.h>

namespace {

// The sky image's path keeps the game's backslashes; the image reader takes them as separators.
const char* const skyImage = "bin\\texture\\hubble2min.tga";

struct SkyCorner {
    float x, y, z; // in units of the half edge
};

// Four corners per face, drawn with texture corners (0, 1), (1, 1), (1, 0), (0, 0).
const SkyCorner skyFaces[6][4] = {
    {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}, // z = -S
    {{1, -1, 1}, {-1, -1, 1}, {-1, 1, 1}, {1, 1, 1}},     // z = +S
    {{-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}, {-1, -1, -1}}, // x = -S
    {{1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}},     // x = +S
    {{1, 1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, 1, -1}},     // y = +S
    {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}, // y = -S
};

const float skyTexCorners[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};

void bindSkyTexture(const unsigned int* textures, int slot) {
    // A slot past the array was refused (and reported) when the image was loaded: draw the
    // cube with whatever texture is bound rather than read past the array.
    if (slot < 0 || slot >= textureSlotCount) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, textures[slot]);
}

void drawSkyFaces(float s) {
    for (const auto& face : skyFaces) {
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2f(skyTexCorners[corner][0], skyTexCorners[corner][1]);
            glVertex3f(face[corner].x * s, face[corner].y * s, face[corner].z * s);
        }
        glEnd();
    }
}

} // namespace

int Skybox::loadTexture(int slot, unsigned int* textures) {
    textureIndex = slot;
    TGA_Texture(textures, skyImage, slot);
    return 1; // the slot counts as used even when the image could not be read
}

void Skybox::initDisplayList(unsigned int* textures) {
    bindSkyTexture(textures, textureIndex);
    // The meshes leave texturing as their last face group set it; an untextured group would
    // otherwise turn the whole sky into a flat white box in the next frame.
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    drawSkyFaces(float(size));
    // Everything drawn after the sky is lit again.
    glEnable(GL_LIGHTING);
}

// Centred on the eye and kept on the world's axes with a fresh transform's scale: the player
// never reaches the walls, yet sees the sky turn as the view turns.
void Skybox::setSkybox(Camera camera) {
    GraphVertexTransform eye;
    eye.copy(camera.getTransformation());
    GraphVertexTransform centred;
    centred.composeTranslations(eye.getX(), eye.getY(), eye.getZ());
    transformation = centred;
}
