// A material as the palette builder and the voxelizer see it: its kind, its
// colours and lighting parameters, and the texture operations of textured
// kinds. The embedding program owns its materials and hands them out by
// index (MaterialSource::GetMaterial).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The raw values of Material::kind. Other values can occur in a Material
// (they come from files and hosts); the voxelizer refuses them.
enum class MaterialKind : uint8_t { Textured = 0, Flat = 1 };

// Material::shadingType of the metal lighting model; every other value uses
// the plain model.
inline constexpr uint8_t kShadingMetal = 3;

// A texture picture: width x height texels of R, G, B, the top row of the
// picture first.
struct TextureImage {
  uint16_t width = 0, height = 0;
  std::vector<uint8_t> pixels;

  bool empty() const { return width == 0 || height == 0; }
};

// How the BMP loader names a texture file and words its messages: the 3D
// Studio path opens the path as given and joins it into its messages; the
// LightWave path opens only the file name part (after the last "/" or "\").
enum class BmpPathStyle : uint8_t { Joined, FileNameOnly };

class Material {
 public:
  Material() = default;
  Material(const Material&) = default;
  Material& operator=(const Material&) = default;
  virtual ~Material();

  uint8_t kind = uint8_t(MaterialKind::Flat);  // compare with MaterialKind values
  uint8_t shadingType = 0;                     // kShadingMetal or plain
  std::string name;
  uint8_t ambient[3] = {0, 0, 0};
  uint8_t diffuse[3] = {0, 0, 0};
  uint8_t specular[3] = {0, 0, 0};
  float shininess = 0;          // 0..1: narrowness of the highlight
  float shininessStrength = 0;  // 0..1: height of the highlight
  float selfIllumination = 0;   // 0..1
  int32_t textureIdentity = 0;  // textured materials with equal identities are equal

  bool IsTextured() const { return kind == uint8_t(MaterialKind::Textured); }
  bool IsFlat() const { return kind == uint8_t(MaterialKind::Flat); }

  // Makes the texture ready for sampling: 0, or -1 after the reason was
  // reported. A flat material has nothing to prepare.
  virtual int PrepareTexture();
  // Gives back what PrepareTexture took.
  virtual void ReleaseTexture();
  // The textured colour at one sample of a triangle: weights are the sample's
  // barycentric weights, uvw its interpolated texture coordinates. A flat
  // material gives black.
  virtual void SampleColour(const float weights[3], const float uvw[3], uint8_t rgb[3]) const;
};

// The authoring program's textured material: a TextureImage it owns, either
// given directly or loaded from a texture file (BMP, PNG or JPEG, see
// LoadTextureImage) by PrepareTexture, sampled at the nearest texel with
// repetition at (u, v).
class ImageMaterial : public Material {
 public:
  ImageMaterial() { kind = uint8_t(MaterialKind::Textured); }

  TextureImage image;
  // When not empty and the image is empty, PrepareTexture loads this texture
  // file (a name differing only in letter case is found too) and
  // ReleaseTexture drops the pixels again.
  std::string texturePath;
  BmpPathStyle pathStyle = BmpPathStyle::Joined;
  // Where PrepareTexture reports a failed load; without one the message is
  // kept in lastError only.
  std::function<void(const std::string&)> reportError;
  std::string lastError;

  int PrepareTexture() override;
  void ReleaseTexture() override;
  void SampleColour(const float weights[3], const float uvw[3], uint8_t rgb[3]) const override;

 private:
  bool loadedFromPath_ = false;
};
