// Writing a ZorvelDatabase as a ZVL chunk tree, with split (streamable)
// storage of multi-level geometry.
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/messages.h"
#include "zvlfile/palette_layout.h"
#include "zvlfile/user_data_hooks.h"
#include "zvlfile/voxpart.h"
#include "zvlfile/zvlformat.h"

#include <algorithm>
#include <vector>

namespace {

namespace id = zvl::id;
namespace msg = zvl::msg;

ZvlFormatVersion writerVersion = ZvlFormatVersion::V8_1;

// One write in progress: the handle and the object whose chunks are being
// written (for messages).
struct Writer {
  ZvlHandle handle;
  const ZorvelDatabase& db;
  const char* objectName = nullptr;  // set while an object's chunks are written

  int fail(const char* message) const {
    if (objectName)
      ZvlSetObjectError(message, objectName);
    else
      ZvlSetError(message);
    return ZvlFailure;
  }
  int open(uint32_t chunk, const char* message) const {
    return ZvlOpenChunk(handle, chunk) < 0 ? fail(message) : 0;
  }
  int data(const void* bytes, size_t count, const char* message) const {
    return ZvlWriteChunkData(handle, bytes, long(count)) < 0 ? fail(message) : 0;
  }
  // A chunk whose payload is one block.
  int leaf(uint32_t chunk, const void* bytes, size_t count, const char* openMessage,
           const char* writeMessage) const {
    if (open(chunk, openMessage) != 0 || data(bytes, count, writeMessage) != 0) return ZvlFailure;
    ZvlCloseChunk();
    return 0;
  }
  int leafInt(uint32_t chunk, int32_t value, const char* openMessage, const char* writeMessage) const {
    uint8_t bytes[4];
    zvl::le::putI32(bytes, value);
    return leaf(chunk, bytes, 4, openMessage, writeMessage);
  }
  int leafString(uint32_t chunk, const char* text, const char* openMessage, const char* writeMessage) const {
    return leaf(chunk, text, std::char_traits<char>::length(text), openMessage, writeMessage);
  }
  int leafFloats(uint32_t chunk, const float* values, size_t count, const char* openMessage,
                 const char* writeMessage) const {
    std::vector<uint8_t> bytes(count * 4);
    for (size_t i = 0; i < count; ++i) zvl::le::putF32(bytes.data() + i * 4, values[i]);
    return leaf(chunk, bytes.data(), bytes.size(), openMessage, writeMessage);
  }
};

// One object's parts, each with its own length, for split writing.
struct SplitObject {
  std::vector<VoxPartView> parts;
};

int writePalette(const Writer& w) {
  const ZorvelDatabase& db = w.db;
  // The layout follows the version stamped into the file (a file with a
  // palette always gets its version chunk, see writeMain). Format 7.0 has
  // no colour table: refuse rather than drop one.
  const bool oldLayout = writerVersion == ZvlFormatVersion::V7_0;
  if (oldLayout && db.colorTable) return w.fail(msg::ColorTableNeedsNewerVersion);
  if (w.open(id::Palette, msg::OpenPalette) != 0) return ZvlFailure;
  if (db.paletteName &&
      w.leafString(id::PaletteName, db.paletteName, msg::OpenPaletteName, msg::WritePaletteName) != 0)
    return ZvlFailure;
  if (db.palette) {
    std::vector<uint8_t> bytes(oldLayout ? ZvlOldPaletteSize : ZvlPaletteSize);
    if (oldLayout)
      zvl::encodeOldPalette(*db.palette, bytes.data());
    else
      zvl::encodePalette(*db.palette, bytes.data());
    if (w.leaf(id::PaletteEntry, bytes.data(), bytes.size(), msg::OpenPaletteEntry, msg::WritePaletteEntry) != 0)
      return ZvlFailure;
  }
  if (db.colorTable) {
    std::vector<uint8_t> bytes(ZvlColorTableSize);
    zvl::encodeColorTable(*db.colorTable, bytes.data());
    if (w.leaf(id::Material, bytes.data(), bytes.size(), msg::OpenMaterial, msg::WriteMaterial) != 0)
      return ZvlFailure;
  }
  ZvlCloseChunk();
  return 0;
}

// A part's head with its own length in the size field, then its body.
int writeOwnPart(const Writer& w, const VoxPartView& part, const char* headMessage, const char* bodyMessage) {
  VoxObjectHead head = part.head;
  head.size = int32_t(part.length);
  uint8_t headBytes[VoxHeadSize];
  VoxWriteHead(headBytes, head);
  if (w.data(headBytes, VoxHeadSize, headMessage) != 0) return ZvlFailure;
  return w.data(part.bytes + VoxHeadSize, part.length - VoxHeadSize, bodyMessage);
}

int writeGeometry(const Writer& w, const ObjectGeometry& geometry, const SplitObject* split) {
  if (w.open(id::Geometry, msg::OpenGeometry) != 0) return ZvlFailure;
  if (geometry.voxObject) {
    if (!split) {
      const int32_t size = zvl::le::i32(geometry.voxObject + 4);
      if (w.leaf(id::VoxObject, geometry.voxObject, size_t(size), msg::OpenVoxObject, msg::WriteVoxObject) != 0)
        return ZvlFailure;
    } else {
      if (split->parts.size() > 1 &&
          w.leafInt(id::VoxObjectSize, geometry.totalSize, msg::OpenVoxObjectSize, msg::WriteVoxObjectSize) != 0)
        return ZvlFailure;
      if (w.open(id::VoxObject, msg::OpenVoxObject) != 0 ||
          writeOwnPart(w, split->parts.back(), msg::WriteVoxObjectHead, msg::WriteVoxObjectBody) != 0)
        return ZvlFailure;
      ZvlCloseChunk();
    }
  }
  ZvlCloseChunk();
  return 0;
}

// Each per-frame array is written when the object has it; a missing one is
// left out rather than written empty, which a reader would take for a
// broken file.
int writeAnimation(const Writer& w, const ObjectAnimation& animation) {
  const size_t frames = size_t(w.db.frameCount);
  if (w.open(id::Animation, msg::OpenAnimation) != 0) return ZvlFailure;
  if (animation.flags &&
      w.leaf(id::ObjectFlag, animation.flags, frames, msg::OpenObjectFlag, msg::WriteObjectFlag) != 0)
    return ZvlFailure;
  if (animation.locations && w.leafFloats(id::ObjectLocation, animation.locations, frames * 3,
                                          msg::OpenObjectLocation, msg::WriteObjectLocation) != 0)
    return ZvlFailure;
  if (animation.matrices && w.leafFloats(id::ObjectMatrix, animation.matrices, frames * 9, msg::OpenObjectMatrix,
                                         msg::WriteObjectMatrix) != 0)
    return ZvlFailure;
  ZvlCloseChunk();
  return 0;
}

int writeLink(const Writer& w, const ObjectLink& link) {
  // An animated link without frames would be written empty and read back
  // as a broken file; the builder never makes one.
  if ((link.linkFlags & ZvlLinkAnimated) && w.db.frameCount < 1) return w.fail(msg::AnimatedLinkWithoutFrames);
  const size_t entries = size_t(ZvlLinkEntries(w.db, link));
  if (w.open(id::LinkTree, msg::OpenLinkTree) != 0) return ZvlFailure;
  uint8_t flags[4];
  zvl::le::put32(flags, link.linkFlags);
  if (w.leaf(id::LinkFlags, flags, 4, msg::OpenLinkFlags, msg::WriteLinkFlags) != 0) return ZvlFailure;
  if (link.parents) {
    std::vector<uint8_t> parents(entries * 4);
    for (size_t i = 0; i < entries; ++i) zvl::le::putI32(parents.data() + i * 4, link.parents[i]);
    if (w.leaf(id::ObjectParent, parents.data(), parents.size(), msg::OpenObjectParent, msg::WriteObjectParent) != 0)
      return ZvlFailure;
  }
  if (link.pivots && w.leafFloats(id::ObjectPivot, link.pivots, entries * 3, msg::OpenObjectPivot,
                                  msg::WriteObjectPivot) != 0)
    return ZvlFailure;
  ZvlCloseChunk();
  return 0;
}

int writeObject(Writer& w, int32_t index, const SplitObject* split) {
  const ZorvelDatabase& db = w.db;
  const char* name = db.objectNames ? db.objectNames[index] : nullptr;
  w.objectName = name ? name : "";
  if (w.open(id::Object, msg::OpenObject) != 0) return ZvlFailure;
  if (name && w.leafString(id::ObjectName, name, msg::OpenObjectName, msg::WriteObjectName) != 0)
    return ZvlFailure;
  if (db.geometry && writeGeometry(w, db.geometry[index], split) != 0) return ZvlFailure;
  // Without frames there is no frame counter, and a reader refuses an
  // animation chunk that comes without one.
  if (db.animation && db.frameCount > 0 && writeAnimation(w, db.animation[index]) != 0) return ZvlFailure;
  if (db.links && writeLink(w, db.links[index]) != 0) return ZvlFailure;
  ZvlCloseChunk();
  w.objectName = nullptr;
  return 0;
}

// The finer levels of split objects, coarse to fine, after the object chunks.
int writeAuxObjects(Writer& w, const std::vector<SplitObject>& split, size_t largestPartCount) {
  for (int level = int(largestPartCount) - 2; level >= 0; --level) {
    for (size_t i = 0; i < split.size(); ++i) {
      if (split[i].parts.size() <= size_t(level) + 1) continue;
      const char* name = w.db.objectNames ? w.db.objectNames[i] : nullptr;
      w.objectName = name ? name : "";
      if (w.open(id::AuxObjectData, msg::OpenAuxObjectData) != 0) return ZvlFailure;
      if (w.leafInt(id::AuxObjectId, int32_t(i), msg::OpenAuxObjectId, msg::WriteAuxObjectId) != 0)
        return ZvlFailure;
      if (w.open(id::AuxObject, msg::OpenAuxObject) != 0 ||
          writeOwnPart(w, split[i].parts[size_t(level)], msg::WriteAuxObjectHead, msg::WriteAuxObjectBody) != 0)
        return ZvlFailure;
      ZvlCloseChunk();
      ZvlCloseChunk();
      w.objectName = nullptr;
    }
  }
  return 0;
}

int writeUserData(const Writer& w) {
  if (ZvlOpenChunk(w.handle, id::UserData) < 0) return w.fail(msg::ErrorWritingUserData);
  const long position = ZvlIo().tell(w.handle);
  if (ZvlGrowOpenChunks(w.handle, w.db.userDataSize) != 0 || ZvlCheckedSeek(w.handle, position, 0) < 0)
    return w.fail(msg::ErrorWritingUserData);
  ZvlClearError();
  if (zvl::detail::userDataWriter()(w.handle, &w.db) != 0) {
    if (!ZvlGetErrorText()[0]) ZvlSetError(msg::ErrorWritingUserData);
    return ZvlFailure;
  }
  ZvlCloseChunk();
  if (ZvlCheckedSeek(w.handle, 0, 2) < 0) return ZvlFailure;
  return 0;
}

int writeScene(Writer& w) {
  const ZorvelDatabase& db = w.db;
  const bool streamable = (db.flags & ZvlStreamable) && db.geometry;
  std::vector<SplitObject> split;
  size_t largestPartCount = 0;
  if (streamable) {
    split.resize(size_t(db.objectCount));
    for (int32_t i = 0; i < db.objectCount; ++i) {
      const ObjectGeometry& g = db.geometry[i];
      if (!g.voxObject) continue;
      if (zvl::le::i32(g.voxObject + 4) != g.totalSize ||
          !VoxListParts(g.voxObject, size_t(g.totalSize), split[size_t(i)].parts)) {
        const char* name = db.objectNames && db.objectNames[i] ? db.objectNames[i] : "";
        ZvlSetObjectError(msg::WriteVoxObject, name);
        return ZvlFailure;
      }
      largestPartCount = std::max(largestPartCount, split[size_t(i)].parts.size());
    }
  } else if (db.geometry) {
    // The whole VoxObject is written as it stands; make sure it holds together.
    for (int32_t i = 0; i < db.objectCount; ++i) {
      const ObjectGeometry& g = db.geometry[i];
      if (g.voxObject &&
          (zvl::le::i32(g.voxObject + 4) != g.totalSize || !VoxCheckObject(g.voxObject, size_t(g.totalSize)))) {
        const char* name = db.objectNames && db.objectNames[i] ? db.objectNames[i] : "";
        ZvlSetObjectError(msg::WriteVoxObject, name);
        return ZvlFailure;
      }
    }
  }

  if (w.open(id::Scene, msg::OpenScene) != 0) return ZvlFailure;
  if (db.sceneName && w.leafString(id::SceneName, db.sceneName, msg::OpenSceneName, msg::WriteSceneName) != 0)
    return ZvlFailure;
  if (w.leafInt(id::ObjectCounter, db.objectCount, msg::OpenObjectCounter, msg::WriteObjectCounter) != 0)
    return ZvlFailure;
  if (db.frameCount > 0 &&
      w.leafInt(id::FrameCounter, db.frameCount, msg::OpenFrameCounter, msg::WriteFrameCounter) != 0)
    return ZvlFailure;
  for (int32_t i = 0; i < db.objectCount; ++i)
    if (writeObject(w, i, streamable ? &split[size_t(i)] : nullptr) != 0) return ZvlFailure;
  if (streamable && writeAuxObjects(w, split, largestPartCount) != 0) return ZvlFailure;
  ZvlCloseChunk();
  return 0;
}

int writeMain(Writer& w) {
  const ZorvelDatabase& db = w.db;
  if (w.open(id::Main, msg::OpenMain) != 0) return ZvlFailure;
  // A database without a version gets no version chunk, unless it holds a
  // palette or colour table: readers take the layout of those from the
  // version, so it is always stamped with them.
  if (db.version > 0 || db.palette || db.colorTable) {
    uint8_t bytes[4];
    zvl::le::putF32(bytes, ZvlVersionValue(writerVersion));
    if (w.leaf(id::Version, bytes, 4, msg::OpenVersion, msg::WriteVersion) != 0) return ZvlFailure;
  }
  if (db.databaseName &&
      w.leafString(id::DatabaseName, db.databaseName, msg::OpenDatabaseName, msg::WriteDatabaseName) != 0)
    return ZvlFailure;
  if ((db.palette || db.colorTable) && writePalette(w) != 0) return ZvlFailure;
  if (db.objectCount > 0 && writeScene(w) != 0) return ZvlFailure;
  if (db.hasUserData && zvl::detail::userDataWriter() && writeUserData(w) != 0) return ZvlFailure;
  ZvlCloseChunk();
  return 0;
}

}  // namespace

float ZvlVersionValue(ZvlFormatVersion version) {
  switch (version) {
    case ZvlFormatVersion::V7_0: return 7.0f;
    case ZvlFormatVersion::V7_2: return 7.2f;
    case ZvlFormatVersion::V8_1: return 8.1f;
    case ZvlFormatVersion::V9_0: return 9.0f;
  }
  return 8.1f;
}

void ZvlSetWriterVersion(ZvlFormatVersion version) { writerVersion = version; }
ZvlFormatVersion ZvlWriterVersion() { return writerVersion; }


int ZvlWriteDatabase(ZvlHandle handle, const ZorvelDatabase& database) {
  if (ZvlBeginChunkWrite() != 0) return ZvlFailure;
  Writer w{handle, database};
  const int result = writeMain(w);
  ZvlEndChunkWrite();
  return result;
}

int ZvlWriteDatabaseFile(const char* path, const ZorvelDatabase& database) {
  return ZvlWriteFileReplacing(path, [&](ZvlHandle handle) { return ZvlWriteDatabase(handle, database); });
}
