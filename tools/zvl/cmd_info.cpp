// zvl info: what a ZVL file holds, as text or JSON.
#include "tools/zvl/command.h"
#include "zvlfile/text.h"
#include "zvlfile/zvlfile.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

using nlohmann::json;

struct PartInfo {
  int kind = 0;
  float pixelSize = 0;
  int pixels = 0;
  int chains = 0;
  size_t size = 0;
  size_t fixPoints = 0;
};

std::vector<PartInfo> describeParts(const ObjectGeometry& geometry) {
  std::vector<PartInfo> result;
  std::vector<VoxPartView> parts;
  if (!geometry.voxObject || !VoxListParts(geometry.voxObject, size_t(geometry.totalSize), parts))
    return result;
  for (const VoxPartView& part : parts) {
    PartInfo info;
    info.kind = part.head.kind;
    info.pixelSize = part.head.pixelSize;
    info.pixels = part.head.pixelCount;
    info.size = part.length;
    info.fixPoints = VoxFixPoints(part).size();
    VoxChainCursor cursor(part);
    VoxChainView chain;
    while (cursor.next(chain)) ++info.chains;
    result.push_back(info);
  }
  return result;
}

// Floats as the short decimal they were written from (7.2, not 7.19999980926).
double shortDecimal(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", double(value));
  return std::stod(text);
}

// Names are bytes from the file: shown as UTF-8, whatever is not replaced.
json nameOrNull(const char* name) { return name ? json(ZvlNameAsUtf8(name)) : json(nullptr); }

// One object: its name, parts, animation and link. `pixels` gets the 3D
// pixels of its finest part.
json describeObject(const ZorvelDatabase& db, int32_t i, long long& pixels) {
  json object;
  object["name"] = nameOrNull(db.objectNames ? db.objectNames[i] : nullptr);
  const bool hasGeometry = db.geometry && db.geometry[i].voxObject;
  object["total_size"] = hasGeometry ? db.geometry[i].totalSize : 0;
  json parts = json::array();
  pixels = 0;
  if (hasGeometry) {
    const auto infos = describeParts(db.geometry[i]);
    if (!infos.empty()) pixels = infos.front().pixels;
    for (const PartInfo& info : infos)
      parts.push_back({{"kind", info.kind},
                       {"pixel_size", shortDecimal(info.pixelSize)},
                       {"pixels", info.pixels},
                       {"chains", info.chains},
                       {"size", info.size},
                       {"fix_points", info.fixPoints}});
  }
  object["parts"] = parts;
  object["animated"] = db.animation != nullptr && db.frameCount > 0 &&
                       (db.animation[i].flags || db.animation[i].locations || db.animation[i].matrices);
  const bool linked = db.links != nullptr;
  object["linked"] = linked;
  const bool hasParent = linked && db.links[i].parents && ZvlLinkEntries(db, db.links[i]) > 0;
  object["parent"] = hasParent ? json(db.links[i].parents[0]) : json(nullptr);
  return object;
}

// The fields before "objects" and after it, in the order JSON output sorts them.
json describeHead(const ZorvelDatabase& db) {
  return {{"database", nameOrNull(db.databaseName)},
          {"frames", db.frameCount},
          {"has_color_table", db.colorTable != nullptr},
          {"has_palette", db.palette != nullptr}};
}
json describeTail(const ZorvelDatabase& db, long long pixels) {
  return {{"palette_name", nameOrNull(db.paletteName)},
          {"pixels", pixels},
          {"scene", nameOrNull(db.sceneName)},
          {"streamable", (db.flags & ZvlStreamable) != 0},
          {"version", shortDecimal(db.version)}};
}

std::string text(const json& value) { return value.is_null() ? "(none)" : value.get<std::string>(); }

