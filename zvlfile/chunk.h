// The chunk tree: 8-byte headers (32-bit ID, 32-bit size of the whole
// chunk), the writer's stack of open chunks whose sizes are kept right after
// every call, and the reader's walk over a chunk's children.
#pragma once

#include "zvlfile/io.h"
#include "zvlfile/messages.h"

#include <cstdint>

inline constexpr int ZvlChunkHeaderSize = 8;
inline constexpr int ZvlMaxOpenChunks = 256;

// Writer side; one file is written at a time. ZvlBeginChunkWrite sets up the
// stack (256 positions, depth 0) for one whole-file write, ZvlEndChunkWrite
// releases it. ZvlOpenChunk and ZvlWriteChunkData begin the write on their
// own if nobody did.
int ZvlBeginChunkWrite();
void ZvlEndChunkWrite();
int ZvlChunkDepth();

// Starts a chunk: the position of its header, or -1.
long ZvlOpenChunk(ZvlHandle handle, uint32_t id);
// Appends payload to the innermost open chunk: the position of the bytes, or -1.
long ZvlWriteChunkData(ZvlHandle handle, const void* data, long count);
// Ends the innermost chunk: the new depth, or -1 when none was open.
int ZvlCloseChunk();
// Adds `count` to the size field of every open chunk without writing
// payload (for payload that a callback writes itself). 0 or -1.
long ZvlGrowOpenChunks(ZvlHandle handle, long count);

struct ZvlChunkHeader {
  uint32_t id = 0;
  int32_t size = 0;
};

// Reads an 8-byte header: 0, or ZvlFailure ("Reading file").
int ZvlReadChunkHeader(ZvlHandle handle, ZvlChunkHeader& header);
// Skips the payload of a chunk whose header was just read: 0, or ZvlFailure
// with "Bad file format".
int ZvlSkipChunk(ZvlHandle handle, const ZvlChunkHeader& header);

// Walks the children of a chunk whose payload is `payload` bytes: reads each
// header, checks it against what remains (a child of fewer than 8 bytes or
// larger than what remains gives "Bad file format") and calls
// visit(header) -> int, which must consume exactly the child's payload
// (or call ZvlSkipChunk) and return 0 to go on.
template <class Visit>
int ZvlWalkChildren(ZvlHandle handle, int64_t payload, Visit&& visit) {
  int64_t remaining = payload;
  while (remaining != 0) {
    if (remaining < ZvlChunkHeaderSize) {
      ZvlSetError(zvl::msg::BadFileFormat);
      return ZvlFailure;
    }
    ZvlChunkHeader child;
    if (ZvlReadChunkHeader(handle, child) != 0) return ZvlFailure;
    if (child.size < ZvlChunkHeaderSize || child.size > remaining) {
      ZvlSetError(zvl::msg::BadFileFormat);
      return ZvlFailure;
    }
    remaining -= child.size;
    if (visit(child) != 0) return ZvlFailure;
  }
  return 0;
}
