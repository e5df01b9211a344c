// Reading scene files with Assimp into maxhost's scene: the node tree in file
// order with local transforms and the first animation's channels, one mesh
// per node (a multi-material when its meshes use several materials), point
// helpers for nodes without meshes, standard materials with their diffuse
// pictures, and 4800 ticks per second at 30 frames per second.
#pragma once

#include <string>

#include "maxhost/host_scene.h"

namespace maxhost {

// False with Assimp's message (or ours) in error. Parts the scene cannot use
// (faces that are not triangles, unreadable pictures) are listed in
// scene.warnings and the rest loads.
bool LoadScene(const std::string& path, SceneContents& scene, std::string& error);

}  // namespace maxhost
