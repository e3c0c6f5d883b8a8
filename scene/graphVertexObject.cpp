#include "scene/graphVertexObject.h"

#include "collision/collisionInfos.h"
#include "view/cockpit.h"

GraphVertexObject::GraphVertexObject() : composed(false) {}

GraphVertexObject::GraphVertexObject(Model model, bool composed, GraphVertexTransform t)
    : composed(composed), transformation(t), model(model) {}

void GraphVertexObject::draw(CollisionInfos& infos) { model.draw(infos); }

void GraphVertexObject::update(double dt, Cockpit cockpit, CollisionInfos& infos) {
    transformation = model.update(dt, transformation, cockpit, infos);
}
