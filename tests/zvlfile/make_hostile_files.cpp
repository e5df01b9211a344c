// Writes small ZVL files of the kinds hostile or old files are, for the
// command-line tests and the reader's fuzz corpus:
//   make_hostile_files DIR
// late_frame_counter.zvl  an animated link before the frame counter
// lying_total_size.zvl    a split object whose size chunk exceeds its parts
// latin1_names.zvl        database, palette, scene and object names in Latin-1
// no_palette.zvl          geometry without palette or colour table (readable)
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

namespace id = zvl::id;

class Builder {
 public:
  explicit Builder(ZvlHandle h) : h_(h) { ZvlBeginChunkWrite(); }
  ~Builder() { ZvlEndChunkWrite(); }
  Builder& open(uint32_t chunk) { return ZvlOpenChunk(h_, chunk), *this; }
  Builder& close() { return ZvlCloseChunk(), *this; }
  Builder& leaf(uint32_t chunk, const std::vector<uint8_t>& payload) {
    ZvlOpenChunk(h_, chunk);
    if (!payload.empty()) ZvlWriteChunkData(h_, payload.data(), long(payload.size()));
    return close();
  }
  Builder& leafInt(uint32_t chunk, int32_t value) {
    std::vector<uint8_t> payload(4);
    zvl::le::putI32(payload.data(), value);
    return leaf(chunk, payload);
  }
  Builder& leafText(uint32_t chunk, const std::string& text) {
    return leaf(chunk, std::vector<uint8_t>(text.begin(), text.end()));
  }

 private:
  ZvlHandle h_;
};

std::vector<uint8_t> rowObject() {
  std::vector<VoxPixel> chain(4);
  for (int i = 0; i < 4; ++i) chain[size_t(i)].x = int16_t(i), chain[size_t(i)].color = uint8_t(i);
  std::vector<uint8_t> part;
  VoxBuildPart(std::vector<std::vector<VoxPixel>>{chain}, 1.0f, VoxPartForm::WithZeroWord, {}, part);
  return part;
}

std::vector<uint8_t> version(float value) {
  std::vector<uint8_t> bytes(4);
  zvl::le::putF32(bytes.data(), value);
  return bytes;
}

bool write(const std::string& path, void (*body)(Builder&)) {
  const int result = ZvlWriteFileReplacing(path, [&](ZvlHandle h) {
    Builder b(h);
    b.open(id::Main).leaf(id::Version, version(8.1f));
    body(b);
    b.close();
    return 0;
  });
  if (result != 0) std::fprintf(stderr, "make_hostile_files: %s: %s\n", path.c_str(), ZvlGetErrorText());
  return result == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_hostile_files DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = write(dir + "/late_frame_counter.zvl", [](Builder& b) {
    b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::LinkTree);
    b.leafInt(id::LinkFlags, int32_t(ZvlLinkAnimated)).leaf(id::ObjectParent, {}).close().close();
    b.leafInt(id::FrameCounter, 100000).close();
  });
  ok = write(dir + "/lying_total_size.zvl", [](Builder& b) {
    const auto vox = rowObject();
    b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).open(id::Geometry);
    b.leafInt(id::VoxObjectSize, int32_t(vox.size()) + 100).leaf(id::VoxObject, vox).close().close().close();
  }) && ok;
  ok = write(dir + "/latin1_names.zvl", [](Builder& b) {
    b.leafText(id::DatabaseName, "Sch\xf6ne Szene");
    b.open(id::Palette).leafText(id::PaletteName, "Farbt\xf6ne.act").close();
    b.open(id::Scene).leafText(id::SceneName, "Sc\xe8ne").leafInt(id::ObjectCounter, 1).open(id::Object);
    b.leafText(id::ObjectName, "K\xf6rper").open(id::Geometry).leaf(id::VoxObject, rowObject()).close().close();
    b.close();
  }) && ok;
  ok = write(dir + "/no_palette.zvl", [](Builder& b) {
    b.open(id::Scene).leafInt(id::ObjectCounter, 1).open(id::Object).leafText(id::ObjectName, "row");
    b.open(id::Geometry).leaf(id::VoxObject, rowObject()).close().close().close();
  }) && ok;
  return ok ? 0 : 1;
}
