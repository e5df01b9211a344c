// A 3D Studio scene as the reader holds it: materials, named objects
// (triangle meshes; lights and cameras are recognised but carry nothing) and
// keyframer nodes with their tracks. ReadScene3DS fills it,
// CalculateAnimation3DS or ReadVue fill the per-frame results of the nodes,
// and ToImportedScene3DS turns it into the importers' common result.
//
// Every chunk kind the reader reads is a class derived from Chunk3DS whose
// Read gets the chunk body's start and length; container chunks own their
// children.
#pragma once

#include "import/matrix3.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace importer {

class Reader3DS;

// Names in the file hold 16 characters and the NUL; longer ones are cut to
// this length wherever they are stored and compared.
inline constexpr size_t kName3DSLength = 16;
// The parent index of a keyframer node without a parent.
inline constexpr uint16_t kNoParent3DS = 65535;

class Chunk3DS {
 public:
  virtual ~Chunk3DS() = default;
  virtual bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) = 0;
};

// One colour: the 24-bit triplet (0x0011) and the linear triplet (0x0012).
struct Colour3DS {
  std::array<uint8_t, 3> rgb{0, 0, 0};
  std::array<uint8_t, 3> linear{0, 0, 0};
};

class Material3DS : public Chunk3DS {
 public:
  Material3DS();
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;

  std::string name;
  Colour3DS ambient, diffuse, specular;
  uint8_t shininess = 20;          // percent
  uint8_t shininessStrength = 10;  // percent
  uint8_t selfIllumination = 0;    // flag
  uint16_t shading = 3;
  std::string textureMap;          // map file name of texture map 1
  uint8_t hasTexture = 0;
};

class MaterialGroup3DS : public Chunk3DS {
 public:
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  std::string materialName;
  std::vector<uint16_t> faces;
};

struct Face3DS {
  uint16_t a = 0, b = 0, c = 0, flags = 0;
};

class FaceArray3DS : public Chunk3DS {
 public:
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  std::vector<Face3DS> faces;
  std::vector<MaterialGroup3DS> materialGroups;
  std::vector<uint32_t> smoothingGroups;
  std::array<std::string, 6> boxMap;
};

class TriMesh3DS : public Chunk3DS {
 public:
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  std::vector<std::array<float, 3>> vertices;
  std::vector<uint16_t> vertexFlags;
  FaceArray3DS faceArray;
  bool hasMeshMaterialGroup = false;
  MaterialGroup3DS meshMaterialGroup;  // 0x4130 directly in the mesh: the last one
  std::vector<std::array<float, 2>> textureVertices;
  std::array<float, 12> matrix{};  // three axis vectors, then the origin
  bool hasMatrix = false;
  uint8_t colour = 0;
  std::array<float, 3> centre{0.0f, 0.0f, 0.0f};
};

enum class ObjectKind3DS : uint8_t { None = 0, TriMesh = 1, Light = 2, Camera = 3 };

class NamedObject3DS : public Chunk3DS {
 public:
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  std::string name;
  ObjectKind3DS kind = ObjectKind3DS::None;
  std::unique_ptr<TriMesh3DS> mesh;  // kind TriMesh only
  bool hidden = false, visibleInLofter = false, noCastShadows = false, matte = false,
       frozen = false, fast = false, procedural = false, noReceiveShadows = false;
  int32_t nodeIndex = 0;  // ordinal among named objects, then the node of its name
};

struct KeyHeader3DS {
  uint32_t frame = 0;
  uint16_t flags = 0;
  float tension = 0, continuity = 0, bias = 0, easeTo = 0, easeFrom = 0;
};

// A track: keys with a header and 0, 3 or 4 floats of value each.
class Track3DS : public Chunk3DS {
 public:
  explicit Track3DS(int valueCount) : valueCount_(valueCount) {}
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  uint16_t flags = 0;
  std::vector<KeyHeader3DS> keys;
  std::vector<std::array<float, 4>> values;  // one per key; unused entries 0

 private:
  int valueCount_;
};

class KeyframerNode3DS : public Chunk3DS {
 public:
  KeyframerNode3DS() : position(3), rotation(4), scale(3), hide(0) {}
  bool Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) override;
  uint16_t nodeId = 0;
  std::string name;
  uint16_t flags1 = 0, flags2 = 0, parent = kNoParent3DS;
  std::string instanceName;
  std::array<float, 3> pivot{0.0f, 0.0f, 0.0f};
  std::array<float, 6> boundingBox{};
  Track3DS position, rotation, scale, hide;
  std::vector<int> children;

  // Per-frame results of the animation calculation (or the VUE reader).
  std::vector<Mat3> matrices;
  std::vector<std::array<float, 3>> locations;
  std::vector<uint8_t> frameFlags;
  Mat3 runningMatrix = Identity3();
  Vec3 runningPosition{0, 0, 0};
};

struct Scene3DS {
  uint32_t fileVersion = 0, meshVersion = 0;
  std::vector<Material3DS> materials;
  float masterScale = 1.0f;
  std::vector<NamedObject3DS> meshes;        // kind TriMesh, file order
  std::vector<NamedObject3DS> otherObjects;  // lights, cameras, unknown kinds
  uint16_t keyframerRevision = 0;
  std::string keyframerFileName;
  uint32_t animationLength = 0;
  uint32_t segmentStart = 0, segmentEnd = 0, currentTime = 0;
  // One entry per node chunk of the keyframer section; camera, light and
  // target nodes leave an empty slot so that indices stay those of the file.
  std::vector<std::unique_ptr<KeyframerNode3DS>> nodes;
  int frameCount = 0;

  // Lookups: the first match, -1 when there is none. Names are compared cut
  // to 16 characters.
  int FindMaterial(const std::string& name) const;
  int FindNode(const std::string& name) const;
  int FindMeshOfNode(int nodeIndex) const;
  // The parent of an object node, or -1 when its parent index names no
  // object node (65535, an empty slot, a node past the list, itself).
  int ParentNode(size_t nodeIndex) const;
  // The node of a mesh, or null when its node index names an empty slot or
  // lies past the node list.
  KeyframerNode3DS* NodeOfMesh(size_t meshIndex) const;
};

}  // namespace importer
