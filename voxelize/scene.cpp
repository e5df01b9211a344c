// A whole scene into a ZorvelDatabase: names, palette blocks, every object's
// levels joined into its VoxObject, its placement in every frame and its
// hierarchy link, as the conversion flags ask.
#include <algorithm>
#include <cstring>

#include "palette/palette.h"
#include "voxelize/messages.h"
#include "voxelize/voxelize.h"
#include "zvlfile/database.h"
#include "zvlfile/io.h"

namespace {

// Hands every material back when the conversion ends, however it ends.
struct MaterialRelease {
  ConversionHost& host;
  ~MaterialRelease() { ReleaseMaterials(host); }
};

// One object of the scene into the database.
int ConvertObject(ConversionHost& host, ZorvelDatabase& db, int index, const MeshObject& object,
                  const SceneOptions& options) {
  const uint32_t flags = host.conversionFlags;
  if (ZvlSetObjectName(db, index, object.name.empty() ? "Unnamed" : object.name.c_str()) != 0) {
    host.ReportError(voxelize::msg::Database);
    return -1;
  }
  MeshPose pose;
  if (flags & kFlagGeometry) {
    ZorvelizedObject result;
    if (ZorvelizeObject(host, object, options.zorvelize, result) != 0) return -1;
    pose = result.pose;
    if (!result.voxObject.empty() &&
        ZvlSetObjectGeometry(db, index, result.voxObject.data(), result.voxObject.size()) != 0) {
      host.ReportError(voxelize::msg::NoRoomComplex);
      return -1;
    }
  } else if (ComputeMeshPose(host, object, pose) != 0) {
    return -1;
  }

  ObjectPlacement placement;
  ComputePlacement(object, pose, (flags & kFlagAnimation) ? db.frameCount : 0, placement);
  if (flags & kFlagAnimation) {
    ObjectAnimation& animation = db.animation[index];
    for (size_t f = 0; f < placement.flags.size(); ++f) {
      animation.flags[f] = placement.flags[f];
      std::memcpy(animation.locations + 3 * f, placement.locations[f].data(), 3 * sizeof(float));
      std::memcpy(animation.matrices + 9 * f, placement.matrices[f].data(), 9 * sizeof(float));
    }
  }
  if (flags & kFlagHierarchy) {
    if (ZvlAllocObjectLink(db, index, 0) != 0) {
      host.ReportError(voxelize::msg::Animation);
      return -1;
    }
    db.links[index].parents[0] = placement.parent;
    std::memcpy(db.links[index].pivots, placement.pivot.data(), 3 * sizeof(float));
  }
  return 0;
}

}  // namespace

int ConvertScene(ConversionHost& host, ZorvelDatabase& db, const SceneOptions& options) {
  const uint32_t flags = host.conversionFlags;
  int objectCount = 0;
  while (MeshObject* object = host.GetObject(objectCount)) {
    host.ReleaseObject(object);
    ++objectCount;
  }
  const int frames = (flags & kFlagAnimation) ? std::max(host.frameCount, 1) : 1;
  db.frameCount = frames;
  if (ZvlSetObjectCount(db, objectCount) != 0) {
    host.ReportError(voxelize::msg::Database);
    return -1;
  }

  PaletteSettings palette = options.palette;
  palette.wantPalette = (flags & kFlagPalette) != 0;
  palette.wantColorTable = (flags & kFlagColorTable16) != 0;
  if (PreparePalette(host, palette) != 0) return -1;
  MaterialRelease release{host};
  if ((flags & kFlagPalette) && CopyPaletteBlock(host, db) != 0) return -1;
  if ((flags & kFlagColorTable16) && CopyColorTable(host, db) != 0) return -1;
  if ((flags & kFlagAnimation) && objectCount > 0 && ZvlAllocAnimation(db, frames) != 0) {
    host.ReportError(voxelize::msg::Animation);
    return -1;
  }

  for (int i = 0; i < objectCount; ++i) {
    if (host.stopFlag.load() != 0) return -1;
    MeshObject* object = host.GetObject(i);
    if (object == nullptr) return -1;
    const int result = ConvertObject(host, db, i, *object, options);
    host.ReleaseObject(object);
    if (result != 0) return -1;
  }
  if (flags & kFlagStreamable) db.flags |= ZvlStreamable;
  return 0;
}
