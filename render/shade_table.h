// The ShadeTable: the shade (0..23, brighter higher) of a 3D pixel from its
// NormalIndex and the quantised light direction.
#pragma once

#include <cstdint>

namespace zvl::render {

inline constexpr int ShadeRows = 24;
inline constexpr int ShadeRowBytes = 2144;
inline constexpr int ShadeAzimuthSteps = 89;

// Row Y is for a light whose polar angle from the part's z axis is Y steps of
// 90/23 degrees. The shade of NormalIndex n under a light of polar step Y and
// azimuth step Z is row Y, byte n + 89 - Z (bytes 0..2136 are addressable;
// the last seven of every row are 0).
const uint8_t* ShadeTable();  // ShadeRows x ShadeRowBytes, built on first use

// The row pointer a splat indexes with the NormalIndex directly: row Y,
// advanced by 89 - Z.
inline const uint8_t* ShadeRowFor(int polarStep, int azimuthStep) {
  return ShadeTable() + polarStep * ShadeRowBytes + ShadeAzimuthSteps - azimuthStep;
}

// The same table with every byte as a uint16 shade << 8, the form the splat
// writers put into a TileWord.
const uint16_t* ShadeWordTable();  // ShadeRows x ShadeRowBytes
inline const uint16_t* ShadeWordRowFor(int polarStep, int azimuthStep) {
  return ShadeWordTable() + polarStep * ShadeRowBytes + ShadeAzimuthSteps - azimuthStep;
}

// Quantises a direction as normals are: (polar step 0..23, azimuth 0..88).
// A direction with negative z is taken reversed.
void QuantizeLight(float x, float y, float z, int& polarStep, int& azimuthStep);

}  // namespace zvl::render
