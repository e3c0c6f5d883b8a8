// Broken or hostile mesh files: each fault a file can hold, and what the reader makes of it.
// No file may make it read outside the bytes it has, loop, or keep an index that points
// outside an array.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

using namespace chunk3ds;
namespace fs = std::filesystem;

namespace {

Model_3DS read(const std::vector<unsigned char>& bytes, int firstTexture = 0) {
    Model_3DS model;
    model.textureLoader = nullptr;
    model.LoadFromMemory(bytes.data(), bytes.size(), "broken.3ds", firstTexture, nullptr);
    return model;
}
Model_3DS read(const Chunk& file) { return read(file.bytes()); }


Chunk triangleVertices() { return vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}); }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// Loads `name` from a file and returns what it wrote on stderr.
std::string loadCapturingStderr(Model_3DS& model, const char* name, int firstTexture = 0) {
    static unsigned int textures[20];
    model.textureLoader = nullptr;
    testing::internal::CaptureStderr();
    const int used = model.Load(name, firstTexture, textures);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(used, model.textureCount);
    return said;
}

void expectEmptyMesh(const Model_3DS& model) {
    EXPECT_EQ(model.numObjects, 0);
    EXPECT_EQ(model.numMaterials, 0);
    EXPECT_EQ(model.textureCount, 0);
    EXPECT_EQ(model.totalVerts, 0);
    EXPECT_EQ(model.totalFaces, 0);
}

} // namespace

TEST(Model3dsFiles, aMeshFileIsReadLikeItsBytes) {
    Scratch files;
    const std::vector<unsigned char> bytes = samples::twoMaterialQuad().bytes();
    const std::string name = files.write("models/quad.3ds", bytes);
    Model_3DS fromFile;
    EXPECT_EQ(loadCapturingStderr(fromFile, name.c_str(), 4), "");
    EXPECT_EQ(fromFile.textureCount, 2);
    EXPECT_STREQ(fromFile.modelName, name.c_str());
    EXPECT_EQ(std::string(fromFile.path), (files.path / "models").string() + "/");
    ASSERT_EQ(fromFile.numObjects, 1);
    EXPECT_EQ(fromFile.objects[0].numVerts, 4);
    EXPECT_EQ(fromFile.objects[0].numFaceGroups, 2);
    EXPECT_EQ(fromFile.materials[1].textureIndex, 5);
}

