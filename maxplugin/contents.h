// The contents flags the panel and batch jobs compose, and the converter's
// flags derived from them.
#pragma once

#include <cstdint>

namespace zvlplay {

inline constexpr uint32_t kContentsUseHidden = 1;
inline constexpr uint32_t kContentsSelectedOnly = 2;
inline constexpr uint32_t kContents8BitGradient = 4;
inline constexpr uint32_t kContents16BitGradient = 8;
inline constexpr uint32_t kContentsGeometry = 16;
inline constexpr uint32_t kContentsBatchInput = 32;
inline constexpr uint32_t kContentsBatchOutput = 64;
inline constexpr uint32_t kContentsAnimation = 128;
inline constexpr uint32_t kContentsPaletteIsZvl = 256;
inline constexpr uint32_t kContentsHierarchy = 512;
inline constexpr uint32_t kContentsStreamable = 1024;

// The conversion flags of the engine for these contents: animation arrays
// always, the rest as the contents ask.
uint32_t ConverterFlags(uint32_t contents, bool localFromFrame);

}  // namespace zvlplay
