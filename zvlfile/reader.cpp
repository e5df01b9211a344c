// Reading a ZVL chunk tree into a ZorvelDatabase. The input may come from
// anywhere: every child is checked against what remains of its parent, the
// main chunk against the file's length, every allocation against the bytes
// that must fill it, and every VoxObject is walked before it is accepted.
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/messages.h"
#include "zvlfile/palette_layout.h"
#include "zvlfile/user_data_hooks.h"
#include "zvlfile/voxpart.h"
#include "zvlfile/zvlformat.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zvl::detail {
UserDataReader& userDataReader() {
  static UserDataReader hook = nullptr;
  return hook;
}
UserDataWriter& userDataWriter() {
  static UserDataWriter hook = nullptr;
  return hook;
}
}  // namespace zvl::detail

void ZvlSetUserDataHooks(UserDataReader reader, UserDataWriter writer) {
  zvl::detail::userDataReader() = reader;
  zvl::detail::userDataWriter() = writer;
}

namespace {

namespace id = zvl::id;
namespace msg = zvl::msg;

int bad() {
  ZvlSetError(msg::BadFileFormat);
  return ZvlFailure;
}

void release(void* block) {
  if (block) ZvlIo().free(block);
}

int64_t payloadOf(const ZvlChunkHeader& header) { return int64_t(header.size) - ZvlChunkHeaderSize; }

// Copies an array of `used` entries into a new zeroed one of `capacity`
// entries (one spare byte, as every block of the reader), freeing the old.
template <class T>
int growArray(T*& array, size_t used, size_t capacity) {
  void* block = nullptr;
  if (ZvlAllocZeroed(capacity * sizeof(T) + 1, &block) != 0) return ZvlFailure;
  if (array) {
    if (used) std::memcpy(block, array, used * sizeof(T));
    release(array);
  }
  array = static_cast<T*>(block);
  return 0;
}

struct Reader {
  Reader(ZvlHandle h, ZorvelDatabase* database) : handle(h), db(database) {}

  ZvlHandle handle;
  ZorvelDatabase* db;
  int32_t runningIndex = 0;
  // The object counter's value. The database's object count is the number
  // of object chunks read so far, and its arrays grow as they come, so what
  // is allocated stays in proportion to what the file really holds.
  int32_t declaredCount = 0;
  int32_t capacity = 0;  // entries of every per-object array
  bool objectCounterSeen = false;
  bool frameCounterSeen = false;
  bool auxSeen = false;
  std::vector<bool> splitObjects;  // per object: stored split, with a total size
  // The frame count each per-frame array was read with; all must agree with
  // the final frame count.
  std::vector<int32_t> perFrameReads;
  // Geometry bytes still to be justified by the file: the sum of all
  // declared VoxObject sizes may not exceed the file's length.
  int64_t geometryBudget = 0;

  // Reads `count` bytes into a new block (zeroed, one spare byte so strings
  // end in zero). The caller owns it.
  int readBlock(int64_t count, void** block) {
    *block = nullptr;
    if (ZvlAllocZeroed(size_t(count) + 1, block) != 0) return ZvlFailure;
    if (ZvlReadExact(handle, *block, long(count)) != 0) {
      release(*block);
      *block = nullptr;
      return ZvlFailure;
    }
    return 0;
  }

  int readString(const ZvlChunkHeader& header, char*& field) {
    void* block = nullptr;
    if (readBlock(payloadOf(header), &block) != 0) return ZvlFailure;
    release(field);
    field = static_cast<char*>(block);
    return 0;
  }

  int readInt(const ZvlChunkHeader& header, int32_t& value) {
    if (payloadOf(header) != 4) return bad();
    uint8_t bytes[4];
    if (ZvlReadExact(handle, bytes, 4) != 0) return ZvlFailure;
    value = zvl::le::i32(bytes);
    return 0;
  }

  // Reads up to `size` bytes of a fixed record, zero-filling what the chunk
  // lacks and skipping what it has beyond.
  int readRecord(const ZvlChunkHeader& header, uint8_t* bytes, size_t size) {
    const int64_t payload = payloadOf(header);
    const int64_t used = payload < int64_t(size) ? payload : int64_t(size);
    std::memset(bytes, 0, size);
    if (ZvlReadExact(handle, bytes, long(used)) != 0) return ZvlFailure;
    if (payload > used && ZvlIo().seek(handle, long(payload - used), 1) < 0) return bad();
    return 0;
  }

