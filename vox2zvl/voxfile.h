// The VOX file in memory: its four chunks read, checked and indexed, and the
// animation objects attached to their geometry objects.
//
// A VOX file is four chunks in a fixed order, each with a 32-byte header
// (8-byte zero-terminated name, int32 number, 16-byte zero-terminated name,
// int32 size including the header):
//   VOX_VER (0): 36 bytes; int32 VOX version (5 or more)
//   VOX_PAL (1): 4898 bytes; the palette in the 4866-byte layout
//   VOX_GEO (2): 34 + data; uint16 object count, then per object a 16-byte
//                name and the VOX object (its parts end to end)
//   VOX_ANI (3): 36 + data; uint16 object count, uint16 frame count, then per
//                object a 16-byte name and 25 bytes per frame
#pragma once

#include "vox2zvl/vox2zvl.h"
#include "vox2zvl/voxobject.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vox2zvl {

inline constexpr size_t VoxChunkHeaderSize = 32;
inline constexpr size_t VoxChunkNameSize = 8;     // at offset 0
inline constexpr size_t VoxChunkNumberAt = 8;     // int32
inline constexpr size_t VoxChunkTitleAt = 12;     // 16-byte name
inline constexpr size_t VoxChunkSizeAt = 28;      // int32, header included
inline constexpr size_t VoxNameSize = 16;
inline constexpr int32_t VoxVersionChunkSize = 36;
inline constexpr int32_t VoxPaletteChunkSize = 4898;
inline constexpr int32_t VoxGeometryHeaderSize = 34;
inline constexpr int32_t VoxAnimationHeaderSize = 36;
inline constexpr size_t VoxPaletteSize = 4866;
inline constexpr int32_t VoxOldestVersion = 5;

enum VoxChunkNumber : uint32_t { VoxVer = 0, VoxPal = 1, VoxGeo = 2, VoxAni = 3 };
// The chunk names by number: "VOX_VER", "VOX_PAL", "VOX_GEO", "VOX_ANI".
extern const char* const VoxChunkNames[4];

struct VoxGeometryObject {
  std::string name;
  std::span<const uint8_t> bytes;  // the VOX object, its parts checked
  // The VoxObject it converts to, checked by the rules every reader and the
  // renderer apply (VoxListParts, VoxCheckMoves).
  std::vector<uint8_t> converted;
  uint8_t version = 0;             // version byte of its first head
  float pixelSize = 0;             // pixel size of its first head
};

struct VoxAnimationObject {
  std::string name;
  std::span<const uint8_t> frames;  // frame count x 25 bytes
  size_t geometry = 0;              // index of the attached geometry object
};

// The checked contents of a VOX file. The spans point into the file's bytes,
// which must outlive the scene.
struct VoxScene {
  int32_t version = 0;
  std::string sceneName;
  std::string paletteName;
  std::span<const uint8_t> palette;  // VoxPaletteSize bytes
  std::vector<VoxGeometryObject> geometry;
  int32_t frameCount = 0;
  std::vector<VoxAnimationObject> animation;  // in the animation chunk's order
};

// Reads, checks and indexes the four chunks and attaches the animation
// objects, logging one line per step. Returns 0, or ZvlFailure with the
// message in the file layer's error text.
int ReadVoxScene(std::span<const uint8_t> file, const std::string& inputPath, const LogSink& log,
                 VoxScene& scene);

// How many leading bytes of a VOX file of `fileSize` bytes the conversion
// can use, from its chunk headers alone (`peek(offset, 32 bytes)` reads
// one; false when it cannot): the four chunks when their headers are sound
// and fit the file, else the bytes up to the first header that is not, so
// that reading them gives the same refusal as the whole file. Nothing is
// taken on trust beyond what the headers say and the file holds.
template <class Peek>
uint64_t VoxUsableLength(uint64_t fileSize, Peek&& peek);

// printf-style formatting of one log line.
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

template <class Peek>
uint64_t VoxUsableLength(uint64_t fileSize, Peek&& peek) {
  uint64_t at = 0;
  for (uint32_t number = VoxVer; number <= VoxAni; ++number) {
    uint8_t header[VoxChunkHeaderSize];
    if (fileSize - at < VoxChunkHeaderSize || !peek(at, header)) return fileSize;
    const int64_t size = int32_t(uint32_t(header[VoxChunkSizeAt]) | uint32_t(header[VoxChunkSizeAt + 1]) << 8 |
                                 uint32_t(header[VoxChunkSizeAt + 2]) << 16 |
                                 uint32_t(header[VoxChunkSizeAt + 3]) << 24);
    const bool named = std::string_view(reinterpret_cast<const char*>(header), VoxChunkNameSize) ==
                       std::string_view(VoxChunkNames[number], VoxChunkNameSize);
    // The reader refuses this chunk: hand it the header and what follows
    // of its fixed part, so it says why.
    if (!named || size < int64_t(VoxChunkHeaderSize) || uint64_t(size) > fileSize - at)
      return std::min(fileSize, at + VoxAnimationHeaderSize);
    at += uint64_t(size);
  }
  return at;
}

}  // namespace vox2zvl
