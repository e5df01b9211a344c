// The bytes of voxel geometry. A VoxObject is one block of parts laid end to
// end, one part per level of detail, finest first (at most 16). A part is a
// 42-byte VoxObjectHead, a body of chains of 3-byte Moves (a complex part puts
// a 32-byte ChainHead before each chain), an optional zero int32, and a
// trailer that may carry fix points. Positions are grid indices relative to
// the grid centre. Everything here is plain data and free functions; the
// walker checks every offset and count against the block before following it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr int VoxHeadSize = 42;
inline constexpr int VoxChainHeadSize = 32;
inline constexpr int VoxMoveSize = 3;
inline constexpr int VoxMaxParts = 16;

// Kind bits of a part head.
inline constexpr int32_t VoxKindNextPart = 1;  // another part follows
inline constexpr int32_t VoxKindComplex = 2;   // several chains, each with a ChainHead

struct VoxObjectHead {
  int32_t kind = 0;
  int32_t size = 0;          // bytes from this head to the end of the VoxObject
  float pixelSize = 0;       // edge of one 3D pixel in scene units
  int32_t nextOffset = 0;    // this part's length (0 allowed in the last part)
  int32_t trailerOffset = 0; // from the start of the part
  int16_t dimensions[3] = {};
  int16_t minimum[3] = {};
  int16_t start[3] = {};     // x + 1, y, z of the first 3D pixel of the first chain
  int32_t pixelCount = 0;
};

struct ChainHead {
  int16_t centre[3] = {};    // relative to the grid centre
  int16_t minimum[3] = {};   // box minimum minus centre
  int16_t size[3] = {};      // box size
  int16_t start[3] = {};     // x + 1, y, z of the first 3D pixel minus centre
  int32_t pixelCount = 0;
  int32_t zero = 0;
};

VoxObjectHead VoxReadHead(const uint8_t* bytes);         // 42 bytes
void VoxWriteHead(uint8_t* bytes, const VoxObjectHead& head);
ChainHead VoxReadChainHead(const uint8_t* bytes);        // 32 bytes
void VoxWriteChainHead(uint8_t* bytes, const ChainHead& head);

// MoveCode: the step (dx, dy, dz), each -1, 0 or 1, from the previous 3D
// pixel; k = (dx+1)*9 + (dy+1)*3 + (dz+1), code k below 13, k - 1 above;
// the zero step has no code. Codes 26..31 never occur.
inline constexpr int VoxMoveCodeCount = 26;
int VoxMoveCode(int dx, int dy, int dz);  // 0..25, or -1 for the zero step or a step out of range
struct VoxStep {
  int8_t dx, dy, dz;
};
// Steps of codes 0..31; codes 26..31 map to the zero step.
extern const VoxStep VoxMoveSteps[32];

// Move: byte 0 = MoveCode << 3 | NormalIndex bits 10..8; byte 1 = NormalIndex
// bits 7..0; byte 2 = colour index.
inline void VoxPutMove(uint8_t* bytes, int code, uint16_t normal, uint8_t color) {
  bytes[0] = uint8_t((code << 3) | ((normal >> 8) & 7));
  bytes[1] = uint8_t(normal);
  bytes[2] = color;
}
inline int VoxMoveCodeOf(const uint8_t* move) { return move[0] >> 3; }
inline uint16_t VoxNormalOf(const uint8_t* move) { return uint16_t(((move[0] & 7) << 8) | move[1]); }
inline uint8_t VoxColorOf(const uint8_t* move) { return move[2]; }

// NormalIndex: 11 bits over the hemisphere z >= 0. 0 is (0, 0, 1); t*89 + r - 88
// for polar step t = 1..23 and azimuth step r = 0..88.
inline constexpr int VoxNormalCount = 2048;
uint16_t QuantizeNormal(float x, float y, float z);
// The unit direction of an index (indices above 2047 give the pole).
void VoxNormalDirection(uint16_t index, float& x, float& y, float& z);

// Trailers: one byte 0 without fix points; with n > 0 fix points, 12n + 6
// bytes: 1, the trailer size as int32, n as a byte, then n x 3 float32.
struct VoxFixPoint {
  float x, y, z;
};
inline constexpr int VoxMaxFixPoints = 255;
size_t VoxTrailerSize(size_t fixPointCount);

// One 3D pixel handed to the part builder or yielded by the walker.
struct VoxPixel {
  int16_t x = 0, y = 0, z = 0;  // relative to the grid centre
  uint16_t normal = 0;          // NormalIndex
  uint8_t color = 0;            // colour index (shade table column)
};

