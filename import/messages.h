// Every message and progress caption of the scene importers, spelled once.
// Tests compare against these constants.
#pragma once

namespace importer::msg {

// Choosing a reader.
inline constexpr const char* UnknownSceneKind = "Unknown scene file kind (expected .3ds, .lws or .rtg):";

// Progress captions.
inline constexpr const char* Loading3ds = "Loading 3ds file...";
inline constexpr const char* LoadingVue = "Loading VUE animation...";
inline constexpr const char* CalculatingAnimation = "Calculating animation...";
inline constexpr const char* LoadingMaterials = "Loading materials...";

// 3D Studio scenes. A file that cannot be opened or ends inside a chunk:
// FileDamaged3dsBefore + path + FileDamaged3dsAfter.
inline constexpr const char* FileDamaged3dsBefore = "3d Studio file ";
inline constexpr const char* FileDamaged3dsAfter = " damaged or missing";
// The chunk expected where another stands (the import stops).
inline constexpr const char* ExpectedMagic = "M3DMAGIC";
inline constexpr const char* ExpectedVersion = "M3DVERSION";
inline constexpr const char* ExpectedMeshData = "MDATA";
inline constexpr const char* ExpectedKeyframer = "KFDATA";
// Missing optional chunks (reading goes on).
inline constexpr const char* MissingMeshVersion = "MESH_VERSION";
inline constexpr const char* MissingMasterScale = "MASTER_SCALE";
inline constexpr const char* UnknownObjectKind = "N_TRI_OBJECT or N_DIRECT_LIGHT or N_CAMERA";
// Joined with the object's name by a space.
inline constexpr const char* FaceVertexMissing = "A face names a vertex that does not exist in object";
inline constexpr const char* GroupFaceMissing = "A material group names a face that does not exist in object";
inline constexpr const char* MaterialNotFound = "Material not found";
// The per-frame arrays would not stay in proportion to the file.
inline constexpr const char* TooManyFrames = "Too many frames for the objects of the scene:";

// VUE animation files.
inline constexpr const char* CannotOpenFile = "Cannot open file:";
inline constexpr const char* VueCorrupted = "VUE file corrupted";

}  // namespace importer::msg
