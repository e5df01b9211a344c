// Alias RTG scene text: keywords, hierarchy, objects, texture table.
#include "import/rtg_messages.h"
#include "import/rtg_scene.h"
#include "import/rtg_words.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegrees = 3.141592653589793 / 180;

constexpr const char* kOptionKeywords[kRtgOptionCount] = {"OUTPUT_VERT_NORMS", "OUTPUT_TEX_COORDS",
                                                          "OUTPUT_POLY_NORMS", "OUTPUT_HIERARCHY",
                                                          "SHOW_INDEX_COUNTERS", "OUTPUT_VERT_COLORS"};

class Parser {
 public:
  Parser(std::string_view text, RtgScene& scene, const RtgProgress& progress)
      : words_(text), scene_(scene), progress_(progress) {}

  // Reads the whole text; false with the reason of the first failure.
  bool Run(std::string& error) {
    std::string word;
    while (!failed_ && words_.Next(word)) {
      if (word == "HEADER_TITLE") scene_.title = words_.RestOfLine();
      else if (word == "HEADER_VERSION") scene_.version = words_.RestOfLine();
      else if (word == "HEADER_DATE") scene_.date = words_.RestOfLine();
      else if (word == "NUMBER_OF_OBJECTS") scene_.objectCount = Integer("NUMBER_OF_OBJECTS");
      else if (word == "TEXTURE_MODE") TextureMode();
      else if (word == "HIERARCHY_LIST") Hierarchy();
      else if (word == "OBJECT_START") Object();
      else if (word == "TEXTURE_TABLE") TextureTable();
      else
        for (int k = 0; k < kRtgOptionCount; ++k)
          if (word == kOptionKeywords[k]) scene_.options[k] = Word(kOptionKeywords[k]) == "on";
    }
    error = reason_;
    return !failed_;
  }

 private:
  // The first failure is kept; after it every read gives an empty word, so
  // the sections run out quickly and Run reports it.
  void Fail(const char* reason, const std::string& where) {
    if (failed_) return;
    failed_ = true;
    reason_ = std::string(reason) + " " + where;
  }
  std::string Word(const char* where) {
    std::string word;
    if (!failed_ && !words_.Next(word)) Fail(rtg::msg::FileEnds, where);
    return word;
  }
  int Integer(const char* where) { return RtgInteger(Word(where)); }
  float Number(const char* where) { return float(RtgNumber(Word(where))); }
  // A count that the words still to come can hold (each entry takes at
  // least two bytes).
  size_t Count(int value, const char* where) {
    if (value < 0 || size_t(value) > words_.Remaining() / 2) {
      Fail(rtg::msg::CountTooLarge, where);
      return 0;
    }
    return size_t(value);
  }
  void IndexWord(const char* where) {
    if (scene_.options[kRtgIndexCounters]) Word(where);
  }

  void TextureMode() {
    const std::string mode = Word("TEXTURE_MODE");
    scene_.textureMode = mode == "per_shader" ? 1 : mode == "per_polygon" ? 2 : 0;
  }

  void Hierarchy() {
    const char* where = "HIERARCHY_LIST";
    scene_.transformMode = Word(where) == "MAT4x4" ? 1 : 0;
    scene_.declaredNodeCount = Integer(where);
    while (!failed_) {
      const std::string first = Word(where);
      if (first == "END_HIERARCHY_LIST") return;
      const int level = RtgInteger(first);
      const std::string kind = Word(where);
      const std::string name = Word(where);
      if (kind != "G" && kind != "P") continue;
      RtgNode node;
      node.level = level;
      node.polygon = kind == "P";
      node.name = name;
      // The parent: the most recent group one level up.
      if (level > 0)
        for (size_t i = scene_.nodes.size(); i-- > 0;)
          if (!scene_.nodes[i].polygon && scene_.nodes[i].level == level - 1) {
            node.parent = int(i);
            break;
          }
      if (scene_.transformMode == 0) {
        for (auto* triple : {&node.translation, &node.rotation, &node.scale, &node.further, &node.pivot})
          for (float& value : *triple) {
            Word(where);  // the label
            value = Number(where);
          }
        for (float& r : node.rotation) r = float(r * kDegrees);
      }
      while (!failed_ && Word(where) != "worldTM:") {
      }
      for (int k = 0; k < 3; ++k) {
        for (int row = 0; row < 3; ++row) node.worldMatrix[size_t(row * 3 + k)] = Number(where);
        node.worldTranslation[size_t(k)] = Number(where);
      }
      if (node.parent >= 0) scene_.nodes[size_t(node.parent)].children.push_back(int(scene_.nodes.size()));
      scene_.nodes.push_back(std::move(node));
    }
  }

  // The polygon node an object's data goes to: the first polygon node of
  // that name still without an object, else a new root node.
  RtgNode& ObjectNode(const std::string& name) {
    for (RtgNode& node : scene_.nodes)
      if (node.polygon && !node.hasObject && node.name == name) return node;
    RtgNode node;
    node.polygon = true;
    node.name = name;
    scene_.nodes.push_back(std::move(node));
    return scene_.nodes.back();
  }