void printText(const std::string& path, const ZorvelDatabase& db) {
  const json head = describeHead(db);
  const json tail = describeTail(db, 0);
  std::cout << path << "\n"
            << "  version:   " << tail["version"].get<double>() << "\n"
            << "  database:  " << text(head["database"]) << "\n"
            << "  palette:   " << text(tail["palette_name"])
            << (head["has_palette"].get<bool>() ? "" : " (no palette)")
            << (head["has_color_table"].get<bool>() ? ", 16-bit colour table" : "") << "\n"
            << "  scene:     " << text(tail["scene"]) << "\n"
            << "  storage:   " << (tail["streamable"].get<bool>() ? "streamable (split by level)" : "whole objects")
            << "\n"
            << "  frames:    " << db.frameCount << "\n"
            << "  objects:   " << db.objectCount << "\n";
  long long total = 0;
  for (int32_t index = 0; index < db.objectCount; ++index) {
    long long pixels = 0;
    const json object = describeObject(db, index, pixels);
    total += pixels;
    std::cout << "  [" << index << "] " << text(object["name"]);
    if (object["animated"].get<bool>()) std::cout << ", animated";
    if (!object["parent"].is_null()) {
      const int parent = object["parent"].get<int>();
      std::cout << (parent < 0 ? ", no parent" : ", parent " + std::to_string(parent));
    }
    std::cout << "\n";
    for (const json& part : object["parts"]) {
      std::cout << "      part: 3D pixel size " << part["pixel_size"].get<double>() << ", "
                << part["pixels"].get<int>() << " 3D pixels, " << part["chains"].get<int>() << " chain"
                << (part["chains"].get<int>() == 1 ? "" : "s") << ", " << part["size"].get<size_t>() << " bytes";
      if (part["fix_points"].get<size_t>() > 0) std::cout << ", " << part["fix_points"].get<size_t>() << " fix points";
      std::cout << "\n";
    }
  }
  std::cout << "  3D pixels: " << total << "\n";
}

// One object's placement in every frame: flag bytes, locations, and 3x3
// matrices row after row.
json animationOf(const ZorvelDatabase& db, int32_t object) {
  json flags = json::array(), locations = json::array(), matrices = json::array();
  const ObjectAnimation* animation = db.animation ? &db.animation[object] : nullptr;
  for (int32_t f = 0; animation && f < db.frameCount; ++f) {
    if (animation->flags) flags.push_back(animation->flags[f]);
    if (animation->locations) {
      json location = json::array();
      for (int k = 0; k < 3; ++k) location.push_back(shortDecimal(animation->locations[3 * f + k]));
      locations.push_back(location);
    }
    if (animation->matrices) {
      json matrix = json::array();
      for (int k = 0; k < 9; ++k) matrix.push_back(shortDecimal(animation->matrices[9 * f + k]));
      matrices.push_back(matrix);
    }
  }
  return {{"flags", flags}, {"locations", locations}, {"matrices", matrices}};
}

// Objects are described and printed one at a time, so that a file of a
// million objects needs no more than one object's description at once.
void printJson(const ZorvelDatabase& db, bool withAnimation) {
  const std::string head = describeHead(db).dump();
  std::cout << head.substr(0, head.size() - 1) << ",\"objects\":[";
  long long total = 0;
  for (int32_t i = 0; i < db.objectCount; ++i) {
    long long pixels = 0;
    json object = describeObject(db, i, pixels);
    if (withAnimation) object["animation"] = animationOf(db, i);
    std::cout << (i ? "," : "") << object.dump();
    total += pixels;
  }
  std::cout << "]," << describeTail(db, total).dump().substr(1) << "\n";
}

struct InfoOptions {
  std::vector<std::string> files;
  bool json = false;
  bool animation = false;
};

void install(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand("info", "Summarise ZVL files: names, frames, objects, levels of detail");
  cmd->add_option("files", options->files, "ZVL files")->required()->check(CLI::ExistingFile);
  cmd->add_flag("--json", options->json, "One JSON object per file");
  cmd->add_flag("--animation", options->animation,
                "With --json: every object's flags, locations and matrices of every frame");
  cmd->callback([options] {
    for (const std::string& path : options->files) {
      ZvlDatabasePtr db(ZvlReadDatabaseFile(path.c_str()));
      if (!db) {
        std::cerr << "zvl: " << path << ": " << ZvlGetErrorText() << "\n";
        zvltool::exitCode() = 1;
        continue;
      }
      if (options->json)
        printJson(*db, options->animation);
      else
        printText(path, *db);
    }
  });
}

zvltool::RegisterCommand registration(10, install);

}  // namespace
