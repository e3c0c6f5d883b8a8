#pragma once
// The placement of one thing in space: translation, three angles in degrees applied X then Y
// then Z, a per-axis scale (1.1 by default) and a lazily recomputed cache of the rotated axes.
// A plain value: copying copies everything, the cache included.

class GraphVertexTransform {
  public:
    GraphVertexTransform();

    // Takes over translation, angles and scale; the cached axes are marked stale, never copied.
    void copy(GraphVertexTransform other);
    // Multiplies the current OpenGL matrix by translate, rotate X, Y, Z, then scale.
    void apply();

    void composeTranslations(float a, float b, float c);
    void composeRotationsX(float a); // degrees; angles accumulate, never wrapped
    void composeRotationsY(float a);
    void composeRotationsZ(float a);
    void composeScalings(float a, float b, float c);
    // Negates translation and angles (not the matrix inverse of apply).
    void inverseTransformation();

    // Components of the rotated axes: the component first, the axis second, so
    // getDirectionYZ is the y component of the rotated Z axis. Each reader refreshes the cache.
    float getDirectionXZ();
    float getDirectionYZ();
    float getDirectionZZ();
    float getDirectionXY();
    float getDirectionYY();
    float getDirectionZY();
    float getDirectionXX();
    float getDirectionYX();
    float getDirectionZX();
    void updateDirection();

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    float getAlphaX() const { return alphaX; }
    float getAlphaY() const { return alphaY; }
    float getAlphaZ() const { return alphaZ; }
    float getScaleX() const { return scaleX; }
    float getScaleY() const { return scaleY; }
    float getScaleZ() const { return scaleZ; }

  private:
    void refreshDirection();

    bool directionOutdated;
    float directionXZ, directionYZ, directionZZ; // rotated local Z axis
    float directionXY, directionYY, directionZY; // rotated local Y axis
    float directionXX, directionYX, directionZX; // rotated local X axis
    float alphaX, alphaY, alphaZ;                // degrees
    float x, y, z;
    float scaleX, scaleY, scaleZ;
};
