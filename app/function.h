#pragma once

// Two small helpers shared by the world, the entities and the collision registry.
// Holds no data: every copy is interchangeable.
class Function {
  public:
    // Euclidean distance, squared with pow and summed in double precision, returned as float.
    float distance(float x1, float y1, float z1, float x2, float y2, float z2) const;
    // Red bitmap text (Helvetica 10) at raster position (x, y) of the current frame.
    void drawString(const char* text, float x, float y) const;
};
