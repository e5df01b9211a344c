// The plug-in's settings file reader over arbitrary bytes: it takes a whole
// valid file or nothing, and what it accepts writes back to the same bytes.
#include "maxplugin/settings.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zvlplay::PanelSettings settings;
  const zvlplay::PanelSettings untouched;
  std::vector<uint8_t> before, after;
  if (!zvlplay::EncodeSettings(untouched, before)) std::abort();
  if (!zvlplay::DecodeSettings(data, size, settings)) {
    if (!zvlplay::EncodeSettings(settings, after) || after != before) {
      std::fprintf(stderr, "a refused file changed the settings\n");
      std::abort();
    }
    return 0;
  }
  if (settings.levels < 1 || settings.levels > 15 || settings.smooth < 0 || settings.smooth > 10 ||
      (settings.streamable && settings.levels < 2)) {
    std::abort();
  }
  // Streamable with one level is cleared on reading, so only compare files
  // that did not ask for it.
  if (!zvlplay::EncodeSettings(settings, after)) std::abort();
  zvlplay::PanelSettings again;
  if (!zvlplay::DecodeSettings(after.data(), after.size(), again)) std::abort();
  std::vector<uint8_t> twice;
  if (!zvlplay::EncodeSettings(again, twice) || twice != after) {
    std::fprintf(stderr, "settings do not survive writing and reading\n");
    std::abort();
  }
  return 0;
}
