// What an import page collects: the input files and the conversion options,
// and the rules that turn them into the job's option flags and the levels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace authoring {

enum class ImportKind : uint8_t { Studio3ds, AliasRtg, LightWave };

// Option flags of the conversion job; the writer tests them.
inline constexpr uint32_t kMakePalette = 1;    // palette entries in the palette chunk
inline constexpr uint32_t kMakeGeometry = 2;   // each object's geometry
inline constexpr uint32_t kMakeAnimation = 4;  // every frame, not frame 0 alone
inline constexpr uint32_t kHighColor = 8;      // the 16-bit colour table

// A converted object has 16 level slots; the Levels up-down goes to 255.
inline constexpr int kMaxLevels = 16;
// Each level is this many times coarser than the one before.
inline constexpr float kLevelFactor = 1.5f;

// LightWave object orientation codes.
inline constexpr int kOrientationXyz = 0;
inline constexpr int kOrientationXzy = 1;

struct PageFields {
  ImportKind kind = ImportKind::Studio3ds;
  std::string scenePath;       // the .3ds, .lws or .rtg file
  // 3D Studio: the folder of the texture maps. Alias RTG: the folder of the
  // materials .bin file (a path naming the file itself is accepted too).
  // Empty: the scene file's folder.
  std::string materialsPath;
  std::string palettePath;     // the ACT palette
  bool animationFromScene = true;  // 3D Studio: keyframer (true) or VUE file
  std::string vuePath;
  std::string animationStem;   // Alias RTG: stem shared by the animation files
  int orientation = kOrientationXyz;  // LightWave

  bool makePalette = true;
  bool makeGeometry = true;
  bool makeAnimation = true;
  bool highColor = true;
  int startColor = 16;  // palette range, 0..255 on the page
  int endColor = 245;
  int levels = 1;       // 1..255 on the page, at most kMaxLevels are made
};

// The job's flags from the four check boxes; "High color" sets the palette
// flag as well (9).
uint32_t OptionFlags(const PageFields& fields);

// False when a field the conversion cannot start without is empty: the scene
// file and the palette file. The conversion then ends without a message.
bool RequiredFieldsPresent(const PageFields& fields);

// The level count the conversion makes: the page's value limited to
// 1 .. kMaxLevels.
int ClampLevels(int levels);

// Units per 3D pixel of every level: base, base x 1.5, base x 1.5 x 1.5 ...
std::vector<float> LevelUnits(float base, int levels);

}  // namespace authoring
