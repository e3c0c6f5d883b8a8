#include "scene/graphVertexObject.h"

GraphVertexObject::GraphVertexObject() : composed(false) {}
