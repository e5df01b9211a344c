// ACT palette files: 256 R, G, B entries, no header. Longer files are
// accepted and only their first 768 bytes read.
#include "palette/messages.h"
#include "palette/palette.h"

#include "zvlfile/io.h"

#include <cstdio>
#include <memory>

int LoadActPalette(const std::string& path, uint8_t colours[768], std::string& error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file || std::fread(colours, 1, kActPaletteSize, file.get()) != kActPaletteSize) {
    error = palette::msg::ErrorReadingActPalette;
    return -1;
  }
  return 0;
}

int WriteActPalette(const std::string& path, const uint8_t colours[768]) {
  return ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, colours, long(kActPaletteSize)) == long(kActPaletteSize) ? 0 : ZvlFailure;
  });
}

std::string_view FileNamePart(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}
