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

// Farthest point of a child drawn in the cannon-carrying group: the group node and the child's
// node are each scaled 1.1, the child stands `offsetY` from the group's origin. The group only
// turns about Y, which keeps every distance to its origin.
double farthestInGroup(const Model_3DS& model, double scaleCoeff, double offsetY) {
    double r = 0;
    const double k = scaleCoeff * nodeScale * nodeScale;
    for (int o = 0; o < model.numObjects; ++o) {
        const Object_3DS& object = model.objects[o];
        for (int v = 0; v < object.numVerts; ++v) {
            const float* p = object.vertices + 3 * v;
            const double x = p[0] * k, y = offsetY * nodeScale + p[1] * k, z = p[2] * k;
            r = std::max(r, std::sqrt(x * x + y * y + z * z));
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

TEST_F(ArtMeshes, meshesNameExactlyTheirOwnMapFiles) {
    const fs::path previous = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "zephartmapsXXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    const fs::path scratch = name.data();
    for (const ExpectedKind& kind : kinds()) {
        SCOPED_TRACE(kind.file);
        fs::copy_file(previous / "bin/models" / kind.file, scratch / kind.file);
        const std::string mesh = (scratch / kind.file).string();
        // Alone, the mesh finds none of its maps...
        unsigned int bare[20] = {};
        Model_3DS alone;
        alone.Load(mesh.c_str(), 0, bare);
        EXPECT_TRUE(std::all_of(std::begin(bare), std::end(bare), [](unsigned t) { return t == 0; }));
        // ...and with exactly the expected files beside it, it finds every one.
        for (const ExpectedMaterial& m : kind.materials) {
            if (m.map != nullptr) {
                fs::copy_file(previous / "bin/models" / m.map, scratch / m.map,
                              fs::copy_options::overwrite_existing);
            }
        }
        unsigned int textures[20] = {};
        Model_3DS withMaps;
        const int used = withMaps.Load(mesh.c_str(), 0, textures);
        for (int s = 0; s < used; ++s) {
            EXPECT_TRUE(glIsTexture(textures[s])) << "slot " << s;
        }
        for (const auto& entry : fs::directory_iterator(scratch)) {
            fs::remove(entry.path());
        }
    }
    fs::remove_all(scratch);
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

TEST_F(ArtMeshes, cannonOnItsAsteroidFitsTheGroupsSphere) {
    unsigned int textures[20] = {};
    Model_3DS castalia, kanone;
    castalia.Load("bin/models/castalia.3ds", 0, textures);
    kanone.Load("bin/models/kanone.3ds", 0, textures);
    const double groupRadius = 2.0;
    const double body = farthestInGroup(castalia, 3.0, -0.75);
    const double cannon = farthestInGroup(kanone, double(0.01f), 0.75);
    EXPECT_LE(body, groupRadius);
    EXPECT_LE(cannon, groupRadius);
    // And the group is not a speck inside its sphere: the asteroid nearly fills it.
    EXPECT_GT(body, 0.8 * groupRadius);
    // The cannon stands on the rock: its lowest point reaches the asteroid's top below it.
    float cannonBottom = 1e9f, rockTop = -1e9f;
    const double cannonScale = double(0.01f) * nodeScale * nodeScale;
    for (int v = 0; v < kanone.objects[0].numVerts; ++v) {
        cannonBottom = std::min(cannonBottom, float(0.75 * nodeScale + kanone.objects[0].vertices[3 * v + 1] * cannonScale));
    }
    for (int v = 0; v < castalia.objects[0].numVerts; ++v) {
        const float* p = castalia.objects[0].vertices + 3 * v;
        if (std::fabs(p[0]) * 3.0 * nodeScale * nodeScale < 0.1 && std::fabs(p[2]) * 3.0 * nodeScale * nodeScale < 0.1) {
            rockTop = std::max(rockTop, float(-0.75 * nodeScale + p[1] * 3.0 * nodeScale * nodeScale));
        }
    }
    EXPECT_LE(cannonBottom, rockTop);
}

// The reader sums each vertex's normal from its triangles' winding: a mesh wound the wrong way
// round would be lit from inside, dark where the light falls.
TEST_F(ArtMeshes, asteroidsAreLitFromOutside) {
    unsigned int textures[20] = {};
    for (const char* file : {"bin/models/golevka.3ds", "bin/models/toutatis.3ds", "bin/models/castalia.3ds"}) {
        SCOPED_TRACE(file);
        Model_3DS model;
        model.Load(file, 0, textures);
        ASSERT_EQ(model.numObjects, 1);
        const Object_3DS& rock = model.objects[0];
        int outward = 0, inward = 0;
        for (int v = 0; v < rock.numVerts; ++v) {
            const float* p = rock.vertices + 3 * v;
            const float* n = rock.normals + 3 * v;
            const double facing = double(p[0]) * n[0] + double(p[1]) * n[1] + double(p[2]) * n[2];
            (facing > 0 ? outward : inward) += facing != 0;
        }
        // A few vertices deep in a crater's wall may lean the other way; the rest face out.
        EXPECT_GT(outward, 50 * inward);
    }
}

// The game moves ships and projectiles along -Z and keeps +Y up: the cannon's barrels reach
// ahead, the ships' fins and crest stand above their hulls.
TEST_F(ArtMeshes, meshesStandUprightAndFaceForward) {
    unsigned int textures[20] = {};
    auto extent = [&](const char* file, int axis, float& low, float& high) {
        Model_3DS model;
        model.Load(file, 0, textures);
        low = 1e30f, high = -1e30f;
        for (int o = 0; o < model.numObjects; ++o) {
            for (int v = 0; v < model.objects[o].numVerts; ++v) {
                low = std::min(low, model.objects[o].vertices[3 * v + axis]);
                high = std::max(high, model.objects[o].vertices[3 * v + axis]);
            }
        }
    };
    float low = 0, high = 0;
    extent("bin/models/kanone.3ds", 2, low, high);
    EXPECT_GT(-low, 2 * high) << "the barrels point ahead";
    for (const char* ship : {"bin/models/clipper.3ds", "bin/models/brakiri.3ds"}) {
        extent(ship, 1, low, high);
        EXPECT_GT(high, -low) << ship << " stands on its keel";
    }
}

// Where a cockpit vertex lands on the screen: the cockpit stands 4.5 ahead of the eye and 0.2
// above it, at 0.1 times the node scale, seen through the game's 45-degree, 4:3 projection.
struct ScreenPoint {
    double x, y, depth; // x and y from -1 to 1 across the view; depth ahead of the eye
};

ScreenPoint project(const float* v) {
    const double k = double(0.1f) * nodeScale;
    const double ex = v[0] * k, ey = 0.2 + v[1] * k, ez = -4.5 + v[2] * k;
    const double t = std::tan(22.5 * 3.14159265358979323846 / 180.0);
    return {ex / (-ez * t * 640.0 / 480.0), ey / (-ez * t), -ez};
}

bool covers(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, double x, double y) {
    auto side = [](const ScreenPoint& p, const ScreenPoint& q, double x, double y) {
        return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
    };
    const double s1 = side(a, b, x, y), s2 = side(b, c, x, y), s3 = side(c, a, x, y);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

TEST_F(ArtMeshes, cockpitFramesTheViewAndLeavesItsCentreClear) {
    unsigned int textures[20] = {};
    Model_3DS cockpit;
    cockpit.Load("bin/models/cockpit.3ds", 0, textures);
    ASSERT_EQ(cockpit.numObjects, 1);
    const Object_3DS& frame = cockpit.objects[0];
    std::vector<ScreenPoint> points;
    for (int v = 0; v < frame.numVerts; ++v) {
        points.push_back(project(frame.vertices + 3 * v));
        // In front of the near plane: nothing of the frame is cut open.
        EXPECT_GT(points.back().depth, 0.1f) << "vertex " << v;
    }
    auto covered = [&](double x, double y) {
        for (int f = 0; f + 2 < frame.numFaces; f += 3) {
            if (covers(points[frame.faces[f]], points[frame.faces[f + 1]], points[frame.faces[f + 2]], x, y)) {
                return true;
            }
        }
        return false;
    };
    // The middle of the view, where the player aims, is open space...
    for (double y = -0.5; y <= 0.6; y += 0.05) {
        for (double x = -0.6; x <= 0.6; x += 0.05) {
            ASSERT_FALSE(covered(x, y)) << "the cockpit hides the view at " << x << ", " << y;
        }
    }
    // ...framed by pillars at both sides, a roof bar and the dashboard.
    EXPECT_TRUE(covered(-0.85, 0.0) || covered(-0.9, 0.0) || covered(-0.95, 0.0));
    EXPECT_TRUE(covered(0.85, 0.0) || covered(0.9, 0.0) || covered(0.95, 0.0));
    EXPECT_TRUE(covered(0.0, 0.98) || covered(0.0, 0.95));
    EXPECT_TRUE(covered(0.0, -0.9));
}

} // namespace
