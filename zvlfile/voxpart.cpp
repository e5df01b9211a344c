// Voxel parts: head and chain head fields, move codes, the part builder, the
// joiner that lays parts end to end, and the structural check every reader
// runs before walking a block it did not make itself.
#include "zvlfile/voxpart.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "zvlfile/le.h"

namespace le = zvl::le;

namespace {

// Byte offsets of the VoxObjectHead fields.
constexpr size_t HeadKind = 0;
constexpr size_t HeadSize = 4;
constexpr size_t HeadPixelSize = 8;
constexpr size_t HeadNextOffset = 12;
constexpr size_t HeadTrailerOffset = 16;
constexpr size_t HeadDimensions = 20;
constexpr size_t HeadMinimum = 26;
constexpr size_t HeadStart = 32;
constexpr size_t HeadPixelCount = 38;

// Byte offsets of the ChainHead fields.
constexpr size_t ChainCentre = 0;
constexpr size_t ChainMinimum = 6;
constexpr size_t ChainSize = 12;
constexpr size_t ChainStart = 18;
constexpr size_t ChainPixelCount = 24;
constexpr size_t ChainZero = 28;

// Trailers: a type byte, and for fix points the trailer size (int32, not
// aligned) and the point count (one byte) before the points.
constexpr uint8_t TrailerPlain = 0;
constexpr uint8_t TrailerFixPoints = 1;
constexpr size_t FixTrailerHeadSize = 6;
constexpr size_t FixPointSize = 12;

// The zero int32 between the body and the trailer of the WithZeroWord form.
constexpr size_t ZeroWordSize = 4;

constexpr size_t HeadBytes = VoxHeadSize;
constexpr size_t ChainHeadBytes = VoxChainHeadSize;
constexpr size_t MoveBytes = VoxMoveSize;
constexpr uint64_t MaxPartLength = uint64_t(std::numeric_limits<int32_t>::max());

void read3(const uint8_t* p, int16_t v[3]) {
  for (int i = 0; i < 3; ++i) v[i] = le::i16(p + 2 * i);
}
void write3(uint8_t* p, const int16_t v[3]) {
  for (int i = 0; i < 3; ++i) le::putI16(p + 2 * i, v[i]);
}
void write3(uint8_t* p, int a, int b, int c) {
  le::putI16(p, int16_t(a));
  le::putI16(p + 2, int16_t(b));
  le::putI16(p + 4, int16_t(c));
}

// Bounding box of some 3D pixels in grid indices.
struct Box {
  int min[3] = {std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                std::numeric_limits<int>::max()};
  int max[3] = {std::numeric_limits<int>::min(), std::numeric_limits<int>::min(),
                std::numeric_limits<int>::min()};
  void add(const VoxPixel& p) {
    const int c[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], c[i]);
      max[i] = std::max(max[i], c[i]);
    }
  }
};

// Writes the moves of one chain, the first from the chain's start point
// (x + 1, y, z of its first 3D pixel), so its code is always 4. The chain
// has been checked for the neighbour rule.
uint8_t* writeMoves(uint8_t* out, const std::vector<VoxPixel>& chain) {
  int px = chain[0].x + 1, py = chain[0].y, pz = chain[0].z;
  for (const VoxPixel& p : chain) {
    VoxPutMove(out, VoxMoveCode(p.x - px, p.y - py, p.z - pz), p.normal, p.color);
    out += MoveBytes;
    px = p.x;
    py = p.y;
    pz = p.z;
  }
  return out;
}

