// The chunk writer keeps the size field of every open chunk right after each
// call, so a file whose writing stops early is still a well-formed tree up to
// the last completed call.
#include "zvlfile/chunk.h"

#include "zvlfile/le.h"
#include "zvlfile/messages.h"

#include <cstdint>

namespace {

// The stack of open chunks of the current whole-file write: the position of
// each open chunk's header and the size it has reached.
struct ChunkStack {
  long* positions = nullptr;  // ZvlMaxOpenChunks entries
  int32_t* sizes = nullptr;   // ZvlMaxOpenChunks entries
  int depth = 0;
};
ChunkStack stack;

// Rewrites the size field of every open chunk (outermost first) grown by
// `growth`, then returns to the end of the file. 0 or -1.
long growOpenChunks(ZvlHandle handle, long growth, int openCount) {
  for (int i = 0; i < openCount; ++i) {
    const int32_t size = int32_t(stack.sizes[i] + growth);
    uint8_t field[4];
    zvl::le::putI32(field, size);
    if (ZvlCheckedSeek(handle, stack.positions[i] + 4, 0) < 0) return -1;
    if (ZvlCheckedWrite(handle, field, 4) < 4) return -1;
    stack.sizes[i] = size;
  }
  if (ZvlCheckedSeek(handle, 0, 2) < 0) return -1;
  return 0;
}

// The size field is a signed 32-bit value: refuse growth that would carry
// any open chunk past it. The outermost chunk is the largest.
bool growthFits(long growth) {
  if (stack.depth == 0) return true;
  if (int64_t(stack.sizes[0]) + int64_t(growth) <= int64_t(INT32_MAX)) return true;
  ZvlSetError(zvl::msg::ChunkTooLarge);
  return false;
}

}  // namespace

int ZvlBeginChunkWrite() {
  ZvlEndChunkWrite();
  void* positions = nullptr;
  void* sizes = nullptr;
  if (ZvlAllocZeroed(ZvlMaxOpenChunks * sizeof(long), &positions) != 0) return ZvlFailure;
  if (ZvlAllocZeroed(ZvlMaxOpenChunks * sizeof(int32_t), &sizes) != 0) {
    ZvlIo().free(positions);
    return ZvlFailure;
  }
  stack.positions = static_cast<long*>(positions);
  stack.sizes = static_cast<int32_t*>(sizes);
  stack.depth = 0;
  return 0;
}

void ZvlEndChunkWrite() {
  if (stack.positions) ZvlIo().free(stack.positions);
  if (stack.sizes) ZvlIo().free(stack.sizes);
  stack = ChunkStack{};
}

int ZvlChunkDepth() { return stack.depth; }

long ZvlOpenChunk(ZvlHandle handle, uint32_t id) {
  if (!stack.positions && ZvlBeginChunkWrite() != 0) return -1;
  if (stack.depth >= ZvlMaxOpenChunks || !growthFits(ZvlChunkHeaderSize)) return -1;
  const long position = ZvlIo().tell(handle);
  if (position < 0) {
    ZvlSetError(zvl::msg::SeekError);
    return -1;
  }
  uint8_t header[ZvlChunkHeaderSize];
  zvl::le::put32(header, id);
  zvl::le::putI32(header + 4, ZvlChunkHeaderSize);
  if (ZvlCheckedWrite(handle, header, ZvlChunkHeaderSize) < ZvlChunkHeaderSize) return -1;
  if (growOpenChunks(handle, ZvlChunkHeaderSize, stack.depth) != 0) return -1;
  stack.positions[stack.depth] = position;
  stack.sizes[stack.depth] = ZvlChunkHeaderSize;
  ++stack.depth;
  return position;
}

long ZvlWriteChunkData(ZvlHandle handle, const void* data, long count) {
  if (!stack.positions && ZvlBeginChunkWrite() != 0) return -1;
  const long position = ZvlIo().tell(handle);
  if (position < 0) {
    ZvlSetError(zvl::msg::SeekError);
    return -1;
  }
  if (count < 0 || !growthFits(count)) return -1;
  if (count == 0) return position;
  if (ZvlCheckedWrite(handle, data, count) < count) return -1;
  if (growOpenChunks(handle, count, stack.depth) != 0) return -1;
  return position;
}

long ZvlGrowOpenChunks(ZvlHandle handle, long count) {
  if (!stack.positions || !growthFits(count)) return -1;
  return growOpenChunks(handle, count, stack.depth);
}

int ZvlCloseChunk() {
  if (stack.depth <= 0) return -1;
  return --stack.depth;
}

int ZvlReadChunkHeader(ZvlHandle handle, ZvlChunkHeader& header) {
  uint8_t bytes[ZvlChunkHeaderSize];
  if (ZvlReadExact(handle, bytes, ZvlChunkHeaderSize) != 0) return ZvlFailure;
  header.id = zvl::le::u32(bytes);
  header.size = zvl::le::i32(bytes + 4);
  return 0;
}

int ZvlSkipChunk(ZvlHandle handle, const ZvlChunkHeader& header) {
  if (header.size < ZvlChunkHeaderSize || ZvlIo().seek(handle, header.size - ZvlChunkHeaderSize, 1) < 0) {
    ZvlSetError(zvl::msg::BadFileFormat);
    return ZvlFailure;
  }
  return 0;
}
