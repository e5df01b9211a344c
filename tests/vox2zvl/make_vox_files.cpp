// Writes the bundled sample VOX file and the fuzz target's seed corpus, both
// made by the tests' VOX writer:
//   vox2zvl_make_files samples/sample.vox tests/fuzz/corpus/vox2zvl_fuzz
#include "tests/vox2zvl/voxwriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SAMPLE_PATH CORPUS_DIR\n", argv[0]);
    return 2;
  }
  if (!WriteFile(argv[1], voxtest::WriteVox(voxtest::SampleScene()))) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  std::filesystem::create_directories(argv[2]);
  for (const auto& [name, bytes] : voxtest::CorpusFiles())
    if (!WriteFile(std::filesystem::path(argv[2]) / name, bytes)) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], name.c_str());
      return 1;
    }
  return 0;
}
