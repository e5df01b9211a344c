// Texture pictures by content: PNG and JPEG through stb_image, everything
// else through our BMP reader (which keeps its own messages). The picture's
// size is read from its header and checked before any pixel is decoded.
#include "palette/messages.h"
#include "palette/palette.h"
#include "palette/stb_decoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kJpegSignature[3] = {0xFF, 0xD8, 0xFF};
// Twice the most texels one byte of a JPEG can describe (a grey picture at
// one bit per block), plus a picture of 1024 x 1024 texels whatever its size.
constexpr uint64_t kJpegTexelsPerByte = 1024;
constexpr uint64_t kJpegTexelsFree = uint64_t(1) << 20;

std::string Formatted(const char* format, const std::string& path) {
  std::string text(std::strlen(format) + path.size() + 16, '\0');
  const int n = std::snprintf(text.data(), text.size(), format, path.c_str());
  text.resize(size_t(n > 0 ? n : 0));
  return text;
}

std::string DamagedBecause(const std::string& path, const std::string& reason) {
  return Formatted(palette::msg::BmpDamaged, path) + ": " + reason;
}

std::string TooLargeReason(int width, int height) {
  char text[160];
  std::snprintf(text, sizeof text, palette::msg::TextureTooLarge, width, height, kMaxTextureSide,
                int(kMaxTexturePixels >> 20));
  return text;
}

std::string LargerThanDataReason(int width, int height, size_t bytes) {
  char text[200];
  std::snprintf(text, sizeof text, palette::msg::TextureLargerThanData, width, height, bytes);
  return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A PNG or JPEG picture (format as sniffed).
bool DecodeWithStb(TextureFormat format, const uint8_t* bytes, size_t size, const std::string& path,
                   TextureImage& image, std::string& error) {
  const bool png = format == TextureFormat::Png;
  int width = 0, height = 0;
  std::string reason;
  if (!(png ? palette::ReadPngSize : palette::ReadJpegSize)(bytes, size, width, height, reason)) {
    error = DamagedBecause(path, reason);
    return false;
  }
  if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide ||
      uint64_t(width) * uint64_t(height) > kMaxTexturePixels) {
    error = DamagedBecause(path, TooLargeReason(width, height));
    return false;
  }
  // Every 8 x 8 block of a JPEG costs at least one bit of the file, and the
  // decoder goes on with zeros where the data ends: a picture far larger than
  // its bytes can hold would only cost time and memory for nothing.
  if (!png && uint64_t(width) * uint64_t(height) > kJpegTexelsPerByte * uint64_t(size) + kJpegTexelsFree) {
    error = DamagedBecause(path, LargerThanDataReason(width, height, size));
    return false;
  }
  std::vector<uint8_t> rgb;
  int decodedWidth = 0, decodedHeight = 0;
  if (!(png ? palette::DecodePngRgb : palette::DecodeJpegRgb)(bytes, size, decodedWidth, decodedHeight, rgb, reason)) {
    error = DamagedBecause(path, reason);
    return false;
  }
  if (decodedWidth != width || decodedHeight != height) {
    error = DamagedBecause(path, TooLargeReason(decodedWidth, decodedHeight));
    return false;
  }
  image.width = uint16_t(width);
  image.height = uint16_t(height);
  image.pixels = std::move(rgb);
  return true;
}

}  // namespace

TextureFormat SniffTextureFormat(const uint8_t* bytes, size_t size) {
  if (size >= sizeof kPngSignature && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0)
    return TextureFormat::Png;
  if (size >= sizeof kJpegSignature && std::memcmp(bytes, kJpegSignature, sizeof kJpegSignature) == 0)
    return TextureFormat::Jpeg;
  return TextureFormat::Bmp;
}

bool DecodeTextureImage(const uint8_t* bytes, size_t size, const std::string& path, TextureImage& image,
                        std::string& error, BmpPathStyle style) {
  const TextureFormat format = SniffTextureFormat(bytes, size);
  if (format == TextureFormat::Bmp) return DecodeBmpTexture(bytes, size, path, image, error, style);
  return DecodeWithStb(format, bytes, size, path, image, error);
}

std::string FindFileIgnoringCase(const std::string& path) {
  std::error_code error;
  if (path.empty()) return {};
  if (std::filesystem::is_regular_file(path, error)) return path;
  const size_t cut = path.find_last_of("/\\");
  const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  const std::string_view name = FileNamePart(path);
  std::vector<std::string> matches;
  for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string candidate = entry->path().filename().string();
    if (EqualIgnoringCase(candidate, name) && entry->is_regular_file(error)) matches.push_back(candidate);
  }
  if (matches.empty()) return {};
  return folder + *std::min_element(matches.begin(), matches.end());
}

bool LoadTextureImage(const std::string& path, TextureImage& image, std::string& error, BmpPathStyle style) {
  const std::string name = style == BmpPathStyle::FileNameOnly ? std::string(FileNamePart(path)) : path;
  std::string found = FindFileIgnoringCase(name);
  if (found.empty()) found = name;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(found.c_str(), "rb"), std::fclose);
  if (!file) {
    error = Formatted(palette::msg::BmpOpenFailed, found);
    return false;
  }
  uint8_t head[8] = {};
  const size_t got = std::fread(head, 1, sizeof head, file.get());
  const TextureFormat format = SniffTextureFormat(head, got);
  if (format == TextureFormat::Bmp) {
    file.reset();
    // The BMP reader checks the header before it reads the pixel rows.
    return LoadBmpTexture(found, image, error, style);
  }
  long fileSize = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) fileSize = std::ftell(file.get());
  if (fileSize < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    error = Formatted(palette::msg::BmpDamaged, found);
    return false;
  }
  if (uint64_t(fileSize) > kMaxTextureFileBytes) {
    error = DamagedBecause(found, palette::msg::TextureFileTooLarge);
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(fileSize));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = Formatted(palette::msg::BmpDamaged, found);
    return false;
  }
  return DecodeWithStb(format, bytes.data(), bytes.size(), found, image, error);
}
