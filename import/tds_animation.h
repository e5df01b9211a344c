// Per-frame placements of a 3D Studio scene's keyframer nodes: from the
// keyframer tracks (CalculateAnimation3DS) or from a VUE file (ReadVue).
// Both fill every object node's matrices, locations and flag bytes for
// scene.frameCount frames. A node's location is where its frame's origin
// lies; the location of its mesh adds the matrix times the mesh centre
// (ToImportedScene3DS), so that the centre follows the node's rotation and
// scale in every frame and children do not inherit their parent's centre.
#pragma once

#include "import/imported_scene.h"
#include "import/tds_scene.h"

#include <span>
#include <string>

namespace importer {

// The per-frame arrays stay in proportion to the scene: frames times object
// nodes may not exceed this.
inline constexpr int64_t kMaxFrameEntries = int64_t(1) << 20;

// Values of a node's tracks at one frame: at frame 0 the absolute key
// values, after it the per-frame increments.
struct TrackValues3DS {
  Vec3 position{0, 0, 0};
  double angle = 0;
  Vec3 axis{0, 1, 0};
  Vec3 scale{1, 1, 1};
};
TrackValues3DS EvaluateTracks(const KeyframerNode3DS& node, int frame);
// Scale(scale) · AxisRot(axis, -angle); a zero axis becomes (1, 0, 0).
Mat3 LocalIncrement(const TrackValues3DS& values);

// Sets scene.frameCount (animation length + 1) and allocates every object
// node's arrays (identity matrices, origin, shown): false after a message
// when they would be too large.
bool AllocateFrames3DS(Scene3DS& scene, int64_t frameCount, const ImportCallbacks& callbacks);

// The keyframer calculation: incremental, hierarchical, with hidden frames
// from the hide tracks.
bool CalculateAnimation3DS(Scene3DS& scene, const ImportCallbacks& callbacks);

// Reads a VUE file's per-frame world matrices and translations into the
// scene's nodes (matched by name): false after a message.
bool ReadVue(const std::string& path, Scene3DS& scene, const ImportCallbacks& callbacks);
bool ParseVue(std::span<const uint8_t> text, Scene3DS& scene, const ImportCallbacks& callbacks);

}  // namespace importer
