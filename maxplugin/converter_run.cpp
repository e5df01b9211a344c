// The converter's run: the database's names, the engine's scene conversion,
// and the file written through a temporary file beside the target.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "maxplugin/contents.h"
#include "maxplugin/converter.h"
#include "maxplugin/messages.h"
#include "palette/palette.h"
#include "voxelize/voxelize.h"
#include "zvlfile/zvlfile.h"

namespace zvlplay {

int ZvlPlayConverter::Run(const std::string& outputPath) {
  stopFlag.store(0);
  conversionFlags = ConverterFlags(options.contents, options.localFromFrame);
  frameCount = options.frames.empty() ? 1 : int(options.frames.size());
  if (options.frames.empty()) options.frames.push_back(ip_.GetAnimRange().Start() / std::max(1, ip_.GetTicksPerFrame()));
  // Voxelizing in the pose of a frame: the sampled frame nearest to it.
  currentFrame = 0;
  for (size_t i = 0; i < options.frames.size(); ++i)
    if (std::abs(options.frames[i] - options.lcsFrame) < std::abs(options.frames[size_t(currentFrame)] - options.lcsFrame))
      currentFrame = int(i);
  totalPosition_ = 0;
  if (progress) {
    int total = 0;
    for (size_t i = 0; i < nodes_.size(); ++i) total += options.lod.LevelCount() * 5 + 1;
    progress->ResetTotal();
    progress->SetTotalRange(total);
  }

  const std::filesystem::path folder = std::filesystem::path(outputPath).parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder)) {
    char text[1024];
    std::snprintf(text, sizeof text, msg::CantOpenToWrite, outputPath.c_str());
    ReportError(text);
    return -1;
  }

  SceneOptions scene;
  scene.zorvelize.layout = PartLayout::Plugin;
  if (!options.palettePath.empty()) {
    if (FileNamePart(options.palettePath).empty()) {
      ReportError(msg::CantParsePalettePath);
      return -1;
    }
    scene.palette.source = (options.contents & kContentsPaletteIsZvl) ? PaletteSourceKind::ZvlFile : PaletteSourceKind::ActFile;
    scene.palette.path = options.palettePath;
  }
  scene.palette.start = uint8_t(std::clamp(options.startColor, 0, 255));
  scene.palette.end = uint8_t(std::clamp(options.endColor, 0, 255));
  scene.palette.wantPalette = conversionFlags & kFlagPalette;
  scene.palette.wantColorTable = conversionFlags & kFlagColorTable16;

  ZvlDatabasePtr database(ZvlCreateDatabase(0));
  if (!database) {
    ReportError(msg::CantAllocateDatabase);
    return -1;
  }
  database->version = ZvlVersionValue(ZvlFormatVersion::V9_0);
  const std::string sceneName = ip_.GetCurFileName().isNull() ? msg::UnnamedScene : ip_.GetCurFileName().data();
  const std::string paletteName(options.palettePath.empty() ? std::string_view() : FileNamePart(options.palettePath));
  if (ZvlSetDatabaseName(*database, sceneName.c_str()) != 0 || ZvlSetSceneName(*database, sceneName.c_str()) != 0 ||
      (!paletteName.empty() && ZvlSetPaletteName(*database, paletteName.c_str()) != 0)) {
    ReportError(msg::CantAllocateDatabase);
    return -1;
  }
  // Every object is built once before the engine starts, so that a node
  // the engine cannot have is reported here, once, and ends the run.
  for (int i = 0; i < int(nodes_.size()); ++i) {
    MeshObject* object = GetObject(i);
    if (!object) return -1;
    ReleaseObject(object);
  }
  if (ConvertScene(*this, *database, scene) != 0) return -1;
  if (database->objectCount != int32_t(nodes_.size())) return -1;
  if (conversionFlags & kFlagStreamable) database->flags |= ZvlStreamable;

  ZvlSetWriterVersion(ZvlFormatVersion::V9_0);
  bool opened = false;
  const int written = ZvlWriteFileReplacing(outputPath, [&](ZvlHandle handle) {
    opened = true;
    return ZvlWriteDatabase(handle, *database);
  });
  if (written != 0) {
    if (!opened) {
      char text[1024];
      std::snprintf(text, sizeof text, msg::CantOpenToWrite, outputPath.c_str());
      ReportError(text);
    } else {
      ReportError(ZvlGetErrorText());
    }
    return -1;
  }
  return 0;
}

}  // namespace zvlplay
