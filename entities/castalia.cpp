#include "entities/castalia.h"

#include "view/cockpit.h"

// The body of the cannon-carrying group: its parent turns it, it never moves by itself.
GraphVertexTransform Castalia::update(double, GraphVertexTransform transformation, Cockpit) {
    return transformation;
}