// Checks the trailer and the body of one part of `length` bytes (its head
// already read and its length already inside the block).
bool checkPart(const uint8_t* bytes, size_t length, const VoxObjectHead& head) {
  // The trailer: at or after the end of the head, at least its type byte
  // inside the part.
  if (head.trailerOffset < VoxHeadSize) return false;
  const size_t trailerOffset = size_t(head.trailerOffset);
  if (trailerOffset >= length) return false;
  const size_t trailerRoom = length - trailerOffset;
  const uint8_t* trailer = bytes + trailerOffset;
  switch (trailer[0]) {
    case TrailerPlain:
      break;
    case TrailerFixPoints: {
      if (FixTrailerHeadSize > trailerRoom) return false;
      const uint32_t trailerSize = le::u32(trailer + 1);
      const size_t count = trailer[5];
      if (trailerSize != FixTrailerHeadSize + FixPointSize * count) return false;
      if (trailerSize > trailerRoom) return false;
      break;
    }
    default:
      // No writer makes another trailer type: the trailer offset is wrong.
      return false;
  }

  // The body: everything between the head and the trailer.
  if (head.pixelCount < 0) return false;
  const size_t bodyEnd = trailerOffset;
  if (!(head.kind & VoxKindComplex)) {
    // Simple (or empty) part: one chain of pixelCount moves after the head.
    return uint64_t(head.pixelCount) * MoveBytes <= bodyEnd - HeadBytes;
  }
  // Complex part: chain heads and their moves until the counts add up.
  size_t offset = HeadBytes;
  int32_t remaining = head.pixelCount;
  while (remaining > 0) {
    if (ChainHeadBytes > bodyEnd - offset) return false;
    const int32_t count = le::i32(bytes + offset + ChainPixelCount);
    if (count <= 0 || count > remaining) return false;
    offset += ChainHeadBytes;
    const uint64_t movesBytes = uint64_t(count) * MoveBytes;
    if (movesBytes > bodyEnd - offset) return false;
    offset += size_t(movesBytes);
    remaining -= count;
  }
  return true;
}

bool listParts(const uint8_t* block, size_t size, std::vector<VoxPartView>& parts) {
  if (block == nullptr) return false;
  size_t offset = 0;
  // Bytes this part and all later parts may occupy: the block for the first
  // head, then what the previous head's size leaves after the previous part.
  size_t extent = size;
  for (int index = 0;; ++index) {
    if (index == VoxMaxParts) return false;
    if (HeadBytes > extent) return false;
    const uint8_t* bytes = block + offset;
    const VoxObjectHead head = VoxReadHead(bytes);
    if (head.size < VoxHeadSize || size_t(head.size) > extent) return false;
    extent = size_t(head.size);
    const bool more = (head.kind & VoxKindNextPart) != 0;
    // A part's own length: its next offset when a part follows; otherwise
    // its size, since the last part's next offset may be 0.
    const int32_t lengthField = more ? head.nextOffset : head.size;
    if (lengthField < VoxHeadSize || size_t(lengthField) > extent) return false;
    const size_t length = size_t(lengthField);
    if (!checkPart(bytes, length, head)) return false;
    parts.push_back(VoxPartView{head, bytes, length});
    if (!more) return true;
    offset += length;
    extent -= length;
  }
}

}  // namespace

VoxObjectHead VoxReadHead(const uint8_t* bytes) {
  VoxObjectHead head;
  head.kind = le::i32(bytes + HeadKind);
  head.size = le::i32(bytes + HeadSize);
  head.pixelSize = le::f32(bytes + HeadPixelSize);
  head.nextOffset = le::i32(bytes + HeadNextOffset);
  head.trailerOffset = le::i32(bytes + HeadTrailerOffset);
  read3(bytes + HeadDimensions, head.dimensions);
  read3(bytes + HeadMinimum, head.minimum);
  read3(bytes + HeadStart, head.start);
  head.pixelCount = le::i32(bytes + HeadPixelCount);
  return head;
}

void VoxWriteHead(uint8_t* bytes, const VoxObjectHead& head) {
  le::putI32(bytes + HeadKind, head.kind);
  le::putI32(bytes + HeadSize, head.size);
  le::putF32(bytes + HeadPixelSize, head.pixelSize);
  le::putI32(bytes + HeadNextOffset, head.nextOffset);
  le::putI32(bytes + HeadTrailerOffset, head.trailerOffset);
  write3(bytes + HeadDimensions, head.dimensions);
  write3(bytes + HeadMinimum, head.minimum);
  write3(bytes + HeadStart, head.start);
  le::putI32(bytes + HeadPixelCount, head.pixelCount);
}

ChainHead VoxReadChainHead(const uint8_t* bytes) {
  ChainHead head;
  read3(bytes + ChainCentre, head.centre);
  read3(bytes + ChainMinimum, head.minimum);
  read3(bytes + ChainSize, head.size);
  read3(bytes + ChainStart, head.start);
  head.pixelCount = le::i32(bytes + ChainPixelCount);
  head.zero = le::i32(bytes + ChainZero);
  return head;
}

