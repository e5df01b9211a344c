// Creating, building and releasing a ZorvelDatabase. Every block comes from
// the installed allocate function and goes back through its free function.
#include "zvlfile/database.h"

#include "zvlfile/io.h"
#include "zvlfile/messages.h"
#include "zvlfile/voxpart.h"
#include "zvlfile/le.h"

#include <cstring>

namespace {

void release(void* block) {
  if (block) ZvlIo().free(block);
}

template <class T>
T* allocArray(size_t count) {
  void* block = nullptr;
  if (ZvlAllocZeroed(count * sizeof(T), &block) != 0) return nullptr;
  return static_cast<T*>(block);
}

char* copyString(const char* text) {
  if (!text) return nullptr;
  const size_t length = std::strlen(text);
  char* copy = allocArray<char>(length + 1);
  if (copy) std::memcpy(copy, text, length);
  return copy;
}

int replaceString(char*& field, const char* text) {
  char* copy = copyString(text);
  if (text && !copy) return ZvlFailure;
  release(field);
  field = copy;
  return 0;
}

void freeObjectArrays(ZorvelDatabase& db) {
  const int32_t n = db.objectCount;
  if (db.objectNames) {
    for (int32_t i = 0; i < n; ++i) release(db.objectNames[i]);
    release(db.objectNames);
  }
  if (db.animation) {
    for (int32_t i = 0; i < n; ++i) {
      release(db.animation[i].flags);
      release(db.animation[i].locations);
      release(db.animation[i].matrices);
    }
    release(db.animation);
  }
  if (db.geometry) {
    for (int32_t i = 0; i < n; ++i) release(db.geometry[i].voxObject);
    release(db.geometry);
  }
  if (db.links) {
    for (int32_t i = 0; i < n; ++i) {
      release(db.links[i].parents);
      release(db.links[i].pivots);
    }
    release(db.links);
  }
  db.objectNames = nullptr;
  db.animation = nullptr;
  db.geometry = nullptr;
  db.links = nullptr;
}

bool validObject(const ZorvelDatabase& db, int32_t object) { return object >= 0 && object < db.objectCount; }

}  // namespace

ZorvelDatabase* ZvlCreateDatabase(uint32_t flags) {
  ZorvelDatabase* db = allocArray<ZorvelDatabase>(1);
  if (!db) return nullptr;
  *db = ZorvelDatabase{};
  db->state = ZvlStateBuilding;
  db->flags = flags;
  return db;
}

void ZvlFreeDatabase(ZorvelDatabase* db) {
  if (!db) return;
  release(db->databaseName);
  release(db->paletteName);
  release(db->palette);
  release(db->colorTable);
  release(db->sceneName);
  freeObjectArrays(*db);
  release(db);
}

int ZvlSetDatabaseName(ZorvelDatabase& db, const char* name) { return replaceString(db.databaseName, name); }
int ZvlSetPaletteName(ZorvelDatabase& db, const char* name) { return replaceString(db.paletteName, name); }
int ZvlSetSceneName(ZorvelDatabase& db, const char* name) { return replaceString(db.sceneName, name); }

int ZvlSetPalette(ZorvelDatabase& db, const ZorvelPalette& palette) {
  auto* copy = allocArray<ZorvelPalette>(1);
  if (!copy) return ZvlFailure;
  *copy = palette;
  release(db.palette);
  db.palette = copy;
  return 0;
}

int ZvlSetColorTable(ZorvelDatabase& db, const ColorTable16& table) {
  auto* copy = allocArray<ColorTable16>(1);
  if (!copy) return ZvlFailure;
  *copy = table;
  release(db.colorTable);
  db.colorTable = copy;
  return 0;
}

int ZvlSetObjectCount(ZorvelDatabase& db, int32_t objectCount) {
  if (objectCount < 0) {
    ZvlSetError(zvl::msg::BadFileFormat);
    return ZvlFailure;
  }
  char** names = allocArray<char*>(size_t(objectCount) + 1);
  if (!names) return ZvlFailure;
  freeObjectArrays(db);
  db.objectCount = objectCount;
  db.objectNames = names;
  return 0;
}

