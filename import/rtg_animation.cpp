// Alias RTG materials file, animation files and the animation calculation.
#include "import/rtg_scene.h"
#include "import/rtg_words.h"
#include "import/matrix3.h"

#include <algorithm>
#include <cmath>

using importer::Mat3;
using importer::Vec3;

namespace {

constexpr double kDegrees = 3.141592653589793 / 180;
constexpr int kMaxTextureSide = 65535;  // the imported picture keeps 16-bit sides

// R = Rz(rz) · Ry(ry) · Rx(rx) of a rotation triple (rx, ry, rz).
Mat3 Rotation(const std::array<float, 3>& r) {
  return importer::Multiply(importer::Multiply(importer::RotationZ(r[2]), importer::RotationY(r[1])),
                            importer::RotationX(r[0]));
}

Mat3 Transposed(const Mat3& m) { return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]}; }

// Angles (rx, ry, rz) of a rotation R = Rz · Ry · Rx.
std::array<float, 3> Angles(const Mat3& r) {
  const double ry = std::asin(std::clamp(-r[6], -1.0, 1.0));
  if (std::abs(std::cos(ry)) > 1e-9) return {float(std::atan2(r[7], r[8])), float(ry), float(std::atan2(r[3], r[0]))};
  return {float(std::atan2(-r[5], r[4])), float(ry), 0.0f};
}

// One line of an animation file: translation, rotation, scale.
void ReadFrame(std::string_view line, std::array<float, 3>& t, std::array<float, 3>& r, std::array<float, 3>& s) {
  t = {0, 0, 0};
  r = {0, 0, 0};
  s = {1, 1, 1};
  RtgWordReader words(line);
  std::string word;
  words.Next(word);  // the frame word
  const auto triple = [&](std::array<float, 3>& out, double factor) {
    // x, then the Y label and y, then the Z label and z.
    for (int k = 0; k < 3; ++k) {
      if (k > 0 && !words.Next(word)) return;
      if (!words.Next(word)) return;
      out[size_t(k)] = float(RtgNumber(word) * factor);
    }
  };
  while (words.Next(word)) {
    if (word == "X_Translate") triple(t, 1.0);
    else if (word == "X_Rotate") triple(r, kDegrees);
    else if (word == "X_Scale") triple(s, 1.0);
  }
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

bool ReadRtgMaterials(std::span<const uint8_t> bytes, RtgScene& scene) {
  if (scene.textureHeaderSize < 0 || size_t(scene.textureHeaderSize) > bytes.size()) return false;
  scene.binHeader.assign(bytes.begin(), bytes.begin() + scene.textureHeaderSize);
  size_t at = size_t(scene.textureHeaderSize);
  for (RtgTexture& texture : scene.textures) {
    if (texture.width <= 0 || texture.height <= 0 || texture.width > kMaxTextureSide || texture.height > kMaxTextureSide)
      return false;
    const size_t pixels = size_t(texture.width) * size_t(texture.height);
    if (pixels > (bytes.size() - at) / 4) return false;
    texture.pixels.resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i, at += 4) std::copy_n(&bytes[at], 3, &texture.pixels[i * 3]);
  }
  return true;
}

void RtgTransformsFromWorld(RtgScene& scene) {
  // Accumulated rotation and scale and the location of each node at rest,
  // as the calculation will accumulate them.
  std::vector<Mat3> rotation(scene.nodes.size()), scale(scene.nodes.size());
  std::vector<Vec3> location(scene.nodes.size());
  for (size_t i = 0; i < scene.nodes.size(); ++i) {
    RtgNode& node = scene.nodes[i];
    const bool child = node.parent >= 0;
    const Mat3 parentRotation = child ? rotation[size_t(node.parent)] : importer::Identity3();
    const Mat3 parentScale = child ? scale[size_t(node.parent)] : importer::Identity3();
    const Vec3 parentLocation = child ? location[size_t(node.parent)] : Vec3{0, 0, 0};
    // world = parentScale · S · parentRotation · R: the rows of
    // parentScale⁻¹ · world are the rows of parentRotation · R scaled by S.
    Mat3 m = node.worldMatrix;
    Mat3 unit{};
    for (int row = 0; row < 3; ++row) {
      const double ps = parentScale[size_t(row * 4)];
      double length = 0;
      for (int c = 0; c < 3; ++c) {
        m[size_t(row * 3 + c)] /= (ps != 0 ? ps : 1.0);
        length += m[size_t(row * 3 + c)] * m[size_t(row * 3 + c)];
      }
      length = std::sqrt(length);
      node.scale[size_t(row)] = float(length);
      for (int c = 0; c < 3; ++c)
        unit[size_t(row * 3 + c)] = length > 0 ? m[size_t(row * 3 + c)] / length : (row == c ? 1.0 : 0.0);
    }
    node.rotation = Angles(importer::Multiply(Transposed(parentRotation), unit));
    const Vec3 offset{node.worldTranslation[0] - parentLocation[0], node.worldTranslation[1] - parentLocation[1],
                      node.worldTranslation[2] - parentLocation[2]};
    const Vec3 t = importer::Apply(Transposed(parentRotation), offset);
    node.translation = {float(t[0]), float(t[1]), float(t[2])};
    node.pivot = {0, 0, 0};
    rotation[i] = importer::Multiply(parentRotation, Rotation(node.rotation));
    scale[i] = importer::Multiply(parentScale, importer::Scale3({node.scale[0], node.scale[1], node.scale[2]}));
    location[i] = node.worldTranslation;
  }
}

