// The scene database: one ZVL file in memory. A plain record of counts and
// pointers; every block it points to comes from the installed allocate
// function and is released by ZvlFreeDatabase. Arrays are indexed by object
// number; animation arrays hold frame-count entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

inline constexpr int ZvlShadeRows = 24;
inline constexpr int ZvlOldShadeRows = 16;
inline constexpr size_t ZvlPaletteSize = 6914;     // bytes of ZorvelPalette in a file
inline constexpr size_t ZvlOldPaletteSize = 4866;  // the layout of version 7.0 and older
inline constexpr size_t ZvlColorTableSize = 12292; // bytes of ColorTable16 in a file

struct ZorvelPalette {
  uint8_t startColor = 0;             // first palette index used for object colours
  uint8_t endColor = 0;               // last palette index used for object colours
  uint8_t colors[256][3] = {};        // R, G, B; zero outside start .. end
  uint8_t shades[ZvlShadeRows][256] = {};  // row s, column c: index of colour c at shade s
};

struct ColorTable16 {
  int16_t gradientColors = 0;  // end colour - start colour + 1
  int16_t flatMaterials = 0;   // number of untextured single-colour materials
  uint16_t colors[ZvlShadeRows * 256] = {};  // 16-bit colours, 256 per shade row
};

struct ObjectGeometry {
  int32_t totalSize = 0;        // bytes of the whole VoxObject
  uint8_t* voxObject = nullptr; // parts end to end, finest first
};

struct ObjectAnimation {
  uint8_t* flags = nullptr;     // one byte per frame
  float* locations = nullptr;   // x, y, z per frame
  float* matrices = nullptr;    // 3x3 row by row per frame
};

inline constexpr uint32_t ZvlLinkAnimated = 1;  // parents and pivots per frame

struct ObjectLink {
  uint32_t linkFlags = 0;
  int32_t* parents = nullptr;   // parent index or -1; frame count entries if animated, else 1
  float* pivots = nullptr;      // 3 floats per entry
};

inline constexpr uint32_t ZvlStreamable = 1;  // flags bit 0: geometry stored split into parts
inline constexpr uint32_t ZvlStateBuilding = 1;
inline constexpr uint32_t ZvlStateRead = 3;

struct ZorvelDatabase {
  uint32_t flags = 0;
  uint32_t state = 0;
  float version = 0;              // 0 when the file had no version chunk
  char* databaseName = nullptr;
  char* paletteName = nullptr;
  ZorvelPalette* palette = nullptr;
  ColorTable16* colorTable = nullptr;
  char* sceneName = nullptr;
  int32_t frameCount = 0;
  int32_t objectCount = 0;
  char** objectNames = nullptr;
  ObjectGeometry* geometry = nullptr;
  ObjectAnimation* animation = nullptr;
  ObjectLink* links = nullptr;
  uint32_t reserved = 0;
  uint32_t hasUserData = 0;
  int32_t userDataSize = 0;
};

// A zeroed database in state 1 with the given flags, or null with "No room".
ZorvelDatabase* ZvlCreateDatabase(uint32_t flags);
// Releases the database and every block it points to; null is ignored.
void ZvlFreeDatabase(ZorvelDatabase* database);

struct ZvlDatabaseDeleter {
  void operator()(ZorvelDatabase* database) const { ZvlFreeDatabase(database); }
};
using ZvlDatabasePtr = std::unique_ptr<ZorvelDatabase, ZvlDatabaseDeleter>;

// Building, for the converters. Each returns 0, or ZvlFailure with "No room"
// (and leaves the database as it was). Strings and blocks are copied.
int ZvlSetDatabaseName(ZorvelDatabase& db, const char* name);
int ZvlSetPaletteName(ZorvelDatabase& db, const char* name);
int ZvlSetSceneName(ZorvelDatabase& db, const char* name);
int ZvlSetPalette(ZorvelDatabase& db, const ZorvelPalette& palette);
int ZvlSetColorTable(ZorvelDatabase& db, const ColorTable16& table);
// Sets the object count and allocates the names array (frees any arrays
// sized by an earlier count). A negative count gives "Bad file format".
int ZvlSetObjectCount(ZorvelDatabase& db, int32_t objectCount);
int ZvlSetObjectName(ZorvelDatabase& db, int32_t object, const char* name);
// Allocates the geometry array (once) and stores a copy of the VoxObject of
// `size` bytes, which becomes its total size. The first head's size field
// must say the same (else "Vox object size does not match its head").
int ZvlSetObjectGeometry(ZorvelDatabase& db, int32_t object, const uint8_t* voxObject, size_t size);
// Sets the frame count and allocates the animation array and, per object,
// zeroed flags, locations and matrices of that many frames. Refused once an
// animated link exists and the count would change.
int ZvlAllocAnimation(ZorvelDatabase& db, int32_t frameCount);
// Allocates the links array (once) and one object's parents and pivots
// (frame count entries when linkFlags bit 0 is set, else one), parents -1.
// An animated link needs a frame count of at least 1 (set by
// ZvlAllocAnimation first).
int ZvlAllocObjectLink(ZorvelDatabase& db, int32_t object, uint32_t linkFlags);
// The entries of a link's parents and pivots: the frame count when the link
// is animated, else 1.
inline int32_t ZvlLinkEntries(const ZorvelDatabase& db, const ObjectLink& link) {
  return (link.linkFlags & ZvlLinkAnimated) ? (db.frameCount > 0 ? db.frameCount : 0) : 1;
}
