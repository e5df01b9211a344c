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

json describe(const ZorvelDatabase& db) {
  json objects = json::array();
  long long pixels = 0;
  for (int32_t i = 0; i < db.objectCount; ++i) {
    json object;
    object["name"] = nameOrNull(db.objectNames ? db.objectNames[i] : nullptr);
    const bool hasGeometry = db.geometry && db.geometry[i].voxObject;
    object["total_size"] = hasGeometry ? db.geometry[i].totalSize : 0;
    json parts = json::array();
    if (hasGeometry) {
      const auto infos = describeParts(db.geometry[i]);
      if (!infos.empty()) pixels += infos.front().pixels;
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
    objects.push_back(object);
  }
  return {{"version", shortDecimal(db.version)},
          {"database", nameOrNull(db.databaseName)},
          {"palette_name", nameOrNull(db.paletteName)},
          {"has_palette", db.palette != nullptr},
          {"has_color_table", db.colorTable != nullptr},
          {"scene", nameOrNull(db.sceneName)},
          {"streamable", (db.flags & ZvlStreamable) != 0},
          {"frames", db.frameCount},
          {"objects", objects},
          {"pixels", pixels}};
}

std::string text(const json& value) { return value.is_null() ? "(none)" : value.get<std::string>(); }

void printText(const std::string& path, const json& info) {
  std::cout << path << "\n"
            << "  version:   " << info["version"].get<double>() << "\n"
            << "  database:  " << text(info["database"]) << "\n"
            << "  palette:   " << text(info["palette_name"])
            << (info["has_palette"].get<bool>() ? "" : " (no palette)")
            << (info["has_color_table"].get<bool>() ? ", 16-bit colour table" : "") << "\n"
            << "  scene:     " << text(info["scene"]) << "\n"
            << "  storage:   " << (info["streamable"].get<bool>() ? "streamable (split by level)" : "whole objects")
            << "\n"
            << "  frames:    " << info["frames"].get<int>() << "\n"
            << "  objects:   " << info["objects"].size() << "\n";
  int index = 0;
  for (const json& object : info["objects"]) {
    std::cout << "  [" << index++ << "] " << text(object["name"]);
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
  std::cout << "  3D pixels: " << info["pixels"].get<long long>() << "\n";
}

struct InfoOptions {
  std::vector<std::string> files;
  bool json = false;
};

void install(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand("info", "Summarise ZVL files: names, frames, objects, levels of detail");
  cmd->add_option("files", options->files, "ZVL files")->required()->check(CLI::ExistingFile);
  cmd->add_flag("--json", options->json, "One JSON object per file");
  cmd->callback([options] {
    for (const std::string& path : options->files) {
      ZvlDatabasePtr db(ZvlReadDatabaseFile(path.c_str()));
      if (!db) {
        std::cerr << "zvl: " << path << ": " << ZvlGetErrorText() << "\n";
        zvltool::exitCode() = 1;
        continue;
      }
      const json info = describe(*db);
      if (options->json)
        std::cout << info.dump() << "\n";
      else
        printText(path, info);
    }
  });
}

zvltool::RegisterCommand registration(10, install);

}  // namespace
