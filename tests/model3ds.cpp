// 3DS meshes assembled byte by byte, sound and broken: what each chunk and each fault gives.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/console.h"
#include "support/placementChecks.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace chunk3ds;
using Maps = std::vector<std::pair<std::string, int>>;
using Floats = std::vector<float>;

namespace {

Chunk triangleVertices() {
    return vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
}
Chunk triangleWithGroups(const std::string& name, const std::vector<Chunk>& groups) {
    return objectWith(name, {triangleVertices(), withChildren(faceList({{0, 1, 2}}), groups)});
}

// One line a material (name, slot when textured, colour; `whole` adds alpha, ambient (A when
// given) and diffuse) and an object (name, counts, T when textured, triangles, groups; `whole`
// adds vertices, normals, pairs), then the fault; `whole` starts with the totals.
std::string summary(const Model_3DS& model, bool whole = false) {
    std::ostringstream out;
    auto put = [&](const std::string& tag, const auto* values, int count) { // null: none
        out << tag;
        for (int i = 0; values != nullptr && i < count; ++i) {
            out << ' ' << +values[i];
        }
    };
    if (whole) {
        out << model.textureCount << ' ' << model.totalVerts << ' ' << model.totalFaces << '\n';
    }
    for (int m = 0; m < model.numMaterials; ++m) {
        const Material_3DS& x = model.materials[m];
        out << "m " << x.name << (x.textured ? " #" + std::to_string(x.textureIndex) : "") << ' '
            << int(x.color[0]) << ',' << int(x.color[1]) << ',' << int(x.color[2]);
        if (whole) {
            out << ',' << int(x.color[3]);
            put(x.hasAmbient ? " A" : " a", x.ambient, 4);
            put(" d", x.diffuse, 4);
        }
        out << '\n';
    }
    for (int o = 0; o < model.numObjects; ++o) {
        const Object_3DS& x = model.objects[o];
        out << "o " << x.name << ' ' << x.numVerts << ' ' << x.numTexCoords
            << (x.textured ? "T" : "");
        put(" f", x.faces, x.numFaces);
        for (int g = 0; g < x.numFaceGroups; ++g) {
            const FaceGroup_3DS& group = x.faceGroups[g];
            put(" g" + std::to_string(group.materialIndex) + ':', group.indices, group.numIndices);
        }
        if (whole) {
            put(" v", x.vertices, 3 * x.numVerts);
            put(" n", x.normals, 3 * x.numVerts);
            put(" t", x.texCoords, 2 * x.numTexCoords);
        }
        out << '\n';
    }
    return out.str() + (model.fault ? model.fault : "");
}

} // namespace

