// zvl scene: what an importer reads from a 3D Studio, LightWave or Alias RTG
// scene: meshes, materials and every mesh's per-frame placement.
#include "import/import.h"
#include "tools/zvl/command.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <set>
#include <string>

namespace {

using nlohmann::json;

// Floats as their short decimal (0.1, not 0.10000000149).
double shortDecimal(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", double(value));
  return std::strtod(text, nullptr);
}

template <size_t N>
json floats(const std::array<float, N>& values) {
  json list = json::array();
  for (float v : values) list.push_back(shortDecimal(v));
  return list;
}

json bytes(const std::array<uint8_t, 3>& rgb) { return json::array({rgb[0], rgb[1], rgb[2]}); }

json describeMaterial(const ImportedMaterial& m) {
  json r = {{"name", m.name},
            {"kind", m.kind == ImportedMaterial::kTextured ? "textured" : m.kind == ImportedMaterial::kFlat ? "flat" : "other"},
            {"ambient", bytes(m.ambient)},
            {"diffuse", bytes(m.diffuse)},
            {"specular", bytes(m.specular)},
            {"shininess", shortDecimal(m.shininess)},
            {"shininess_strength", shortDecimal(m.shininessStrength)},
            {"self_illumination", shortDecimal(m.selfIllumination)},
            {"texture", m.textureFile.empty() ? json(nullptr) : json(m.textureFile)}};
  if (m.textureLoaded) r["texture_size"] = {m.texture.width, m.texture.height};
  return r;
}

json describeMesh(const ImportedMesh& mesh) {
  std::set<int32_t> materials;
  for (const ImportedFace& f : mesh.faces) materials.insert(f.material);
  json animation = {{"flags", mesh.flags}, {"locations", json::array()}, {"matrices", json::array()}};
  for (const auto& l : mesh.locations) animation["locations"].push_back(floats(l));
  for (const auto& m : mesh.matrices) animation["matrices"].push_back(floats(m));
  return {{"name", mesh.name},
          {"vertices", mesh.vertices.size()},
          {"faces", mesh.faces.size()},
          {"materials", materials.size()},
          {"texture_vertices", mesh.textureVertices.size()},
          {"parent", mesh.parent >= 0 ? json(mesh.parent) : json(nullptr)},
          {"pivot", floats(mesh.pivot)},
          {"centre", floats(mesh.centre)},
          {"animation", animation}};
}

json describe(const ImportedScene& scene) {
  json materials = json::array(), objects = json::array();
  for (const ImportedMaterial& m : scene.materials) materials.push_back(describeMaterial(m));
  for (const ImportedMesh& mesh : scene.meshes) objects.push_back(describeMesh(mesh));
  return {{"frames", scene.frameCount}, {"materials", materials}, {"objects", objects}};
}

std::string numbers(const json& list) {
  std::string s;
  for (const json& v : list) s += (s.empty() ? "" : " ") + v.dump();
  return s;
}

void printFrame(const json& animation, size_t f) {
  const json& m = animation["matrices"][f];
  std::cout << "      frame " << f << ": " << (animation["flags"][f].get<int>() & 0x80 ? "hidden" : "shown")
            << ", location (" << numbers(animation["locations"][f]) << "), matrix [" << m[0] << " " << m[1] << " "
            << m[2] << "; " << m[3] << " " << m[4] << " " << m[5] << "; " << m[6] << " " << m[7] << " " << m[8]
            << "]\n";
}

// The text form: every object and material, the first frames and the last.
void printText(const std::string& path, const json& info) {
  std::cout << path << "\n"
            << "  frames:    " << info["frames"].get<int>() << "\n"
            << "  materials: " << info["materials"].size() << "\n";
  int index = 0;
  for (const json& m : info["materials"]) {
    std::cout << "  material [" << index++ << "] " << m["name"].get<std::string>() << ", "
              << m["kind"].get<std::string>() << ", ambient (" << numbers(m["ambient"]) << "), diffuse ("
              << numbers(m["diffuse"]) << "), specular (" << numbers(m["specular"]) << ")";
    if (!m["texture"].is_null()) std::cout << ", texture " << m["texture"].get<std::string>();
    std::cout << "\n";
  }
  std::cout << "  objects:   " << info["objects"].size() << "\n";
  index = 0;
  for (const json& o : info["objects"]) {
    std::cout << "  [" << index++ << "] " << o["name"].get<std::string>() << ": " << o["vertices"] << " vertices, "
              << o["faces"] << " faces, " << o["materials"] << " material" << (o["materials"] == 1 ? "" : "s")
              << (o["parent"].is_null() ? ", no parent" : ", parent " + o["parent"].dump());
    const json& animation = o["animation"];
    const size_t frames = animation["flags"].size();
    size_t hidden = 0;
    for (const json& flag : animation["flags"]) hidden += (flag.get<int>() & 0x80) ? 1 : 0;
    if (hidden > 0) std::cout << ", hidden in " << hidden << " frame" << (hidden == 1 ? "" : "s");
    std::cout << "\n";
    for (size_t f = 0; f < frames; ++f) {
      if (f == 3 && frames > 4) {
        std::cout << "      ...\n";
        f = frames - 1;
      }
      printFrame(animation, f);
    }
  }
}

struct SceneOptions {
  std::string file, vue, anim, materials, orientation = "xyz";
  bool json = false;
};

void install(CLI::App& app) {
  auto options = std::make_shared<SceneOptions>();
  CLI::App* cmd = app.add_subcommand(
      "scene", "Import a 3D Studio (.3ds), LightWave (.lws) or Alias RTG (.rtg) scene and show what was read");
  cmd->add_option("file", options->file, "Scene file")->required();
  cmd->add_option("--vue", options->vue, "3D Studio: take the animation from this VUE file");
  cmd->add_option("--anim", options->anim, "Alias RTG: the stem of the animation files (stem_NODE)");
  cmd->add_option("--materials", options->materials,
                  "Folder of material files: 3D Studio textures (loaded when given), the RTG materials file");
  cmd->add_option("--orientation", options->orientation, "LightWave object orientation")
      ->check(CLI::IsMember({"xyz", "xzy"}));
  cmd->add_flag("--json", options->json, "Everything as one JSON object");
  cmd->callback([options] {
    const std::string& path = options->file;
    ImportOptions importOptions;
    importOptions.vuePath = options->vue;
    importOptions.animationStem = options->anim;
    importOptions.materialsPath = options->materials;
    if (!importOptions.materialsPath.empty() && importOptions.materialsPath.back() != '/' &&
        importOptions.materialsPath.back() != '\\')
      importOptions.materialsPath += '/';
    importOptions.loadTextures = !options->materials.empty();
    importOptions.orientation = options->orientation == "xzy" ? 1 : 0;
    ImportCallbacks callbacks;
    callbacks.error = [&](const std::string& m) { std::cerr << "zvl: " << path << ": " << m << "\n"; };
    callbacks.warning = [&](const std::string& m) { std::cerr << "zvl: " << path << ": warning: " << m << "\n"; };
    ImportedScene scene;
    if (!ImportScene(path, importOptions, callbacks, scene)) {
      zvltool::exitCode() = 1;
      return;
    }
    const json info = describe(scene);
    if (options->json)
      std::cout << info.dump() << "\n";
    else
      printText(path, info);
  });
}

zvltool::RegisterCommand registration(60, install);

}  // namespace
