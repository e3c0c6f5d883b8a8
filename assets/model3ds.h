#pragma once
// A mesh read from a 3DS file: materials (name, colours, texture map) and named objects
// (vertices, smooth normals, texture coordinates, triangles grouped by material), drawn with
// vertex arrays. Only the chunks listed in the .cpp are read; every other chunk is skipped.
// Copies are shallow: they share the arrays of their source, which stay valid while any copy
// lives.

#include <cstddef>
#include <memory>

struct Material_3DS {
    char name[80];
    bool textured;           // the material's map has been handed to TGA_Texture
    unsigned char color[4];  // last colour chunk read (ambient or diffuse), alpha 255
    int textureIndex;        // slot of the texture id array holding this material's map
    float ambient[4];
    float diffuse[4];
    bool hasAmbient;
};

struct FaceGroup_3DS {
    unsigned short* indices; // three vertex indices per triangle of the group
    int numIndices;
    int materialIndex;       // index into Model_3DS::materials
};

struct Vector_3DS {
    float x, y, z;
};

struct Object_3DS {
    char name[80];
    float* vertices;         // x, y, z per vertex, after the axis change (x, z, -y)
    float* normals;          // x, y, z per vertex
    float* texCoords;        // u, v per vertex
    unsigned short* faces;   // three vertex indices per triangle
    int numFaces;            // entries in faces: three times the triangle count
    int numFaceGroups;
    int numVerts;
    int numTexCoords;
    bool textured;
    FaceGroup_3DS* faceGroups;
    Vector_3DS pos;
    Vector_3DS rot;          // degrees
};

struct Model3dsStorage; // owns every array of one loaded mesh; shared by copies

class Model_3DS {
  public:
    Model_3DS();
    Model_3DS(const Model_3DS&);
    Model_3DS& operator=(const Model_3DS&);
    virtual ~Model_3DS();

    // Reads 3DS file `name`; the maps its materials name take texture slots firstTexture,
    // firstTexture + 1, ... of `textures`. Returns the number of slots used.
    int Load(const char* name, int firstTexture, unsigned int* textures);
    void CalculateNormals();
    // Issues the mesh's drawing commands; `textures` is the array given to Load.
    void Draw(unsigned int* textures);

    char* modelName;
    char* path; // directory of the file, ending with its separator; map names are read from it
    int numObjects;
    int numMaterials;
    int totalVerts;
    int totalFaces;
    bool showNormals;
    Material_3DS* materials;
    Object_3DS* objects;
    Vector_3DS pos;
    Vector_3DS rot;
    float scale;
    bool lit;
    bool visible;
    int textureCount;

  private:
    std::shared_ptr<Model3dsStorage> storage;
};
