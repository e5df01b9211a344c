#include "maxplugin/contents.h"

#include "voxelize/conversion_host.h"

namespace zvlplay {

uint32_t ConverterFlags(uint32_t contents, bool localFromFrame) {
  uint32_t flags = kFlagAnimation;
  if (contents & kContents8BitGradient) flags |= kFlagPalette;
  if (contents & kContents16BitGradient) flags |= kFlagColorTable16;
  if (contents & kContentsGeometry) flags |= kFlagGeometry;
  if (contents & kContentsHierarchy) flags |= kFlagHierarchy;
  if (contents & kContentsStreamable) flags |= kFlagStreamable;
  if (contents & kContentsPaletteIsZvl) flags |= kFlagPaletteFromZvl;
  if (localFromFrame) flags |= kFlagCurrentFrame;
  return flags;
}

}  // namespace zvlplay
