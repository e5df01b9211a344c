// zvl convert: the authoring program's conversion without its windows. A 3D
// Studio, LightWave or Alias RTG scene (chosen by the extension) becomes a
// ZVL file of version 7.2. Warnings go to standard error and the conversion
// goes on; an error ends it with no output file left behind.
#include "authoring/messages.h"
#include "authoring/scene_conversion.h"
#include "import/messages.h"
#include "tools/zvl/command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

using authoring::ImportKind;
using authoring::PageFields;

std::atomic<int> interrupted{0};

extern "C" void OnInterrupt(int) { interrupted.store(1); }

struct ConvertOptions {
  std::string input, output;
  std::string palette = authoring::msg::DefaultPaletteName;
  int start = 16, end = 245, levels = 1;
  float units = 0;
  std::string vue, materials, anim, orientation = "xyz";
  bool noPalette = false, noGeometry = false, noAnimation = false, noHighColor = false;
  bool vueGiven = false;
};

bool KindOf(const std::string& path, ImportKind& kind) {
  const size_t dot = path.find_last_of('.'), slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == ".3ds") kind = ImportKind::Studio3ds;
  else if (ext == ".lws") kind = ImportKind::LightWave;
  else if (ext == ".rtg") kind = ImportKind::AliasRtg;
  else return false;
  return true;
}

// Messages to standard error, and a progress bar there when it is a
// terminal. Any interrupt stops the conversion at its next callback.
class TerminalReporter : public authoring::ConversionReporter {
 public:
  TerminalReporter(std::string input, bool showProgress) : input_(std::move(input)), show_(showProgress) {}
  ~TerminalReporter() override { endBar(); }

  void setConversion(authoring::SceneConversion* conversion) { conversion_ = conversion; }
  int errors() const { return errors_; }

  void Error(const std::string& text) override {
    endBar();
    std::cerr << "zvl: " << input_ << ": " << text << "\n";
    ++errors_;
  }
  void Warning(const std::string& text) override {
    endBar();
    std::cerr << "zvl: " << input_ << ": warning: " << text << "\n";
  }
  void LoadingCaption(const std::string& caption) override { draw(caption, 0, 0, true); }
  void LoadingPercent(int percent) override { draw(caption_, percent, 100, false); }
  void Stage(int range, const std::string& text) override {
    range_ = range;
    draw(text, 0, range, true);
  }
  void Progress(int position) override { draw(caption_, position, range_, false); }
  void Plot(int, int, const uint8_t[3]) override { checkInterrupt(); }

 private:
  void checkInterrupt() {
    if (interrupted.load() && conversion_) conversion_->Stop();
  }
  void draw(const std::string& caption, int position, int range, bool force) {
    checkInterrupt();
    caption_ = caption;
    if (!show_) return;
    const int percent = range > 0 ? std::clamp(int(int64_t(position) * 100 / range), 0, 100) : 0;
    if (!force && percent == percent_) return;
    percent_ = percent;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%% %-60.60s", std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(30 - filled), ' ').c_str(), percent, caption.c_str());
    std::fflush(stderr);
    barShown_ = true;
  }
  void endBar() {
    if (!barShown_) return;
    std::fprintf(stderr, "\r%*s\r", 98, "");
    barShown_ = false;
  }

  std::string input_;
  bool show_;
  authoring::SceneConversion* conversion_ = nullptr;
  std::string caption_;
  int range_ = 0, percent_ = -1, errors_ = 0;
  bool barShown_ = false;
};

int Fail(const std::string& path, const std::string& message) {
  std::cerr << "zvl: " << path << ": " << message << "\n";
  return 1;
}

int Run(const ConvertOptions& options) {
  PageFields fields;
  if (!KindOf(options.input, fields.kind))
    return Fail(options.input, std::string(importer::msg::UnknownSceneKind) + " " + options.input);
  if (options.vueGiven && options.vue.empty()) return Fail(options.input, authoring::msg::VueFileMissing);
  fields.scenePath = options.input;
  fields.palettePath = options.palette;
  fields.materialsPath = options.materials;
  fields.animationFromScene = !options.vueGiven;
  fields.vuePath = options.vue;
  fields.animationStem = options.anim;
  fields.orientation = options.orientation == "xzy" ? authoring::kOrientationXzy : authoring::kOrientationXyz;
  fields.makePalette = !options.noPalette;
  fields.makeGeometry = !options.noGeometry;
  fields.makeAnimation = !options.noAnimation;
  fields.highColor = !options.noHighColor;
  fields.startColor = options.start;
  fields.endColor = options.end;
  fields.levels = options.levels;

  TerminalReporter reporter(options.input, isatty(2) != 0);
  authoring::SceneConversion conversion(reporter);
  reporter.setConversion(&conversion);
  interrupted.store(0);
  auto previous = std::signal(SIGINT, OnInterrupt);
  int result = conversion.Prepare(fields) ? 0 : -1;
  float units = options.units;
  if (result == 0 && !(units > 0)) units = conversion.DefaultUnits();
  if (result == 0 && !conversion.Setup(units, options.output)) result = -1;
  if (result == 0) result = conversion.Run();
  std::signal(SIGINT, previous);
  if (result == 0) return 0;
  if (interrupted.load()) return Fail(options.input, "interrupted");
  if (reporter.errors() == 0) return Fail(options.input, "conversion stopped");
  return 1;
}

void install(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* cmd = app.add_subcommand(
      "convert",
      "Convert a 3D Studio (.3ds), LightWave (.lws) or Alias RTG (.rtg) scene into a ZVL file of version 7.2");
  cmd->add_option("input", options->input, "Scene file (.3ds, .lws or .rtg, any letter case)")->required();
  cmd->add_option("-o,--output", options->output, "The ZVL file to write")->required();
  cmd->add_option("--palette", options->palette, "ACT palette (default: main_p6.act in the current folder)");
  cmd->add_option("--start", options->start, "First palette entry of the palette range (default 16)")
      ->check(CLI::Range(0, 255));
  cmd->add_option("--end", options->end, "Last palette entry of the palette range (default 245)")
      ->check(CLI::Range(0, 255));
  cmd->add_option("--levels", options->levels, "Levels of detail, each 1.5 times coarser (1..16, default 1)")
      ->check(CLI::Range(1, authoring::kMaxLevels));
  cmd->add_option("--units", options->units,
                  "Scene units per 3D pixel of the finest level (default: the largest mesh diagonal / 250)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--vue", options->vue, "3D Studio: take the animation from this VUE file")
      ->each([options](const std::string&) { options->vueGiven = true; });
  cmd->add_option("--materials", options->materials,
                  "Folder of the texture maps (3D Studio) or of the materials .bin file (Alias RTG); "
                  "default: the scene's folder");
  cmd->add_option("--anim", options->anim, "Alias RTG: stem of the animation files (stem_NODE)");
  cmd->add_option("--orientation", options->orientation, "LightWave object orientation")
      ->check(CLI::IsMember({"xyz", "xzy"}));
  cmd->add_flag("--no-palette", options->noPalette, "Leave the palette entries out");
  cmd->add_flag("--no-geometry", options->noGeometry, "Leave the objects' geometry out");
  cmd->add_flag("--no-animation", options->noAnimation, "Store frame 0 only");
  cmd->add_flag("--no-high-color", options->noHighColor, "Leave the 16-bit colour table out");
  cmd->callback([options] { zvltool::exitCode() = Run(*options); });
}

zvltool::RegisterCommand registration(35, install);

}  // namespace