void VoxWriteChainHead(uint8_t* bytes, const ChainHead& head) {
  write3(bytes + ChainCentre, head.centre);
  write3(bytes + ChainMinimum, head.minimum);
  write3(bytes + ChainSize, head.size);
  write3(bytes + ChainStart, head.start);
  le::putI32(bytes + ChainPixelCount, head.pixelCount);
  le::putI32(bytes + ChainZero, head.zero);
}

int VoxMoveCode(int dx, int dy, int dz) {
  if (dx < -1 || dx > 1 || dy < -1 || dy > 1 || dz < -1 || dz > 1) return -1;
  const int k = (dx + 1) * 9 + (dy + 1) * 3 + (dz + 1);
  if (k == 13) return -1;
  return k < 13 ? k : k - 1;
}

const VoxStep VoxMoveSteps[32] = {
    {-1, -1, -1}, {-1, -1, 0}, {-1, -1, 1},  // 0..2
    {-1, 0, -1},  {-1, 0, 0},  {-1, 0, 1},   // 3..5
    {-1, 1, -1},  {-1, 1, 0},  {-1, 1, 1},   // 6..8
    {0, -1, -1},  {0, -1, 0},  {0, -1, 1},   // 9..11
    {0, 0, -1},   {0, 0, 1},                 // 12..13
    {0, 1, -1},   {0, 1, 0},   {0, 1, 1},    // 14..16
    {1, -1, -1},  {1, -1, 0},  {1, -1, 1},   // 17..19
    {1, 0, -1},   {1, 0, 0},   {1, 0, 1},    // 20..22
    {1, 1, -1},   {1, 1, 0},   {1, 1, 1},    // 23..25
    {0, 0, 0},    {0, 0, 0},   {0, 0, 0},    // 26..28: never written
    {0, 0, 0},    {0, 0, 0},   {0, 0, 0},    // 29..31: never written
};

size_t VoxTrailerSize(size_t fixPointCount) {
  return fixPointCount == 0 ? 1 : FixTrailerHeadSize + FixPointSize * fixPointCount;
}

