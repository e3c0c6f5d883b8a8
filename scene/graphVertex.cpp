#include "scene/graphVertex.h"

GraphVertex::GraphVertex() : type(vertexEmpty), first(nullptr), second(nullptr) {}