TEST(Model3dsReading, aWholeMeshGivesItsMaterialsObjectsAndGroupsWhateverItSkipsOrReorders) {
    // The quad again, with chunks the reader does not know at every level and its faces
    // before its vertices.
    const Chunk u = unknown();
    const Chunk faces =
        withChildren(faceList({{0, 1, 2}, {0, 2, 3}}),
                     {u, faceGroup("red", {0}), unknown(0x4150), faceGroup("blue", {1})});
    const Chunk body = withChildren(
        mesh(), {unknown(0x4160), faces, vertexList({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}),
                 u, texCoords({{0, 0}, {1, 0}, {1, 1}, {0, 1}})});
    const Chunk quad = withChildren(object("quad"), {u, body, unknown(0x4700)});
    const Chunk red = withChildren(
        material(),
        {unknown(0xA040), materialName("red"), u,
         withChildren(Chunk(0xA010), {u, byteColor(40, 0, 0), u}), diffuse(floatColor(1, 0, 0)),
         withChildren(Chunk(0xA200), {u, Chunk(0xA300).name("red.tga"), u})});
    const Chunk blue =
        materialWith("blue", {diffuse(byteColor(0, 0, 255)), textureMap("blue.tga", 0xA030), u});
    const Chunk cluttered = withChildren(
        mainChunk(),
        {unknown(0xB000), withChildren(editor(), {unknown(0x0100), red, u, blue, quad, u}), u});
    // The first chunk is the main one whatever its id.
    std::vector<unsigned char> otherMain = samples::twoMaterialQuad().bytes();
    otherMain[0] = 0x34, otherMain[1] = 0x12;
    const std::pair<const char*, std::vector<unsigned char>> files[] = {
        {"as written", samples::twoMaterialQuad().bytes()},
        {"cluttered and reordered", cluttered.bytes()},
        {"main chunk 0x1234", otherMain}};
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        const Model_3DS model = readMesh(file, 6, "bin/models/quad.3ds");
        EXPECT_EQ(model.fault, nullptr);
        EXPECT_EQ(mapsHandedOn, (Maps{{"bin/models/red.tga", 6}, {"bin/models/blue.tga", 7}}));
        // Vertices: the file's (x, y, z) stored y-up as (x, z, -y).
        EXPECT_EQ(summary(model, true),
                  "2 4 2\nm red #6 255,0,0,255 A 0.156863 0 0 1 d 1 0 0 1\n"
                  "m blue #7 0,0,255,255 a 1 1 1 1 d 0 0 1 1\n"
                  "o quad 4 4T f 0 1 2 0 2 3 g0: 0 1 2 g1: 0 2 3 v 0 0 -0 1 0 -0 1 1 -0 0 1 -0 "
                  "n 0 0 1 0 0 1 0 0 1 0 0 1 t 0 0 1 0 1 1 0 1\n");
    }
}

TEST(Model3dsReading, materialColoursTakeTheLastColourGivenTruncatedToLowBytes) {
    const Chunk bytesThenGamma =
        Chunk(0xA020).child(byteColor(10, 20, 30, 0x0011)).child(byteColor(200, 100, 50, 0x0012));
    const Chunk floatsThenGamma =
        Chunk(0xA010).child(floatColor(0.1f, 0.2f, 0.3f)).child(floatColor(0.5f, 0.25f, 1, 0x0013));
    const Model_3DS model = readMesh(fileWith(
        {materialWith("bytes", {bytesThenGamma}), materialWith("floats", {floatsThenGamma}),
         materialWith("both", {ambient(byteColor(51, 102, 153)), diffuse(floatColor(1, 0.5f, 0))}),
         // value * 255, truncated toward zero, low 8 bits: 1.5 -> 126, -0.5 -> 129.
         materialWith("wide", {diffuse(floatColor(1.5f, -0.5f, 0.999f))}),
         materialWith("late",
                      {diffuse(floatColor(0.5f, 0.25f, 0)), ambient(byteColor(51, 102, 153))})}));
    EXPECT_EQ(summary(model, true),
              "0 0 0\nm bytes 200,100,50,255 a 1 1 1 1 d 0.784314 0.392157 0.196078 1\n"
              "m floats 127,63,255,255 A 0.5 0.25 1 1 d 1 1 1 1\n"
              "m both 255,127,0,255 A 0.2 0.4 0.6 1 d 1 0.5 0 1\n"
              "m wide 126,129,254,255 a 1 1 1 1 d 1.5 -0.5 0.999 1\n"
              "m late 51,102,153,255 A 0.2 0.4 0.6 1 d 0.5 0.25 0 1\n");
    for (int m = 0; m < model.numMaterials; ++m) {
        EXPECT_EQ(model.materials[m].textureIndex, -1) << "a material without a map has no slot";
    }
}

