// Drawing a loaded 3DS mesh with vertex arrays, one indexed draw per face group. Meant to be
// compiled into a display list: the list keeps the data the draws read, and leaves texturing,
// the bound texture and the front material as the last group set them (only the matrix is
// restored), so code drawn after a mesh sets what it needs itself.

#include "assets/model3ds.h"
#include "assets/textureSlots.h"

#include <GL/gl.h>

namespace {

const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};

// The group's material, or null when its name matched none.
const Material_3DS* materialOf(const FaceGroup_3DS& group, const Material_3DS* materials,
                               int numMaterials) {
    if (group.materialIndex < 0 || group.materialIndex >= numMaterials) {
        return nullptr;
    }
    return &materials[group.materialIndex];
}

bool hasUsableTexture(const Material_3DS* material, const unsigned int* textures) {
    return material != nullptr && material->textured && textures != nullptr &&
           material->textureIndex >= 0 && material->textureIndex < textureSlotCount;
}

void setArrays(const Object_3DS& object, bool lit) {
    if (object.textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, object.texCoords);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (lit) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, object.normals);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, object.vertices);
}

// A group whose material is unknown is drawn plain white without a texture. A group of a
// textured object whose material has no usable map is drawn as an untextured group of that
// material: its own colours, texturing off.
void setGroupMaterial(const Object_3DS& object, const Material_3DS* material,
                      const unsigned int* textures) {
    if (material == nullptr) {
        glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
        glDisable(GL_TEXTURE_2D);
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        return;
    }
    glMaterialfv(GL_FRONT, GL_DIFFUSE, material->diffuse);
    if (object.textured && hasUsableTexture(material, textures)) {
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textures[material->textureIndex]);
        return;
    }
    glDisable(GL_TEXTURE_2D);
    glMaterialfv(GL_FRONT, GL_AMBIENT, material->hasAmbient ? material->ambient : white);
}

void drawGroup(const Object_3DS& object, const FaceGroup_3DS& group) {
    // The object's turns are applied in the reverse of the model's order.
    glPushMatrix();
    glTranslatef(object.pos.x, object.pos.y, object.pos.z);
    glRotatef(object.rot.z, 0, 0, 1);
    glRotatef(object.rot.y, 0, 1, 0);
    glRotatef(object.rot.x, 1, 0, 0);
    glDrawElements(GL_TRIANGLES, group.numIndices, GL_UNSIGNED_SHORT, group.indices);
    glPopMatrix();
}

// One blue line of one model unit per vertex, unlit so that it shows whatever the lights do.
void drawNormals(const Object_3DS& object, bool lit) {
    for (int v = 0; v < object.numVerts; ++v) {
        const float* at = object.vertices + 3 * v;
        const float* normal = object.normals + 3 * v;
        glDisable(GL_TEXTURE_2D);
        if (lit) {
            glDisable(GL_LIGHTING);
        }
        glColor3f(0, 0, 1);
        glBegin(GL_LINES);
        glVertex3f(at[0], at[1], at[2]);
        glVertex3f(at[0] + normal[0], at[1] + normal[1], at[2] + normal[2]);
        glEnd();
        glColor3f(1, 1, 1);
        if (lit) {
            glEnable(GL_LIGHTING);
        }
    }
}

} // namespace

void Model_3DS::Draw(unsigned int* textures) {
    if (!visible) {
        return;
    }
    glPushMatrix();
    glTranslatef(pos.x, pos.y, pos.z);
    glRotatef(rot.x, 1, 0, 0);
    glRotatef(rot.y, 0, 1, 0);
    glRotatef(rot.z, 0, 0, 1);
    glScalef(scale, scale, scale);
    for (int i = 0; i < numObjects; ++i) {
        const Object_3DS& object = objects[i];
        setArrays(object, lit);
        for (int g = 0; g < object.numFaceGroups; ++g) {
            const FaceGroup_3DS& group = object.faceGroups[g];
            setGroupMaterial(object, materialOf(group, materials, numMaterials), textures);
            drawGroup(object, group);
        }
        if (showNormals) {
            drawNormals(object, lit);
        }
    }
    glPopMatrix();
}
