// The PNG and JPEG decoders of stb_image behind plain functions. Each format
// is compiled from the header in a file of its own (stb_png_decoder.cpp,
// stb_jpeg_decoder.cpp) with only that decoder in it and every stb_image
// symbol private to the file: a failure then carries that decoder's reason,
// never the probe of another format or the reason left by an earlier call,
// and the sanitizer and fuzz builds see the decoder's code. Reasons are
// stb_image's own short texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace palette {

// The picture's size from its header: true, or false with the reason.
bool ReadPngSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason);
bool ReadJpegSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason);
// The picture as R, G, B texels, the top row first (grey, palette and alpha
// pictures turned into RGB): true, or false with the reason.
bool DecodePngRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                  std::string& reason);
bool DecodeJpegRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                   std::string& reason);

}  // namespace palette
