// A small VOX file writer for the converter's tests, its fuzz corpus and the
// bundled sample. Parts are built with the file layer's part builder and then
// narrowed into the VOX layout (42-byte VOX head, 28-byte chain records, no
// trailer), so a converted part must come back byte for byte.
#pragma once

#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voxtest {

using Chain = std::vector<VoxPixel>;

// One VOX part made from chains: one chain gives a simple part, several a
// complex part. Also returns the ZVL part it was narrowed from.
struct VoxPart {
  std::vector<uint8_t> bytes;    // the VOX part
  std::vector<uint8_t> zvlPart;  // the compact ZVL part it came from
};
VoxPart MakePart(const std::vector<Chain>& chains, float pixelSize, uint8_t version = 5);

// Joins parts into one VOX object: flags bit 0 on all but the last, offset
// 16 of each part its last byte, offset 12 of each part such that offset 12
// plus offset 16 is the byte count from that part to the end of the object.
std::vector<uint8_t> JoinParts(const std::vector<VoxPart>& parts);

struct Frame {
  uint8_t flags = 0;
  std::array<float, 3> location = {};
  std::array<float, 3> angles = {};  // a, b, c in radians
};

struct GeometryObject {
  std::string name;
  std::vector<uint8_t> object;  // a VOX object (JoinParts)
};

struct AnimationObject {
  std::string name;
  std::vector<Frame> frames;  // frameCount of the file
};

struct VoxFile {
  int32_t version = 5;
  std::string sceneName = "Scene";
  std::string paletteName = "Palette";
  std::vector<uint8_t> palette = std::vector<uint8_t>(4866, 0);
  std::vector<GeometryObject> geometry;
  uint16_t frameCount = 0;
  std::vector<AnimationObject> animation;
};

// One chunk: its 32-byte header (name, number, 16-byte title, size with the
// header) followed by the payload.
std::vector<uint8_t> Chunk(const char* name, uint32_t number, const std::string& title,
                           const std::vector<uint8_t>& payload);
std::vector<uint8_t> VersionChunk(const VoxFile& file);
std::vector<uint8_t> PaletteChunk(const VoxFile& file);
std::vector<uint8_t> GeometryChunk(const VoxFile& file);
std::vector<uint8_t> AnimationChunk(const VoxFile& file);
// The four chunks in order.
std::vector<uint8_t> WriteVox(const VoxFile& file);

// A straight chain of `count` 3D pixels along +x starting at (x, y, z).
Chain Row(int x, int y, int z, int count, uint8_t color = 0);
// The surface of a ball of the given radius, in chains of neighbours.
std::vector<Chain> BallChains(int radius, uint8_t color);
// The surface of a box of the given edge, in chains of neighbours.
std::vector<Chain> BoxChains(int edge, uint8_t color);

// A palette in the 4866-byte layout: colours 16 .. 79, four hues of sixteen
// brightness levels, and 16 shade rows that darken each colour.
std::vector<uint8_t> SamplePalette();
// A small file of two objects: "Ball" (two levels of detail) circling and
// "Block" spinning, 24 frames. samples/sample.vox is this file.
VoxFile SampleScene();
// Small files for the fuzz target's seed corpus: name and bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> CorpusFiles();

}  // namespace voxtest
