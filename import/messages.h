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

}  // namespace importer::msg
