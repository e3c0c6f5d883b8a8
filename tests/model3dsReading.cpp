// Reading 3DS meshes assembled byte by byte: what each chunk gives, what is skipped, and the
// rules the reader applies on top (axis change, normals, texturing, texture slots, names).

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace chunk3ds;

namespace {

// Every map name the reader hands on, with its slot.
std::vector<std::pair<std::string, int>> mapsHandedOn;
void recordMap(unsigned int* textures, const char* fileName, int slot) {
    mapsHandedOn.emplace_back(fileName, slot);
    textures[slot] = 1000u + unsigned(slot);
}

Model_3DS read(const Chunk& file, const char* name = "mesh.3ds", int firstTexture = 0) {
    static unsigned int textures[40];
    mapsHandedOn.clear();
    Model_3DS model;
    model.textureLoader = recordMap;
    const std::vector<unsigned char> bytes = file.bytes();
    const int used = model.LoadFromMemory(bytes.data(), bytes.size(), name, firstTexture, textures);
    EXPECT_EQ(used, model.textureCount);
    return model;
}

std::vector<unsigned> groupIndices(const Object_3DS& object, int group) {
    return shorts(object.faceGroups[group].indices, object.faceGroups[group].numIndices);
}

void expectSameMesh(const Model_3DS& a, const Model_3DS& b) {
    ASSERT_EQ(a.numMaterials, b.numMaterials);
    ASSERT_EQ(a.numObjects, b.numObjects);
    EXPECT_EQ(a.textureCount, b.textureCount);
    for (int m = 0; m < a.numMaterials; ++m) {
        const Material_3DS& x = a.materials[m];
        const Material_3DS& y = b.materials[m];
        EXPECT_STREQ(x.name, y.name);
        EXPECT_EQ(x.textured, y.textured);
        EXPECT_EQ(0, std::memcmp(x.color, y.color, 4));
        EXPECT_EQ(x.textureIndex, y.textureIndex);
        EXPECT_EQ(floats(x.ambient, 4), floats(y.ambient, 4));
        EXPECT_EQ(floats(x.diffuse, 4), floats(y.diffuse, 4));
        EXPECT_EQ(x.hasAmbient, y.hasAmbient);
    }
    for (int o = 0; o < a.numObjects; ++o) {
        const Object_3DS& x = a.objects[o];
        const Object_3DS& y = b.objects[o];
        EXPECT_STREQ(x.name, y.name);
        EXPECT_EQ(floats(x.vertices, 3 * x.numVerts), floats(y.vertices, 3 * y.numVerts));
        EXPECT_EQ(floats(x.normals, 3 * x.numVerts), floats(y.normals, 3 * y.numVerts));
        EXPECT_EQ(floats(x.texCoords, 2 * x.numTexCoords), floats(y.texCoords, 2 * y.numTexCoords));
        EXPECT_EQ(shorts(x.faces, x.numFaces), shorts(y.faces, y.numFaces));
        EXPECT_EQ(x.textured, y.textured);
        ASSERT_EQ(x.numFaceGroups, y.numFaceGroups);
        for (int g = 0; g < x.numFaceGroups; ++g) {
            EXPECT_EQ(groupIndices(x, g), groupIndices(y, g));
            EXPECT_EQ(x.faceGroups[g].materialIndex, y.faceGroups[g].materialIndex);
        }
    }
}

// Ten vertices and ten texture coordinate pairs of which `repeats` of the odd pairs (1, 3, ...)
// equal the pair before them.
Chunk tenPairsWithRepeats(int repeats) {
    std::vector<Xyz> vertices;
    std::vector<Uv> pairs;
    for (int i = 0; i < 10; ++i) {
        vertices.push_back({float(i), 0, 0});
        const bool repeat = i % 2 == 1 && i / 2 < repeats;
        pairs.push_back(repeat ? pairs.back() : Uv{float(i) / 10, float(i) / 20});
    }
    return fileWith({objectWith("strip", {vertexList(vertices), texCoords(pairs)})});
}

} // namespace

