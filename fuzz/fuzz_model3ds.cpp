// Feeds arbitrary bytes to the 3DS reader. No image is read (the texture loader is off), so no
// OpenGL call can happen; what the reader leaves must keep every index inside its array.

#include "assets/model3ds.h"
#include "assets/textureSlots.h"

#include <cstdint>
#include <cstring>

namespace {

void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

bool terminated(const char (&name)[80]) { return std::memchr(name, 0, sizeof name) != nullptr; }

// Reads every value Draw would read, so that the sanitizers see any stray index or size.
float touchObject(const Object_3DS& object, int numMaterials) {
    float sum = 0;
    require(terminated(object.name));
    require(object.numVerts >= 0 && object.numFaces >= 0 && object.numFaces % 3 == 0);
    for (int i = 0; i < 3 * object.numVerts; ++i) {
        sum += object.vertices[i] + object.normals[i];
    }
    if (object.textured) {
        require(object.numTexCoords >= object.numVerts);
    }
    for (int i = 0; i < 2 * object.numTexCoords; ++i) {
        sum += object.texCoords[i];
    }
    for (int i = 0; i < object.numFaces; ++i) {
        require(object.faces[i] < object.numVerts);
    }
    for (int g = 0; g < object.numFaceGroups; ++g) {
        const FaceGroup_3DS& group = object.faceGroups[g];
        require(group.materialIndex >= 0 && group.materialIndex <= numMaterials);
        require(group.numIndices % 3 == 0);
        for (int i = 0; i < group.numIndices; ++i) {
            require(group.indices[i] < object.numVerts);
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned int textures[textureSlotCount] = {};
    Model_3DS model;
    model.textureLoader = nullptr;
    const int used = model.LoadFromMemory(data, size, "fuzz/model.3ds", 3, textures);
    require(used == model.textureCount && used >= 0);
    Model_3DS copy = model;
    volatile float sum = 0;
    for (int m = 0; m < copy.numMaterials; ++m) {
        require(terminated(copy.materials[m].name));
        sum = sum + copy.materials[m].diffuse[0] + copy.materials[m].ambient[0];
    }
    for (int o = 0; o < copy.numObjects; ++o) {
        sum = sum + touchObject(copy.objects[o], copy.numMaterials);
    }
    return 0;
}
