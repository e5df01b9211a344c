// The ZVL file layer: the scene database, the ZVL reader and writer, and the
// byte encoding of voxel parts (walking and building them).
//
// Usage: read a file, walk every 3D pixel of its finest level, write a copy.
// (tests/zvlfile builds and runs this example exactly as it stands here.)
//
// BEGIN EXAMPLE
// #include "zvlfile/zvlfile.h"
//
// #include <cstdio>
//
// int main(int argc, char** argv) {
//   if (argc != 3) return 2;
//   ZvlDatabasePtr db(ZvlReadDatabaseFile(argv[1]));  // owns every block
//   if (!db) {
//     std::fprintf(stderr, "%s: %s\n", argv[1], ZvlGetErrorText());
//     return 1;
//   }
//   long long pixels = 0;
//   for (int32_t i = 0; db->geometry && i < db->objectCount; ++i) {
//     const ObjectGeometry& geometry = db->geometry[i];
//     std::vector<VoxPartView> parts;  // finest level first
//     if (!geometry.voxObject || !VoxListParts(geometry.voxObject, size_t(geometry.totalSize), parts))
//       continue;
//     VoxWalkPart(parts.front(), [&](const VoxPixel&) { ++pixels; });
//   }
//   std::printf("%d objects, %d frames, %lld 3D pixels\n", db->objectCount, db->frameCount, pixels);
//   ZvlSetWriterVersion(ZvlFormatVersion::V8_1);  // the version your program stamps
//   if (ZvlWriteDatabaseFile(argv[2], *db) != 0) {  // replaces argv[2] only on success
//     std::fprintf(stderr, "%s: %s\n", argv[2], ZvlGetErrorText());
//     return 1;
//   }
//   return 0;
// }
// END EXAMPLE
//
// Building a scene instead: ZvlCreateDatabase, then ZvlSetObjectCount,
// ZvlSetObjectName, ZvlSetObjectGeometry (parts from VoxBuildPart and
// VoxJoinParts), ZvlAllocAnimation and ZvlAllocObjectLink (database.h).
//
// Ownership: a ZorvelDatabase owns every block it points to; the reader
// creates one, converters build one, the writer only reads it, and
// ZvlFreeDatabase (or ZvlDatabasePtr) releases all of it.
// Errors: functions return 0 (or a position) for success and ZvlFailure (or
// -1) for failure, leaving the message in the error text (ZvlGetErrorText).
// Every message is a constant in messages.h.
// State: the I/O functions, the chunk stack, the writer version, the user
// data hooks and the error text are process-wide, so one file is read or
// written at a time.
// Untrusted input: ZvlReadDatabase and VoxListParts accept bytes from
// anywhere; they never read outside what they were given and never allocate
// more than the file's own length justifies.
// Output: ZvlWriteDatabaseFile (and ZvlWriteFileReplacing, io.h, for any
// other file) writes beside the target and renames into place on success.
//
// Internals, for the layer's own code and its tests: the chunk primitives
// (chunk.h), the little-endian field helpers (le.h), the palette byte
// layouts (palette_layout.h) and the user data hooks (user_data_hooks.h).
#pragma once

#include "zvlfile/database.h"
#include "zvlfile/io.h"
#include "zvlfile/messages.h"
#include "zvlfile/rgb555.h"
#include "zvlfile/text.h"
#include "zvlfile/voxpart.h"
#include "zvlfile/zvlformat.h"
