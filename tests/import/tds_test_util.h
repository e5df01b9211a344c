// Reading scenes written by tdstest in memory, with their messages.
#pragma once

#include "import/tds_animation.h"
#include "import/tds_reader.h"
#include "tests/import/tds_writer.h"

#include <string>
#include <vector>

namespace tdstest {

struct Read {
  bool ok = false;
  importer::Scene3DS scene;
  std::vector<std::string> errors, warnings;
  ImportCallbacks callbacks;
  Read() {
    callbacks.error = [this](const std::string& m) { errors.push_back(m); };
    callbacks.warning = [this](const std::string& m) { warnings.push_back(m); };
  }
};

inline void Parse(Read& r, const std::vector<uint8_t>& bytes) {
  r.ok = importer::ParseScene3DS(bytes, "scene.3ds", r.scene, r.callbacks);
}

// Reads the scene and runs the keyframer calculation.
inline void Animate(Read& r, const Scene& scene) {
  Parse(r, Write(scene));
  if (r.ok) r.ok = importer::CalculateAnimation3DS(r.scene, r.callbacks);
}

}  // namespace tdstest