  template <class T>
  int readFloats(const ZvlChunkHeader& header, size_t count, T*& field) {
    if (payloadOf(header) != int64_t(count) * 4) return bad();
    std::vector<uint8_t> bytes(count * 4);
    if (ZvlReadExact(handle, bytes.data(), long(bytes.size())) != 0) return ZvlFailure;
    void* block = nullptr;
    if (ZvlAllocZeroed(count * sizeof(T) + 1, &block) != 0) return ZvlFailure;
    T* values = static_cast<T*>(block);
    for (size_t i = 0; i < count; ++i) {
      if constexpr (std::is_same_v<T, float>)
        values[i] = zvl::le::f32(bytes.data() + i * 4);
      else
        values[i] = zvl::le::i32(bytes.data() + i * 4);
    }
    release(field);
    field = values;
    return 0;
  }

  int growObjects(int32_t needed);
  int readPalette(const ZvlChunkHeader& header);
  int readScene(const ZvlChunkHeader& header);
  int readObject(const ZvlChunkHeader& header, int32_t index);
  int readGeometry(const ZvlChunkHeader& header, int32_t index);
  int readAnimation(const ZvlChunkHeader& header, int32_t index);
  int readLinkTree(const ZvlChunkHeader& header, int32_t index);
  int readAux(const ZvlChunkHeader& header);
  int readUserData(const ZvlChunkHeader& header);
  int checkGeometry();
  int checkPerFrameArrays();
};

// Makes room for `needed` objects in every per-object array, doubling up to
// the declared count.
int Reader::growObjects(int32_t needed) {
  if (needed <= capacity) return 0;
  const int32_t doubled = capacity > declaredCount / 2 ? declaredCount : std::max(16, capacity * 2);
  const int32_t grown = std::max(needed, std::min(doubled, declaredCount));
  const size_t used = size_t(db->objectCount), size = size_t(grown);
  if (growArray(db->objectNames, used, size) != 0 || growArray(db->animation, used, size) != 0) return ZvlFailure;
  if (db->geometry && growArray(db->geometry, used, size) != 0) return ZvlFailure;
  if (db->links && growArray(db->links, used, size) != 0) return ZvlFailure;
  capacity = grown;
  return 0;
}

int Reader::readPalette(const ZvlChunkHeader& parent) {
  return ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::PaletteName: return readString(header, db->paletteName);
      case id::PaletteEntry: {
        std::vector<uint8_t> bytes;
        ZorvelPalette palette;
        if (db->version > 7.0f) {
          bytes.resize(ZvlPaletteSize);
          if (readRecord(header, bytes.data(), bytes.size()) != 0) return ZvlFailure;
          zvl::decodePalette(bytes.data(), palette);
        } else {
          // The older layout, widened from 16 to 24 shade rows.
          if (payloadOf(header) != int64_t(ZvlOldPaletteSize)) return bad();
          bytes.resize(ZvlOldPaletteSize);
          if (ZvlReadExact(handle, bytes.data(), long(bytes.size())) != 0) return ZvlFailure;
          zvl::decodeOldPalette(bytes.data(), palette);
        }
        return ZvlSetPalette(*db, palette);
      }
      case id::Material: {
        std::vector<uint8_t> bytes(ZvlColorTableSize);
        if (readRecord(header, bytes.data(), bytes.size()) != 0) return ZvlFailure;
        ColorTable16 table;
        zvl::decodeColorTable(bytes.data(), table);
        return ZvlSetColorTable(*db, table);
      }
      default: return ZvlSkipChunk(handle, header);
    }
  });
}