TEST(Model3dsReading, aWholeMeshGivesItsMaterialsObjectsAndGroups) {
    Model_3DS model = read(samples::twoMaterialQuad(), "bin/models/quad.3ds", 6);
    ASSERT_EQ(model.numMaterials, 2);
    ASSERT_EQ(model.numObjects, 1);
    EXPECT_STREQ(model.modelName, "bin/models/quad.3ds");
    EXPECT_STREQ(model.path, "bin/models/");
    EXPECT_EQ(model.fault, nullptr);

    const Material_3DS& red = model.materials[0];
    EXPECT_STREQ(red.name, "red");
    EXPECT_TRUE(red.hasAmbient);
    EXPECT_FLOAT_EQ(red.ambient[0], 40 / 255.0f);
    EXPECT_EQ(floats(red.diffuse, 4), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ((std::vector<int>(red.color, red.color + 4)), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_TRUE(red.textured);
    EXPECT_EQ(red.textureIndex, 6);
    const Material_3DS& blue = model.materials[1];
    EXPECT_STREQ(blue.name, "blue");
    EXPECT_FALSE(blue.hasAmbient);
    EXPECT_EQ(floats(blue.diffuse, 4), (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(blue.textureIndex, 7) << "a map under 0xA030 takes a slot too";

    const Object_3DS& quad = model.objects[0];
    EXPECT_STREQ(quad.name, "quad");
    EXPECT_EQ(quad.numVerts, 4);
    EXPECT_EQ(quad.numTexCoords, 4);
    EXPECT_TRUE(quad.textured);
    EXPECT_EQ(shorts(quad.faces, quad.numFaces), (std::vector<unsigned>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(quad.numFaceGroups, 2);
    EXPECT_EQ(groupIndices(quad, 0), (std::vector<unsigned>{0, 1, 2}));
    EXPECT_EQ(quad.faceGroups[0].materialIndex, 0);
    EXPECT_EQ(groupIndices(quad, 1), (std::vector<unsigned>{0, 2, 3}));
    EXPECT_EQ(quad.faceGroups[1].materialIndex, 1);
    EXPECT_EQ(model.totalVerts, 4);
    EXPECT_EQ(model.totalFaces, 2);
}

TEST(Model3dsReading, theFirstChunkIsReadWhateverItsId) {
    Chunk usual = samples::bareTriangle();
    std::vector<unsigned char> bytes = usual.bytes();
    bytes[0] = 0x34;
    bytes[1] = 0x12;
    Model_3DS model;
    model.LoadFromMemory(bytes.data(), bytes.size(), "odd.3ds", 0, nullptr);
    expectSameMesh(model, read(usual));
    EXPECT_EQ(model.numObjects, 1);
}

TEST(Model3dsReading, unknownChunksAreSkippedAtEveryLevel) {
    Chunk faces = faceList({{0, 1, 2}, {0, 2, 3}});
    faces.child(unknown()).child(faceGroup("red", {0})).child(unknown(0x4150))
        .child(faceGroup("blue", {1}));
    Chunk body = mesh();
    body.child(unknown(0x4160)).child(vertexList({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}))
        .child(unknown()).child(texCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}})).child(faces)
        .child(unknown());
    Chunk quad = object("quad");
    quad.child(unknown()).child(body).child(unknown(0x4700));
    Chunk red = material();
    red.child(unknown(0xA040)).child(materialName("red")).child(unknown())
        .child(Chunk(0xA010).child(unknown()).child(byteColor(40, 0, 0)).child(unknown()))
        .child(diffuse(floatColor(1, 0, 0)))
        .child(Chunk(0xA200).child(unknown()).child(Chunk(0xA300).name("red.tga")).child(unknown()));
    Chunk blue = material();
    blue.child(materialName("blue")).child(diffuse(byteColor(0, 0, 255)))
        .child(textureMap("blue.tga", 0xA030)).child(unknown());
    Chunk edit = editor();
    edit.child(unknown(0x0100)).child(red).child(unknown()).child(blue).child(quad).child(unknown());
    Chunk file = mainChunk();
    file.child(unknown(0xB000)).child(edit).child(unknown());

    const Model_3DS cluttered = read(file, "m.3ds", 2);
    const std::vector<std::pair<std::string, int>> clutteredMaps = mapsHandedOn;
    const Model_3DS clean = read(samples::twoMaterialQuad(), "m.3ds", 2);
    expectSameMesh(cluttered, clean);
    EXPECT_EQ(clutteredMaps, mapsHandedOn);
    EXPECT_EQ(cluttered.fault, nullptr);
}

TEST(Model3dsReading, facesBeforeVerticesGiveTheSameTrianglesAndNormals) {
    const std::vector<Xyz> vertices = {{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 1, 1}};
    Chunk faces = faceList({{0, 1, 2}, {0, 2, 3}});
    faces.child(faceGroup("", {0, 1}));
    const Model_3DS usual = read(fileWith({objectWith("o", {vertexList(vertices), faces})}));
    const Model_3DS reversed = read(fileWith({objectWith("o", {faces, vertexList(vertices)})}));
    expectSameMesh(usual, reversed);
    EXPECT_EQ(reversed.objects[0].numFaces, 6);
    EXPECT_NE(reversed.objects[0].normals[2], 0.0f);
}

TEST(Model3dsReading, theLastColourOfAColourChunkWins) {
    Chunk bytesThenGamma = Chunk(0xA020);
    bytesThenGamma.child(byteColor(10, 20, 30, 0x0011)).child(byteColor(200, 100, 50, 0x0012));
    Chunk floatsThenGamma = Chunk(0xA010);
    floatsThenGamma.child(floatColor(0.1f, 0.2f, 0.3f, 0x0010))
        .child(floatColor(0.5f, 0.25f, 1.0f, 0x0013));
    const Model_3DS model =
        read(fileWith({materialWith("m", {bytesThenGamma}), materialWith("n", {floatsThenGamma})}));
    const Material_3DS& m = model.materials[0];
    EXPECT_EQ((std::vector<int>(m.color, m.color + 4)), (std::vector<int>{200, 100, 50, 255}));
    EXPECT_EQ(floats(m.diffuse, 4), (std::vector<float>{200 / 255.0f, 100 / 255.0f, 50 / 255.0f, 1}));
    const Material_3DS& n = model.materials[1];
    EXPECT_EQ(floats(n.ambient, 4), (std::vector<float>{0.5f, 0.25f, 1.0f, 1}));
    EXPECT_EQ((std::vector<int>(n.color, n.color + 4)), (std::vector<int>{127, 63, 255, 255}));
}

TEST(Model3dsReading, ambientBeforeDiffuseLeavesTheDiffuseAsColour) {
    const Model_3DS model = read(fileWith({materialWith(
        "m", {ambient(byteColor(51, 102, 153)), diffuse(floatColor(1.0f, 0.5f, 0.0f))})}));
    const Material_3DS& m = model.materials[0];
    EXPECT_EQ((std::vector<int>(m.color, m.color + 4)), (std::vector<int>{255, 127, 0, 255}));
    EXPECT_TRUE(m.hasAmbient);
    EXPECT_EQ(floats(m.ambient, 4), (std::vector<float>{0.2f, 0.4f, 0.6f, 1}));
    EXPECT_EQ(floats(m.diffuse, 4), (std::vector<float>{1.0f, 0.5f, 0.0f, 1}));
}

TEST(Model3dsReading, floatColoursBecomeTruncatedLowBytes) {
    // value * 255, truncated toward zero, low 8 bits: 1.5 -> 382 -> 126, -0.5 -> -127 -> 129.
    const Model_3DS model =
        read(fileWith({materialWith("m", {diffuse(floatColor(1.5f, -0.5f, 0.999f))})}));
    const Material_3DS& m = model.materials[0];
    EXPECT_EQ((std::vector<int>(m.color, m.color + 4)), (std::vector<int>{126, 129, 254, 255}));
    EXPECT_EQ(floats(m.diffuse, 4), (std::vector<float>{1.5f, -0.5f, 0.999f, 1}));
}

TEST(Model3dsReading, mostlyRepeatedTexCoordsMeanAnUntexturedObject) {
    // Four repeats of five compared pairs: 5 * 4 >= 2 * 10, the mapping is degenerate.
    const Model_3DS four = read(tenPairsWithRepeats(4));
    EXPECT_FALSE(four.objects[0].textured);
    EXPECT_EQ(four.objects[0].numTexCoords, 10);
    const Model_3DS three = read(tenPairsWithRepeats(3));
    EXPECT_TRUE(three.objects[0].textured);
    // Pairs that repeat their successor rather than their predecessor do not count.
    std::vector<Uv> pairs = {{0, 0}, {1, 1}, {1, 1}, {2, 2}, {2, 2}, {3, 3}};
    const Model_3DS shifted = read(fileWith({objectWith(
        "o", {vertexList({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}}),
              texCoords(pairs)})}));
    EXPECT_TRUE(shifted.objects[0].textured);
}

TEST(Model3dsReading, objectsWithoutTexCoordsGetTheirXYAndStayUntextured) {
    const Model_3DS model =
        read(fileWith({objectWith("o", {vertexList({{1, 2, 3}, {4, 5, 6}})})}));
    const Object_3DS& o = model.objects[0];
    EXPECT_FALSE(o.textured);
    EXPECT_EQ(o.numTexCoords, 2);
    // Stored vertices are (x, z, -y): (1, 3, -2) and (4, 6, -5).
    EXPECT_EQ(floats(o.texCoords, 4), (std::vector<float>{1, 3, 4, 6}));
}

TEST(Model3dsReading, verticesTurnFromZUpToYUp) {
    const Model_3DS model = read(fileWith({objectWith("o", {vertexList({{1, 2, 3}, {-4, 0.5f, 0}})})}));
    EXPECT_EQ(floats(model.objects[0].vertices, 6), (std::vector<float>{1, 3, -2, -4, 0, -0.5f}));
}

TEST(Model3dsReading, faceGroupsTakeTrianglesByNumberAndMaterialsByExactName) {
    Chunk faces = faceList({{0, 1, 2}, {1, 3, 2}, {2, 3, 0}});
    faces.child(faceGroup("Rock", {2, 0})).child(faceGroup("rock", {1}))
        .child(faceGroup("twin", {}));
    const Model_3DS model = read(fileWith(
        {materialWith("rock", {}), materialWith("twin", {}), materialWith("Rock", {}),
         materialWith("twin", {}),
         objectWith("o", {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}), faces})}));
    const Object_3DS& o = model.objects[0];
    ASSERT_EQ(o.numFaceGroups, 3);
    EXPECT_EQ(groupIndices(o, 0), (std::vector<unsigned>{2, 3, 0, 0, 1, 2}));
    EXPECT_EQ(o.faceGroups[0].materialIndex, 2) << "names compare case-sensitively";
    EXPECT_EQ(groupIndices(o, 1), (std::vector<unsigned>{1, 3, 2}));
    EXPECT_EQ(o.faceGroups[1].materialIndex, 0);
    EXPECT_EQ(o.faceGroups[2].numIndices, 0);
    EXPECT_EQ(o.faceGroups[2].materialIndex, 1) << "the first material of that name";
}