// Part layout: head, then per chain (ChainHead in a complex part) its moves,
// then the zero int32 (WithZeroWord form only), then the trailer. A part
// without 3D pixels is an empty part: kind 0, all head fields but size, next
// offset and trailer offset zero. With the zero int32 it is 46 + t bytes;
// the Compact form leaves the zero int32 out of empty parts too (42 + t,
// trailer offset 42), which every reader accepts since it finds the trailer
// through the trailer offset.
bool VoxBuildPart(std::span<const std::vector<VoxPixel>> chains, float pixelSize, VoxPartForm form,
                  std::span<const VoxFixPoint> fixPoints, std::vector<uint8_t>& part) {
  part.clear();
  if (fixPoints.size() > size_t(VoxMaxFixPoints)) return false;

  // Pass 1: check the neighbour rule and measure the part.
  Box box;
  uint64_t pixelCount = 0;
  size_t chainCount = 0;
  const VoxPixel* first = nullptr;
  for (const std::vector<VoxPixel>& chain : chains) {
    if (chain.empty()) continue;
    ++chainCount;
    pixelCount += chain.size();
    if (first == nullptr) first = &chain[0];
    // The start point is x + 1 of the first 3D pixel; it must stay in int16.
    if (chain[0].x == std::numeric_limits<int16_t>::max()) return false;
    for (size_t i = 0; i < chain.size(); ++i) {
      if (i > 0 && VoxMoveCode(chain[i].x - chain[i - 1].x, chain[i].y - chain[i - 1].y,
                               chain[i].z - chain[i - 1].z) < 0)
        return false;
      box.add(chain[i]);
    }
  }
  // Every other stored value (chain centres, boxes relative to them, start
  // points relative to them) lies within the part's box, so it fits in int16
  // once the box's dimensions do.
  if (chainCount > 0) {
    for (int i = 0; i < 3; ++i)
      if (box.max[i] - box.min[i] + 1 > std::numeric_limits<int16_t>::max()) return false;
  }
  const bool complex = chainCount > 1;
  const size_t trailerSize = VoxTrailerSize(fixPoints.size());
  const size_t zeroWord = form == VoxPartForm::WithZeroWord ? ZeroWordSize : 0;
  const uint64_t bodySize = (complex ? uint64_t(ChainHeadBytes) * chainCount : 0) + MoveBytes * pixelCount;
  const uint64_t length = HeadBytes + bodySize + zeroWord + trailerSize;
  if (pixelCount > MaxPartLength || length > MaxPartLength) return false;

  part.assign(size_t(length), 0);
  uint8_t* out = part.data();

  // The head.
  VoxObjectHead head;
  head.kind = complex ? VoxKindComplex : 0;
  head.size = int32_t(length);
  head.pixelSize = pixelSize;
  head.nextOffset = int32_t(length);
  head.trailerOffset = int32_t(length - trailerSize);
  if (chainCount > 0) {
    for (int i = 0; i < 3; ++i) {
      head.dimensions[i] = int16_t(box.max[i] - box.min[i] + 1);
      head.minimum[i] = int16_t(box.min[i]);
    }
    head.start[0] = int16_t(first->x + 1);
    head.start[1] = first->y;
    head.start[2] = first->z;
  }
  head.pixelCount = int32_t(pixelCount);
  VoxWriteHead(out, head);
  out += HeadBytes;

  // The body.
  for (const std::vector<VoxPixel>& chain : chains) {
    if (chain.empty()) continue;
    if (complex) {
      Box chainBox;
      for (const VoxPixel& p : chain) chainBox.add(p);
      int centre[3];
      for (int i = 0; i < 3; ++i) centre[i] = (chainBox.min[i] + chainBox.max[i]) >> 1;  // arithmetic shift
      write3(out + ChainCentre, centre[0], centre[1], centre[2]);
      write3(out + ChainMinimum, chainBox.min[0] - centre[0], chainBox.min[1] - centre[1],
             chainBox.min[2] - centre[2]);
      write3(out + ChainSize, chainBox.max[0] - chainBox.min[0] + 1, chainBox.max[1] - chainBox.min[1] + 1,
             chainBox.max[2] - chainBox.min[2] + 1);
      write3(out + ChainStart, chain[0].x + 1 - centre[0], chain[0].y - centre[1], chain[0].z - centre[2]);
      le::putI32(out + ChainPixelCount, int32_t(chain.size()));
      le::putI32(out + ChainZero, 0);
      out += ChainHeadBytes;
    }
    out = writeMoves(out, chain);
  }

  // The zero int32 (already zero) and the trailer.
  out += zeroWord;
  if (fixPoints.empty()) {
    out[0] = TrailerPlain;
  } else {
    out[0] = TrailerFixPoints;
    le::putI32(out + 1, int32_t(trailerSize));
    out[5] = uint8_t(fixPoints.size());
    uint8_t* p = out + FixTrailerHeadSize;
    for (const VoxFixPoint& f : fixPoints) {
      le::putF32(p, f.x);
      le::putF32(p + 4, f.y);
      le::putF32(p + 8, f.z);
      p += FixPointSize;
    }
  }
  return true;
}

// The own length of each part is the length of its vector; its head's size
// and next offset are rewritten, so it does not matter what they held.
// Parts shorter than a head are refused like a bad part count.
bool VoxJoinParts(std::span<const std::vector<uint8_t>> parts, bool lastNextOffsetZero,
                  std::vector<uint8_t>& voxObject) {
  voxObject.clear();
  if (parts.empty() || parts.size() > size_t(VoxMaxParts)) return false;
  uint64_t total = 0;
  for (const std::vector<uint8_t>& p : parts) {
    if (p.size() < HeadBytes) return false;
    total += p.size();
  }
  if (total > MaxPartLength) return false;

  voxObject.reserve(size_t(total));
  uint64_t rest = total;  // bytes from the current head to the end of the object
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::vector<uint8_t>& p = parts[i];
    const size_t at = voxObject.size();
    voxObject.insert(voxObject.end(), p.begin(), p.end());
    uint8_t* head = voxObject.data() + at;
    const bool last = i + 1 == parts.size();
    int32_t kind = le::i32(head + HeadKind);
    kind = last ? (kind & ~VoxKindNextPart) : (kind | VoxKindNextPart);
    le::putI32(head + HeadKind, kind);
    le::putI32(head + HeadSize, int32_t(rest));
    le::putI32(head + HeadNextOffset, last && lastNextOffsetZero ? 0 : int32_t(p.size()));
    rest -= p.size();
  }
  return true;
}

bool VoxListParts(const uint8_t* block, size_t size, std::vector<VoxPartView>& parts) {
  parts.clear();
  if (!listParts(block, size, parts)) {
    parts.clear();
    return false;
  }
  return true;
}

