#pragma once
// A mesh read from a 3DS file: materials (name, colours, texture map) and named objects
// (vertices, smooth normals, texture coordinates, triangles grouped by material), drawn with
// vertex arrays. Only the chunks listed in the .cpp are read; every other chunk is skipped.
// Copies are shallow: they share the arrays of their source, which stay valid while any copy
// lives. The reader never trusts the file: every walk stays inside its chunk and the file.

#include <cstddef>
#include <memory>

struct Material_3DS {
    char name[80];
    bool textured;           // the material's map has been handed to the texture loader
    unsigned char color[4];  // last colour chunk read (ambient or diffuse), alpha 255
    int textureIndex;        // slot of the texture id array holding this material's map
    float ambient[4];
    float diffuse[4];
    bool hasAmbient;
};

struct FaceGroup_3DS {
    unsigned short* indices; // three vertex indices per triangle of the group
    int numIndices;
    int materialIndex;       // index into Model_3DS::materials; numMaterials when no name matched
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
struct Model3dsReading; // the bytes being read and the walk's bookkeeping, only during a load

// Turns one texture file named by a material into textures[slot] (the game uses TGA_Texture).
using TextureLoader_3DS = void (*)(unsigned int* textures, const char* fileName, int slot);

class Model_3DS {
  public:
    Model_3DS();
    Model_3DS(const Model_3DS&);
    Model_3DS& operator=(const Model_3DS&);
    virtual ~Model_3DS();

    // Reads 3DS file `name` (quotes around it are dropped, backslashes separate directories);
    // the maps its materials name take texture slots firstTexture, firstTexture + 1, ... of
    // `textures`. Returns the number of slots used. A file that cannot be opened leaves an
    // empty mesh and one line on stderr; a file read only in part (cut short, or with a fault
    // inside) keeps what was read, with one line on stderr. Every load starts from an empty mesh.
    int Load(const char* name, int firstTexture, unsigned int* textures);
    // The same reading on bytes in memory; `nameForPath` plays the file name's part (model
    // name and directory of the maps). Prints nothing: the first fault met is left in `fault`.
    int LoadFromMemory(const unsigned char* bytes, std::size_t size, const char* nameForPath,
                       int firstTexture, unsigned int* textures);
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
    Model3dsReading* file; // the bytes being walked while Load runs, null otherwise
    int textureCount;

    // Called once per map name with the slot it takes (TGA_Texture unless changed); null reads
    // no image at all (the slots are counted all the same), so a mesh can be read without an
    // OpenGL context.
    TextureLoader_3DS textureLoader;
    // Why the last load stopped reading some chunk ("chunk runs past its parent", ...), or null.
    const char* fault;

  private:
    int LoadBytes(const unsigned char* bytes, std::size_t size, int firstTexture,
                  unsigned int* textures);
    void StartEmpty(const char* name);
    void FinishLoad();

    void MainChunkProcessor(long length, long start, int firstTexture, unsigned int* textures);
    void EditChunkProcessor(long length, long start, int firstTexture, unsigned int* textures);
    void MaterialChunkProcessor(long length, long start, int material, int firstTexture,
                                unsigned int* textures);
    void MaterialNameChunkProcessor(long length, long start, int material);
    void DiffuseColorChunkProcessor(long length, long start, int material, bool diffuse);
    void FloatColorChunkProcessor(long length, long start, int material, bool diffuse);
    void IntColorChunkProcessor(long length, long start, int material, bool diffuse);
    void TextureMapChunkProcessor(long length, long start, int material, int firstTexture,
                                  unsigned int* textures);
    void MapNameChunkProcessor(long length, long start, int material, int firstTexture,
                               unsigned int* textures);
    void ObjectChunkProcessor(long length, long start, int object);
    void TriangularMeshChunkProcessor(long length, long start, int object);
    void VertexListChunkProcessor(long length, long start, int object);
    bool TexCoordsChunkProcessor(long length, long start, int object);
    void FacesDescriptionChunkProcessor(long length, long start, int object);
    void FacesMaterialsListChunkProcessor(long length, long start, int object, int group);

    std::shared_ptr<Model3dsStorage> storage;
};
