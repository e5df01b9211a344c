// Converting one VOX object into a VoxObject, and one object's animation
// records into flags, locations and matrices.
//
// VOX part head (42 bytes): 0..4 unused; 5 object version; 6 flags (bit 0
// another part follows, bit 1 complex); 7 unused; 8 float32 pixel size;
// 12 int32 (first part: added to the value at 16 gives the whole object's
// byte count); 16 int32 offset of the part's last byte from its head; 20
// 3 x int16 dimensions; 26 3 x int16 minimum; 32 3 x int16 start; 38 int32
// number of 3D pixels. The body of a simple part is 3 bytes per 3D pixel; a
// complex part has chains, each a 28-byte chain record (four groups of
// 3 x int16, then int32 pixel count) and 3 bytes per 3D pixel of the chain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vox2zvl {

inline constexpr size_t VoxPartHeadSize = 42;
inline constexpr size_t VoxPartVersionAt = 5;
inline constexpr size_t VoxPartFlagsAt = 6;
inline constexpr size_t VoxPartPixelSizeAt = 8;
inline constexpr size_t VoxPartObjectSizeAt = 12;
inline constexpr size_t VoxPartLastByteAt = 16;
inline constexpr size_t VoxPartDimensionsAt = 20;
inline constexpr size_t VoxPartMinimumAt = 26;
inline constexpr size_t VoxPartStartAt = 32;
inline constexpr size_t VoxPartPixelCountAt = 38;
inline constexpr size_t VoxChainRecordSize = 28;
inline constexpr size_t VoxChainCountAt = 24;
inline constexpr size_t VoxFrameRecordSize = 25;  // one animation record
inline constexpr uint8_t VoxFlagNextPart = 1;
inline constexpr uint8_t VoxFlagComplex = 2;

// The byte count of the VOX object that starts at `head` (offset 12 plus
// offset 16 of its first head; at least VoxPartHeadSize bytes must be there).
int64_t VoxObjectLength(const uint8_t* head);

// Walks the parts of the VOX object `object` (exactly its extent) and checks
// every head, last-byte offset and chain count against it: each part lies
// inside the object, each body inside its part, the chains' counts add up to
// the part's count, at most 16 parts. Returns the byte count of the
// converted VoxObject, or 0 if the object cannot be trusted.
size_t ConvertedObjectSize(std::span<const uint8_t> object);

// Converts a VOX object into a VoxObject: per part a VoxObjectHead (kind =
// the VOX flags), the body with every 28-byte chain record widened to a
// 32-byte ChainHead, and the one-byte trailer 0; each part but the last has
// next offset = its own length, the last 0; each head's size counts itself
// and all later parts. `out` gets exactly ConvertedObjectSize(object) bytes.
// Returns 0, or ZvlFailure with "Bad file format" (an object that
// ConvertedObjectSize refuses) or "No room for object" in the error text.
int ConvertVoxObject(std::span<const uint8_t> object, std::vector<uint8_t>& out);

// The rotation matrix of the angles a, b, c (radians), row by row:
//   ca cb   ca sb sc - sa cc   ca sb cc + sa sc
//   sa cb   sa sb sc + ca cc   sa sb cc - ca sc
//   -sb     cb sc              cb cc
void MatrixFromAngles(float a, float b, float c, float matrix[9]);

// The factor by which the locations of objects of version below 5 are
// multiplied: pixel size x 256 x (the float32 nearest 1/180).
double OldLocationScale(float pixelSize);

struct ObjectTrack {
  std::vector<uint8_t> flags;     // one byte per frame
  std::vector<float> locations;   // 3 per frame
  std::vector<float> matrices;    // 9 per frame, row by row
};

// Converts frameCount 25-byte records (byte 0 flags, 1..12 location, 13..24
// angles a, b, c). With rescale, every location is multiplied by `scale` (see
// OldLocationScale). Returns 0, or ZvlFailure with "Bad file format" when
// `frames` is not frameCount x 25 bytes, or "No room for location", "No
// room for matrix" or "No room for flags" in the error text.
int ConvertTrack(std::span<const uint8_t> frames, int32_t frameCount, bool rescale, double scale,
                 ObjectTrack& track);

}  // namespace vox2zvl
