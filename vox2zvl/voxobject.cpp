#include "vox2zvl/voxobject.h"

#include "vox2zvl/messages.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace vox2zvl {
namespace {

using zvl::le::f32;
using zvl::le::i16;
using zvl::le::i32;

// Where one checked part lies in the VOX object and how long its body is.
struct PartLayout {
  size_t offset = 0;      // of its head inside the object
  uint8_t flags = 0;
  size_t bodyLength = 0;  // VOX body bytes (chain records and moves)
  size_t chainCount = 0;  // chain records of a complex part
  size_t convertedLength() const {
    return VoxPartHeadSize + bodyLength + chainCount * (VoxChainHeadSize - VoxChainRecordSize) + 1;
  }
};

struct ObjectLayout {
  std::array<PartLayout, VoxMaxParts> parts;
  size_t partCount = 0;
  size_t convertedSize = 0;
};

// Checks the body of one part, whose head is at `head` and which may use
// `room` bytes after its head. Fills bodyLength and chainCount.
bool LayoutBody(const uint8_t* head, size_t room, PartLayout& part) {
  const int32_t pixelCount = i32(head + VoxPartPixelCountAt);
  if (pixelCount < 0) return false;
  if (!(part.flags & VoxFlagComplex)) {
    const size_t moves = size_t(pixelCount) * VoxMoveSize;
    if (moves > room) return false;
    part.bodyLength = moves;
    return true;
  }
  // Chains follow one another until their counts add up to the part's.
  const uint8_t* body = head + VoxPartHeadSize;
  size_t used = 0;
  int64_t remaining = pixelCount;
  while (remaining > 0) {
    if (room - used < VoxChainRecordSize) return false;
    const int32_t count = i32(body + used + VoxChainCountAt);
    if (count < 0 || count > remaining) return false;
    used += VoxChainRecordSize;
    const size_t moves = size_t(count) * VoxMoveSize;
    if (moves > room - used) return false;
    used += moves;
    remaining -= count;
    ++part.chainCount;
  }
  part.bodyLength = used;
  return true;
}

// Walks the parts of the object, checking each against the bytes it has.
bool LayoutObject(std::span<const uint8_t> object, ObjectLayout& layout) {
  size_t offset = 0;
  for (;;) {
    if (layout.partCount == size_t(VoxMaxParts)) return false;
    if (object.size() - offset < VoxPartHeadSize) return false;
    const uint8_t* head = object.data() + offset;
    const int32_t lastByte = i32(head + VoxPartLastByteAt);
    if (lastByte < int32_t(VoxPartHeadSize) - 1) return false;
    const size_t partLength = size_t(lastByte) + 1;
    if (partLength > object.size() - offset) return false;

    PartLayout& part = layout.parts[layout.partCount++];
    part.offset = offset;
    part.flags = head[VoxPartFlagsAt];
    if (!LayoutBody(head, partLength - VoxPartHeadSize, part)) return false;
    layout.convertedSize += part.convertedLength();
    if (layout.convertedSize > size_t(std::numeric_limits<int32_t>::max())) return false;

    if (!(part.flags & VoxFlagNextPart)) return true;
    offset += partLength;
  }
}

void CopyTriple(const uint8_t* from, int16_t to[3]) {
  for (int i = 0; i < 3; ++i) to[i] = i16(from + 2 * i);
}

// Writes one converted part at `out`, which has part.convertedLength() zeroed
// bytes: the head (size and next offset its own length for now), the body
// with widened chain records, and the trailer 0 (already zero).
void ConvertPart(const uint8_t* head, const PartLayout& part, uint8_t* out) {
  const size_t length = part.convertedLength();
  const size_t bodyLength = length - VoxPartHeadSize - 1;

  VoxObjectHead zvlHead;
  zvlHead.kind = part.flags;
  zvlHead.size = int32_t(length);
  zvlHead.pixelSize = f32(head + VoxPartPixelSizeAt);
  zvlHead.nextOffset = (part.flags & VoxFlagNextPart) ? int32_t(length) : 0;
  zvlHead.trailerOffset = int32_t(VoxPartHeadSize + bodyLength);
  CopyTriple(head + VoxPartDimensionsAt, zvlHead.dimensions);
  CopyTriple(head + VoxPartMinimumAt, zvlHead.minimum);
  CopyTriple(head + VoxPartStartAt, zvlHead.start);
  zvlHead.pixelCount = i32(head + VoxPartPixelCountAt);
  VoxWriteHead(out, zvlHead);

  const uint8_t* from = head + VoxPartHeadSize;
  uint8_t* to = out + VoxPartHeadSize;
  if (!(part.flags & VoxFlagComplex)) {
    std::memcpy(to, from, part.bodyLength);
    return;
  }
  // Each 28-byte record keeps its four groups and its count at the same
  // offsets; the ChainHead's int32 at 28 stays zero.
  for (size_t chain = 0; chain < part.chainCount; ++chain) {
    const size_t moves = size_t(i32(from + VoxChainCountAt)) * VoxMoveSize;
    std::memcpy(to, from, VoxChainRecordSize);
    std::memcpy(to + VoxChainHeadSize, from + VoxChainRecordSize, moves);
    from += VoxChainRecordSize + moves;
    to += VoxChainHeadSize + moves;
  }
}

}  // namespace