// The two part forms: with the zero int32 before the trailer (the plug-in's
// engine) and without it (the authoring program's engine, the VOX converter).
enum class VoxPartForm { WithZeroWord, Compact };

// Builds one part from its chains; consecutive 3D pixels of a chain must be
// neighbours (each coordinate differs by at most 1, not all equal). One chain
// gives a simple part, several a complex part, none (or only empty chains) an
// empty part. The head's size and next offset hold the part's own length.
// An empty part is 46 + t bytes with the zero int32 (trailer offset 46) and
// 42 + t in the Compact form (trailer offset 42).
// Returns false (and leaves `part` empty) if a chain breaks the neighbour
// rule, a coordinate leaves int16, or there are more than 255 fix points.
bool VoxBuildPart(std::span<const std::vector<VoxPixel>> chains, float pixelSize, VoxPartForm form,
                  std::span<const VoxFixPoint> fixPoints, std::vector<uint8_t>& part);

// Joins single parts, finest first, into one VoxObject: every part but the
// last gets kind bit 0, every head's size counts itself and all later parts,
// next offsets are the parts' own lengths, and the last part's next offset is
// 0 when lastNextOffsetZero (authoring program, VOX converter) or its length
// (plug-in). Returns false for no parts or more than 16.
bool VoxJoinParts(std::span<const std::vector<uint8_t>> parts, bool lastNextOffsetZero,
                  std::vector<uint8_t>& voxObject);

// A part located and checked inside a VoxObject block.
struct VoxPartView {
  VoxObjectHead head;
  const uint8_t* bytes = nullptr;  // the part's head
  size_t length = 0;               // the part's own length
};

// Checks the structure of a VoxObject block of `size` bytes and lists its
// parts: each head lies inside the block, sizes and next offsets stay inside
// what remains, trailer offsets and trailers lie inside their part, pixel
// counts are not negative, simple parts' moves and complex parts' chain
// heads and moves fit before the trailer and their counts add up to the
// part's pixel count, at most 16 parts; a trailer starts with 0 (no fix
// points) or 1 (fix points, size 12n + 6). Move codes are not looked at.
// Returns false if the block cannot be trusted.
bool VoxListParts(const uint8_t* block, size_t size, std::vector<VoxPartView>& parts);
inline bool VoxCheckObject(const uint8_t* block, size_t size) {
  std::vector<VoxPartView> parts;
  return VoxListParts(block, size, parts);
}

// Checks the moves of a part that VoxListParts accepted: every move code is
// one of the 26 steps and every 3D pixel stays inside its chain's box (the
// part's box in a simple part). This is the rule the renderer draws by, so
// a converter that checks its output with VoxListParts and this writes only
// parts the renderer accepts.
bool VoxCheckMoves(const VoxPartView& part);

// The fix points of a checked part (empty without a fix-point trailer).
std::vector<VoxFixPoint> VoxFixPoints(const VoxPartView& part);

// One chain of a checked part: where its moves are, how many, and its start
// point (x + 1, y, z of its first 3D pixel, relative to the grid centre).
struct VoxChainView {
  int16_t start[3] = {};
  const uint8_t* moves = nullptr;
  int32_t count = 0;
  const uint8_t* chainHead = nullptr;  // null in a simple part
};

// Iterates the chains of a checked part without allocating.
class VoxChainCursor {
 public:
  explicit VoxChainCursor(const VoxPartView& part);
  bool next(VoxChainView& chain);  // false after the last chain

 private:
  const VoxPartView* part_;
  size_t offset_;
  int32_t remaining_;
};

// Yields every 3D pixel of a checked part in chain order:
// visit(const VoxPixel&). Returns false (having stopped) at a move code of
// 26..31, which no writer produces.
template <class Visit>
bool VoxWalkPart(const VoxPartView& part, Visit&& visit) {
  VoxChainCursor cursor(part);
  VoxChainView chain;
  while (cursor.next(chain)) {
    int x = chain.start[0], y = chain.start[1], z = chain.start[2];
    const uint8_t* move = chain.moves;
    for (int32_t i = 0; i < chain.count; ++i, move += VoxMoveSize) {
      const int code = VoxMoveCodeOf(move);
      if (code >= VoxMoveCodeCount) return false;
      const VoxStep step = VoxMoveSteps[code];
      x += step.dx;
      y += step.dy;
      z += step.dz;
      VoxPixel pixel;
      pixel.x = int16_t(x);
      pixel.y = int16_t(y);
      pixel.z = int16_t(z);
      pixel.normal = VoxNormalOf(move);
      pixel.color = VoxColorOf(move);
      visit(pixel);
    }
  }
  return true;
}
