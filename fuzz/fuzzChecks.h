#pragma once
// What a reader's result must keep whatever bytes it came from, read in full so that the
// sanitizers see any stray index or size. The fuzz targets trap on a broken promise; the unit
// tests replay every kept input through the same checks.

#include "assets/model3ds.h"
#include "assets/tga.h"

#include <cstddef>
#include <cstring>

namespace fuzzChecks {

inline bool terminated(const char (&name)[80]) {
    return std::memchr(name, 0, sizeof name) != nullptr;
}

// Every count and index inside its array, every name ended within its 80 bytes.
inline bool meshIsSafeToDraw(const Model_3DS& model) {
    volatile float sum = 0; // every value Draw would read
    bool kept = model.textureCount >= 0;
    for (int m = 0; m < model.numMaterials; ++m) {
        kept = kept && terminated(model.materials[m].name);
        sum = sum + model.materials[m].diffuse[0] + model.materials[m].ambient[0];
    }
    for (int o = 0; o < model.numObjects; ++o) {
        const Object_3DS& object = model.objects[o];
        kept = kept && terminated(object.name) && object.numVerts >= 0 && object.numFaces >= 0 &&
               object.numFaces % 3 == 0 &&
               (!object.textured || object.numTexCoords >= object.numVerts);
        for (int i = 0; i < 3 * object.numVerts; ++i) {
            sum = sum + object.vertices[i] + object.normals[i];
        }
        for (int i = 0; i < 2 * object.numTexCoords; ++i) {
            sum = sum + object.texCoords[i];
        }
        for (int i = 0; i < object.numFaces; ++i) {
            kept = kept && object.faces[i] < object.numVerts;
        }
        for (int g = 0; g < object.numFaceGroups; ++g) {
            const FaceGroup_3DS& group = object.faceGroups[g];
            kept = kept && group.materialIndex >= 0 && group.materialIndex <= model.numMaterials &&
                   group.numIndices % 3 == 0;
            for (int i = 0; i < group.numIndices; ++i) {
                kept = kept && group.indices[i] < object.numVerts;
            }
        }
    }
    return kept;
}

// An image of sound size for a file of `size` bytes, or no image and a reason. The densest
// run-length packet (16 bits: 3 file bytes) stores 128 pixels of 3 bytes each.
inline bool imageKeepsItsPromises(const TGA_Image* image, const char* reason, std::size_t size) {
    if (image == nullptr) {
        return reason != nullptr && reason[0] != '\0';
    }
    const std::size_t bytes = std::size_t(image->width) * image->height * image->channels;
    const bool kept = (image->channels == 3 || image->channels == 4) && image->width >= 1 &&
                      image->width <= 16384 && image->height >= 1 && image->height <= 16384 &&
                      bytes <= 128 * size;
    if (kept) { // both ends, so that a buffer shorter than its size claims shows
        volatile unsigned char ends = image->data[0] ^ image->data[bytes - 1];
        (void)ends;
    }
    return kept;
}

} // namespace fuzzChecks