TEST(Model3dsReading, mostlyRepeatedOrMissingTexCoordsMeanAnUntexturedObject) {
    // Ten pairs of which `repeats` odd ones equal the one before: 5 compared, untextured when
    // 5 * repeats >= 2 * 10. Pairs repeating their successor do not count.
    auto strip = [](int repeats, bool shifted) {
        std::vector<Xyz> vertices;
        std::vector<Uv> pairs;
        for (int i = 0; i < 10; ++i) {
            vertices.push_back({float(i), 0, 0});
            const bool repeat = i % 2 == (shifted ? 0 : 1) && i > 0 && i / 2 < repeats;
            pairs.push_back(repeat ? pairs.back() : Uv{float(i) / 10, float(i) / 20});
        }
        return readMesh(fileWith({objectWith("strip", {vertexList(vertices), texCoords(pairs)})}));
    };
    EXPECT_EQ(summary(strip(4, false)), "o strip 10 10 f\n");
    EXPECT_TRUE(strip(3, false).objects[0].textured && strip(5, true).objects[0].textured);
    const Model_3DS bare =
        readMesh(fileWith({objectWith("o", {vertexList({{1, 2, 3}, {4, 5, 6}})})}));
    const Object_3DS& o = bare.objects[0];
    EXPECT_FALSE(o.textured);
    ASSERT_EQ(o.numTexCoords, 2);
    EXPECT_EQ(Floats(o.texCoords, o.texCoords + 4), (Floats{1, 3, 4, 6})) << "the stored x and y";
    // Fewer pairs than vertices: drawing reads one a vertex, so the missing ones are (0, 0).
    const Model_3DS few = readMesh(
        fileWith({objectWith("o", {triangleVertices(), texCoords({{0.5f, 0.25f}, {1, 1}})})}));
    EXPECT_EQ(Floats(few.objects[0].texCoords, few.objects[0].texCoords + 6),
              (Floats{0.5f, 0.25f, 1, 1, 0, 0}));
}

TEST(Model3dsReading, faceGroupsTakeTrianglesByNumberAndMaterialsByExactName) {
    const Chunk faces =
        withChildren(faceList({{0, 1, 2}, {1, 3, 2}, {2, 3, 0}}),
                     {faceGroup("Rock", {2, 0}), faceGroup("rock", {1}), faceGroup("twin", {})});
    const Model_3DS model = readMesh(fileWith(
        {materialWith("rock", {}), materialWith("twin", {}), materialWith("Rock", {}),
         materialWith("twin", {}),
         objectWith("o", {vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}), faces})}));
    // Names compare case-sensitively; of two alike the first wins.
    EXPECT_EQ(summary(model).substr(summary(model).find("o ")),
              "o o 4 4 f 0 1 2 1 3 2 2 3 0 g2: 2 3 0 0 1 2 g0: 1 3 2 g1:\n");
}

TEST(Model3dsReading, normalsAreAreaWeightedAndUnitLength) {
    // Stored y-up: a triangle of area 2 facing +z and one of area 0.5 facing +x share vertex 0;
    // vertex 5 is of no triangle; the last three, A, B, C, have (B - C) x (B - A) = (-6, 4, 1).
    auto file = [](float x, float y, float z) { return Xyz{x, -z, y}; };
    const Model_3DS model = readMesh(fileWith({objectWith(
        "o", {vertexList({file(0, 0, 0), file(2, 0, 0), file(0, 2, 0), file(0, 1, 0), file(0, 0, 1),
                          file(5, 5, 5), file(1, 2, 3), file(2, 4, 1), file(0, 1, 1)}),
              faceList({{1, 2, 0}, {3, 4, 0}, {6, 7, 8}})})}));
    EXPECT_EQ(model.objects[0].numFaceGroups, 0) << "a face list without groups draws nothing";
    EXPECT_EQ(model.totalFaces, 3);
    const float k = 1 / std::sqrt(17.0f), x = -6 / std::sqrt(53.0f), y = 4 / std::sqrt(53.0f),
                z = 1 / std::sqrt(53.0f);
    expectNear(
        Floats(model.objects[0].normals, model.objects[0].normals + 27),
        {k, 0, 4 * k, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, x, y, z, x, y, z, x, y, z},
        1e-6);
}

// A name that cannot be read (none, a folder) says so in one line and leaves an empty mesh; a
// file cut short is read in part and says so. The folder of the name (quotes and backslashes
// undone) is where its maps are looked for. Each load into the one mesh starts from empty, and a
// copy made before keeps what it had.
// Windows refuses to open a folder as a file; Linux opens it, then refuses to read it.
#ifdef _WIN32
const std::string folderRefusal = "Permission denied";
#else
const std::string folderRefusal = "Is a directory";
#endif

