// The LightWave animation calculation: motion channels evaluated per frame
// (linear or Hermite with tension, continuity and bias), local 4x4 matrices
// T(position) · Rz(bank) · Rx(pitch) · Ry(heading) · S(scale) · T(-pivot),
// and world matrices through the parents.
#pragma once

#include "import/lws_scene.h"

#include <array>
#include <string>
#include <vector>

// 4x4 matrix, row after row, applied to column vectors; the translation is
// the fourth column.
using LwsMatrix = std::array<double, 16>;

// The nine channel values of a motion at time t. frameSpan is the scene's
// LastFrame - FirstFrame + 1: a key at that frame counts as the last one.
// No keys give the rest position (0, 0, 0, 0, 0, 0, 1, 1, 1).
std::array<double, 9> EvaluateLwsChannels(const std::vector<LwsKey>& keys, double t, int frameSpan);

// The local matrix of channel values (angles in degrees) around a pivot.
LwsMatrix LwsLocalMatrix(const std::array<double, 9>& channels, const std::array<double, 3>& pivot);

LwsMatrix LwsMultiply(const LwsMatrix& a, const LwsMatrix& b);
std::array<double, 3> LwsTransformPoint(const LwsMatrix& m, const std::array<double, 3>& p);

// Frames of the animation: LastFrame + 1, none for a negative LastFrame.
long long LwsFrameCount(const LwsScene& scene);
// The frame span LastFrame - FirstFrame + 1 that key frames are compared
// with (held in int range).
int LwsFrameSpan(const LwsScene& scene);

// World matrices of every object at every frame: world[object][frame].
// Parents are checked (ParseLwsScene), so every chain ends at a root.
std::vector<std::vector<LwsMatrix>> LwsWorldMatrices(const LwsScene& scene, int frameCount);

// The text of the "tlws.out" dump: per frame a "------------------ Frame #"
// line, then per object its rotation block (the 3x3 part of the world
// matrix) and its pivot point moved by the world matrix.
std::string LwsDebugDump(const LwsScene& scene, const std::vector<std::vector<LwsMatrix>>& world, int frameCount);