int Reader::readGeometry(const ZvlChunkHeader& parent, int32_t index) {
  if (!db->geometry && growArray(db->geometry, 0, size_t(capacity)) != 0) return ZvlFailure;
  ObjectGeometry& geometry = db->geometry[index];
  release(geometry.voxObject);
  geometry = ObjectGeometry{};
  bool totalSizeRead = false;
  bool voxRead = false;
  const int result = ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::VoxObjectSize:
        // The size chunk comes before the vox object chunk.
        if (voxRead || totalSizeRead) return bad();
        if (readInt(header, geometry.totalSize) != 0) return ZvlFailure;
        if (geometry.totalSize < VoxHeadSize || geometry.totalSize > geometryBudget) return bad();
        totalSizeRead = true;
        return 0;
      case id::VoxObject: {
        const int64_t payload = payloadOf(header);
        if (voxRead || payload < VoxHeadSize) return bad();
        if (totalSizeRead && payload > geometry.totalSize) return bad();
        const int64_t blockSize = totalSizeRead ? geometry.totalSize : payload;
        if (!totalSizeRead && blockSize > geometryBudget) return bad();
        // The payload fills the start of the block; only the rest, which
        // the aux chunks fill later, needs zeroing first.
        void* block = ZvlIo().allocate(size_t(blockSize));
        if (!block) {
          ZvlSetError(msg::NoRoom);
          return ZvlFailure;
        }
        std::memset(static_cast<uint8_t*>(block) + payload, 0, size_t(blockSize - payload));
        geometry.voxObject = static_cast<uint8_t*>(block);
        if (ZvlReadExact(handle, block, long(payload)) != 0) return ZvlFailure;
        geometryBudget -= blockSize;
        const int32_t headSize = zvl::le::i32(geometry.voxObject + 4);
        // Split storage holds the last part alone, with its own size.
        if (totalSizeRead ? headSize != payload : (headSize < VoxHeadSize || headSize > payload)) return bad();
        if (!totalSizeRead) geometry.totalSize = int32_t(payload);
        voxRead = true;
        return 0;
      }
      default: return ZvlSkipChunk(handle, header);
    }
  });
  if (result != 0) return ZvlFailure;
  splitObjects[size_t(index)] = totalSizeRead && voxRead;
  if (totalSizeRead) {
    db->flags |= ZvlStreamable;
  } else {
    db->flags &= ~ZvlStreamable;
    geometry.totalSize = geometry.voxObject ? zvl::le::i32(geometry.voxObject + 4) : 0;
  }
  return 0;
}

int Reader::readAnimation(const ZvlChunkHeader& parent, int32_t index) {
  if (!frameCounterSeen) return bad();
  perFrameReads.push_back(db->frameCount);
  ObjectAnimation& animation = db->animation[index];
  const size_t frames = size_t(db->frameCount);
  return ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::ObjectFlag: {
        if (payloadOf(header) != int64_t(frames)) return bad();
        void* block = nullptr;
        if (readBlock(int64_t(frames), &block) != 0) return ZvlFailure;
        release(animation.flags);
        animation.flags = static_cast<uint8_t*>(block);
        return 0;
      }
      case id::ObjectLocation: return readFloats(header, frames * 3, animation.locations);
      case id::ObjectMatrix: return readFloats(header, frames * 9, animation.matrices);
      default: return ZvlSkipChunk(handle, header);
    }
  });
}

int Reader::readLinkTree(const ZvlChunkHeader& parent, int32_t index) {
  if (!db->links && growArray(db->links, 0, size_t(capacity)) != 0) return ZvlFailure;
  ObjectLink& link = db->links[index];
  int64_t parentsBytes = -1, pivotsBytes = -1;
  const int result = ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    const int64_t payload = payloadOf(header);
    switch (header.id) {
      case id::LinkFlags: {
        int32_t flags = 0;
        if (readInt(header, flags) != 0) return ZvlFailure;
        link.linkFlags = uint32_t(flags);
        return 0;
      }
      case id::ObjectParent:
        if (payload % 4 != 0) return bad();
        parentsBytes = payload;
        return readFloats(header, size_t(payload / 4), link.parents);
      case id::ObjectPivot:
        if (payload % 12 != 0) return bad();
        pivotsBytes = payload;
        return readFloats(header, size_t(payload / 4), link.pivots);
      default: return ZvlSkipChunk(handle, header);
    }
  });
  if (result != 0) return ZvlFailure;
  // One entry, or one per frame when the link is animated; an animated link
  // needs the frame counter before it and at least one frame.
  const bool animated = (link.linkFlags & ZvlLinkAnimated) != 0;
  if (animated && (!frameCounterSeen || db->frameCount < 1)) return bad();
  const int64_t entries = animated ? db->frameCount : 1;
  if ((parentsBytes >= 0 && parentsBytes != entries * 4) || (pivotsBytes >= 0 && pivotsBytes != entries * 12))
    return bad();
  if (animated) perFrameReads.push_back(db->frameCount);
  return 0;
}

