// The game's generated meshes, read back through the game's own mesh reader: each kind has the
// objects and materials it was made with, its texture maps load from beside it into the slots
// the asset registry counts, and its size agrees with the collision sphere the game tests hits
// with once the kind's scale and the node's scale of 1.1 are applied.

#include "assets/model3ds.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr float nodeScale = 1.1f;

struct ExpectedObject {
    const char* name;
    bool textured;
};

struct ExpectedMaterial {
    const char* name;
    const char* map; // file beside the mesh, or null
};

struct ExpectedKind {
    const char* file;
    double scaleCoeff;     // as the kind sets it
    float collisionRadius; // 0: not a collision target of its own
    std::vector<ExpectedObject> objects;
    std::vector<ExpectedMaterial> materials;
};

const std::vector<ExpectedKind>& kinds() {
    static const std::vector<ExpectedKind> table = {
        {"golevka.3ds", 5.0, 1.615f, {{"Golevka", true}}, {{"GolevkaRock", "golrock.tga"}}},
        {"toutatis.3ds", 1.0, 1.77f, {{"Toutatis", true}}, {{"ToutatisRock", "toutrock.tga"}}},
        {"castalia.3ds", 3.0, 0.0f, {{"Castalia", true}}, {{"CastaliaRock", "castrock.tga"}}},
        {"kanone.3ds", 0.01f, 0.0f, {{"Kanone", true}, {"Muzzles", false}},
         {{"KanoneMetal", "kanmetal.tga"}, {"KanoneGlow", nullptr}}},
        {"brakiri.3ds", 0.02f, 5.48f, {{"Brakiri", true}, {"Engines", false}},
         {{"BrakiriHull", "brakhull.tga"}, {"BrakiriGlow", nullptr}}},
        {"clipper.3ds", 0.05f, 4.975f, {{"Clipper", true}, {"Canopy", false}},
         {{"ClipperHull", "cliphull.tga"}, {"ClipperGlass", nullptr}, {"ClipperGlow", nullptr}}},
        {"rocket.3ds", 0.1f, 2.0f, {{"Rocket", true}},
         {{"RocketBody", "rockbody.tga"}, {"RocketFins", "rockfins.tga"}}},
        {"laser.3ds", 0.1f, 2.07f, {{"Laser", true}}, {{"LaserBolt", "laserbol.tga"}}},
        {"cockpit.3ds", 0.1f, 0.0f, {{"Cockpit", true}}, {{"CockpitFrame", "cockpit.tga"}}},
    };
    return table;
}

int mapCount(const ExpectedKind& kind) {
    return int(std::count_if(kind.materials.begin(), kind.materials.end(),
                             [](const ExpectedMaterial& m) { return m.map != nullptr; }));
}

double farthestVertex(const Model_3DS& model) {
    double r = 0;
    for (int o = 0; o < model.numObjects; ++o) {
        const Object_3DS& object = model.objects[o];
        for (int v = 0; v < object.numVerts; ++v) {
            const float* p = object.vertices + 3 * v;
            r = std::max(r, std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]));
        }
    }
    return r;
}

class ArtMeshes : public GlTest {};

TEST_F(ArtMeshes, everyMeshReadsBackWithItsObjectsMaterialsAndTextureSlots) {
    unsigned int textures[20] = {};
    int slot = 1; // slot 0 is the sky's
    for (const ExpectedKind& kind : kinds()) {
        SCOPED_TRACE(kind.file);
        Model_3DS model;
        const std::string path = std::string("bin/models/") + kind.file;
        const int used = model.Load(path.c_str(), slot, textures);
        ASSERT_EQ(used, mapCount(kind));
        ASSERT_EQ(model.numObjects, int(kind.objects.size()));
        for (std::size_t o = 0; o < kind.objects.size(); ++o) {
            const Object_3DS& object = model.objects[o];
            EXPECT_STREQ(object.name, kind.objects[o].name);
            // Degenerate texture coordinates would silently draw a textured object bare.
            EXPECT_EQ(object.textured, kind.objects[o].textured) << object.name;
            EXPECT_GT(object.numFaceGroups, 0) << object.name << " would draw nothing";
            EXPECT_LT(object.numVerts, 65535) << object.name;
            for (int g = 0; g < object.numFaceGroups; ++g) {
                EXPECT_LT(object.faceGroups[g].materialIndex, model.numMaterials) << object.name;
            }
        }
        ASSERT_EQ(model.numMaterials, int(kind.materials.size()));
        for (std::size_t m = 0; m < kind.materials.size(); ++m) {
            const Material_3DS& material = model.materials[m];
            EXPECT_STREQ(material.name, kind.materials[m].name);
            EXPECT_EQ(material.textured, kind.materials[m].map != nullptr) << material.name;
            if (material.textured) {
                ASSERT_GE(material.textureIndex, slot);
                ASSERT_LT(material.textureIndex, slot + used);
                // The map was found beside the mesh and became a texture.
                EXPECT_TRUE(glIsTexture(textures[material.textureIndex])) << material.name;
            }
        }
        slot += used;
    }
    // The sky's slot and every kind's maps fit the game's 20 texture slots.
    EXPECT_LE(slot, 20);
}

TEST_F(ArtMeshes, drawnSizesAgreeWithTheCollisionSpheres) {
    unsigned int textures[20] = {};
    for (const ExpectedKind& kind : kinds()) {
        if (kind.collisionRadius == 0.0f) {
            continue;
        }
        SCOPED_TRACE(kind.file);
        Model_3DS model;
        model.Load((std::string("bin/models/") + kind.file).c_str(), 0, textures);
        const double drawn = farthestVertex(model) * kind.scaleCoeff * nodeScale;
        EXPECT_NEAR(drawn, kind.collisionRadius, 0.2 * kind.collisionRadius);
    }
}

} // namespace
