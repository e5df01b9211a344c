// The LightWave importer: a scene file, its object files and their image
// maps read into an ImportedScene, with the animation computed.
//
// Each loaded object becomes one mesh (null objects only move their
// children); each of its surfaces one material. A surface is textured when
// its colour slot, or else its diffuse slot, holds an image map whose file
// (BMP, PNG or JPEG; a name differing only in letter case is found too)
// loads; every vertex of its faces then gets texture coordinates from
// the projection. Per frame the mesh gets the world matrix and the place of
// its bounding-box centre, turned by the orientation (XYZ: z mirrored; XZY:
// y and z swapped).
#pragma once

#include "import/import.h"
#include "import/lws_file_source.h"
#include "import/lws_motion.h"
#include "import/lws_scene.h"

#include <string>
#include <vector>

// Most object-frame placements one import keeps.
inline constexpr long long kMaxLwsPlacements = 1LL << 20;

// Reads the scene at `path` through `files`. When dumpPath is not empty the
// debug dump (see LwsDebugDump) is written there. False after reporting.
bool ImportLwsScene(const std::string& path, const FileSource& files, const ImportOptions& options,
                    const ImportCallbacks& callbacks, ImportedScene& scene, const std::string& dumpPath);

// The authoring program's call: files from disk, "tlws.out" written in the
// current folder.
bool ImportLws(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& scene);

// Turns a parsed scene and its world matrices (world[object][frame]) into
// the imported scene: meshes, materials with their image maps, animation.
// False when the callbacks asked to stop.
bool BuildLwsImportedScene(const LwsScene& lws, const std::vector<std::vector<LwsMatrix>>& world,
                           const std::string& scenePath, const FileSource& files, const ImportOptions& options,
                           const ImportCallbacks& callbacks, ImportedScene& scene);
