// Scene importers: read a 3D Studio scene (optionally animated by a VUE
// file), a LightWave scene or an Alias RTG scene into an ImportedScene:
// meshes, materials and per-frame placements of every mesh.
//
//   ImportOptions options;               // vuePath, animationStem, materialsPath ...
//   ImportCallbacks callbacks;
//   callbacks.error = [](const std::string& m) { std::cerr << m << '\n'; };
//   ImportedScene scene;
//   if (ImportScene("castle.3ds", options, callbacks, scene)) {
//     const ImportedMesh& mesh = scene.meshes[0];
//     // Frame f puts vertex v at matrices[f] * (v - centre) + locations[f].
//   }
//
// Placements: every importer hands out scene-space placements, hierarchy
// already applied; ImportedMesh::parent and pivot only describe the links.
// 3D Studio specifics (the chunk reader, the keyframer calculation, VUE
// files, texture images of materials) are in tds_import.h and tds_animation.h;
// LightWave in lws_import.h; Alias RTG in rtg_import.h.
//
// Errors are results: an importer returns false after reporting its message
// through callbacks.error; the scene then holds what was read so far and is
// only fit to be discarded. Every input is untrusted: counts are checked
// against the bytes that remain, recursion is bounded, per-frame arrays stay
// in proportion to the scene, and a bad file gets a message, never a crash.
#pragma once

#include "import/imported_scene.h"

#include <string>

struct ImportOptions {
  // 3D Studio: take the animation from this VUE file instead of the
  // keyframer section (empty: from the keyframer section).
  std::string vuePath;
  // Alias RTG: the stem shared by the animation files (stem + "_" + node).
  std::string animationStem;
  // Folder prefix for material files: 3D Studio texture maps, the RTG
  // materials .bin file (joined directly, so it ends in a separator).
  std::string materialsPath;
  // 3D Studio: load the textures (BMP, PNG, JPEG) of textured materials from
  // materialsPath + the map's file name (a texture that fails to load makes
  // the import fail after its message).
  bool loadTextures = false;
  // LightWave object orientation: 0 = XYZ, 1 = XZY.
  int orientation = 0;
};

// Reads the scene at `path`, choosing the reader by its extension (.3ds,
// .lws, .rtg, any letter case), and computes its animation.
bool ImportScene(const std::string& path, const ImportOptions& options,
                 const ImportCallbacks& callbacks, ImportedScene& scene);
