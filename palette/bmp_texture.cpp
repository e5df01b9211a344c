// BMP texture files: 8-bit with a colour table and 24-bit, rows bottom-up
// (positive height) or top-down (negative height), each row padded to a
// multiple of 4 bytes. Every size in the header is checked against the
// file before anything is allocated.
#include "palette/messages.h"
#include "palette/palette.h"

#include "zvlfile/io.h"
#include "zvlfile/le.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kHeaderSize = 54;
constexpr size_t kColourTableBytes = 1024;

enum class BmpFault { None, Damaged, OneBit, FourBit, OtherUnsupported };

struct BmpLayout {
  uint32_t dataOffset = 0;
  int width = 0, height = 0;  // height > 0
  bool topDown = false;
  int bitsPerPixel = 0;
  uint64_t rowBytes = 0;
  uint64_t end = 0;  // offset just past the last pixel row
};

BmpFault ParseLayout(const uint8_t* header, size_t available, uint64_t fileSize, BmpLayout& layout) {
  if (available < kHeaderSize || header[0] != 'B' || header[1] != 'M') return BmpFault::Damaged;
  layout.dataOffset = zvl::le::u32(header + 10);
  const int32_t width = zvl::le::i32(header + 18);
  const int32_t height = zvl::le::i32(header + 22);
  layout.bitsPerPixel = zvl::le::u16(header + 28);
  if (layout.bitsPerPixel == 1) return BmpFault::OneBit;
  if (layout.bitsPerPixel == 4) return BmpFault::FourBit;
  if (layout.bitsPerPixel != 8 && layout.bitsPerPixel != 24) return BmpFault::Damaged;
  const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
  if (width <= 0 || width > kMaxTextureSide || rows == 0 || rows > kMaxTextureSide) return BmpFault::Damaged;
  layout.width = width;
  layout.height = int(rows);
  layout.topDown = height < 0;
  // Pixel rows start at the data offset; an 8-bit file's colour table fills
  // the gap after the header, which must fit the 256 entries.
  if (layout.dataOffset < kHeaderSize || layout.dataOffset > fileSize) return BmpFault::Damaged;
  if (layout.bitsPerPixel == 8 && layout.dataOffset - kHeaderSize > kColourTableBytes) return BmpFault::Damaged;
  const uint64_t bytesPerRow = uint64_t(width) * uint64_t(layout.bitsPerPixel / 8);
  layout.rowBytes = (bytesPerRow + 3) & ~uint64_t(3);
  layout.end = uint64_t(layout.dataOffset) + layout.rowBytes * uint64_t(rows);
  if (layout.end > fileSize) return BmpFault::Damaged;
  return BmpFault::None;
}

std::string Formatted(const char* format, const std::string& path, int number = 0) {
  std::string text(std::strlen(format) + path.size() + 16, '\0');
  const int n = format == palette::msg::BmpDepthFormatted
                    ? std::snprintf(text.data(), text.size(), format, path.c_str(), number)
                    : std::snprintf(text.data(), text.size(), format, path.c_str());
  text.resize(size_t(n > 0 ? n : 0));
  return text;
}

std::string FaultMessage(BmpFault fault, const std::string& path, int bits, BmpPathStyle style) {
  using namespace palette::msg;
  const bool joined = style == BmpPathStyle::Joined;
  switch (fault) {
    case BmpFault::OneBit:
      return joined ? BmpFilePrefix + path + BmpOneBitJoined : Formatted(BmpDepthFormatted, path, bits);
    case BmpFault::FourBit:
      return joined ? BmpFilePrefix + path + BmpFourBitJoined : Formatted(BmpDepthFormatted, path, bits);
    default:
      return Formatted(BmpDamaged, path);
  }
}

// The pixels of a checked layout; bytes hold at least layout.end bytes.
void DecodePixels(const uint8_t* bytes, const BmpLayout& layout, TextureImage& image) {
  uint8_t colours[kColourTableBytes] = {};
  if (layout.bitsPerPixel == 8) std::memcpy(colours, bytes + kHeaderSize, layout.dataOffset - kHeaderSize);
  image.width = uint16_t(layout.width);
  image.height = uint16_t(layout.height);
  image.pixels.assign(size_t(layout.width) * size_t(layout.height) * 3, 0);
  for (int fileRow = 0; fileRow < layout.height; ++fileRow) {
    const uint8_t* in = bytes + layout.dataOffset + layout.rowBytes * uint64_t(fileRow);
    const int pictureRow = layout.topDown ? fileRow : layout.height - 1 - fileRow;
    uint8_t* out = image.pixels.data() + size_t(pictureRow) * size_t(layout.width) * 3;
    if (layout.bitsPerPixel == 8) {
      for (int x = 0; x < layout.width; ++x) {
        const uint8_t* entry = colours + size_t(in[x]) * 4;  // B, G, R, reserved
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
        out += 3;
      }
    } else {
      for (int x = 0; x < layout.width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    }
  }
}

}  // namespace

