// Chunk IDs of 3D Studio scene files.
#pragma once

#include <cstdint>

namespace importer::id3ds {

inline constexpr uint16_t Magic = 0x4D4D;
inline constexpr uint16_t Version = 0x0002;
inline constexpr uint16_t ColourRgb = 0x0011;
inline constexpr uint16_t ColourLinear = 0x0012;
inline constexpr uint16_t IntPercentage = 0x0030;
inline constexpr uint16_t FloatPercentage = 0x0031;
inline constexpr uint16_t MasterScale = 0x0100;

inline constexpr uint16_t MeshData = 0x3D3D;
inline constexpr uint16_t MeshVersion = 0x3D3E;
inline constexpr uint16_t NamedObject = 0x4000;
inline constexpr uint16_t Hidden = 0x4010;
inline constexpr uint16_t VisibleInLofter = 0x4011;
inline constexpr uint16_t NoCastShadows = 0x4012;
inline constexpr uint16_t Matte = 0x4013;
inline constexpr uint16_t Fast = 0x4014;
inline constexpr uint16_t Procedural = 0x4015;
inline constexpr uint16_t NoReceiveShadows = 0x4016;
inline constexpr uint16_t Frozen = 0x4017;
inline constexpr uint16_t TriMesh = 0x4100;
inline constexpr uint16_t VertexArray = 0x4110;
inline constexpr uint16_t VertexFlags = 0x4111;
inline constexpr uint16_t FaceArray = 0x4120;
inline constexpr uint16_t MaterialGroup = 0x4130;
inline constexpr uint16_t TextureVertices = 0x4140;
inline constexpr uint16_t SmoothingGroups = 0x4150;
inline constexpr uint16_t MeshMatrix = 0x4160;
inline constexpr uint16_t MeshColour = 0x4165;
inline constexpr uint16_t BoxMap = 0x4190;
inline constexpr uint16_t DirectLight = 0x4600;
inline constexpr uint16_t Camera = 0x4700;

inline constexpr uint16_t MaterialEntry = 0xAFFF;
inline constexpr uint16_t MaterialName = 0xA000;
inline constexpr uint16_t Ambient = 0xA010;
inline constexpr uint16_t Diffuse = 0xA020;
inline constexpr uint16_t Specular = 0xA030;
inline constexpr uint16_t Shininess = 0xA040;
inline constexpr uint16_t ShininessStrength = 0xA041;
inline constexpr uint16_t SelfIllumination = 0xA080;
inline constexpr uint16_t Shading = 0xA100;
inline constexpr uint16_t TextureMap1 = 0xA200;
inline constexpr uint16_t MapFileName = 0xA300;

inline constexpr uint16_t Keyframer = 0xB000;
inline constexpr uint16_t ObjectNode = 0xB002;
inline constexpr uint16_t CameraNode = 0xB003;
inline constexpr uint16_t SpotlightNode = 0xB007;
inline constexpr uint16_t Segment = 0xB008;
inline constexpr uint16_t CurrentTime = 0xB009;
inline constexpr uint16_t KeyframerHeader = 0xB00A;
inline constexpr uint16_t NodeHeader = 0xB010;
inline constexpr uint16_t InstanceName = 0xB011;
inline constexpr uint16_t Pivot = 0xB013;
inline constexpr uint16_t BoundingBox = 0xB014;
inline constexpr uint16_t PositionTrack = 0xB020;
inline constexpr uint16_t RotationTrack = 0xB021;
inline constexpr uint16_t ScaleTrack = 0xB022;
inline constexpr uint16_t HideTrack = 0xB029;
inline constexpr uint16_t NodeId = 0xB030;

}  // namespace importer::id3ds
