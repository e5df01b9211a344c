// Feeds arbitrary bytes to the player's two readers: the settings file
// ("zsi") decoder, and the start picture's BMP decoder drawing into a small
// image. A decoded settings record must encode back to the same first 124
// bytes. The seeds are a settings file and small BMPs written by our
// scripts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "player/settings_file.h"
#include "player/start_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto copy = std::make_unique<uint8_t[]>(size ? size : 1);
  if (size) std::memcpy(copy.get(), data, size);
  const std::span<const uint8_t> bytes(copy.get(), size);

  zvplay::SettingsRecord record;
  if (zvplay::DecodeSettings(bytes, record)) {
    const auto encoded = zvplay::EncodeSettings(record);
    // Bytes 61..63 are written as zero whatever they were; booleans as 0 or 1.
    for (size_t i = 0; i < encoded.size(); ++i) {
      if ((i >= 61 && i < 64) || (i >= 92 && i < 96)) continue;
      if (encoded[i] != copy[i]) std::abort();
    }
  }

  std::vector<uint16_t> pixels(37 * 23, 0xABCD);
  const zvplay::ImageView16 image{pixels.data(), 33, 23, 37, zvplay::PixelFormat::Rgb565};
  if (!zvplay::DrawStartPicture(bytes, image)) {
    for (uint16_t v : pixels)
      if (v != 0xABCD) std::abort();
  }
  // Nothing lands in the pitch beyond the width.
  for (int y = 0; y < 23; ++y)
    for (int x = 33; x < 37; ++x)
      if (pixels[size_t(y * 37 + x)] != 0xABCD) std::abort();
  return 0;
}
