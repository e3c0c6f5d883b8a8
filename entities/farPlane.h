#pragma once
// Whether a mesh can be left out of a frame because the far clipping plane would clip all of it.
// Shots fly on without a range, so after a long burst most of them are far behind that plane;
// skipping their lists leaves the picture as it is and keeps the frame cheap.

class Model_3DS;

// Distance of the far clipping plane from the eye, in eye units; the projection uses it too.
constexpr double farPlaneDistance = 200.0;

// Radius of a sphere about the mesh's own origin that holds every vertex the mesh draws, once
// drawn at `listScale`; negative when no such bound is known (then nothing is ever skipped).
float meshReach(const Model_3DS& model, float listScale);

// True only when the sphere of radius `reach` about the origin of the modelling frame given by
// `modelView` (16 floats, column-major) lies wholly beyond the far plane. Generous on purpose:
// any doubt (a negative reach, a projective or non-finite matrix) keeps the mesh drawn.
bool liesBeyondFarPlane(const float* modelView, float reach);