TEST(Model3dsReading, aFaceListWithoutGroupsDrawsNothing) {
    const Model_3DS model = read(fileWith(
        {objectWith("o", {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), faceList({{0, 1, 2}})})}));
    EXPECT_EQ(model.objects[0].numFaces, 3);
    EXPECT_EQ(model.objects[0].numFaceGroups, 0);
    EXPECT_EQ(model.totalFaces, 1);
}

TEST(Model3dsReading, normalsAreAreaWeightedAndUnitLength) {
    // In stored (y-up) coordinates: a big triangle (area 2) facing +z and a small one (area
    // 0.5) facing +x share vertex 0. The file holds (x, -z, y) so that the reader stores (x, y, z).
    auto file = [](float x, float y, float z) { return Xyz{x, -z, y}; };
    Chunk faces = faceList({{0, 1, 2}, {0, 3, 4}});
    const Model_3DS model = read(fileWith({objectWith(
        "o", {vertexList({file(0, 0, 0), file(2, 0, 0), file(0, 2, 0), file(0, 1, 0),
                          file(0, 0, 1), file(5, 5, 5)}),
              faces})}));
    const float* n = model.objects[0].normals;
    const float k = 1 / std::sqrt(17.0f); // (1, 0, 4) normalised: four times the small one's weight
    EXPECT_NEAR(n[0], 1 * k, 1e-6);
    EXPECT_NEAR(n[1], 0, 1e-6);
    EXPECT_NEAR(n[2], 4 * k, 1e-6);
    EXPECT_EQ(floats(n + 3, 3), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(floats(n + 9, 3), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(floats(n + 15, 3), (std::vector<float>{0, 0, 0})) << "a vertex of no triangle";
}

TEST(Model3dsReading, mapsTakeSlotsFromTheFirstFreeOneInFileOrder) {
    const Model_3DS model = read(samples::twoMaterialQuad(), "bin/models/golevka.3ds", 6);
    EXPECT_EQ(model.textureCount, 2);
    EXPECT_EQ(mapsHandedOn, (std::vector<std::pair<std::string, int>>{
                                {"bin/models/red.tga", 6}, {"bin/models/blue.tga", 7}}));
}

TEST(Model3dsReading, aNameWithoutDirectoryLooksUpMapsInTheWorkingDirectory) {
    const Model_3DS model = read(samples::twoMaterialQuad(), "quad.3ds", 0);
    EXPECT_STREQ(model.path, "");
    EXPECT_EQ(mapsHandedOn.front(), (std::pair<std::string, int>{"red.tga", 0}));
}

TEST(Model3dsReading, quotesAroundTheNameAreDropped) {
    const char name[] = "\"bin/models/golevka.3ds\"";
    const Model_3DS model = read(samples::twoMaterialQuad(), name, 0);
    EXPECT_STREQ(model.modelName, "bin/models/golevka.3ds");
    EXPECT_STREQ(model.path, "bin/models/");
    EXPECT_STREQ(name, "\"bin/models/golevka.3ds\"") << "the caller's string is not cut";
}

TEST(Model3dsReading, backslashesSeparateDirectoriesInThePath) {
    const Model_3DS model = read(samples::twoMaterialQuad(), "bin\\models\\golevka.3ds", 0);
    EXPECT_STREQ(model.path, "bin/models/");
    EXPECT_EQ(mapsHandedOn.front().first, "bin/models/red.tga");
}
