// zvl render: draws frames of a ZVL file into PNG pictures, with the camera
// fitted as the player fits it when it opens a file.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <regex>
#include <string>

#include <png.h>

#include "render/png_image.h"
#include "render/render.h"
#include "tools/zvl/command.h"
#include "tools/zvl/messages.h"
#include "zvlfile/rgb555.h"

namespace {

using zvl::render::RgbImage;

// The player's defaults (render/scene_defaults.h): background and shadow
// colours, and the fit it makes when a file opens.
constexpr uint8_t Background[3] = {ZvlDefaultBackground.r, ZvlDefaultBackground.g, ZvlDefaultBackground.b};
constexpr uint8_t ShadowColor[3] = {ZvlDefaultShadowColor.r, ZvlDefaultShadowColor.g, ZvlDefaultShadowColor.b};
constexpr float OpenFocalDistance = ZvlFitFocalDistance;
constexpr float OpenFitScale = ZvlFitScale;

struct RenderOptions {
  std::string file;
  std::string output;
  int frame = 0;
  std::string frames;
  std::string size = "640x480";
  std::string mode = "fill";
  bool shadows = false;
  int level = 0;
  int bits = 16;
  int colorModel = 555;
};

uint16_t Pack(const uint8_t rgb[3], bool is565) {
  if (is565) return uint16_t(((rgb[0] >> 3) << 11) | ((rgb[1] >> 2) << 5) | (rgb[2] >> 3));
  return ZvlPackRgb555(rgb[0], rgb[1], rgb[2]);
}

bool Fail(const std::string& where, const std::string& message) {
  std::cerr << "zvl: " << where << ": " << message << "\n";
  zvltool::exitCode() = 1;
  return false;
}

// The renderer's own text, and for the missing palette what it means here.
std::string Explained(const std::string& message) {
  if (message == zvl::rmsg::NoPalette) return message + zvltool::msg::NoPaletteMeaning;
  return message;
}

// An output may be a new name or a regular file, never the input itself.
bool CheckOutput(const std::string& input, const std::string& output) {
  std::error_code ec;
  const auto status = std::filesystem::status(output, ec);
  if (ec || !std::filesystem::exists(status)) return true;
  if (!std::filesystem::is_regular_file(status)) return Fail(output, zvltool::msg::OutputNotRegular);
  if (std::filesystem::equivalent(input, output, ec) && !ec) return Fail(output, zvltool::msg::OutputIsInput);
  return true;
}

// Encodes the picture as an 8-bit RGB PNG in memory and writes it through a
// temporary file that replaces the target only when every byte is on disk,
// so a failed write leaves whatever stood there.
bool WritePicture(const std::string& path, const RgbImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(image.width);
  png.height = png_uint_32(image.height);
  png.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  std::vector<uint8_t> bytes;
  bool encoded = png_image_write_get_memory_size(png, size, 0, image.rgb.data(), 0, nullptr) != 0;
  if (encoded) {
    bytes.resize(size);
    encoded = png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgb.data(), 0, nullptr) != 0;
  }
  if (!encoded) {
    const std::string reason = png.message[0] ? png.message : zvltool::msg::CantWritePng;
    png_image_free(&png);
    return Fail(path, reason);
  }
  bytes.resize(size);
  const int result = ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : ZvlFailure;
  });
  return result == 0 || Fail(path, ZvlGetErrorText());
}

// OUT.png for one frame; OUT_0007.png for frame 7 of a range.
std::string FramePath(const std::string& output, int frame, bool numbered) {
  if (!numbered) return output;
  const std::filesystem::path path(output);
  char number[16];
  std::snprintf(number, sizeof number, "_%04d", frame);
  const std::filesystem::path extension = path.has_extension() ? path.extension() : std::filesystem::path(".png");
  return (path.parent_path() / (path.stem().string() + number + extension.string())).string();
}

// One frame drawn into 16-bit or 8-bit buffers, as an RGB picture.
class FrameRenderer {
 public:
  FrameRenderer(ZvlBase& base, int width, int height, int bits, bool is565)
      : base_(base), width_(width), height_(height), bits_(bits), is565_(is565) {
    view_.create(width, height, is565);
    base_.setCamera(&view_);
    if (bits_ == 8) {
      pixels8_.assign(size_t(view_.pitch()) * size_t(height), 0);
    } else {
      std::vector<uint16_t> shadow(ZvlShadowTableSize16, Pack(ShadowColor, is565));
      base_.setShadowTable(shadow);
    }
  }
  CameraView& view() { return view_; }

