#include "maxhost/host_scene.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace maxhost {

AColor PictureTexmap::EvalColor(ShadeContext& sc) {
  if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height) * 3) return {};
  auto wrap = [](float f, int n) {
    if (!std::isfinite(f)) return 0;
    const float w = f - std::floor(f);  // 0 <= w < 1
    const int i = int(w * float(n));
    return i < 0 ? 0 : i >= n ? n - 1 : i;
  };
  const int x = wrap(sc.uvw.x, width);
  const int y = height - 1 - wrap(sc.uvw.y, height);
  const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
  return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f};
}

INode* HostNode::GetChildNode(int i) const {
  return i >= 0 && size_t(i) < children.size() ? children[size_t(i)].get() : nullptr;
}

Matrix3 HostNode::GetNodeTM(TimeValue t) const {
  Matrix3 tm = LocalTM(t);
  for (const HostNode* p = parent; p; p = p->parent) tm = tm * p->LocalTM(t);
  return tm;
}

HostNode& HostNode::AddChild(std::string childName) {
  auto child = std::make_unique<HostNode>();
  child->name = std::move(childName);
  child->parent = this;
  child->wireColor = WireColorForName(child->name);
  children.push_back(std::move(child));
  return *children.back();
}

WireColor WireColorForName(const std::string& name) {
  // Bright, distinct colours (0x00BBGGRR), picked by a hash of the name.
  static constexpr WireColor kColours[] = {
      0x0038A8E6, 0x00E68A38, 0x0058C658, 0x00C658B0, 0x00D6D640, 0x004080F0, 0x0090E0A0, 0x00F0A0C8,
      0x00A070E0, 0x0060D0E0, 0x00E0C070, 0x007070D0, 0x00B0B0B0, 0x0040C0A0, 0x00C09060, 0x009060C0,
  };
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return kColours[hash % (sizeof kColours / sizeof kColours[0])];
}

HostInterface::HostInterface(Loader loader) : loader_(std::move(loader)) {}

CStr HostInterface::GetCurFileName() const {
  return std::filesystem::path(scene_.filePath).filename().string();
}

bool HostInterface::LoadFromFile(const char* path) {
  loadError_.clear();
  if (!loader_ || !path) {
    loadError_ = "No scene loader";
    return false;
  }
  SceneContents scene;
  if (!loader_(path, scene, loadError_)) return false;
  SetScene(std::move(scene));
  return true;
}

void HostInterface::SetScene(SceneContents scene) {
  scene_ = std::move(scene);
  time_ = scene_.animRange.start;
  if (onSceneChanged) onSceneChanged();
}

std::string HostInterface::GetTempDir() const {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = ".";
  dir /= "maxhost";
  std::filesystem::create_directories(dir, ec);
  return dir.string();
}

void HostInterface::ReportMessage(MessageKind kind, const char* caption, const char* text) {
  messages.push_back({kind, caption ? caption : "", text ? text : ""});
  if (onMessage) onMessage(messages.back());
}

}  // namespace maxhost
