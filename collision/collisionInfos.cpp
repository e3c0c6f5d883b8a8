#include "collision/collisionInfos.h"

CollisionInfos::CollisionInfos() = default;
