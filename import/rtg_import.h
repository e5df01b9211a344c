// The Alias RTG importer: the scene file, the images of its materials .bin
// file and its animation files read into an ImportedScene, with the
// animation computed.
//
// Materials: first one textured material per texture-table entry (material
// index = texture index), then one flat material per distinct polygon colour
// in node and polygon order. Meshes: the polygon nodes that carry an object,
// in node order; their vertices stay in the node's own frame (reference
// point: its origin) and per frame they get the matrix and location of the
// calculation. In MAT4x4 mode the nodes' transforms come from their world
// matrices (see RtgTransformsFromWorld).
#pragma once

#include "import/import.h"
#include "import/lws_file_source.h"
#include "import/rtg_scene.h"

#include <string>

// Most node-frame placements one import keeps.
inline constexpr long long kMaxRtgPlacements = 1LL << 20;

// The materials file: the materials folder joined with the table's file name
// (a separator is put between them when the folder has none at its end; an
// empty folder means the RTG file's own folder).
std::string RtgMaterialsPath(const std::string& materialsFolder, const std::string& fileName,
                             const std::string& scenePath);

// Reads the scene at `path` through `files`. False after reporting.
bool ImportRtgScene(const std::string& path, const FileSource& files, const ImportOptions& options,
                    const ImportCallbacks& callbacks, ImportedScene& scene);

// The authoring program's call: files from disk.
bool ImportRtg(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& scene);
