// Reading a 3DS mesh. The whole file is read into memory first and the chunk tree is walked over
// those bytes, so a file and a buffer in memory go through the same code. Chunks read:
//   main (first chunk, any id) > 0x3D3D editor > 0xAFFF material > 0xA000 name,
//     0xA010 ambient / 0xA020 diffuse > 0x0010, 0x0013 float colour, 0x0011, 0x0012 byte colour,
//     0xA030 / 0xA200 map > 0xA300 map name;
//   editor > 0x4000 named object > 0x4100 mesh > 0x4110 vertices, 0x4140 texture coordinates,
//     0x4120 faces > 0x4130 faces of one material.
// Every other chunk is skipped. A walk never leaves its chunk: a child shorter than its header or
// longer than what is left of its parent ends that walk, and counts are cut to the bytes there.
// A file cut short is read up to where its bytes stop.

#include "assets/model3ds.h"

#include "app/diagnostics.h"
#include "assets/tga.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

struct Model3dsStorage {
    std::string name; // the model's name, quotes cut
    std::string path;
    std::vector<Material_3DS> materials;
    std::vector<Object_3DS> objects;
    std::vector<std::unique_ptr<float[]>> floatArrays;
    std::vector<std::unique_ptr<unsigned short[]>> indexArrays;
    std::vector<std::unique_ptr<FaceGroup_3DS[]>> groupArrays;

    float* newFloats(std::size_t count) { return keep(floatArrays, count); }
    unsigned short* newIndices(std::size_t count) { return keep(indexArrays, count); }
    FaceGroup_3DS* newGroups(std::size_t count) { return keep(groupArrays, count); }

  private:
    // Zero-filled, and null for an empty array so that nothing is allocated for it.
    template <class T> static T* keep(std::vector<std::unique_ptr<T[]>>& arrays, std::size_t count) {
        if (count == 0) {
            return nullptr;
        }
        arrays.emplace_back(new T[count]());
        return arrays.back().get();
    }
};

struct Model3dsReading {
    const unsigned char* bytes;
    long size;
    const char* fault = nullptr;
    bool cutShort = false; // the main chunk says more bytes than the file holds
    // The face list being read: file triangle number -> stored triangle, -1 when dropped. Face
    // groups name triangles by their number in the file.
    std::vector<int> storedTriangle;
    // Each material name -> the first material that has it.
    std::unordered_map<std::string, int> materialByName;

    Model3dsReading(const unsigned char* data, long length) : bytes(data), size(length) {}