// A name that gives no mesh gives an empty one and one line on stderr naming it.
TEST(Model3dsFiles, aNameThatGivesNoMeshSaysSoOnceAndLeavesAnEmptyMesh) {
    Scratch files;
    const struct {
        const char* name;
        std::string file;
    } rows[] = {
        {"missing", "bin/models/nowhere.3ds"},
        {"directory", files.path.string()},
        {"empty", files.write("empty.3ds", {})},
        {"shorter than a header", files.write("tiny.3ds", {0x4D, 0x4D, 6, 0})},
        {"quotes only", "\"\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Model_3DS model;
        const std::string said = loadCapturingStderr(model, row.file.c_str(), 3);
        EXPECT_EQ(linesOf(said).size(), 1u) << said;
        if (row.file != "\"\"") {
            EXPECT_NE(said.find(row.file), std::string::npos) << said;
            EXPECT_EQ(model.modelName, row.file);
        }
        expectEmptyMesh(model);
    }
}

TEST(Model3dsFiles, backslashesSeparateDirectoriesWhenOpening) {
    Scratch files;
    files.write("bin/models/golevka.3ds", samples::bareTriangle().bytes());
    const std::string windowsName = files.path.string() + "\\bin\\models\\golevka.3ds";
    Model_3DS model;
    EXPECT_EQ(loadCapturingStderr(model, windowsName.c_str()), "");
    EXPECT_EQ(model.numObjects, 1);
    EXPECT_EQ(std::string(model.path), files.path.string() + "/bin/models/");
}

TEST(Model3dsFiles, aQuotedNameIsOpenedWithoutItsQuotes) {
    Scratch files;
    const std::string name = files.write("a b/mesh.3ds", samples::bareTriangle().bytes());
    const std::string quoted = "\"" + name + "\"";
    Model_3DS model;
    EXPECT_EQ(loadCapturingStderr(model, quoted.c_str()), "");
    EXPECT_EQ(model.numObjects, 1);
    EXPECT_STREQ(model.modelName, name.c_str());
    EXPECT_EQ(quoted.front(), '"');
}

TEST(Model3dsFiles, aSecondLoadStartsFromAnEmptyMesh) {
    Scratch files;
    const std::string quad = files.write("quad.3ds", samples::twoMaterialQuad().bytes());
    const std::string triangle = files.write("tri.3ds", samples::bareTriangle().bytes());
    Model_3DS model;
    loadCapturingStderr(model, quad.c_str());
    const Model_3DS earlier = model;
    loadCapturingStderr(model, triangle.c_str());
    EXPECT_EQ(model.numObjects, 1);
    EXPECT_EQ(model.numMaterials, 0);
    EXPECT_STREQ(model.objects[0].name, "tri");
    EXPECT_STREQ(earlier.objects[0].name, "quad") << "a copy keeps what it shared";
    EXPECT_EQ(earlier.numMaterials, 2);
}

TEST(Model3dsFaults, aChildShorterThanItsHeaderEndsThatWalk) {
    for (std::uint32_t length : {0u, 3u, 5u}) {
        const Model_3DS model = read(fileWith(
            {materialWith("before", {}), unknown().claimLength(length), materialWith("after", {}),
             objectWith("lost", {triangleVertices()})}));
        ASSERT_EQ(model.numMaterials, 1) << length;
        EXPECT_STREQ(model.materials[0].name, "before");
        EXPECT_EQ(model.numObjects, 0);
        EXPECT_STREQ(model.fault, "chunk shorter than its header");
    }
}

TEST(Model3dsFaults, aChildRunningPastItsParentEndsOnlyThatWalk) {
    // The face list claims more than is left of its mesh: the mesh's walk stops there, and the
    // next object is read as usual.
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("", {0})).claimLength(400);
    const Model_3DS model = read(fileWith(
        {objectWith("first", {triangleVertices(), faces}),
         objectWith("second", {triangleVertices(), faceList({{2, 1, 0}})})}));
    ASSERT_EQ(model.numObjects, 2);
    EXPECT_EQ(model.objects[0].numVerts, 3);
    EXPECT_EQ(model.objects[0].numFaces, 0);
    EXPECT_EQ(model.objects[1].numFaces, 3);
    EXPECT_STREQ(model.fault, "chunk runs past its parent");
}

TEST(Model3dsFaults, bytesTooFewForAHeaderAtTheEndOfAChunkEndItsWalk) {
    Chunk edit = editor();
    edit.child(objectWith("kept", {triangleVertices()})).u8(0x00).u8(0x40).u8(9);
    Chunk file = mainChunk();
    file.child(edit);
    const Model_3DS model = read(file);
    EXPECT_EQ(model.numObjects, 1);
    EXPECT_STREQ(model.fault, "chunk header cut by its parent's end");
}

TEST(Model3dsFaults, countsLargerThanTheirChunkAreCutToWhatIsThere) {
    Chunk vertices = Chunk(0x4110).u16(100);
    for (float value : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 7.f, 7.f}) {
        vertices.f32(value); // three whole vertices and two floats of a fourth
    }
    Chunk pairs = Chunk(0x4140).u16(50).f32(0.5f).f32(0.25f).f32(1).f32(1).f32(9);
    Chunk faces = Chunk(0x4120).u16(10).u16(0).u16(1).u16(2).u16(0).u16(2).u16(1);
    Chunk body = mesh();
    body.child(vertices).child(pairs).child(faces);
    Chunk named = object("o");
    named.child(body);
    const Model_3DS model = read(fileWith({named}));
    const Object_3DS& o = model.objects[0];
    EXPECT_EQ(o.numVerts, 3);
    EXPECT_EQ(o.vertices[7], 1.0f);
    EXPECT_TRUE(o.textured);
    EXPECT_EQ(o.numTexCoords, 3) << "two pairs read, one (0, 0) added for the third vertex";
    EXPECT_EQ(o.numFaces, 3) << "one whole triangle of eight bytes, then four bytes";
    EXPECT_STREQ(model.fault, "count larger than the bytes of its chunk");

    Chunk group = Chunk(0x4130).name("").u16(9).u16(0).u8(1);
    Chunk list = faceList({{0, 1, 2}});
    list.child(group);
    const Model_3DS grouped = read(fileWith({objectWith("o", {triangleVertices(), list})}));
    EXPECT_EQ(grouped.objects[0].faceGroups[0].numIndices, 3);
}

