#include "palette/material.h"

#include "palette/palette.h"

Material::~Material() = default;

int Material::PrepareTexture() { return 0; }

void Material::ReleaseTexture() {}

void Material::SampleColour(const float*, const float*, uint8_t rgb[3]) const {
  rgb[0] = rgb[1] = rgb[2] = 0;
}

int ImageMaterial::PrepareTexture() {
  if (!image.empty() || texturePath.empty()) return 0;
  if (!LoadTextureImage(texturePath, image, lastError, pathStyle)) {
    if (reportError) reportError(lastError);
    return -1;
  }
  loadedFromPath_ = true;
  return 0;
}

void ImageMaterial::ReleaseTexture() {
  if (!loadedFromPath_) return;
  image = TextureImage{};
  loadedFromPath_ = false;
}

void ImageMaterial::SampleColour(const float*, const float uvw[3], uint8_t rgb[3]) const {
  SampleTexture(image, uvw[0], uvw[1], rgb);
}