int ZvlSetObjectName(ZorvelDatabase& db, int32_t object, const char* name) {
  if (!validObject(db, object) || !db.objectNames) return ZvlFailure;
  return replaceString(db.objectNames[object], name);
}

int ZvlSetObjectGeometry(ZorvelDatabase& db, int32_t object, const uint8_t* voxObject, size_t size) {
  if (!validObject(db, object) || size < size_t(VoxHeadSize) || size > 0x7FFFFFFF) return ZvlFailure;
  // The first head's size field is what the writer and every reader walk:
  // it must be the size of the block given here.
  if (zvl::le::i32(voxObject + 4) != int32_t(size)) {
    ZvlSetError(zvl::msg::VoxObjectSizeMismatch);
    return ZvlFailure;
  }
  if (!db.geometry) {
    db.geometry = allocArray<ObjectGeometry>(size_t(db.objectCount));
    if (!db.geometry) return ZvlFailure;
  }
  auto* copy = allocArray<uint8_t>(size);
  if (!copy) return ZvlFailure;
  std::memcpy(copy, voxObject, size);
  release(db.geometry[object].voxObject);
  db.geometry[object].voxObject = copy;
  db.geometry[object].totalSize = int32_t(size);
  return 0;
}

int ZvlAllocAnimation(ZorvelDatabase& db, int32_t frameCount) {
  if (frameCount < 0) return ZvlFailure;
  const int32_t n = db.objectCount;
  // Animated links hold one entry per frame of the count they were made with.
  if (frameCount != db.frameCount && db.links)
    for (int32_t i = 0; i < n; ++i)
      if (db.links[i].linkFlags & ZvlLinkAnimated) {
        ZvlSetError(zvl::msg::AnimatedLinkWithoutFrames);
        return ZvlFailure;
      }
  auto* animation = allocArray<ObjectAnimation>(size_t(n) + 1);
  if (!animation) return ZvlFailure;
  for (int32_t i = 0; i < n; ++i) {
    animation[i].flags = allocArray<uint8_t>(size_t(frameCount) + 1);
    animation[i].locations = allocArray<float>(size_t(frameCount) * 3 + 1);
    animation[i].matrices = allocArray<float>(size_t(frameCount) * 9 + 1);
    if (!animation[i].flags || !animation[i].locations || !animation[i].matrices) {
      for (int32_t j = 0; j <= i; ++j) {
        release(animation[j].flags);
        release(animation[j].locations);
        release(animation[j].matrices);
      }
      release(animation);
      return ZvlFailure;
    }
  }
  if (db.animation) {
    for (int32_t i = 0; i < n; ++i) {
      release(db.animation[i].flags);
      release(db.animation[i].locations);
      release(db.animation[i].matrices);
    }
    release(db.animation);
  }
  db.animation = animation;
  db.frameCount = frameCount;
  return 0;
}

int ZvlAllocObjectLink(ZorvelDatabase& db, int32_t object, uint32_t linkFlags) {
  if (!validObject(db, object)) return ZvlFailure;
  // One entry per frame, exactly what the writer writes and readers index.
  const bool animated = (linkFlags & ZvlLinkAnimated) != 0;
  if (animated && db.frameCount < 1) {
    ZvlSetError(zvl::msg::AnimatedLinkWithoutFrames);
    return ZvlFailure;
  }
  const size_t entries = animated ? size_t(db.frameCount) : 1;
  bool createdArray = false;
  if (!db.links) {
    db.links = allocArray<ObjectLink>(size_t(db.objectCount));
    if (!db.links) return ZvlFailure;
    createdArray = true;
  }
  auto* parents = allocArray<int32_t>(entries);
  auto* pivots = allocArray<float>(entries * 3);
  if (!parents || !pivots) {
    release(parents);
    release(pivots);
    if (createdArray) {
      release(db.links);
      db.links = nullptr;
    }
    return ZvlFailure;
  }
  for (size_t i = 0; i < entries; ++i) parents[i] = -1;
  ObjectLink& link = db.links[object];
  release(link.parents);
  release(link.pivots);
  link.linkFlags = linkFlags;
  link.parents = parents;
  link.pivots = pivots;
  return 0;
}
