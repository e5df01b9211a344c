#include "authoring/scene_conversion.h"

#include "authoring/messages.h"
#include "authoring/paths.h"
#include "authoring/units.h"
#include "import/import.h"
#include "import/tds_import.h"
#include "palette/palette.h"
#include "voxelize/voxelize.h"
#include "zvlfile/zvlfile.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace authoring {
namespace {

// The ACT palette must open and hold at least 255 colours (765 bytes).
bool PaletteFileUsable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char bytes[765];
  in.read(bytes, sizeof bytes);
  return in.gcount() == std::streamsize(sizeof bytes);
}

const char* LoadingCaption(ImportKind kind) {
  switch (kind) {
    case ImportKind::AliasRtg: return msg::LoadingRtg;
    case ImportKind::LightWave: return msg::LoadingLws;
    case ImportKind::Studio3ds: break;
  }
  return msg::Loading3ds;
}

// The folder prefix the importers join file names to: the page's materials
// path (the folder of a file it names), or the scene file's folder.
std::string MaterialsPrefix(const PageFields& fields) {
  std::string path = fields.materialsPath;
  if (path.empty()) return FolderPart(fields.scenePath);
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return FolderPart(path);
  const char last = path.back();
  if (last != '/' && last != '\\') path += '/';
  return path;
}

// The lighting of the palette columns when the scene has no textured
// material: 3D Studio and Alias RTG scenes take a grey highlight, LightWave
// surfaces (which carry no ambient colour) a brighter one with a fixed
// ambient for their flat columns.
PrototypeDefaults DefaultsFor(ImportKind kind) {
  PrototypeDefaults defaults;
  defaults.shadingType = 2;
  defaults.selfIllumination = 0;
  defaults.shininess = 0.2f;
  if (kind == ImportKind::LightWave) {
    defaults.specular[0] = defaults.specular[1] = defaults.specular[2] = 208;
    defaults.shininessStrength = 0.1f;
    defaults.flatAmbient = std::array<uint8_t, 3>{13, 13, 13};
  } else {
    defaults.specular[0] = defaults.specular[1] = defaults.specular[2] = 128;
    defaults.shininessStrength = 0.4f;
  }
  return defaults;
}

}  // namespace

SceneConversion::SceneConversion(ConversionReporter& reporter) : reporter_(reporter) {}

SceneConversion::~SceneConversion() {
  if (host_ && paletteBuilt_) ReleaseMaterials(*host_);
}

bool SceneConversion::Prepare(const PageFields& fields) {
  fields_ = fields;
  if (!RequiredFieldsPresent(fields)) return false;

  // The scene and its animation.
  reporter_.LoadingCaption(LoadingCaption(fields.kind));
  ImportOptions options;
  if (fields.kind == ImportKind::Studio3ds && !fields.animationFromScene) options.vuePath = fields.vuePath;
  options.animationStem = fields.animationStem;
  options.materialsPath = MaterialsPrefix(fields);
  options.orientation = fields.orientation;
  ImportCallbacks callbacks;
  auto total = std::make_shared<int>(0);
  callbacks.begin = [this, total](const std::string& caption, int steps) {
    *total = steps;
    reporter_.LoadingCaption(caption);
    reporter_.LoadingPercent(0);
  };
  callbacks.step = [this, total](int step) {
    reporter_.LoadingPercent(*total > 0 ? int(int64_t(step) * 100 / *total) : 0);
    return !Stopped();
  };
  callbacks.error = [this](const std::string& text) { reporter_.Error(text); };
  callbacks.warning = [this](const std::string& text) { reporter_.Warning(text); };
  if (!ImportScene(fields.scenePath, options, callbacks, scene_)) return false;
  // "Get from the vue file" without a file: nothing to animate with.
  if (fields.kind == ImportKind::Studio3ds && !fields.animationFromScene && fields.vuePath.empty()) return false;

  reporter_.LoadingCaption(msg::CreatingPalette);
  if (!PaletteFileUsable(fields.palettePath)) {
    reporter_.Error(msg::PaletteMissed);
    return false;
  }

  // 3D Studio textures come from the materials folder; the other readers
  // load theirs with the scene.
  if (fields.kind == ImportKind::Studio3ds && !importer::LoadTextures3DS(scene_, options.materialsPath, callbacks))
    return false;
  host_ = std::make_unique<AuthoringHost>(scene_, reporter_);
  if (earlyStop_) host_->Stop();
  if (!host_->BuildMaterials(fields.kind)) return false;
  if (host_->ObjectCount() == 0) {
    reporter_.Error(msg::NoObjects);
    return false;
  }
  return true;
}

float SceneConversion::DefaultUnits() const { return authoring::DefaultUnits(scene_); }