bool ReadRtgAnimation(const std::string& stem, const FileSource& files, RtgScene& scene, bool& anyAnimation,
                      long long maxPlacements, const RtgProgress& progress) {
  scene.frameCount = 0;
  anyAnimation = false;
  std::vector<uint8_t> bytes;
  long long frames = 0;  // read so far, over all nodes
  for (size_t n = 0; n < scene.nodes.size(); ++n) {
    RtgNode& node = scene.nodes[n];
    if (progress) progress(int(n * 100 / scene.nodes.size()));
    node.animated = false;
    node.frameTranslation.clear();
    node.frameRotation.clear();
    node.frameScale.clear();
    if (stem.empty() || !files.Read(stem + "_" + node.name, bytes, kMaxSceneFileBytes)) continue;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::vector<std::string_view> lines = Lines(text);
    frames += (long long)lines.size();
    if (frames > maxPlacements) return false;
    node.animated = true;
    anyAnimation = true;
    scene.frameCount = int(lines.size());
    for (std::string_view line : lines) {
      std::array<float, 3> t, r, s;
      ReadFrame(line, t, r, s);
      node.frameTranslation.push_back(t);
      node.frameRotation.push_back(r);
      node.frameScale.push_back(s);
    }
  }
  if (!anyAnimation) scene.frameCount = 1;
  if (double(scene.frameCount) * double(std::max<size_t>(scene.nodes.size(), 1)) > double(maxPlacements))
    return false;
  const size_t frameCount = size_t(scene.frameCount);
  for (RtgNode& node : scene.nodes) {
    if (!node.animated) {
      node.frameTranslation.assign(frameCount, {0, 0, 0});
      node.frameRotation.assign(frameCount, {0, 0, 0});
      node.frameScale.assign(frameCount, node.scale);
      continue;
    }
    // Shorter files repeat their last frame; an empty one stands still.
    const auto fit = [&](std::vector<std::array<float, 3>>& list, std::array<float, 3> rest) {
      list.resize(frameCount, list.empty() ? rest : list.back());
    };
    fit(node.frameTranslation, {0, 0, 0});
    fit(node.frameRotation, {0, 0, 0});
    fit(node.frameScale, {1, 1, 1});
  }
  return true;
}

void CalculateRtgAnimation(RtgScene& scene, const RtgProgress& progress) {
  const size_t frames = size_t(std::max(scene.frameCount, 0));
  const size_t count = scene.nodes.size();
  std::vector<Mat3> rotation(count), scale(count);
  std::vector<Vec3> location(count);
  for (RtgNode& node : scene.nodes) {
    node.matrices.assign(frames, importer::Identity3());
    node.locations.assign(frames, {0, 0, 0});
  }
  for (size_t f = 0; f < frames; ++f) {
    if (progress) progress(int(f * 100 / frames));
    // Parents come before their children in the node table, so one pass in
    // table order has every parent's results ready.
    for (size_t i = 0; i < count; ++i) {
      RtgNode& node = scene.nodes[i];
      const bool child = node.parent >= 0;
      const Mat3 parentRotation = child ? rotation[size_t(node.parent)] : importer::Identity3();
      const Mat3 parentScale = child ? scale[size_t(node.parent)] : importer::Identity3();
      const Vec3 parentLocation = child ? location[size_t(node.parent)] : Vec3{0, 0, 0};
      std::array<float, 3> r = node.frameRotation[f], t = node.frameTranslation[f];
      for (int k = 0; k < 3; ++k) {
        r[size_t(k)] += node.rotation[size_t(k)];
        t[size_t(k)] += node.translation[size_t(k)];
      }
      const std::array<float, 3>& sv = node.frameScale[f];
      const Mat3 s = importer::Scale3({sv[0], sv[1], sv[2]});
      const Mat3 rm = Rotation(r);
      const Vec3 pivot{node.pivot[0], node.pivot[1], node.pivot[2]};
      const Vec3 turned = importer::Apply(rm, pivot);
      const Vec3 local{t[0] + pivot[0] - turned[0], t[1] + pivot[1] - turned[1], t[2] + pivot[2] - turned[2]};
      const Vec3 moved = importer::Apply(parentRotation, local);
      location[i] = {moved[0] + parentLocation[0], moved[1] + parentLocation[1], moved[2] + parentLocation[2]};
      rotation[i] = importer::Multiply(parentRotation, rm);
      scale[i] = importer::Multiply(parentScale, s);
      node.matrices[f] = importer::Multiply(scale[i], rotation[i]);
      node.locations[f] = {float(location[i][0]), float(location[i][1]), float(location[i][2])};
    }
  }
}
