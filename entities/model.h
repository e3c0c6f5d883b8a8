#pragma once
// The record of one game object, tagged by kind: it embeds one object of every kind class and
// the tag says which is in force. It links the entity to its collision record, takes hits and
// dies; the node that holds it keeps its placement.

#include "entities/asteroidWithKanone.h"
#include "entities/brakiri.h"
#include "entities/castalia.h"
#include "entities/clipper.h"
#include "entities/golevka.h"
#include "entities/kanone3d.h"
#include "entities/laser.h"
#include "entities/modelKind.h"
#include "entities/rocket3d.h"
#include "entities/toutatis.h"
#include "scene/graphVertexTransform.h"

class Cockpit;
class CollisionInfo;
class CollisionInfos;
class Geometries;

class Model {
  public:
    Model();
    Model(Golevka g, Geometries* geometries, int index);
    Model(Toutatis t, Geometries* geometries, int index);
    Model(Brakiri b, Geometries* geometries, int index);
    Model(Clipper c, Geometries* geometries, int index);
    Model(Castalia c, Geometries* geometries);
    Model(Kanone3d k, Geometries* geometries);
    Model(AsteroidWithKanone a, int index);
    Model(Laser l, GraphVertexTransform launch, Geometries* geometries, int index);
    Model(Rocket3d r, GraphVertexTransform launch, Geometries* geometries, int index);

    void init();
    // Draws through the kind's display list and reports the position; the caller has applied
    // the node's placement to the model-view matrix.
    void draw(CollisionInfos& infos);
    void updateCoordinate(CollisionInfos& infos);
    void touchByRocket(CollisionInfos& infos);
    void touchByLaser(CollisionInfos& infos);
    void explose(CollisionInfos& infos);
    void disappearRocket3d(CollisionInfos& infos);
    void disappearLaser(CollisionInfos& infos);
    void erase(CollisionInfos& infos);
    bool getExist() const { return exist; }
    // One frame: react to last frame's hits, then move by kind. Returns the new placement.
    GraphVertexTransform update(double dt, GraphVertexTransform transformation, Cockpit cockpit,
                                CollisionInfos& infos);

    int kind;
    int collisionIndex; // -1 when the entity has no collision record
    AsteroidWithKanone asteroidWithKanone;
    Geometries* geometries = nullptr; // not owned
    Toutatis toutatis;
    Brakiri brakiri;
    Castalia castalia;
    Golevka golevka;
    Clipper clipper;
    Kanone3d kanone3d;
    Rocket3d rocket3d;
    Laser laser;
    bool exist = false;
    int life = 0;

  private:
    void loseLife(int damage, CollisionInfos& infos);
    // A rocket mark takes two life, a laser mark one; other partners do nothing.
    void takeHits(const CollisionInfo& record, CollisionInfos& infos);
    bool endsOnImpact(const CollisionInfo& record) const;
    bool registersPosition() const;
    unsigned int displayList() const; // 0 when the kind draws no mesh
};