TEST(Model3dsFiles, eachNameIsReadWhereItPointsOrSaysWhyNotInOneLine) {
    const long open = openFiles();
    Scratch files(true);
    const std::string name = files.write("a b/mesh.3ds", samples::bareTriangle().bytes()),
                      folder = files.path.generic_string() + "/a b/", there = files.path.string();
    std::vector<unsigned char> cut = samples::twoMaterialQuad().bytes();
    cut.pop_back();
    files.write("cut.3ds", cut);
    files.write("short.3ds", {0x4D, 0x4D, 6, 0});
    // Read in blocks: one byte past the first 64 KiB is read too.
    files.write("long.3ds", mainChunk().child(Chunk(0x7777).raw(std::string(65525, 'x'))).bytes());
    const std::string backslashes = there + "\\a b\\mesh.3ds";
    // The name given, what is said, the folder and name kept, the vertices and triangles read.
    const std::tuple<std::string, std::string, std::string, std::string, int, int> rows[] = {
        {"\"" + name + "\"", "", folder, name, 3, 1},
        {backslashes, "", folder, backslashes, 3, 1},
        {"cut.3ds", "mesh file \"cut.3ds\" read in part: file is cut short\n", "", "cut.3ds", 4, 2},
        {"short.3ds", "mesh file \"short.3ds\" read in part: file shorter than a chunk header\n",
         "", "short.3ds", 0, 0},
        {"long.3ds", "", "", "long.3ds", 0, 0},
        {"bin/models/nowhere.3ds",
         "cannot read mesh file \"bin/models/nowhere.3ds\": No such file or directory\n",
         "bin/models/", "bin/models/nowhere.3ds", 0, 0},
        {there,
         "cannot read mesh file \"" + files.path.generic_string() + "\": " + folderRefusal + "\n",
         files.path.parent_path().generic_string() + "/", there, 0, 0}};
    Model_3DS model;
    model.textureLoader = nullptr;
    EXPECT_EQ(summary(model, true), "0 0 0\n") << "a mesh never loaded holds nothing";
    for (const auto& [named, said, folderKept, kept, verts, faces] : rows) {
        SCOPED_TRACE(named);
        const Model_3DS earlier = model;
        const std::string before = summary(earlier, true), given = named;
        EXPECT_EQ(
            stderrOf([&] { EXPECT_EQ(model.Load(given.c_str(), 0, nullptr), model.textureCount); }),
            said);
        EXPECT_EQ(given, named) << "the caller's string is not cut";
        EXPECT_TRUE(model.totalVerts == verts && model.totalFaces == faces)
            << model.totalVerts << " vertices, " << model.totalFaces << " triangles";
        EXPECT_STREQ(model.path, folderKept.c_str());
        EXPECT_STREQ(model.modelName, kept.c_str());
        EXPECT_EQ(summary(earlier, true), before);
    }
    EXPECT_EQ(openFiles(), open) << "every file read is closed";
}

