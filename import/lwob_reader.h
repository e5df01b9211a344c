// The LightWave object file (IFF form LWOB, big-endian): points, polygons
// turned into triangles with edge flags, the surface list and each
// surface's colour, levels and texture slots.
//
// Untrusted input: every chunk and sub-chunk is checked against its parent,
// every polygon against the chunk, and every triangle's vertices and surface
// against the lists the file holds; a file that fails gets a message and
// nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Texture slots of a surface, in the order of their sub-chunk IDs CTEX
// (colour), DTEX (diffuse), STEX, RTEX, TTEX, LTEX, BTEX.
enum LwobTextureSlot { kLwobColourSlot = 0, kLwobDiffuseSlot, kLwobSpecularSlot, kLwobReflectionSlot,
                       kLwobTransparencySlot, kLwobLuminositySlot, kLwobBumpSlot, kLwobSlotCount };

// One texture slot as the surface describes it.
struct LwobTexture {
  bool present = false;
  std::string typeName;
  int kind = 16;                       // ImageMapKind of typeName (16: not in the table)
  uint16_t flags = 0;                  // TFLG: bit 0 x axis, bit 1 y axis, neither z
  std::array<double, 3> size{1.0, 1.0, 1.0};
  std::array<double, 3> centre{0.0, 0.0, 0.0};
  double widthWrap = 1.0, heightWrap = 1.0;  // TFP0, TFP1
  std::string image, alphaImage;             // TIMG, TALP as the file gives them
  std::array<float, 3> falloff{0, 0, 0}, velocity{0, 0, 0};  // TFAL, TVEL: kept, unused
  std::array<uint8_t, 4> colour{0, 0, 0, 0};                 // TCLR: kept, unused
};

struct LwobSurface {
  std::string name;
  bool described = false;  // a SURF chunk of this name was read
  std::array<uint8_t, 3> colour{200, 200, 200};
  uint16_t flags = 0;
  float luminosity = 0.0f, diffuse = 1.0f, specular = 0.0f;  // VLUM, VDIF, VSPC
  std::array<LwobTexture, kLwobSlotCount> textures;
};

struct LwobTriangle {
  int32_t v[3] = {0, 0, 0};
  int32_t material = 0;  // surface index - 1
  uint8_t flags = 7;     // bit 0: edge v0-v1 on the outline, bit 1: v1-v2, bit 2: v2-v0
};

struct LwobObject {
  std::vector<std::array<float, 3>> points;
  std::vector<LwobTriangle> triangles;
  std::vector<LwobSurface> surfaces;  // in SRFS order; material i is surface i
};

// Reads the object file's bytes. False with `error` set (one of the
// lws::msg object file texts) when the file is not a sound LWOB file.
bool ReadLwob(std::span<const uint8_t> bytes, LwobObject& object, std::string& error);
