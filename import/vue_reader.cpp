// The VUE animation file: per frame, each object's world matrix and
// translation. Frame blocks are counted, not numbered: the k-th block fills
// frame k, while the frame count comes from the last frame number + 1.
#include "import/messages.h"
#include "import/tds_animation.h"
#include "import/word_reader.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace importer {

namespace {

// The file as a text-mode read gives it: carriage returns before line feeds
// dropped.
std::vector<uint8_t> AsText(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text.push_back(bytes[i]);
  return text;
}

int64_t CountFrames(std::span<const uint8_t> text) {
  WordReader words(text);
  std::string word;
  int64_t last = 0;
  while (words.Word(word))
    if (word == "frame" && words.Word(word)) last = WordToInt(word);
  return last + 1;
}

// The matrix values come column after column.
constexpr int kVueMatrixOrder[9] = {0, 3, 6, 1, 4, 7, 2, 5, 8};

}  // namespace

bool ParseVue(std::span<const uint8_t> bytes, Scene3DS& scene, const ImportCallbacks& callbacks) {
  callbacks.Begin(msg::LoadingVue, 100);
  const std::vector<uint8_t> text = AsText(bytes);
  if (!AllocateFrames3DS(scene, CountFrames(text), callbacks)) return false;
  const int n = scene.frameCount;

  WordReader words(text);
  std::string word;
  words.Line(word);  // the header
  words.Word(word);  // the first "frame"
  bool readFailed = false;
  for (int k = 0; k < n && !readFailed; ++k) {
    if (!callbacks.Step(int(int64_t(k + 1) * 100 / n))) return false;
    if (!words.Word(word)) break;  // the frame number, not used
    while (true) {
      if (!words.Word(word)) {
        readFailed = true;
        break;
      }
      if (word == "frame") break;
      if (word != "transform") continue;
      if (!words.Word(word)) {
        readFailed = true;
        break;
      }
      const std::string name = word.size() >= 2 ? word.substr(1, word.size() - 2) : std::string();
      const int nodeIndex = scene.FindNode(name);
      if (nodeIndex < 0) {
        callbacks.Error(msg::VueCorrupted);
        return false;
      }
      KeyframerNode3DS& node = *scene.nodes[size_t(nodeIndex)];
      Mat3& matrix = node.matrices[size_t(k)];
      Vec3 location{0, 0, 0};
      for (int i = 0; i < 12 && !readFailed; ++i) {
        if (!words.Word(word)) {
          readFailed = true;
          break;
        }
        if (i < 9)
          matrix[size_t(kVueMatrixOrder[i])] = WordToDouble(word);
        else
          location[size_t(i - 9)] = WordToDouble(word);
      }
      if (readFailed) break;
      node.locations[size_t(k)] = {float(location[0]), float(location[1]), float(location[2])};
      node.frameFlags[size_t(k)] = kFrameShown;
    }
  }
  return true;
}

bool ReadVue(const std::string& path, Scene3DS& scene, const ImportCallbacks& callbacks) {
  std::error_code ec;
  std::ifstream file;
  if (std::filesystem::is_regular_file(path, ec)) file.open(path, std::ios::binary);
  if (!file.is_open()) {
    callbacks.Error(std::string(msg::CannotOpenFile) + " " + path);
    return false;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ParseVue(bytes, scene, callbacks);
}

}  // namespace importer