  static size_t CountOf(const std::string& word) { return word.size() > 1 ? size_t(std::max(0, RtgInteger(word.substr(1)))) : 0; }

  void Object() {
    const char* where = "OBJECT_START";
    if (progress_ && scene_.objectCount > 0) progress_(int(std::min(100LL, objectsRead_ * 100LL / scene_.objectCount)));
    ++objectsRead_;
    const std::string name = Word(where);
    const bool normals = scene_.options[kRtgVertNorms], texCoords = scene_.options[kRtgTexCoords];
    const size_t vertexCount = Count(int(CountOf(Word(where))), where);
    const size_t normalCount = normals ? Count(int(CountOf(Word(where))), where) : 0;
    const size_t texCount = texCoords ? Count(int(CountOf(Word(where))), where) : 0;
    const size_t polygonCount = Count(int(CountOf(Word(where))), where);
    RtgNode& node = ObjectNode(name);
    node.hasObject = true;
    const auto triples = [&](std::vector<std::array<float, 3>>& list, size_t count) {
      Word(where);  // the list's label
      list.resize(count);
      for (auto& entry : list) {
        IndexWord(where);
        for (float& value : entry) value = Number(where);
      }
    };
    triples(node.vertices, vertexCount);
    if (scene_.options[kRtgVertColours]) triples(node.vertexColours, vertexCount);
    if (normals) triples(node.normals, normalCount);
    if (texCoords) {
      Word(where);
      node.texCoords.resize(texCount);
      for (auto& entry : node.texCoords) {
        IndexWord(where);
        entry[0] = Number(where);
        entry[1] = Number(where);
      }
    }
    Word(where);
    node.polygons.resize(polygonCount);
    for (RtgPolygon& p : node.polygons) {
      IndexWord(where);
      for (int32_t& v : p.v) v = Integer(where);
      if (normals)
        for (int32_t& n : p.normal) n = Integer(where);
      if (texCoords)
        for (int32_t& t : p.tex) t = Integer(where);
      const std::string word = Word(where);
      if (!word.empty() && word[0] == 'T') {
        p.texture = word.size() > 1 ? RtgInteger(word.substr(1)) : Integer(where);
      } else {
        p.rgb[0] = uint8_t(std::clamp(RtgInteger(word), 0, 255));
        p.rgb[1] = uint8_t(std::clamp(Integer(where), 0, 255));
        p.rgb[2] = uint8_t(std::clamp(Integer(where), 0, 255));
      }
    }
    if (!failed_) CheckPolygons(node);
    if (!node.vertices.empty()) {
      std::array<float, 3> low = node.vertices[0], high = node.vertices[0];
      for (const auto& v : node.vertices)
        for (int k = 0; k < 3; ++k) {
          low[size_t(k)] = std::min(low[size_t(k)], v[size_t(k)]);
          high[size_t(k)] = std::max(high[size_t(k)], v[size_t(k)]);
        }
      for (int k = 0; k < 3; ++k) node.centre[size_t(k)] = (low[size_t(k)] + high[size_t(k)]) * 0.5f;
    }
  }

  void CheckPolygons(const RtgNode& node) {
    for (const RtgPolygon& p : node.polygons)
      for (int k = 0; k < 3; ++k) {
        if (p.v[k] < 0 || size_t(p.v[k]) >= node.vertices.size()) return Fail(rtg::msg::PolygonVertex, node.name);
        if (scene_.options[kRtgTexCoords] && (p.tex[k] < 0 || size_t(p.tex[k]) >= node.texCoords.size()))
          return Fail(rtg::msg::PolygonTexCoord, node.name);
        if (scene_.options[kRtgVertNorms] && (p.normal[k] < 0 || size_t(p.normal[k]) >= node.normals.size()))
          return Fail(rtg::msg::PolygonNormal, node.name);
      }
  }

  void TextureTable() {
    const char* where = "TEXTURE_TABLE";
    scene_.textureFile = Word(where);
    const size_t count = Count(Integer(where), where);
    scene_.textureHeaderSize = Integer(where);
    scene_.textureTableRest = words_.RestOfLine();
    scene_.textures.resize(count);
    for (RtgTexture& texture : scene_.textures) {
      IndexWord(where);
      texture.width = Integer(where);
      texture.height = Integer(where);
      texture.third = Integer(where);
    }
  }

  RtgWordReader words_;
  RtgScene& scene_;
  const RtgProgress& progress_;
  int objectsRead_ = 0;
  bool failed_ = false;
  std::string reason_;
};

}  // namespace

bool ReadRtgText(std::string_view text, RtgScene& scene, std::string& error, const RtgProgress& progress) {
  scene = RtgScene{};
  if (!Parser(text, scene, progress).Run(error)) return false;
  // Texture indices are checked once the whole file is read: the table may
  // come after the objects.
  for (const RtgNode& node : scene.nodes)
    for (const RtgPolygon& p : node.polygons)
      if (p.texture != -1 && (p.texture < 0 || size_t(p.texture) >= scene.textures.size())) {
        error = std::string(rtg::msg::PolygonTexture) + " " + node.name;
        return false;
      }
  return true;
}
