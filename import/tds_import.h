// The 3D Studio import: the scene file, its animation (keyframer tracks or
// a VUE file), and the conversion into an ImportedScene.
#pragma once

#include "import/import.h"
#include "import/tds_scene.h"

namespace importer {

// Meshes, materials and per-frame placements of a scene whose nodes carry
// their per-frame results. Face materials come from the face array's
// material groups by name ("Material not found" is a warning; such faces
// keep material 0). A mesh without a keyframer node stays where it is:
// identity matrices, locations at its centre.
void ToImportedScene3DS(const Scene3DS& scene, const ImportCallbacks& callbacks, ImportedScene& result);

// Loads the texture (BMP, PNG or JPEG) of every textured material from
// prefix + its file name, or the file in that folder whose name differs
// only in letter case. After the first texture that fails no further one is loaded, and
// the result is false (each failure reported).
bool LoadTextures3DS(ImportedScene& scene, const std::string& prefix, const ImportCallbacks& callbacks);

bool Import3DS(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& result);

}  // namespace importer