int64_t VoxObjectLength(const uint8_t* head) {
  return int64_t(i32(head + VoxPartObjectSizeAt)) + int64_t(i32(head + VoxPartLastByteAt));
}

size_t ConvertedObjectSize(std::span<const uint8_t> object) {
  ObjectLayout layout;
  if (!LayoutObject(object, layout)) return 0;
  return layout.convertedSize;
}

int ConvertVoxObject(std::span<const uint8_t> object, std::vector<uint8_t>& out) {
  out.clear();
  ObjectLayout layout;
  if (!LayoutObject(object, layout)) {
    ZvlSetError(zvl::msg::BadFileFormat);
    return ZvlFailure;
  }
  try {
    out.assign(layout.convertedSize, 0);
  } catch (const std::bad_alloc&) {
    ZvlSetError(msg::NoRoomForObject);
    return ZvlFailure;
  }

  size_t at = 0;
  for (size_t i = 0; i < layout.partCount; ++i) {
    const PartLayout& part = layout.parts[i];
    ConvertPart(object.data() + part.offset, part, out.data() + at);
    at += part.convertedLength();
  }

  // Every part with a successor counts itself and all parts after it; the
  // last keeps its own length.
  size_t after = layout.parts[layout.partCount - 1].convertedLength();
  at = layout.convertedSize - after;
  for (size_t i = layout.partCount - 1; i-- > 0;) {
    const size_t length = layout.parts[i].convertedLength();
    at -= length;
    after += length;
    zvl::le::putI32(out.data() + at + 4, int32_t(after));
  }
  return 0;
}

void MatrixFromAngles(float a, float b, float c, float matrix[9]) {
  const float ca = std::cos(a), sa = std::sin(a);
  const float cb = std::cos(b), sb = std::sin(b);
  const float cc = std::cos(c), sc = std::sin(c);
  matrix[0] = ca * cb;
  matrix[1] = ca * sb * sc - sa * cc;
  matrix[2] = ca * sb * cc + sa * sc;
  matrix[3] = sa * cb;
  matrix[4] = sa * sb * sc + ca * cc;
  matrix[5] = sa * sb * cc - ca * sc;
  matrix[6] = -sb;
  matrix[7] = cb * sc;
  matrix[8] = cb * cc;
}

double OldLocationScale(float pixelSize) {
  constexpr float oneOver180 = 0.0055555557f;
  return double(pixelSize) * 256.0 * double(oneOver180);
}

int ConvertTrack(std::span<const uint8_t> frames, int32_t frameCount, bool rescale, double scale,
                 ObjectTrack& track) {
  if (frameCount < 0 || frames.size() != size_t(frameCount) * VoxFrameRecordSize) {
    ZvlSetError(zvl::msg::BadFileFormat);
    return ZvlFailure;
  }
  const size_t count = size_t(frameCount);
  const char* failed = msg::NoRoomForLocation;
  try {
    track.locations.assign(count * 3, 0.0f);
    failed = msg::NoRoomForMatrix;
    track.matrices.assign(count * 9, 0.0f);
    failed = msg::NoRoomForFlags;
    track.flags.assign(count, 0);
  } catch (const std::bad_alloc&) {
    ZvlSetError(failed);
    return ZvlFailure;
  }

  for (size_t f = 0; f < count; ++f) {
    const uint8_t* record = frames.data() + f * VoxFrameRecordSize;
    track.flags[f] = record[0];
    float* location = &track.locations[f * 3];
    for (int i = 0; i < 3; ++i) {
      location[i] = f32(record + 1 + 4 * i);
      if (rescale) location[i] = float(double(location[i]) * scale);
    }
    MatrixFromAngles(f32(record + 13), f32(record + 17), f32(record + 21), &track.matrices[f * 9]);
  }
  return 0;
}

}  // namespace vox2zvl