TEST(Model3dsFaults, eachFaultAFileCanHoldLeavesWhatCanBeReadAndSaysWhich) {
    Chunk vertices = Chunk(0x4110).u16(100);
    for (float value : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 7.f, 7.f}) {
        vertices.f32(value); // three whole vertices and two floats of a fourth
    }
    const std::string longName(100, 'x'), cutName(79, 'x');
    const Chunk faceLater =
        faceList({{0, 1, 2}, {3, 0, 1}, {0, 3, 1}, {0, 1, 3}}).child(faceGroup("", {0, 1, 2, 3}));
    const Chunk secondEditor = withChildren(
        mainChunk(), {withChildren(editor(), {materialWith("early", {}),
                                              triangleWithGroups("one", {faceGroup("late", {0})})}),
                      withChildren(editor(), {materialWith("late", {}),
                                              objectWith("two", {triangleVertices()})})});
    const std::tuple<const char*, Chunk, std::string> rows[] = {
        {"a child of length 5",
         fileWith({materialWith("before", {}), unknown().claimLength(5), materialWith("after", {}),
                   objectWith("lost", {triangleVertices()})}),
         "m before 255,255,255\nchunk shorter than its header"},
        {"a header cut by its parent's end",
         mainChunk().child(
             editor().child(objectWith("kept", {triangleVertices()})).u8(0).u8(0x40).u8(9)),
         "o kept 3 3 f\nchunk header cut by its parent's end"},
        {"a main chunk only as long as its header", mainChunk(), ""},
        {"a child running past its parent to the end of the file",
         fileWith({objectWith("o", {triangleVertices(), faceList({{0, 1, 2}}).claimLength(400)})}),
         "o o 3 3 f\nchunk runs past its parent"},
        {"a child running past its parent",
         fileWith({objectWith("first",
                              {triangleVertices(),
                               faceList({{0, 1, 2}}).child(faceGroup("", {0})).claimLength(400)}),
                   objectWith("second", {triangleVertices(), faceList({{2, 1, 0}})})}),
         "o first 3 3 f\no second 3 3 f 2 1 0\nchunk runs past its parent"},
        {"counts larger than their chunk",
         fileWith({objectWith(
             "o", {vertices, Chunk(0x4140).u16(50).f32(0.5f).f32(0.25f).f32(1).f32(1).f32(9),
                   Chunk(0x4120).u16(10).u16(0).u16(1).u16(2).u16(0).u16(2).u16(1)})}),
         "o o 3 3T f 0 1 2\ncount larger than the bytes of its chunk"},
        {"a group count larger than its chunk",
         fileWith({objectWith(
             "o", {triangleVertices(),
                   faceList({{0, 1, 2}}).child(Chunk(0x4130).name("").u16(9).u16(0).u8(1))})}),
         "o o 3 3 f 0 1 2 g0: 0 1 2\ncount larger than the bytes of its chunk"},
        {"huge counts in a tiny file",
         fileWith({objectWith("o", {Chunk(0x4110).u16(65535).f32(1).f32(2).f32(3),
                                    Chunk(0x4140).u16(65535),
                                    Chunk(0x4120).u16(65535).u16(0).u16(0).u16(0).u16(0)})}),
         "o o 1 1 f 0 0 0\ncount larger than the bytes of its chunk"},
        {"triangles naming a missing vertex",
         fileWith(
             {objectWith("o", {triangleVertices(),
                               faceList({{0, 1, 2}, {3, 0, 1}, {0, 3, 1}, {0, 1, 3}, {2, 1, 0}})
                                   .child(faceGroup("", {0, 1, 2, 3, 4}))})}),
         "o o 3 3 f 0 1 2 2 1 0 g0: 0 1 2 2 1 0\ntriangle names a vertex past the vertex list"},
        {"a group naming a missing triangle",
         fileWith({triangleWithGroups("o", {faceGroup("", {1, 0, 65535})})}),
         "o o 3 3 f 0 1 2 g0: 0 1 2\nface group names a triangle past the face list"},
        {"names without NUL in 80 bytes or in their chunk",
         fileWith({materialWith(longName, {diffuse(byteColor(0, 255, 0))}),
                   materialWith(std::string(80, 'e'), {}), materialWith(std::string(79, 's'), {}),
                   material().child(Chunk(0xA000).raw("abc")).child(diffuse(byteColor(0, 0, 255))),
                   triangleWithGroups(longName, {faceGroup(longName, {0})})}),
         "m " + cutName + " 0,255,0\nm " + std::string(79, 'e') + " 255,255,255\nm " +
             std::string(79, 's') + " 255,255,255\nm abc 0,0,255\no " + cutName +
             " 3 3 f 0 1 2 g0: 0 1 2\n"},
        {"colour chunks too short for their colour",
         fileWith({materialWith("m", {diffuse(byteColor(10, 20, 30)),
                                      diffuse(Chunk(0x0010).f32(0.5f).f32(0.5f)),
                                      ambient(Chunk(0x0011).u8(9).u8(9))})}),
         "m m 10,20,30\ncolour chunk too short for three floats"},
        {"a second editor chunk", secondEditor,
         "m early 255,255,255\nm late 255,255,255\no one 3 3 f 0 1 2 g2: 0 1 2\no two 3 3 f\n"},
        {"a later shorter vertex list",
         fileWith({object("o")
                       .child(mesh()
                                  .child(vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}}))
                                  .child(faceLater))
                       .child(mesh().child(triangleVertices()))}),
         "o o 3 3 f 0 1 2 g0: 0 1 2\n"},
        {"empty chunks, counted in their place",
         fileWith(
             {material().child(materialName("unnamed")).child(Chunk(0xA200).child(Chunk(0xA300))),
              Chunk(0xAFFF), materialWith("m", {textureMap("b.tga")}), Chunk(0x4000),
              triangleWithGroups("o", {Chunk(0x4130), faceGroup("m", {0})})}),
         "m unnamed #0 255,255,255\nm  255,255,255\nm m #1 255,255,255\no  0 0 f\no o 3 3 f 0 1 2 "
         "g1: g2: 0 1 2\nchunk too short for its count"},
        {"an empty map name last in its file",
         fileWith({Chunk(0xAFFF).child(Chunk(0xA200).child(Chunk(0xA300)))}),
         "m  #0 255,255,255\n"},
        {"an empty material name last in its file", fileWith({Chunk(0xAFFF).child(Chunk(0xA000))}),
         "m  255,255,255\n"},
        {"an empty object last in its file", fileWith({Chunk(0x4000)}), "o  0 0 f\n"}};
    for (const auto& [name, file, read] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(summary(readMesh(file)), read);
    }
}

