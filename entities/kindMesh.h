#pragma once
// The mesh steps every mesh-bearing kind shares: loading its mesh at its scale, issuing the
// mesh's drawing commands into the list being compiled, and capturing where it would be drawn.
// Each kind's own load, initDisplayList and draw call these from the kind's unit.

class Model_3DS;

// Sets scaleCoeff, then reads `file` into model with its maps from slot firstTexture on.
// Returns the number of texture slots the mesh used. Several kinds' scales are single-precision
// constants (0.02f), widened to double as they are.
int loadMeshAtScale(Model_3DS& model, double& scaleCoeff, double scale, const char* file,
                    int firstTexture, unsigned int* textures);

// The mesh's drawing commands; the asset registry wraps them in a display list with the scale.
void issueMeshCommands(Model_3DS& model, unsigned int* textures);

// The origin of the modelling frame whose model-view matrix is `m` (16 floats, column-major),
// in eye coordinates: its translation column divided by its weight.
void eyeOrigin(const float* m, float& x, float& y, float& z);

// Stores the origin of the current modelling frame in eye coordinates and marks it drawn.
void captureDrawnPosition(bool& drawn, float& drawnX, float& drawnY, float& drawnZ);