  bool render(int frame, RgbImage& image) {
    view_.fillAll(Pack(Background, is565_), 0xFFFF);
    ZvlOutput output = view_.output();
    if (bits_ == 8) {
      output.colorBits = 8;
      output.colorBuffer = pixels8_.data();
    }
    ZvlClearError();
    base_.render(output, frame);
    if (base_.handler() == nullptr) return false;
    if (bits_ == 16) {
      image = zvl::render::ExpandImage16(view_.pixels(), view_.pitch(), width_, height_, view_.redMask());
      return true;
    }
    // 8-bit: palette colours where something was drawn, the background
    // colour where the depth buffer still holds the background.
    const ZorvelPalette& palette = *base_.database()->palette;
    image.width = width_;
    image.height = height_;
    image.rgb.resize(size_t(width_) * size_t(height_) * 3);
    uint8_t* out = image.rgb.data();
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x, out += 3) {
        const size_t at = size_t(y) * size_t(view_.pitch()) + size_t(x);
        const uint8_t* rgb = view_.depth()[at] == 0xFFFF ? Background : palette.colors[pixels8_[at]];
        std::copy(rgb, rgb + 3, out);
      }
    }
    return true;
  }

 private:
  ZvlBase& base_;
  CameraView view_;
  std::vector<uint8_t> pixels8_;
  int width_, height_, bits_;
  bool is565_;
};

void Run(const RenderOptions& o) {
  int width = 0, height = 0;
  std::smatch match;
  const std::regex sizePattern("([0-9]{1,5})x([0-9]{1,5})");
  if (!std::regex_match(o.size, match, sizePattern) || (width = std::stoi(match[1])) < 1 ||
      (height = std::stoi(match[2])) < 1 || width > 16384 || height > 16384) {
    Fail(o.size, "size must be WxH with sides from 1 to 16384");
    return;
  }
  int first = o.frame, last = o.frame;
  const bool range = !o.frames.empty();
  if (range) {
    const std::regex framesPattern("([0-9]{1,9})-([0-9]{1,9})");
    if (!std::regex_match(o.frames, match, framesPattern) ||
        (first = std::stoi(match[1])) > (last = std::stoi(match[2]))) {
      Fail(o.frames, "frames must be A-B with A <= B");
      return;
    }
  }
  if (ZvlSetup(&ZvlIo()) != 0) {
    Fail(o.file, ZvlGetErrorText());
    return;
  }
  ZvlBase base;
  base.setMessageHandler([&](const char* message) { Fail(o.file, Explained(message)); });
  if (base.load(o.file.c_str()) != 0) {
    Fail(o.file, ZvlGetErrorText());
    return;
  }
  if (!base.hasGeometry()) {
    Fail(o.file, zvl::rmsg::CannotRenderPureAnimation);
    return;
  }
  if (o.bits == 8 && base.database()->palette == nullptr) {
    Fail(o.file, Explained(zvl::rmsg::NoPalette));
    return;
  }
  const int frames = std::max(1, base.state().frameCount);
  if (first < 0 || last >= frames) {
    Fail(o.file, "frame out of range 0.." + std::to_string(frames - 1));
    return;
  }
  // Every output is checked before anything is drawn.
  for (int frame = first; frame <= last; ++frame)
    if (!CheckOutput(o.file, FramePath(o.output, frame, range))) return;
  FrameRenderer renderer(base, width, height, o.bits, o.colorModel == 565);
  base.selectLevel(o.level);
  base.setFrame(first);
  base.fitToView(OpenFocalDistance, OpenFitScale);
  base.state().drawMode = o.mode == "pack" ? DrawMode::Pack : o.mode == "stretch" ? DrawMode::Stretch : DrawMode::Fill;
  base.state().shadowsOn = o.shadows;
  for (int frame = first; frame <= last; ++frame) {
    RgbImage image;
    if (!renderer.render(frame, image)) {
      if (zvltool::exitCode() == 0) Fail(o.file, ZvlGetErrorText());
      return;
    }
    if (!WritePicture(FramePath(o.output, frame, range), image)) return;
  }
}

void install(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* cmd = app.add_subcommand("render", "Render frames of a ZVL file to PNG pictures");
  cmd->add_option("file", options->file, "ZVL file")->required()->check(CLI::ExistingFile);
  cmd->add_option("-o,--output", options->output, "PNG file (frames of a range get _NNNN before the extension)")
      ->required();
  cmd->add_option("--frame", options->frame, "Frame to render (default 0)")->check(CLI::NonNegativeNumber);
  cmd->add_option("--frames", options->frames, "Range of frames A-B, one numbered file each");
  cmd->add_option("--size", options->size, "Picture size WxH (default 640x480)");
  cmd->add_option("--mode", options->mode, "Draw mode (default fill)")
      ->check(CLI::IsMember({"pack", "fill", "stretch"}));
  cmd->add_flag("--shadows", options->shadows, "Cast shadows on the ground plane");
  cmd->add_option("--level", options->level, "Level of detail (0 finest)")->check(CLI::Range(0, 15));
  cmd->add_option("--bits", options->bits, "Colour buffer: 16-bit RGB or 8-bit palette indices")
      ->check(CLI::IsMember({8, 16}));
  cmd->add_option("--color-model", options->colorModel, "16-bit colour model: 555 or 565")
      ->check(CLI::IsMember({555, 565}));
  cmd->callback([options] { Run(*options); });
}

zvltool::RegisterCommand registration(20, install);

}  // namespace