TEST(Model3dsFaults, aFileCutShortIsReadUpToWhereItsBytesStop) {
    // The quad's file ends with its face list: two triangles of 8 bytes, then the group "red"
    // (14 bytes, one triangle) and the group "blue" (15 bytes, one triangle).
    const std::string materials = "m red #0 255,0,0\nm blue #1 0,0,255\no quad 4 4T f ";
    const std::pair<std::size_t, std::string> rows[] = {{1, "0 1 2 0 2 3 g0: 0 1 2 g1:"},
                                                        {15, "0 1 2 0 2 3 g0: 0 1 2"},
                                                        {16, "0 1 2 0 2 3 g0:"},
                                                        {30, "0 1 2"}};
    for (const auto& [missing, faces] : rows) {
        SCOPED_TRACE(missing);
        std::vector<unsigned char> bytes = samples::twoMaterialQuad().bytes();
        bytes.resize(bytes.size() - missing);
        EXPECT_EQ(summary(readMesh(bytes)), materials + faces + "\nfile is cut short");
    }
}

// A mesh file holds at most 256 MiB: one byte more is refused unread. Fresh pages from calloc
// are the system's zero pages until written, so the blocks cost little.
TEST(Model3dsFaults, aFileLargerThan256MiBIsRefusedUnread) {
    const std::size_t largest = std::size_t(256) << 20;
    const std::vector<unsigned char> triangle = samples::bareTriangle().bytes();
    unsigned char* block = static_cast<unsigned char*>(std::calloc(largest + 1, 1));
    ASSERT_NE(block, nullptr);
    std::copy(triangle.begin(), triangle.end(), block); // the rest lies past its main chunk
    const std::pair<std::size_t, std::string> rows[] = {{largest, "o tri 3 3 f 0 1 2 g0: 0 1 2\n"},
                                                        {largest + 1, "file too large for a mesh"}};
    for (const auto& [size, read] : rows) {
        Model_3DS model;
        model.textureLoader = nullptr;
        model.LoadFromMemory(block, size, "large.3ds", 0, nullptr);
        EXPECT_EQ(summary(model), read) << size << " bytes";
    }
    std::free(block);
}
