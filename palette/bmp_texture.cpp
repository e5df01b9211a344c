// BMP texture files: 8-bit with a colour table and 24-bit, either row order.
#include "palette/palette.h"

bool LoadBmpTexture(const std::string&, TextureImage&, std::string& error, BmpPathStyle) {
  error = "BMP loading not built yet";
  return false;
}
