// The game's generated art read back: images alike through our reader and stb_image; meshes
// with their objects, materials, slots, and a size that matches the kind's collision sphere.

#include "assets/model3ds.h"
#include "assets/tga.h"
#include "support/glContext.h"
#include "support/scratch.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

TEST(ArtImages, everyImageReadsBackAlikeThroughOurReaderAndStbImage) {
    const struct {
        const char* path;
        int width, height;
        bool runLength;
    } images[] = {
        {"bin/models/golrock.tga", 256, 128, true},    {"bin/models/toutrock.tga", 256, 128, true},
        {"bin/models/castrock.tga", 256, 128, true},   {"bin/models/kanmetal.tga", 128, 128, false},
        {"bin/models/brakhull.tga", 256, 256, true},   {"bin/models/cliphull.tga", 256, 256, true},
        {"bin/models/rockbody.tga", 128, 128, false},  {"bin/models/rockfins.tga", 64, 64, false},
        {"bin/models/laserbol.tga", 64, 64, false},    {"bin/models/cockpit.tga", 256, 256, true},
        {"bin/texture/hubble2min.tga", 512, 512, true}};
    for (const auto& expected : images) {
        SCOPED_TRACE(expected.path);
        const Bytes bytes = readBytes(expected.path);
        ASSERT_GT(bytes.size(), 18u) << "missing or empty";
        EXPECT_EQ(bytes[2], expected.runLength ? 10 : 2);
        TGA_Image* ours = Load_TGA(expected.path);
        ASSERT_NE(ours, nullptr);
        // Power-of-two sizes: mipmaps are built without resampling the art.
        EXPECT_EQ((std::vector<int>{ours->width, ours->height, ours->channels}),
                  (std::vector<int>{expected.width, expected.height, 3}));
        stbi_set_flip_vertically_on_load(1); // the game wants the bottom row first
        int width = 0, height = 0, channels = 0;
        unsigned char* theirs =
            stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3);
        stbi_set_flip_vertically_on_load(0);
        ASSERT_NE(theirs, nullptr) << stbi_failure_reason();
        ASSERT_EQ(width * height, ours->width * ours->height);
        const std::size_t count = std::size_t(width) * height * 3;
        EXPECT_EQ(std::vector<unsigned char>(ours->data, ours->data + count),
                  std::vector<unsigned char>(theirs, theirs + count));
        stbi_image_free(theirs);
        Free_TGA(ours);
    }
}

TEST_F(GlTest, everyArtMeshReadsBackWithItsObjectsMaterialsSlotsAndSize) {
    const struct {
        const char* file;
        double scale;
        float collisionRadius; // 0: not a collision target of its own
        std::string contents;  // objects, then materials; * marks the textured ones
    } kinds[] = {
        {"golevka.3ds", 5.0, 1.615f, "Golevka* | GolevkaRock*"},
        {"toutatis.3ds", 1.0, 1.77f, "Toutatis* | ToutatisRock*"},
        {"castalia.3ds", 3.0, 0.0f, "Castalia* | CastaliaRock*"},
        {"kanone.3ds", 0.01f, 0.0f, "Kanone* Muzzles | KanoneMetal* KanoneGlow"},
        {"brakiri.3ds", 0.02f, 5.48f, "Brakiri* Engines | BrakiriHull* BrakiriGlow"},
        {"clipper.3ds", 0.05f, 4.975f, "Clipper* Canopy | ClipperHull* ClipperGlass ClipperGlow"},
        {"rocket.3ds", 0.1f, 2.0f, "Rocket* | RocketBody* RocketFins*"},
        {"laser.3ds", 0.1f, 2.07f, "Laser* | LaserBolt*"},
        {"cockpit.3ds", 0.1f, 0.0f, "Cockpit* | CockpitFrame*"}};
    unsigned int textures[20] = {};
    int slot = 1; // slot 0 is the sky's
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.file);
        Model_3DS model;
        const int used =
            model.Load((std::string("bin/models/") + kind.file).c_str(), slot, textures);
        std::string contents;
        double farthest = 0;
        for (int o = 0; o < model.numObjects; ++o) {
            const Object_3DS& object = model.objects[o];
            // Degenerate texture coordinates would silently draw a textured object bare.
            contents += object.name + std::string(object.textured ? "* " : " ");
            EXPECT_GT(object.numFaceGroups, 0) << object.name << " would draw nothing";
            for (int g = 0; g < object.numFaceGroups; ++g) {
                EXPECT_LT(object.faceGroups[g].materialIndex, model.numMaterials) << object.name;
            }
            for (const float* p = object.vertices; p < object.vertices + 3 * object.numVerts;
                 p += 3) {
                farthest = std::max(farthest, std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] +
                                                        double(p[2]) * p[2]));
            }
        }
        if (kind.collisionRadius > 0) {
            EXPECT_NEAR(farthest * kind.scale * 1.1, kind.collisionRadius,
                        0.2 * kind.collisionRadius);
        }
        contents += '|';
        for (int m = 0; m < model.numMaterials; ++m) {
            const Material_3DS& material = model.materials[m];
            contents += ' ' + std::string(material.name) + (material.textured ? "*" : "");
            if (material.textured) {
                ASSERT_TRUE(material.textureIndex >= slot && material.textureIndex < slot + used);
                EXPECT_TRUE(glIsTexture(textures[material.textureIndex])) << material.name;
            }
        }
        EXPECT_EQ(contents, kind.contents);
        EXPECT_EQ(used, std::count(kind.contents.begin() + long(kind.contents.find('|')),
                                   kind.contents.end(), '*'));
        slot += used;
    }
    EXPECT_LE(slot, 20) << "the sky and every kind's maps fit the game's 20 texture slots";
}