    void note(const char* why) {
        if (fault == nullptr) {
            fault = why;
        }
    }
    // Callers only read inside the chunk they were given, which lies inside the file; a read
    // past the file's end would still give zero rather than stray memory.
    unsigned byteAt(long position) const {
        return position >= 0 && position < size ? bytes[position] : 0u;
    }
    unsigned u16(long position) const { return byteAt(position) | byteAt(position + 1) << 8; }
    unsigned long u32(long position) const {
        return static_cast<unsigned long>(u16(position)) |
               static_cast<unsigned long>(u16(position + 2)) << 16;
    }
    float f32(long position) const {
        const std::uint32_t bits = static_cast<std::uint32_t>(u32(position));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A 16-bit count at `position` of records of `recordSize` bytes, cut to what fits before
    // `end`.
    long count(long position, long end, long recordSize) {
        if (end - position < 2) {
            note("chunk too short for its count");
            return 0;
        }
        const long wanted = u16(position);
        const long fits = (end - position - 2) / recordSize;
        if (wanted > fits) {
            note("count larger than the bytes of its chunk");
            return fits;
        }
        return wanted;
    }
};

namespace {

// Files larger than this are not meshes of ours; it keeps a stray path from filling memory.
constexpr long largestMeshFile = 256L * 1024 * 1024;

constexpr unsigned editorChunk = 0x3D3D;
constexpr unsigned materialChunk = 0xAFFF;
constexpr unsigned materialNameChunk = 0xA000;
constexpr unsigned ambientChunk = 0xA010;
constexpr unsigned diffuseChunk = 0xA020;
constexpr unsigned specularMapChunk = 0xA030; // the game's files keep a map here too
constexpr unsigned textureMapChunk = 0xA200;
constexpr unsigned mapNameChunk = 0xA300;
constexpr unsigned floatColorChunk = 0x0010;
constexpr unsigned floatGammaColorChunk = 0x0013;
constexpr unsigned byteColorChunk = 0x0011;
constexpr unsigned byteGammaColorChunk = 0x0012;
constexpr unsigned objectChunk = 0x4000;
constexpr unsigned meshChunk = 0x4100;
constexpr unsigned vertexListChunk = 0x4110;
constexpr unsigned faceListChunk = 0x4120;
constexpr unsigned faceMaterialChunk = 0x4130;
constexpr unsigned texCoordsChunk = 0x4140;

constexpr long headerSize = 6;

long endOf(long length, long start) { return start + length - headerSize; }

// Calls visit(id, length, dataStart) for each child chunk with a body between `from` and `end`.
template <class Visit>
void walkChildren(Model3dsReading& reading, long from, long end, Visit visit) {
    long position = from;
    while (position < end) {
        if (end - position < headerSize) {
            reading.note("chunk header cut by its parent's end");
            return;
        }
        const unsigned id = reading.u16(position);
        const unsigned long length = reading.u32(position + 2);
        if (length < static_cast<unsigned long>(headerSize)) {
            reading.note("chunk shorter than its header");
            return;
        }
        long kept = static_cast<long>(length);
        if (length > static_cast<unsigned long>(end - position)) {
            // In a file cut short every chunk that was open where the bytes stop ends there, and
            // so does its parent: read what is left of it. Anywhere else the lengths disagree.
            if (!reading.cutShort || end != reading.size) {
                reading.note("chunk runs past its parent");
                return;
            }
            kept = end - position;
        }
        // An empty chunk is a chunk all the same: a material or object without a body still
        // takes its place, and an empty map name still takes its texture slot.
        visit(id, kept, position + headerSize);
        position += kept;
    }
}

int countChildren(Model3dsReading& reading, long from, long end, unsigned id) {
    int found = 0;
    walkChildren(reading, from, end, [&](unsigned child, long, long) {
        if (child == id) {
            ++found;
        }
    });
    return found;
}

// Reads a NUL-terminated name into `name`, keeping at most 79 bytes so that the field always
// holds a terminated string. Returns the position just after the name's NUL, or `end` when the
// chunk holds none, so that what follows the name is found even past a long name.
long readName(const Model3dsReading& reading, long position, long end, char (&name)[80]) {
    long length = 0;
    while (position + length < end && reading.bytes[position + length] != 0) {
        ++length;
    }
    const long kept = std::min(length, static_cast<long>(sizeof name) - 1);
    if (kept > 0) { // an empty name reads nothing, not even where it would start
        std::memcpy(name, reading.bytes + position, static_cast<std::size_t>(kept));
    }
    name[kept] = '\0';
    return position + length < end ? position + length + 1 : end;
}

// The low 8 bits of value * 255 truncated toward zero, as the colour bytes are kept; values that
// are not numbers give 0.
unsigned char colorByte(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * 255.0);
    if (!std::isfinite(scaled)) {
        return 0;
    }
    double low = std::fmod(scaled, 256.0);
    if (low < 0) {
        low += 256.0;
    }
    return static_cast<unsigned char>(low);
}

void setColor(Material_3DS& material, const float rgb[3], const unsigned char bytes[3],
              bool diffuse) {
    std::copy(bytes, bytes + 3, material.color);
    material.color[3] = 255;
    float* target = diffuse ? material.diffuse : material.ambient;
    std::copy(rgb, rgb + 3, target);
    target[3] = 1.0f;
    if (!diffuse) {
        material.hasAmbient = true;
    }
}

Material_3DS blankMaterial() {
    Material_3DS material{};
    material.textureIndex = -1; // no slot: drawn without a texture
    std::fill(material.color, material.color + 4, 255);
    std::fill(material.ambient, material.ambient + 4, 1.0f);
    std::fill(material.diffuse, material.diffuse + 4, 1.0f);
    return material;
}

std::string withoutQuotes(const char* name) {
    // The first token between double quotes: "\"a b.3ds\"" opens a b.3ds.
    std::string text(name);
    const std::size_t begin = text.find_first_not_of('"');
    if (begin == std::string::npos) {
        return std::string();
    }
    const std::size_t end = text.find('"', begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string withSlashes(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::string directoryOf(const std::string& name) {
    const std::size_t separator = name.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : withSlashes(name.substr(0, separator + 1));
}

// The whole file, or false with errno set when it cannot be read.
bool readWholeFile(const std::string& name, std::vector<unsigned char>& bytes) {
    std::FILE* stream = std::fopen(name.c_str(), "rb");
    if (stream == nullptr) {
        return false;
    }
    unsigned char block[65536];
    std::size_t got = 0;
    bool fine = true;
    while ((got = std::fread(block, 1, sizeof block, stream)) > 0) {
        if (bytes.size() + got > static_cast<std::size_t>(largestMeshFile)) {
            errno = EFBIG;
            fine = false;
            break;
        }
        bytes.insert(bytes.end(), block, block + got);
    }
    if (fine && std::ferror(stream)) {
        fine = false;
    }
    const int reason = errno;
    std::fclose(stream);
    errno = reason;
    return fine;
}

} // namespace

Model_3DS::Model_3DS()
    : modelName(nullptr), path(nullptr), numObjects(0), numMaterials(0), totalVerts(0),
      totalFaces(0), showNormals(false), materials(nullptr), objects(nullptr), pos{0, 0, 0},
      rot{0, 0, 0}, scale(1.0f), lit(true), visible(true), file(nullptr), textureCount(0),
      textureLoader(TGA_Texture), fault(nullptr) {
    // Every entity record embeds nine never-loaded meshes: an empty one allocates nothing.
    static char noDirectory[1] = "";
    path = noDirectory;
}

Model_3DS::Model_3DS(const Model_3DS&) = default;
Model_3DS& Model_3DS::operator=(const Model_3DS&) = default;
Model_3DS::~Model_3DS() = default;

void Model_3DS::StartEmpty(const char* name) {
    // A fresh store: copies made before this load keep the arrays they share.
    storage = std::make_shared<Model3dsStorage>();
    storage->name = withoutQuotes(name != nullptr ? name : "");
    storage->path = directoryOf(storage->name);
    path = storage->path.data();
    modelName = nullptr;
    numObjects = 0;
    numMaterials = 0;
    totalVerts = 0;
    totalFaces = 0;
    materials = nullptr;
    objects = nullptr;
    textureCount = 0;
    fault = nullptr;
}

int Model_3DS::Load(const char* name, int firstTexture, unsigned int* textures) {
    StartEmpty(name);
    const std::string opened = withSlashes(storage->name);
    std::vector<unsigned char> bytes;
    if (!readWholeFile(opened, bytes)) {
        if (!goneWithTheArt(errno)) {
            diagnose("cannot read mesh file \"" + opened + "\": " + std::strerror(errno) + "\n");
        }
        FinishLoad();
        return textureCount;
    }
    LoadBytes(bytes.data(), bytes.size(), firstTexture, textures);
    if (fault != nullptr) {
        diagnose("mesh file \"" + opened + "\" read in part: " + fault + "\n");
    }
    return textureCount;
}

int Model_3DS::LoadFromMemory(const unsigned char* bytes, std::size_t size, const char* nameForPath,
                              int firstTexture, unsigned int* textures) {
    StartEmpty(nameForPath);
    if (size > static_cast<std::size_t>(largestMeshFile)) {
        fault = "file too large for a mesh";
        FinishLoad();
        return textureCount;
    }
    return LoadBytes(bytes, size, firstTexture, textures);
}

int Model_3DS::LoadBytes(const unsigned char* bytes, std::size_t size, int firstTexture,
                         unsigned int* textures) {
    Model3dsReading reading(bytes, static_cast<long>(size));
    file = &reading;
    const unsigned long mainLength = reading.u32(2);
    if (reading.size < headerSize) {
        reading.note("file shorter than a chunk header");
    } else if (mainLength < static_cast<unsigned long>(headerSize)) {
        reading.note("chunk shorter than its header");
    } else if (mainLength > static_cast<unsigned long>(reading.size)) {
        // Read what the file holds: a file missing its last bytes keeps nearly all its mesh.
        reading.note("file is cut short");
        reading.cutShort = true;
        MainChunkProcessor(reading.size, headerSize, firstTexture, textures);
    } else {
        MainChunkProcessor(static_cast<long>(mainLength), headerSize, firstTexture, textures);
    }
    file = nullptr;
    fault = reading.fault;
    FinishLoad();
    return textureCount;
}

void Model_3DS::FinishLoad() {
    CalculateNormals();
    modelName = storage->name.data();
    totalFaces = 0;
    totalVerts = 0;
    for (int i = 0; i < numObjects; ++i) {
        Object_3DS& object = objects[i];
        // A later vertex list of the same object may be shorter than the one its triangles
        // were checked against: keep only triangles whose corners all exist.
        auto keepsInside = [&](unsigned short* indices, int count) {
            int kept = 0;
            for (int t = 0; t + 2 < count; t += 3) {
                if (indices[t] < object.numVerts && indices[t + 1] < object.numVerts &&
                    indices[t + 2] < object.numVerts) {
                    std::copy(indices + t, indices + t + 3, indices + kept);
                    kept += 3;
                }
            }
            return kept;
        };
        object.numFaces = keepsInside(object.faces, object.numFaces);
        for (int g = 0; g < object.numFaceGroups; ++g) {
            FaceGroup_3DS& group = object.faceGroups[g];
            group.numIndices = keepsInside(group.indices, group.numIndices);
            if (group.materialIndex < 0) {
                group.materialIndex = numMaterials; // no material had its name
            }
        }
        totalFaces += object.numFaces / 3;
        totalVerts += object.numVerts;
        if (object.numTexCoords == 0 && object.numVerts > 0) {
            // Untextured objects get their (x, y) as coordinates, in case a texture is bound.
            object.texCoords = storage->newFloats(2 * static_cast<std::size_t>(object.numVerts));
            for (int v = 0; v < object.numVerts; ++v) {
                object.texCoords[2 * v] = object.vertices[3 * v];
                object.texCoords[2 * v + 1] = object.vertices[3 * v + 1];
            }
            object.numTexCoords = object.numVerts;
        } else if (object.textured && object.numTexCoords < object.numVerts) {
            // Drawing reads one pair per vertex: the missing pairs are (0, 0).
            float* padded = storage->newFloats(2 * static_cast<std::size_t>(object.numVerts));
            std::copy(object.texCoords, object.texCoords + 2 * object.numTexCoords, padded);
            object.texCoords = padded;
            object.numTexCoords = object.numVerts;
        }
    }
}

void Model_3DS::CalculateNormals() {
    for (int i = 0; i < numObjects; ++i) {
        Object_3DS& object = objects[i];
        for (int v = 0; v < object.numVerts; ++v) {
            float* normal = object.normals + 3 * v;
            float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] +
                                     normal[2] * normal[2]);
            if (length == 0.0f) {
                length = 1.0f;
            }
            normal[0] /= length;
            normal[1] /= length;
            normal[2] /= length;
        }
    }
}

void Model_3DS::MainChunkProcessor(long length, long start, int firstTexture,
                                   unsigned int* textures) {
    walkChildren(*file, start, endOf(length, start), [&](unsigned id, long size, long data) {
        if (id == editorChunk) {
            EditChunkProcessor(size, data, firstTexture, textures);
        }
    });
}

void Model_3DS::EditChunkProcessor(long length, long start, int firstTexture,
                                   unsigned int* textures) {
    const long end = endOf(length, start);
    // Materials first, so that every object finds the materials its groups name. A second
    // editor chunk adds its materials and objects to those already read.
    const int newMaterials = countChildren(*file, start, end, materialChunk);
    const int newObjects = countChildren(*file, start, end, objectChunk);
    if (newMaterials > 0) {
        const int first = numMaterials;
        storage->materials.resize(static_cast<std::size_t>(first + newMaterials), blankMaterial());
        materials = storage->materials.data();
        numMaterials = first + newMaterials;
        int next = first;
        walkChildren(*file, start, end, [&](unsigned id, long size, long data) {
            if (id == materialChunk) {
                MaterialChunkProcessor(size, data, next++, firstTexture, textures);
            }
        });
        for (int m = first; m < numMaterials; ++m) {
            file->materialByName.emplace(materials[m].name, m);
        }
    }
    if (newObjects > 0) {
        const int first = numObjects;
        storage->objects.resize(static_cast<std::size_t>(first + newObjects), Object_3DS{});
        objects = storage->objects.data();
        numObjects = first + newObjects;
        int next = first;
        walkChildren(*file, start, end, [&](unsigned id, long size, long data) {
            if (id == objectChunk) {
                ObjectChunkProcessor(size, data, next++);
            }
        });
    }
}

void Model_3DS::MaterialChunkProcessor(long length, long start, int material, int firstTexture,
                                       unsigned int* textures) {
    walkChildren(*file, start, endOf(length, start), [&](unsigned id, long size, long data) {
        switch (id) {
        case materialNameChunk:
            MaterialNameChunkProcessor(size, data, material);
            break;
        case ambientChunk:
            DiffuseColorChunkProcessor(size, data, material, false);
            break;
        case diffuseChunk:
            DiffuseColorChunkProcessor(size, data, material, true);
            break;
        case specularMapChunk:
        case textureMapChunk:
            TextureMapChunkProcessor(size, data, material, firstTexture, textures);
            break;
        default:
            break;
        }
    });
}

void Model_3DS::MaterialNameChunkProcessor(long length, long start, int material) {
    readName(*file, start, endOf(length, start), materials[material].name);
}

void Model_3DS::DiffuseColorChunkProcessor(long length, long start, int material, bool diffuse) {
    walkChildren(*file, start, endOf(length, start), [&](unsigned id, long size, long data) {
        if (id == floatColorChunk || id == floatGammaColorChunk) {
            FloatColorChunkProcessor(size, data, material, diffuse);
        } else if (id == byteColorChunk || id == byteGammaColorChunk) {
            IntColorChunkProcessor(size, data, material, diffuse);
        }
    });
}

void Model_3DS::FloatColorChunkProcessor(long length, long start, int material, bool diffuse) {
    if (endOf(length, start) - start < 12) {
        file->note("colour chunk too short for three floats");
        return;
    }
    const float rgb[] = {file->f32(start), file->f32(start + 4), file->f32(start + 8)};
    const unsigned char bytes[] = {colorByte(rgb[0]), colorByte(rgb[1]), colorByte(rgb[2])};
    setColor(materials[material], rgb, bytes, diffuse);
}

void Model_3DS::IntColorChunkProcessor(long length, long start, int material, bool diffuse) {
    if (endOf(length, start) - start < 3) {
        file->note("colour chunk too short for three bytes");
        return;
    }
    const unsigned char bytes[] = {file->bytes[start], file->bytes[start + 1],
                                   file->bytes[start + 2]};
    const float rgb[] = {bytes[0] / 255.0f, bytes[1] / 255.0f, bytes[2] / 255.0f};
    setColor(materials[material], rgb, bytes, diffuse);
}

void Model_3DS::TextureMapChunkProcessor(long length, long start, int material, int firstTexture,
                                         unsigned int* textures) {
    walkChildren(*file, start, endOf(length, start), [&](unsigned id, long size, long data) {
        if (id == mapNameChunk) {
            MapNameChunkProcessor(size, data, material, firstTexture, textures);
        }
    });
}

void Model_3DS::MapNameChunkProcessor(long length, long start, int material, int firstTexture,
                                      unsigned int* textures) {
    char mapName[80];
    readName(*file, start, endOf(length, start), mapName);
    const std::string fileName = std::string(path) + mapName;
    // The slot is taken even when the image cannot be read, so the slots of later maps do not
    // depend on which files exist.
    const int slot = firstTexture + textureCount;
    materials[material].textureIndex = slot;
    if (textureLoader != nullptr && textures != nullptr) {
        textureLoader(textures, fileName.c_str(), slot);
    }
    textureCount += 1;
    materials[material].textured = true;
}

void Model_3DS::ObjectChunkProcessor(long length, long start, int object) {
    const long end = endOf(length, start);
    const long afterName = readName(*file, start, end, objects[object].name);
    walkChildren(*file, afterName, end, [&](unsigned id, long size, long data) {
        if (id == meshChunk) {
            TriangularMeshChunkProcessor(size, data, object);
        }
    });
}

void Model_3DS::TriangularMeshChunkProcessor(long length, long start, int object) {
    const long end = endOf(length, start);
    // Vertices first, whatever the order in the file: faces need their positions.
    walkChildren(*file, start, end, [&](unsigned id, long size, long data) {
        if (id == vertexListChunk) {
            VertexListChunkProcessor(size, data, object);
        } else if (id == texCoordsChunk) {
            objects[object].textured = TexCoordsChunkProcessor(size, data, object);
        }
    });
    walkChildren(*file, start, end, [&](unsigned id, long size, long data) {
        if (id == faceListChunk) {
            FacesDescriptionChunkProcessor(size, data, object);
        }
    });
}

void Model_3DS::VertexListChunkProcessor(long length, long start, int object) {
    Object_3DS& target = objects[object];
    const long count = file->count(start, endOf(length, start), 12);
    const std::size_t floats = 3 * static_cast<std::size_t>(count);
    target.vertices = storage->newFloats(floats);
    target.normals = storage->newFloats(floats);
    target.numVerts = static_cast<int>(count);
    for (long v = 0; v < count; ++v) {
        const long at = start + 2 + 12 * v;
        // The file's z is up; ours is y, and the file's y points into the screen.
        target.vertices[3 * v] = file->f32(at);
        target.vertices[3 * v + 1] = file->f32(at + 8);
        target.vertices[3 * v + 2] = -file->f32(at + 4);
    }
}

bool Model_3DS::TexCoordsChunkProcessor(long length, long start, int object) {
    Object_3DS& target = objects[object];
    const long count = file->count(start, endOf(length, start), 8);
    target.texCoords = storage->newFloats(2 * static_cast<std::size_t>(count));
    target.numTexCoords = static_cast<int>(count);
    for (long i = 0; i < 2 * count; ++i) {
        target.texCoords[i] = file->f32(start + 2 + 4 * i);
    }
    // Meshes exported without a real mapping repeat their coordinates pair after pair: those
    // are drawn untextured.
    long same = 0;
    for (long k = 0; 2 * k + 1 < count; ++k) {
        const float* even = target.texCoords + 4 * k;
        if (even[2] == even[0] && even[3] == even[1]) {
            ++same;
        }
    }
    return 5 * same < 2 * count;
}

void Model_3DS::FacesDescriptionChunkProcessor(long length, long start, int object) {
    Object_3DS& target = objects[object];
    const long end = endOf(length, start);
    const long count = file->count(start, end, 8);
    target.faces = storage->newIndices(3 * static_cast<std::size_t>(count));
    file->storedTriangle.assign(static_cast<std::size_t>(count), -1);
    int kept = 0;
    for (long t = 0; t < count; ++t) {
        const long at = start + 2 + 8 * t;
        const unsigned corner[] = {file->u16(at), file->u16(at + 2), file->u16(at + 4)};
        const unsigned verts = static_cast<unsigned>(target.numVerts);
        if (corner[0] >= verts || corner[1] >= verts || corner[2] >= verts) {
            file->note("triangle names a vertex past the vertex list");
            continue;
        }
        const float* a = target.vertices + 3 * corner[0];
        const float* b = target.vertices + 3 * corner[1];
        const float* c = target.vertices + 3 * corner[2];
        const float e1[] = {b[0] - c[0], b[1] - c[1], b[2] - c[2]};
        const float e2[] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        // Not normalised: twice the triangle's area, so larger triangles weigh more.
        const float normal[] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        for (unsigned vertex : corner) {
            for (int axis = 0; axis < 3; ++axis) {
                target.normals[3 * vertex + axis] += normal[axis];
            }
        }
        for (int k = 0; k < 3; ++k) {
            target.faces[3 * kept + k] = static_cast<unsigned short>(corner[k]);
        }
        file->storedTriangle[static_cast<std::size_t>(t)] = kept++;
    }
    target.numFaces = 3 * kept;

    const long afterTriangles = start + 2 + 8 * count;
    const int groups = countChildren(*file, afterTriangles, end, faceMaterialChunk);
    if (groups == 0) {
        return;
    }
    target.faceGroups = storage->newGroups(static_cast<std::size_t>(groups));
    target.numFaceGroups = groups;
    int next = 0;
    walkChildren(*file, afterTriangles, end, [&](unsigned id, long size, long data) {
        if (id == faceMaterialChunk) {
            FacesMaterialsListChunkProcessor(size, data, object, next++);
        }
    });
}

void Model_3DS::FacesMaterialsListChunkProcessor(long length, long start, int object, int group) {
    Object_3DS& target = objects[object];
    FaceGroup_3DS& faceGroup = target.faceGroups[group];
    const long end = endOf(length, start);
    char materialName[80];
    const long afterName = readName(*file, start, end, materialName);
    const auto named = file->materialByName.find(materialName);
    // -1 until the load ends; then "no such material", one past the last.
    faceGroup.materialIndex = named != file->materialByName.end() ? named->second : -1;

    const long count = file->count(afterName, end, 2);
    faceGroup.indices = storage->newIndices(3 * static_cast<std::size_t>(count));
    int kept = 0;
    for (long i = 0; i < count; ++i) {
        const unsigned triangle = file->u16(afterName + 2 + 2 * i);
        if (triangle >= file->storedTriangle.size() || file->storedTriangle[triangle] < 0) {
            file->note("face group names a triangle past the face list");
            continue;
        }
        const unsigned short* corners = target.faces + 3 * file->storedTriangle[triangle];
        std::copy(corners, corners + 3, faceGroup.indices + kept);
        kept += 3;
    }
    faceGroup.numIndices = kept;
}
