// The ZVL file: its chunk IDs, the format versions, and the reader and
// writer of a whole ZorvelDatabase.
#pragma once

#include "zvlfile/database.h"
#include "zvlfile/io.h"

#include <cstdint>

namespace zvl::id {
inline constexpr uint32_t Main = 0x004C565A;  // "ZVL\0", the file's magic
inline constexpr uint32_t Version = 0x01000000;
inline constexpr uint32_t DatabaseName = 0x02000000;
inline constexpr uint32_t Palette = 0x03000000;
inline constexpr uint32_t PaletteName = 0x01010000;
inline constexpr uint32_t PaletteEntry = 0x01020000;
inline constexpr uint32_t Material = 0x01030000;
inline constexpr uint32_t Scene = 0x04000000;
inline constexpr uint32_t SceneName = 0x04010000;
inline constexpr uint32_t ObjectCounter = 0x04020000;
inline constexpr uint32_t FrameCounter = 0x04030000;
inline constexpr uint32_t Object = 0x04040000;
inline constexpr uint32_t ObjectName = 0x04040100;
inline constexpr uint32_t Geometry = 0x04040200;
inline constexpr uint32_t VoxObject = 0x04040201;
inline constexpr uint32_t VoxObjectSize = 0x04040202;
inline constexpr uint32_t Animation = 0x04040300;
inline constexpr uint32_t ObjectFlag = 0x04040301;
inline constexpr uint32_t ObjectLocation = 0x04040302;
inline constexpr uint32_t ObjectMatrix = 0x04040303;
inline constexpr uint32_t LinkTree = 0x04040400;
inline constexpr uint32_t LinkFlags = 0x04040401;
inline constexpr uint32_t ObjectParent = 0x04040402;
inline constexpr uint32_t ObjectPivot = 0x04040403;
inline constexpr uint32_t AuxObjectData = 0x04050000;
inline constexpr uint32_t AuxObjectId = 0x04050001;
inline constexpr uint32_t AuxObject = 0x04050002;
inline constexpr uint32_t UserData = 0x0F000000;
}  // namespace zvl::id

// Format versions the writers stamp; each program embeds one of them.
enum class ZvlFormatVersion {
  V7_0,  // the VOX converter: old 4866-byte palette layout, no material chunk
  V7_2,  // the authoring program
  V8_1,  // the player
  V9_0,  // the host plug-in
};
float ZvlVersionValue(ZvlFormatVersion version);  // 7.0f, 7.2f, 8.1f, 9.0f

// The version the writer stamps into the version chunk (process-wide; the
// default is 8.1). A database whose own version is 0 gets no version chunk.
void ZvlSetWriterVersion(ZvlFormatVersion version);
ZvlFormatVersion ZvlWriterVersion();

// Reads one file from the handle's current position. Returns a new database
// (state 3) owned by the caller, or null with the reason in the error text.
// Input may be untrusted: sizes are checked against their parent chunks and
// the file's length before anything is allocated, and every VoxObject is
// walked and refused with "Bad file format" if its parts do not hold
// together.
ZorvelDatabase* ZvlReadDatabase(ZvlHandle handle);

// Writes the database at the handle's current position: 0, or ZvlFailure
// with the reason in the error text (the file is left as written so far).
int ZvlWriteDatabase(ZvlHandle handle, const ZorvelDatabase& database);

// Convenience: read a file by path, and write one by path through a
// temporary file that replaces the target only on success.
ZorvelDatabase* ZvlReadDatabaseFile(const char* path);
int ZvlWriteDatabaseFile(const char* path, const ZorvelDatabase& database);

// Optional user-data hooks (process-wide; none installed by default).
// The reader hook gets the chunk's header, already read, and must consume
// exactly size - 8 bytes; the writer hook must write exactly the database's
// user data size. Both return 0 on success.
using UserDataReader = int (*)(ZvlHandle handle, ZorvelDatabase* database, const uint8_t* header);
using UserDataWriter = int (*)(ZvlHandle handle, const ZorvelDatabase* database);
void ZvlSetUserDataHooks(UserDataReader reader, UserDataWriter writer);
