#include "assets/model3ds.h"

struct Model3dsStorage {};

Model_3DS::Model_3DS()
    : modelName(nullptr), path(nullptr), numObjects(0), numMaterials(0), totalVerts(0),
      totalFaces(0), showNormals(false), materials(nullptr), objects(nullptr), pos{0, 0, 0},
      rot{0, 0, 0}, scale(1.0f), lit(true), visible(true), textureCount(0) {}

Model_3DS::Model_3DS(const Model_3DS&) = default;
Model_3DS& Model_3DS::operator=(const Model_3DS&) = default;
Model_3DS::~Model_3DS() = default;