bool SceneConversion::Setup(float units, const std::string& outputPath) {
  if (!host_) return false;
  units_ = units;
  outputPath_ = outputPath;
  if (SameFile(outputPath, fields_.scenePath) || SameFile(outputPath, fields_.palettePath)) {
    reporter_.Error(msg::OutputIsInput);
    return false;
  }
  if (fields_.startColor > fields_.endColor || fields_.startColor < 0 || fields_.endColor > 255) {
    reporter_.Error(msg::BadPaletteRange);
    return false;
  }
  host_->SetLevels(units, fields_.levels);
  host_->frameCount = 1;

  const uint32_t flags = OptionFlags(fields_);
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ActFile;
  settings.path = fields_.palettePath;
  settings.start = uint8_t(fields_.startColor);
  settings.end = uint8_t(fields_.endColor);
  settings.wantPalette = (flags & kMakePalette) != 0;
  settings.wantColorTable = (flags & kHighColor) != 0;
  settings.prototypeDefaults = DefaultsFor(fields_.kind);
  settings.messages = PaletteMessages::Authoring;
  if (PreparePalette(*host_, settings) != 0) return false;
  paletteBuilt_ = true;

  job_ = ConversionJob{};
  job_.optionFlags = flags;
  job_.databaseName = JobName(fields_.scenePath);
  job_.paletteName = JobName(fields_.palettePath);
  job_.palette = &host_->Palette().palette;
  job_.colorTable = &host_->Palette().colorTable;
  job_.objectCount = host_->ObjectCount();
  job_.frameCount = std::max(scene_.frameCount, 1);
  job_.getObject = [this](int index, ConversionJob&) { return ConvertObject(index); };
  std::atomic<int>& abort = host_->stopFlag;
  job_.plot = [this, &abort](int x, int z, const uint8_t rgb[3]) {
    reporter_.Plot(x, z, rgb);
    return abort.load() != 0;
  };
  job_.clearPreview = [this, &abort] {
    reporter_.ClearPreview();
    return abort.load() != 0;
  };
  job_.stage = [this, &abort](int range, const std::string& text) {
    reporter_.Stage(range, text);
    return abort.load() != 0;
  };
  job_.progress = [this, &abort](int position) {
    reporter_.Progress(position);
    return abort.load() != 0;
  };
  job_.progressReset = [this, &abort] {
    reporter_.ResetProgress();
    return abort.load() != 0;
  };
  host_->SetJob(&job_);
  return true;
}

std::unique_ptr<ConvertedObject> SceneConversion::ConvertObject(int index) {
  if (Stopped()) return nullptr;
  job_.progressReset();
  const std::unique_ptr<MeshObject> mesh = host_->MakeMeshObject(index, true);
  const ImportedMesh& imported = host_->ObjectMesh(index);
  auto object = std::make_unique<ConvertedObject>();
  object->name = imported.name;
  object->baseUnits = units_;
  object->levelCount = int16_t(mesh->LevelCount());

  MeshPose pose;
  if (job_.optionFlags & kMakeGeometry) {
    ZorvelizedObject result;
    ZorvelizeOptions options;
    options.layout = PartLayout::Authoring;
    if (ZorvelizeObject(*host_, *mesh, options, result) != 0) return nullptr;
    object->geometry = std::move(result.voxObject);
    pose = result.pose;
  } else if (ComputeMeshPose(*host_, *mesh, pose) != 0) {
    return nullptr;
  }

  // The sprite's origin is the centre of its grid; the scene places the
  // mesh's own reference point, so the difference moves with the object.
  const std::array<float, 3> shift = {pose.centre[0] - imported.centre[0], pose.centre[1] - imported.centre[1],
                                      pose.centre[2] - imported.centre[2]};
  object->flags = imported.flags;
  object->matrices = imported.matrices;
  object->locations = imported.locations;
  for (size_t f = 0; f < object->locations.size() && f < object->matrices.size(); ++f) {
    const auto& m = object->matrices[f];
    for (int row = 0; row < 3; ++row)
      object->locations[f][size_t(row)] +=
          m[size_t(3 * row)] * shift[0] + m[size_t(3 * row + 1)] * shift[1] + m[size_t(3 * row + 2)] * shift[2];
  }
  return object;
}

int SceneConversion::Run() {
  if (!host_ || !paletteBuilt_) return -1;
  const int result = ZvlWriteFileReplacing(outputPath_, [this](ZvlHandle handle) {
    const ZvlFormatVersion previous = ZvlWriterVersion();
    const int written = WriteConversionJob(handle, job_);
    ZvlSetWriterVersion(previous);
    return written;
  });
  if (result == 0) return 0;
  if (Stopped()) return -1;
  const std::string text = ZvlGetErrorText();
  // An object that failed was reported already; the writer's own note that
  // it got nothing adds nothing.
  if (!(text == msg::CantGetObjectData && host_->ErrorCount() > 0)) reporter_.Error(text);
  return -1;
}

void SceneConversion::Stop() {
  if (host_)
    host_->Stop();
  else
    earlyStop_ = true;
}

bool SceneConversion::Stopped() const { return host_ ? host_->stopFlag.load() != 0 : earlyStop_; }

void SceneConversion::PaletteRgb(uint8_t rgb[768]) {
  if (host_) ::GetPaletteRgb(host_->Palette(), rgb);
}

int ConvertPage(const PageFields& fields, float units, const std::string& outputPath,
                ConversionReporter& reporter) {
  SceneConversion conversion(reporter);
  if (!conversion.Prepare(fields)) return -1;
  if (!(units > 0)) units = conversion.DefaultUnits();
  if (!conversion.Setup(units, outputPath)) return -1;
  return conversion.Run();
}

}  // namespace authoring
