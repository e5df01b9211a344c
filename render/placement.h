// Where an object stands in a frame, shared by frame composition and
// ZvlBase (fitting, the depth offset, model rotation), and how far a part's
// 3D pixels reach from its origin.
#pragma once

#include "render/render.h"

namespace zvl::render {

// Object `object`'s location and matrix at `frame` (clamped to the
// animation) as stored: the origin and the identity without animation.
void StoredPlacement(const SceneState& state, int object, int frame, float location[3], float matrix[9]);

// The same placed in the world: L = W (S location) + offset, Mw = W matrix
// (W the world matrix, S the scene scale).
struct Placement {
  float location[3];
  float matrix[9];
};
Placement PlaceObject(const SceneState& state, int object, int frame);

// How far from its origin the part's 3D pixels can land along any screen
// axis, in 3D pixels: the sum over the axes of the farthest box coordinate
// (the rows of a normalised screen matrix have entries of at most 1).
float PartReach(const VoxObjectHead& head);
// Whether the part's box reaches beyond half a tile (128 3D pixels) from
// its origin along some axis: only such a part can draw farther from its
// position than one tile does.
bool PartLargerThanTile(const VoxObjectHead& head);

}  // namespace zvl::render