TEST(Model3dsFaults, aTriangleNamingAMissingVertexIsDropped) {
    Chunk faces = faceList({{0, 1, 2}, {0, 1, 3}, {2, 1, 0}, {65535, 0, 1}});
    faces.child(faceGroup("", {0, 1, 2, 3}));
    const Model_3DS model = read(fileWith({objectWith("o", {triangleVertices(), faces})}));
    const Object_3DS& o = model.objects[0];
    EXPECT_EQ(shorts(o.faces, o.numFaces), (std::vector<unsigned>{0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(shorts(o.faceGroups[0].indices, o.faceGroups[0].numIndices),
              (std::vector<unsigned>{0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(model.totalFaces, 2);
    // The kept triangles face opposite ways, so their normals cancel out.
    EXPECT_EQ(floats(o.normals, 9), std::vector<float>(9, 0.0f));
}

TEST(Model3dsFaults, aGroupEntryNamingAMissingTriangleIsDropped) {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("", {1, 0, 65535}));
    const Model_3DS model = read(fileWith({objectWith("o", {triangleVertices(), faces})}));
    const FaceGroup_3DS& group = model.objects[0].faceGroups[0];
    EXPECT_EQ(shorts(group.indices, group.numIndices), (std::vector<unsigned>{0, 1, 2}));
    EXPECT_STREQ(model.fault, "face group names a triangle past the face list");
}

TEST(Model3dsFaults, aTexturedObjectShortOfPairsGetsZerosForTheRest) {
    const Model_3DS model = read(fileWith({objectWith(
        "o", {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
              texCoords({{0.5f, 0.5f}, {1, 1}})})}));
    const Object_3DS& o = model.objects[0];
    EXPECT_TRUE(o.textured);
    EXPECT_EQ(o.numTexCoords, 4);
    EXPECT_EQ(floats(o.texCoords, 8), (std::vector<float>{0.5f, 0.5f, 1, 1, 0, 0, 0, 0}));
}

TEST(Model3dsFaults, aNameWithoutNulInEightyBytesIsCutAndTheWalkGoesOn) {
    const std::string longName(100, 'x');
    const std::string eighty(80, 'e');
    const std::string seventyNine(79, 's');
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup(longName, {0}));
    const Model_3DS model = read(fileWith(
        {materialWith(longName, {diffuse(byteColor(0, 255, 0))}), materialWith(eighty, {}),
         materialWith(seventyNine, {}), objectWith(longName, {triangleVertices(), faces})}));
    EXPECT_EQ(std::string(model.materials[0].name), std::string(79, 'x'));
    EXPECT_EQ(model.materials[0].diffuse[1], 1.0f) << "the chunk after the name is still read";
    EXPECT_EQ(std::string(model.materials[1].name), std::string(79, 'e'));
    EXPECT_EQ(std::string(model.materials[2].name), seventyNine);
    const Object_3DS& o = model.objects[0];
    EXPECT_EQ(std::string(o.name), std::string(79, 'x'));
    EXPECT_EQ(o.numVerts, 3) << "the object's children are found after the whole name";
    EXPECT_EQ(o.faceGroups[0].numIndices, 3);
    EXPECT_EQ(o.faceGroups[0].materialIndex, 0);
}

TEST(Model3dsFaults, aNameRunningToTheEndOfItsChunkStopsThere) {
    Chunk m = material();
    m.child(Chunk(0xA000).raw("abc")).child(diffuse(byteColor(0, 0, 255)));
    const Model_3DS model = read(fileWith({m}));
    EXPECT_STREQ(model.materials[0].name, "abc");
    EXPECT_EQ(model.materials[0].diffuse[2], 1.0f);
}

TEST(Model3dsFaults, colourChunksTooShortForTheirColourLeaveItAlone) {
    Chunk shortFloats = Chunk(0x0010).f32(0.5f).f32(0.5f);
    Chunk shortBytes = Chunk(0x0011).u8(9).u8(9);
    const Model_3DS model = read(fileWith({materialWith(
        "m", {diffuse(byteColor(10, 20, 30)), Chunk(0xA020).child(shortFloats),
              Chunk(0xA010).child(shortBytes)})}));
    const Material_3DS& m = model.materials[0];
    EXPECT_EQ((std::vector<int>(m.color, m.color + 4)), (std::vector<int>{10, 20, 30, 255}));
    EXPECT_FALSE(m.hasAmbient);
    EXPECT_STREQ(model.fault, "colour chunk too short for three floats");
}

TEST(Model3dsFaults, aGroupNamingNoMaterialPointsOnePastTheLast) {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("nobody", {0}));
    const Model_3DS model =
        read(fileWith({materialWith("somebody", {}), objectWith("o", {triangleVertices(), faces})}));
    EXPECT_EQ(model.objects[0].faceGroups[0].materialIndex, 1);
}

TEST(Model3dsFaults, aSecondEditorChunkAddsItsMaterialsAndObjects) {
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("late", {0}));
    Chunk first = editor();
    first.child(materialWith("early", {})).child(objectWith("one", {triangleVertices(), faces}));
    Chunk second = editor();
    second.child(materialWith("late", {})).child(objectWith("two", {triangleVertices()}));
    Chunk file = mainChunk();
    file.child(first).child(second);
    const Model_3DS model = read(file);
    ASSERT_EQ(model.numMaterials, 2);
    ASSERT_EQ(model.numObjects, 2);
    EXPECT_STREQ(model.materials[1].name, "late");
    EXPECT_STREQ(model.objects[1].name, "two");
    EXPECT_EQ(model.objects[0].faceGroups[0].materialIndex, 2)
        << "a material read later is not the one the group looked for";
}

TEST(Model3dsFaults, aLaterShorterVertexListDropsTrianglesItNoLongerHas) {
    Chunk faces = faceList({{0, 1, 2}, {0, 1, 3}});
    faces.child(faceGroup("", {0, 1}));
    Chunk firstMesh = mesh();
    firstMesh.child(vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}})).child(faces);
    Chunk secondMesh = mesh();
    secondMesh.child(vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    Chunk named = object("o");
    named.child(firstMesh).child(secondMesh);
    const Model_3DS model = read(fileWith({named}));
    const Object_3DS& o = model.objects[0];
    EXPECT_EQ(o.numVerts, 3);
    EXPECT_EQ(shorts(o.faces, o.numFaces), (std::vector<unsigned>{0, 1, 2}));
    EXPECT_EQ(shorts(o.faceGroups[0].indices, o.faceGroups[0].numIndices),
              (std::vector<unsigned>{0, 1, 2}));
}

TEST(Model3dsFaults, aHugeCountInATinyFileAllocatesOnlyWhatIsThere) {
    Chunk body = mesh();
    body.child(Chunk(0x4110).u16(65535).f32(1).f32(2).f32(3))
        .child(Chunk(0x4140).u16(65535))
        .child(Chunk(0x4120).u16(65535).u16(0).u16(0).u16(0).u16(0));
    Chunk named = object("o");
    named.child(body);
    const Model_3DS model = read(fileWith({named}));
    const Object_3DS& o = model.objects[0];
    EXPECT_EQ(o.numVerts, 1);
    EXPECT_EQ(o.numTexCoords, 1) << "untextured: its (x, y) pair";
    EXPECT_EQ(o.numFaces, 3);
}
