// Writes the windmill sample scene in the authoring program's three input
// formats, its texture and the ACT palette:
//   make_scenes SAMPLES_DIR
// gives SAMPLES_DIR/main_p6.act and, in SAMPLES_DIR/windmill/, bricks.bmp,
// windmill.3ds, windmill.lws with tower.lwo, cap.lwo and blades.lwo, and
// windmill.rtg with its materials windmill.bin and the animation files
// windanim_mill and windanim_rotor.
#include "palette/palette.h"
#include "samples/scene_writers.h"
#include "samples/windmill_scene.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (samples::WriteFileBytes(path, bytes) == 0) return true;
  std::fprintf(stderr, "make_scenes: cannot write %s\n", path.c_str());
  return false;
}

bool WriteText(const std::string& path, const std::string& text) {
  return Write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_scenes SAMPLES_DIR\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::string dir = root + "/windmill";
  std::error_code error;
  std::filesystem::create_directories(dir, error);

  const std::array<uint8_t, 768> palette = samples::MainPalette();
  if (WriteActPalette(root + "/main_p6.act", palette.data()) != 0) {
    std::fprintf(stderr, "make_scenes: cannot write %s/main_p6.act\n", root.c_str());
    return 1;
  }
  TextureImage bricks;
  int width = 0, height = 0;
  bricks.pixels = samples::BrickTexels(width, height);
  bricks.width = uint16_t(width);
  bricks.height = uint16_t(height);
  bool ok = Write(dir + "/bricks.bmp", EncodeBmpTexture(bricks));
  ok = ok && Write(dir + "/windmill.3ds", samples::Write3ds(samples::Windmill3ds()));

  const samples::LwsFiles lws = samples::WindmillLws();
  ok = ok && WriteText(dir + "/windmill.lws", lws.scene);
  for (const auto& [name, bytes] : lws.objects) ok = ok && Write(dir + "/" + name, bytes);

  const samples::RtgFiles rtg = samples::WindmillRtg("windmill.bin");
  ok = ok && WriteText(dir + "/windmill.rtg", rtg.scene);
  ok = ok && Write(dir + "/windmill.bin", rtg.materials);
  for (const auto& [node, text] : rtg.animations) ok = ok && WriteText(dir + "/windanim_" + node, text);
  return ok ? 0 : 1;
}
