// The ZVL file layer: chunked files, the scene database, the ZVL reader and
// writer, and the byte encoding of voxel parts.
//
// Ownership: a ZorvelDatabase owns every block it points to; the reader
// creates one, converters build one, the writer only reads it, and
// ZvlFreeDatabase (or ZvlDatabasePtr) releases all of it.
// Errors: functions return 0 (or a position) for success and ZvlFailure (or
// -1) for failure, leaving the message in the error text (ZvlGetErrorText).
// State: the I/O functions, the chunk stack, the writer version, the user
// data hooks and the error text are process-wide, so one file is read or
// written at a time.
// Untrusted input: ZvlReadDatabase and VoxListParts accept bytes from
// anywhere; they never read outside what they were given and never allocate
// more than the file's own length justifies.
#pragma once

#include "zvlfile/chunk.h"
#include "zvlfile/database.h"
#include "zvlfile/io.h"
#include "zvlfile/le.h"
#include "zvlfile/messages.h"
#include "zvlfile/voxpart.h"
#include "zvlfile/zvlformat.h"