int Reader::readObject(const ZvlChunkHeader& parent, int32_t index) {
  return ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::ObjectName: return readString(header, db->objectNames[index]);
      case id::Geometry: return readGeometry(header, index);
      case id::Animation: return readAnimation(header, index);
      case id::LinkTree: return readLinkTree(header, index);
      default: return ZvlSkipChunk(handle, header);
    }
  });
}

// One earlier part of an object stored split: it goes in front of the parts
// already there, so the finest part ends up first.
int Reader::readAux(const ZvlChunkHeader& parent) {
  int32_t object = -1;
  return ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::AuxObjectId:
        if (readInt(header, object) != 0) return ZvlFailure;
        // Only objects already read have geometry to put parts in front of.
        if (object < 0 || object >= db->objectCount) return bad();
        return 0;
      case id::AuxObject: {
        if (object < 0 || !db->geometry || !db->geometry[object].voxObject) return bad();
        ObjectGeometry& geometry = db->geometry[object];
        // Only an object stored split has room for earlier parts.
        if (!splitObjects[size_t(object)]) return bad();
        const int64_t payload = payloadOf(header);
        if (payload < VoxHeadSize) return bad();
        uint8_t head[VoxHeadSize];
        if (ZvlReadExact(handle, head, VoxHeadSize) != 0) return ZvlFailure;
        const int64_t own = zvl::le::i32(head + 4);
        const int64_t present = zvl::le::i32(geometry.voxObject + 4);
        if (own != payload || present > int64_t(geometry.totalSize) - own) return bad();
        uint8_t* block = geometry.voxObject;
        std::memmove(block + own, block, size_t(present));
        std::memcpy(block, head, VoxHeadSize);
        if (ZvlReadExact(handle, block + VoxHeadSize, long(own - VoxHeadSize)) != 0) return ZvlFailure;
        zvl::le::putI32(block + 4, int32_t(present + own));
        return 0;
      }
      default: return ZvlSkipChunk(handle, header);
    }
  });
}

int Reader::readScene(const ZvlChunkHeader& parent) {
  int64_t remaining = payloadOf(parent);
  const int result = ZvlWalkChildren(handle, payloadOf(parent), [&](const ZvlChunkHeader& header) {
    remaining -= header.size;
    switch (header.id) {
      case id::SceneName: return readString(header, db->sceneName);
      case id::ObjectCounter: {
        int32_t count = 0;
        if (objectCounterSeen || readInt(header, count) != 0) return objectCounterSeen ? bad() : ZvlFailure;
        if (count < 0) return bad();
        // Every object needs a chunk of at least 8 bytes in what follows, so
        // a larger count cannot be met (and is not allocated for).
        if (int64_t(count) * ZvlChunkHeaderSize > remaining) {
          ZvlSetError(msg::NumberOfObjectsMismatch);
          return ZvlFailure;
        }
        // Nothing is allocated for the count itself: the arrays grow as the
        // object chunks arrive.
        declaredCount = count;
        objectCounterSeen = true;
        runningIndex = 0;
        return 0;
      }
      case id::FrameCounter: {
        if (frameCounterSeen) return bad();
        if (readInt(header, db->frameCount) != 0) return ZvlFailure;
        if (db->frameCount < 0) return bad();
        frameCounterSeen = true;
        return 0;
      }
      case id::Object:
        if (!objectCounterSeen || auxSeen || runningIndex >= declaredCount) return bad();
        if (growObjects(runningIndex + 1) != 0) return ZvlFailure;
        db->objectCount = runningIndex + 1;
        splitObjects.push_back(false);
        if (readObject(header, runningIndex) != 0) return ZvlFailure;
        ++runningIndex;
        return 0;
      case id::AuxObjectData:
        auxSeen = true;
        return readAux(header);
      default: return ZvlSkipChunk(handle, header);
    }
  });
  if (result != 0) return ZvlFailure;
  if (runningIndex != declaredCount) {
    ZvlSetError(msg::NumberOfObjectsMismatch);
    return ZvlFailure;
  }
  return 0;
}

