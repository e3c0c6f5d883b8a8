// Two kinds of mesh file that used to lose part of their mesh: chunks with an empty body, which
// are chunks all the same (an empty map name is a name of length 0 and still takes its
// texture slot), and files cut short, which are read up to where their bytes stop.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace chunk3ds;
namespace fs = std::filesystem;

namespace {

// Reads the bytes from a heap block of exactly their size, so that a sanitizer build catches
// any read past the last byte.
Model_3DS read(const std::vector<unsigned char>& bytes, int firstTexture = 0) {
    std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    Model_3DS model;
    model.textureLoader = nullptr;
    model.LoadFromMemory(exact.get(), bytes.size(), "mends.3ds", firstTexture, nullptr);
    return model;
}

Chunk triangleWithGroups(const std::string& name, const std::vector<Chunk>& groups) {
    Chunk faces = faceList({{0, 1, 2}});
    for (const Chunk& group : groups) {
        faces.child(group);
    }
    return objectWith(name, {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), faces});
}

} // namespace

TEST(Model3dsEmptyChunks, anEmptyMapNameTakesItsSlotSoLaterMapsKeepTheirs) {
    Chunk unnamedMap = material();
    unnamedMap.child(materialName("unnamed")).child(Chunk(0xA200).child(Chunk(0xA300)));
    const Model_3DS model =
        read(fileWith({unnamedMap, materialWith("named", {textureMap("b.tga")})}).bytes(), 3);
    ASSERT_EQ(model.numMaterials, 2);
    EXPECT_TRUE(model.materials[0].textured);
    EXPECT_EQ(model.materials[0].textureIndex, 3);
    EXPECT_EQ(model.materials[1].textureIndex, 4);
    EXPECT_EQ(model.textureCount, 2);
}

TEST(Model3dsEmptyChunks, emptyMaterialObjectAndFaceGroupChunksAreCountedInTheirPlace) {
    const Model_3DS model =
        read(fileWith({Chunk(0xAFFF), materialWith("m", {}), Chunk(0x4000),
                       triangleWithGroups("o", {Chunk(0x4130), faceGroup("m", {0})})})
                 .bytes());
    ASSERT_EQ(model.numMaterials, 2);
    EXPECT_STREQ(model.materials[1].name, "m");
    ASSERT_EQ(model.numObjects, 2);
    EXPECT_EQ(model.objects[0].numVerts, 0);
    const Object_3DS& triangle = model.objects[1];
    EXPECT_STREQ(triangle.name, "o");
    ASSERT_EQ(triangle.numFaceGroups, 2);
    EXPECT_EQ(triangle.faceGroups[0].numIndices, 0);
    EXPECT_EQ(triangle.faceGroups[1].materialIndex, 1);
    EXPECT_EQ(triangle.faceGroups[1].numIndices, 3);
}

TEST(Model3dsEmptyChunks, anEmptyNameAtTheVeryEndOfTheFileReadsNothing) {
    // Each of these names is the last chunk of its file: reading it must not touch the byte
    // where its text would start.
    const Chunk emptyMapName = Chunk(0xAFFF).child(Chunk(0xA200).child(Chunk(0xA300)));
    const Chunk emptyMaterialName = Chunk(0xAFFF).child(Chunk(0xA000));
    for (const Chunk& last : {emptyMapName, emptyMaterialName, Chunk(0x4000)}) {
        const Model_3DS model = read(fileWith({last}).bytes());
        EXPECT_EQ(model.numMaterials + model.numObjects, 1);
        EXPECT_EQ(model.fault, nullptr) << model.fault;
    }
}

namespace {

// The two-material quad with its last bytes missing: what is left of it.
struct CutShort {
    const char* name;
    std::size_t missing; // bytes cut from the end of the file
    int triangles;       // in the quad's face list
    int groups;          // face groups read
    int groupedIndices;  // over all groups
};

void PrintTo(const CutShort& cut, std::ostream* out) { *out << cut.name; }

class Model3dsCutShort : public testing::TestWithParam<CutShort> {};

} // namespace

TEST_P(Model3dsCutShort, isReadUpToWhereItsBytesStop) {
    const CutShort& cut = GetParam();
    std::vector<unsigned char> bytes = samples::twoMaterialQuad().bytes();
    bytes.resize(bytes.size() - cut.missing);
    const Model_3DS model = read(bytes);
    EXPECT_STREQ(model.fault, "file is cut short");
    ASSERT_EQ(model.numMaterials, 2);
    EXPECT_STREQ(model.materials[1].name, "blue");
    EXPECT_EQ(model.textureCount, 2);
    ASSERT_EQ(model.numObjects, 1);
    const Object_3DS& quad = model.objects[0];
    EXPECT_EQ(quad.numVerts, 4);
    EXPECT_TRUE(quad.textured);
    EXPECT_EQ(quad.numFaces, 3 * cut.triangles);
    ASSERT_EQ(quad.numFaceGroups, cut.groups);
    int grouped = 0;
    for (int g = 0; g < quad.numFaceGroups; ++g) {
        grouped += quad.faceGroups[g].numIndices;
    }
    EXPECT_EQ(grouped, cut.groupedIndices);
}

// The quad's file ends with its face list: two triangles of 8 bytes, then the group "red"
// (14 bytes, one triangle) and the group "blue" (15 bytes, one triangle).
INSTANTIATE_TEST_SUITE_P(
    Cuts, Model3dsCutShort,
    testing::Values(CutShort{"lastByte", 1, 2, 2, 3}, CutShort{"lastGroup", 15, 2, 1, 3},
                    CutShort{"lastGroupAndTheOtherGroupsTriangle", 16, 2, 1, 0},
                    CutShort{"bothGroupsAndALastTriangleByte", 30, 1, 0, 0}),
    [](const testing::TestParamInfo<CutShort>& info) { return std::string(info.param.name); });

TEST(Model3dsCutShortFile, saysOnStderrThatTheFileIsCutShort) {
    const fs::path file =
        fs::temp_directory_path() / ("zeph-cut-" + std::to_string(getpid()) + ".3ds");
    std::vector<unsigned char> bytes = samples::twoMaterialQuad().bytes();
    bytes.pop_back();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    Model_3DS model;
    model.textureLoader = nullptr;
    testing::internal::CaptureStderr();
    model.Load(file.string().c_str(), 0, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    fs::remove(file);
    EXPECT_EQ(said, "mesh file \"" + file.string() + "\" read in part: file is cut short\n");
    EXPECT_EQ(model.totalFaces, 2);
}
