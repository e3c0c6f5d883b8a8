#include "entities/model.h"

Model::Model() : kind(kindNone), collisionIndex(-1) {}