int Reader::readUserData(const ZvlChunkHeader& header) {
  UserDataReader hook = zvl::detail::userDataReader();
  if (!hook) return ZvlSkipChunk(handle, header);
  uint8_t bytes[ZvlChunkHeaderSize];
  zvl::le::put32(bytes, header.id);
  zvl::le::putI32(bytes + 4, header.size);
  ZvlClearError();
  if (hook(handle, db, bytes) != 0) {
    if (!ZvlGetErrorText()[0]) ZvlSetError(msg::ErrorReadingUserData);
    return ZvlFailure;
  }
  db->userDataSize = int32_t(payloadOf(header));
  return 0;
}

// Every VoxObject must hold together before anyone walks it, and its
// declared total size must be what its parts add up to (a split object whose
// aux parts fall short of the size chunk would not write back).
int Reader::checkGeometry() {
  if (!db->geometry) return 0;
  for (int32_t i = 0; i < db->objectCount; ++i) {
    const ObjectGeometry& geometry = db->geometry[i];
    if (!geometry.voxObject) continue;
    const int32_t size = zvl::le::i32(geometry.voxObject + 4);
    if (size != geometry.totalSize || !VoxCheckObject(geometry.voxObject, size_t(size))) return bad();
  }
  return 0;
}

// Every animation array and animated link was read with the frame count in
// force then; users index them with the final one.
int Reader::checkPerFrameArrays() {
  for (int32_t frames : perFrameReads)
    if (frames != db->frameCount) return bad();
  return 0;
}

}  // namespace

ZorvelDatabase* ZvlReadDatabase(ZvlHandle handle) {
  const ZvlIoFunctions& io = ZvlIo();
  const long start = io.tell(handle);
  const long end = start < 0 ? -1 : io.seek(handle, 0, 2);
  if (end < 0 || io.seek(handle, start, 0) != start) {
    ZvlSetError(msg::ReadingFile);
    return nullptr;
  }
  ZvlChunkHeader main;
  if (ZvlReadChunkHeader(handle, main) != 0) return nullptr;
  if (main.id != id::Main || main.size < ZvlChunkHeaderSize) {
    bad();
    return nullptr;
  }
  // A main chunk longer than the file: the file ends inside it. Found here,
  // before any size inside it is trusted for an allocation.
  if (main.size > end - start) {
    ZvlSetError(msg::ReadingFile);
    return nullptr;
  }
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  if (!db) return nullptr;
  Reader reader(handle, db.get());
  reader.geometryBudget = main.size;
  const int result = ZvlWalkChildren(handle, payloadOf(main), [&](const ZvlChunkHeader& header) {
    switch (header.id) {
      case id::Version: {
        if (payloadOf(header) != 4) return bad();
        uint8_t bytes[4];
        if (ZvlReadExact(handle, bytes, 4) != 0) return ZvlFailure;
        db->version = zvl::le::f32(bytes);
        return 0;
      }
      case id::DatabaseName: return reader.readString(header, db->databaseName);
      case id::Palette: return reader.readPalette(header);
      case id::Scene: return reader.readScene(header);
      case id::UserData: return reader.readUserData(header);
      default: return ZvlSkipChunk(handle, header);
    }
  });
  if (result != 0 || reader.checkGeometry() != 0 || reader.checkPerFrameArrays() != 0) return nullptr;
  db->state = ZvlStateRead;
  return db.release();
}

ZorvelDatabase* ZvlReadDatabaseFile(const char* path) {
  ZvlFileStream stream;
  if (!stream.open(path, "rb")) {
    ZvlSetError(msg::ReadingFile);
    return nullptr;
  }
  return ZvlReadDatabase(ZvlStreamHandle(stream));
}
