#include "entities/model.h"

#include "app/console.h"
#include "assets/geometries.h"
#include "collision/collisionInfos.h"
#include "entities/farPlane.h"
#include "entities/kindMesh.h"
#include "view/cockpit.h"

#include <GL/gl.h>
#include <iostream>

namespace {
constexpr int rocketDamage = 2;
constexpr int laserDamage = 1;

// Where the current modelling frame's origin lies in eye coordinates, as the registry keeps it.
CollisionInfo positionRecord(const GLfloat* m, int index, int kind) {
    CollisionInfo info(index);
    info.calculated = true;
    eyeOrigin(m, info.x, info.y, info.z);
    info.type = kind;
    info.collision = false;
    return info;
}

// How far the kind's mesh reaches; negative (never skipped) when that is not known.
float reachOf(const Geometries& geometries, int kind) {
    const ModelKindFacts* facts = modelKindFacts(kind);
    return facts != nullptr && facts->meshReach != nullptr ? geometries.*(facts->meshReach) : -1.0f;
}
} // namespace

Model::Model() : kind(kindNone), collisionIndex(-1) {}

Model::Model(Golevka g, Geometries* geometries, int index) : Model() {
    life = 2;
    init();
    kind = kindGolevka;
    collisionIndex = index;
    golevka = g;
    this->geometries = geometries;
}

Model::Model(Toutatis t, Geometries* geometries, int index) : Model() {
    life = 2;
    init();
    kind = kindToutatis;
    collisionIndex = index;
    toutatis = t;
    this->geometries = geometries;
}

Model::Model(Brakiri b, Geometries* geometries, int index) : Model() {
    life = 4;
    init();
    kind = kindBrakiri;
    collisionIndex = index;
    brakiri = b;
    this->geometries = geometries;
}

Model::Model(Clipper c, Geometries* geometries, int index) : Model() {
    life = 3;
    init();
    collisionIndex = index;
    kind = kindClipper;
    clipper = c;
    this->geometries = geometries;
}

// Castalia and the cannon never register: their index stays -1.
Model::Model(Castalia c, Geometries* geometries) : Model() {
    init();
    kind = kindCastalia;
    castalia = c;
    this->geometries = geometries;
}

Model::Model(Kanone3d k, Geometries* geometries) : Model() {
    init();
    kind = kindKanone3d;
    kanone3d = k;
    this->geometries = geometries;
}

// The group's centre draws no mesh, so it needs no asset registry.
Model::Model(AsteroidWithKanone, int index) : Model() {
    life = 3;
    init();
    collisionIndex = index;
    kind = kindAsteroidWithKanone;
}

Model::Model(Laser l, GraphVertexTransform launch, Geometries* geometries, int index) : Model() {
    init();
    collisionIndex = index;
    kind = kindLaser;
    laser = l;
    laser.setOriginalTransformation(launch);
    this->geometries = geometries;
}

Model::Model(Rocket3d r, GraphVertexTransform launch, Geometries* geometries, int index)
    : Model() {
    init();
    collisionIndex = index;
    kind = kindRocket3d;
    rocket3d = r;
    rocket3d.setOriginalTransformation(launch);
    this->geometries = geometries;
}

void Model::init() { exist = true; }

void Model::draw(CollisionInfos& infos) {
    if (!exist) {
        return;
    }
    // Only entities that register read the matrix, and the one reading serves both the
    // registry and the far-plane test: the frame makes no OpenGL call it did not make before.
    GLfloat m[16];
    const bool placed = registersPosition();
    if (placed) {
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        infos.replace(positionRecord(m, collisionIndex, kind));
    }
    const unsigned int list = displayList();
    // A list that could not be created at start-up is 0: there is nothing to call.
    if (list == 0 || (placed && liesBeyondFarPlane(m, reachOf(*geometries, kind)))) {
        return;
    }
    glCallList(list);
}

void Model::updateCoordinate(CollisionInfos& infos) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    infos.replace(positionRecord(m, collisionIndex, kind));
}

void Model::touchByRocket(CollisionInfos& infos) { loseLife(rocketDamage, infos); }

void Model::touchByLaser(CollisionInfos& infos) { loseLife(laserDamage, infos); }

void Model::explose(CollisionInfos& infos) { erase(infos); }

void Model::disappearRocket3d(CollisionInfos& infos) { erase(infos); }

void Model::disappearLaser(CollisionInfos& infos) { erase(infos); }

void Model::erase(CollisionInfos& infos) {
    if (consoleOn()) {
        std::cout << "\non set un existe a false";
    }
    infos.erase(collisionIndex);
    exist = false;
}

GraphVertexTransform Model::update(double dt, GraphVertexTransform transformation,
                                   Cockpit cockpit, CollisionInfos& infos) {
    if (!exist) {
        return GraphVertexTransform();
    }
    // The marks were written by the previous frame's test pass; the kind sees them as they were
    // before this frame's hits, even if a hit has just erased the record.
    const CollisionInfo record = infos.getInfoIndex(collisionIndex);
    switch (ModelKind(kind)) {
    case kindAsteroidWithKanone:
        takeHits(record, infos);
        return asteroidWithKanone.update(dt, transformation, cockpit);
    case kindToutatis:
        takeHits(record, infos);
        return toutatis.update(dt, transformation, cockpit, record);
    case kindBrakiri:
        takeHits(record, infos);
        return brakiri.update(dt, transformation, cockpit, record);
    case kindCastalia:
        return castalia.update(dt, transformation, cockpit);
    case kindGolevka:
        takeHits(record, infos);
        return golevka.update(dt, transformation, cockpit, record);
    case kindClipper:
        takeHits(record, infos);
        return clipper.update(dt, transformation, cockpit, record);
    case kindKanone3d:
        return kanone3d.update(dt, transformation, cockpit);
    case kindRocket3d:
        if (endsOnImpact(record)) {
            disappearRocket3d(infos);
        }
        return rocket3d.update(dt, transformation, cockpit);
    case kindLaser:
        if (endsOnImpact(record)) {
            disappearLaser(infos);
        }
        return laser.update(dt, transformation, cockpit);
    case kindNone:
        break;
    }
    // An entity of no known kind has no behaviour: its node keeps the placement it has rather
    // than being thrown back to the origin.
    return transformation;
}

void Model::loseLife(int damage, CollisionInfos& infos) {
    life -= damage;
    if (consoleOn()) {
        std::cout << "\n life: " << life;
    }
    if (life <= 0) {
        explose(infos);
    }
}

void Model::takeHits(const CollisionInfo& record, CollisionInfos& infos) {
    if (!record.collision) {
        return;
    }
    if (record.collisionType == kindRocket3d) {
        touchByRocket(infos);
    }
    if (record.collisionType == kindLaser) {
        touchByLaser(infos);
    }
}

// Projectiles pass through each other and end on anything else.
bool Model::endsOnImpact(const CollisionInfo& record) const {
    return record.collision && record.collisionType != kindRocket3d &&
           record.collisionType != kindLaser;
}

bool Model::registersPosition() const {
    const ModelKindFacts* facts = modelKindFacts(kind);
    return facts != nullptr && facts->registersPosition;
}

unsigned int Model::displayList() const {
    const ModelKindFacts* facts = modelKindFacts(kind);
    if (geometries == nullptr || facts == nullptr || facts->displayList == nullptr) {
        return 0;
    }
    return geometries->*(facts->displayList);
}