std::vector<VoxFixPoint> VoxFixPoints(const VoxPartView& part) {
  std::vector<VoxFixPoint> points;
  if (part.bytes == nullptr || part.head.trailerOffset < 0) return points;
  const size_t trailerOffset = size_t(part.head.trailerOffset);
  if (trailerOffset >= part.length) return points;
  const uint8_t* trailer = part.bytes + trailerOffset;
  if (trailer[0] != TrailerFixPoints || FixTrailerHeadSize > part.length - trailerOffset) return points;
  const size_t count = trailer[5];
  if (FixPointSize * count > part.length - trailerOffset - FixTrailerHeadSize) return points;
  points.reserve(count);
  const uint8_t* p = trailer + FixTrailerHeadSize;
  for (size_t i = 0; i < count; ++i, p += FixPointSize)
    points.push_back(VoxFixPoint{le::f32(p), le::f32(p + 4), le::f32(p + 8)});
  return points;
}

VoxChainCursor::VoxChainCursor(const VoxPartView& part)
    : part_(&part), offset_(HeadBytes), remaining_(part.head.pixelCount) {}

// The counts were checked by VoxListParts; the cursor checks them again
// (cheaply) so that a view that was not checked still cannot lead it past
// the trailer.
bool VoxChainCursor::next(VoxChainView& chain) {
  if (remaining_ <= 0 || part_->bytes == nullptr) return false;
  const VoxObjectHead& head = part_->head;
  if (head.trailerOffset < VoxHeadSize || size_t(head.trailerOffset) > part_->length) return false;
  const size_t bodyEnd = size_t(head.trailerOffset);
  if (offset_ > bodyEnd) return false;

  if (!(head.kind & VoxKindComplex)) {
    if (uint64_t(remaining_) * MoveBytes > bodyEnd - offset_) return false;
    for (int i = 0; i < 3; ++i) chain.start[i] = head.start[i];
    chain.moves = part_->bytes + offset_;
    chain.count = remaining_;
    chain.chainHead = nullptr;
    offset_ += size_t(remaining_) * MoveBytes;
    remaining_ = 0;
    return true;
  }

  if (ChainHeadBytes > bodyEnd - offset_) return false;
  const uint8_t* chainHead = part_->bytes + offset_;
  const ChainHead ch = VoxReadChainHead(chainHead);
  if (ch.pixelCount <= 0 || ch.pixelCount > remaining_) return false;
  if (uint64_t(ch.pixelCount) * MoveBytes > bodyEnd - offset_ - ChainHeadBytes) return false;
  for (int i = 0; i < 3; ++i) chain.start[i] = int16_t(ch.centre[i] + ch.start[i]);
  chain.moves = chainHead + ChainHeadBytes;
  chain.count = ch.pixelCount;
  chain.chainHead = chainHead;
  offset_ += ChainHeadBytes + size_t(ch.pixelCount) * MoveBytes;
  remaining_ -= ch.pixelCount;
  return true;
}

bool VoxCheckMoves(const VoxPartView& part) {
  VoxChainCursor cursor(part);
  VoxChainView view;
  int64_t seen = 0;
  while (cursor.next(view)) {
    int16_t minimum[3], size[3], start[3];
    if (view.chainHead == nullptr) {
      for (int k = 0; k < 3; ++k)
        minimum[k] = part.head.minimum[k], size[k] = part.head.dimensions[k], start[k] = part.head.start[k];
    } else {
      const ChainHead head = VoxReadChainHead(view.chainHead);
      for (int k = 0; k < 3; ++k) minimum[k] = head.minimum[k], size[k] = head.size[k], start[k] = head.start[k];
    }
    int32_t p[3] = {start[0], start[1], start[2]};
    const uint8_t* move = view.moves;
    for (int32_t i = 0; i < view.count; ++i, move += VoxMoveSize) {
      const int code = VoxMoveCodeOf(move);
      if (code >= VoxMoveCodeCount) return false;
      p[0] += VoxMoveSteps[code].dx;
      p[1] += VoxMoveSteps[code].dy;
      p[2] += VoxMoveSteps[code].dz;
      for (int k = 0; k < 3; ++k)
        if (p[k] < minimum[k] || p[k] >= int32_t(minimum[k]) + size[k]) return false;
    }
    seen += view.count;
  }
  return seen == part.head.pixelCount;
}