bool DecodeBmpTexture(const uint8_t* bytes, size_t size, const std::string& path, TextureImage& image,
                      std::string& error, BmpPathStyle style) {
  BmpLayout layout;
  const BmpFault fault = ParseLayout(bytes, size, size, layout);
  if (fault != BmpFault::None) {
    error = FaultMessage(fault, path, layout.bitsPerPixel, style);
    return false;
  }
  DecodePixels(bytes, layout, image);
  return true;
}

bool LoadBmpTexture(const std::string& path, TextureImage& image, std::string& error, BmpPathStyle style) {
  const std::string name = style == BmpPathStyle::FileNameOnly ? std::string(FileNamePart(path)) : path;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(name.c_str(), "rb"), std::fclose);
  if (!file) {
    error = Formatted(palette::msg::BmpOpenFailed, name);
    return false;
  }
  uint8_t header[kHeaderSize];
  const size_t got = std::fread(header, 1, kHeaderSize, file.get());
  long fileSize = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) fileSize = std::ftell(file.get());
  BmpLayout layout;
  BmpFault fault = fileSize < 0 ? BmpFault::Damaged : ParseLayout(header, got, uint64_t(fileSize), layout);
  std::vector<uint8_t> bytes;
  if (fault == BmpFault::None) {
    bytes.resize(size_t(layout.end));
    if (std::fseek(file.get(), 0, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
      fault = BmpFault::Damaged;
  }
  if (fault != BmpFault::None) {
    error = FaultMessage(fault, name, layout.bitsPerPixel, style);
    return false;
  }
  DecodePixels(bytes.data(), layout, image);
  return true;
}

std::vector<uint8_t> EncodeBmpTexture(const TextureImage& image, const uint8_t* colours768, bool topDown) {
  const int bits = colours768 ? 8 : 24;
  const uint32_t tableBytes = colours768 ? uint32_t(kColourTableBytes) : 0;
  const uint32_t rowBytes = (uint32_t(image.width) * uint32_t(bits / 8) + 3) & ~3u;
  const uint32_t dataOffset = uint32_t(kHeaderSize) + tableBytes;
  std::vector<uint8_t> bytes(dataOffset + size_t(rowBytes) * image.height, 0);
  uint8_t* h = bytes.data();
  h[0] = 'B';
  h[1] = 'M';
  zvl::le::put32(h + 2, uint32_t(bytes.size()));
  zvl::le::put32(h + 10, dataOffset);
  zvl::le::put32(h + 14, 40);
  zvl::le::put32(h + 18, image.width);
  zvl::le::put32(h + 22, topDown ? uint32_t(-int32_t(image.height)) : uint32_t(image.height));
  zvl::le::put16(h + 26, 1);
  zvl::le::put16(h + 28, uint16_t(bits));
  zvl::le::put32(h + 34, uint32_t(bytes.size()) - dataOffset);
  if (colours768) {
    zvl::le::put32(h + 46, 256);
    for (int e = 0; e < 256; ++e) {
      h[kHeaderSize + e * 4] = colours768[e * 3 + 2];
      h[kHeaderSize + e * 4 + 1] = colours768[e * 3 + 1];
      h[kHeaderSize + e * 4 + 2] = colours768[e * 3];
    }
  }
  for (int row = 0; row < image.height; ++row) {
    const int pictureRow = topDown ? row : image.height - 1 - row;
    const uint8_t* in = image.pixels.data() + size_t(pictureRow) * image.width * 3;
    uint8_t* out = h + dataOffset + size_t(rowBytes) * row;
    for (int x = 0; x < image.width; ++x, in += 3) {
      if (colours768) {
        int index = 0;
        for (int e = 0; e < 256; ++e) {
          if (std::memcmp(colours768 + e * 3, in, 3) == 0) {
            index = e;
            break;
          }
        }
        out[x] = uint8_t(index);
      } else {
        out[x * 3] = in[2];
        out[x * 3 + 1] = in[1];
        out[x * 3 + 2] = in[0];
      }
    }
  }
  return bytes;
}

int WriteBmpTexture(const std::string& path, const TextureImage& image, const uint8_t* colours768) {
  const std::vector<uint8_t> bytes = EncodeBmpTexture(image, colours768);
  return ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : ZvlFailure;
  });
}
