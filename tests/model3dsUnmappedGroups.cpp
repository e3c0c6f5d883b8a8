// A textured object whose material has no usable map (no map name, a slot past the texture
// array's last, or no texture array at all) shows its material's own diffuse colour with
// texturing off, as an untextured group of that material would.

#include "assets/model3ds.h"
#include "support/chunkBuilder.h"
#include "support/glContext.h"

#include <GL/gl.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

using namespace chunk3ds;

namespace {

struct Unmapped {
    const char* name;
    bool hasMapName;
    int firstTexture;      // the slot the map would take
    bool drawWithTextures; // Draw is given a texture id array
};

void PrintTo(const Unmapped& row, std::ostream* out) { *out << row.name; }

// A lit scene in which a surface facing the viewer shows exactly its diffuse colour: one white
// directional light from the viewer, no ambient light anywhere.
class Model3dsUnmappedGroups : public GlTest, public testing::WithParamInterface<Unmapped> {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glViewport(0, 0, 64, 64);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const GLfloat none[4] = {0, 0, 0, 1};
        const GLfloat white[4] = {1, 1, 1, 1};
        const GLfloat fromViewer[4] = {0, 0, 1, 0};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_POSITION, fromViewer);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        // A bound green texture, switched on, that a group drawn textured would show.
        const unsigned char green[4 * 3] = {0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0};
        glGenTextures(1, &textures[0]);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, green);
        glEnable(GL_TEXTURE_2D);
    }
    unsigned int textures[20] = {};
};

// One textured triangle over the lower left half of the view, facing the viewer, in a material
// of diffuse colour (1, 0, 0).
Chunk redTriangleFile(bool hasMapName) {
    Chunk red = material();
    red.child(materialName("red")).child(diffuse(floatColor(1.0f, 0.0f, 0.0f)));
    if (hasMapName) {
        red.child(textureMap("red.tga"));
    }
    Chunk faces = faceList({{0, 1, 2}});
    faces.child(faceGroup("red", {0}));
    // File (x, y, z) is stored as (x, z, -y): these lie in the stored z = 0 plane.
    const Chunk triangle = objectWith("t", {vertexList({{-1, 0, -1}, {1, 0, -1}, {-1, 0, 1}}),
                                            texCoords({{0, 0}, {1, 0}, {0, 1}}), faces});
    return fileWith({red, triangle});
}

std::array<int, 3> pixelAt(int x, int y) {
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

} // namespace

TEST_P(Model3dsUnmappedGroups, showTheirMaterialsDiffuseColourWithTexturingOff) {
    const Unmapped& row = GetParam();
    const std::vector<unsigned char> bytes = redTriangleFile(row.hasMapName).bytes();
    Model_3DS model;
    model.textureLoader = nullptr;
    model.LoadFromMemory(bytes.data(), bytes.size(), "unmapped.3ds", row.firstTexture, nullptr);
    ASSERT_TRUE(model.objects[0].textured);

    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    model.Draw(row.drawWithTextures ? textures : nullptr);
    glEndList();
    glCallList(list);

    EXPECT_EQ(pixelAt(16, 16), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixelAt(48, 48), (std::array<int, 3>{0, 0, 0})) << "outside the triangle";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

INSTANTIATE_TEST_SUITE_P(Materials, Model3dsUnmappedGroups,
                         testing::Values(Unmapped{"noMapName", false, 0, true},
                                         Unmapped{"slotPastTheLast", true, 20, true},
                                         Unmapped{"noTextureArray", true, 0, false}),
                         [](const testing::TestParamInfo<Unmapped>& info) {
                             return std::string(info.param.name);
                         });
