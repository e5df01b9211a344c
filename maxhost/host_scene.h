// maxhost's scene: nodes with keyframed transforms, the objects they carry
// (triangle meshes, point helpers), materials and picture maps, and the host
// interface a plug-in sees. Plain C++: the loaders fill it, the window shows
// it, and tests build scenes by hand.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "maxhost/animation.h"
#include "maxplugin/sdk/sdk.h"

namespace maxhost {

// A triangle mesh object. An object the loader could not turn into a valid
// mesh keeps its reason and gives no mesh.
class GeomObject : public Object {
 public:
  SClass_ID SuperClassID() const override { return kGeomObjectClassID; }
  Class_ID ClassID() const override { return Class_ID(kTriObjectClassID, 0); }
  bool CanConvertToTriMesh() const override { return true; }
  Mesh* ConvertToTriMesh(TimeValue, bool& mustRelease) override {
    mustRelease = false;
    return invalidReason.empty() ? &mesh : nullptr;
  }

  Mesh mesh;
  std::string invalidReason;
};

// A point helper: a node without geometry.
class HelperObject : public Object {
 public:
  SClass_ID SuperClassID() const override { return kHelperClassID; }
  Class_ID ClassID() const override { return Class_ID(kPointHelperClassID, 0); }
};

// A picture map: R, G, B texels, top row first, sampled at the nearest texel
// with wrapping; v runs from the bottom of the picture up.
class PictureTexmap : public Texmap {
 public:
  AColor EvalColor(ShadeContext& sc) override;

  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

class HostNode : public INode {
 public:
  const char* GetName() const override { return name.c_str(); }
  int NumberOfChildren() const override { return int(children.size()); }
  INode* GetChildNode(int i) const override;
  INode* GetParentNode() const override { return parent; }
  Matrix3 GetNodeTM(TimeValue t) const override;
  Matrix3 GetObjectTM(TimeValue t) const override { return objectOffset * GetNodeTM(t); }
  ObjectState EvalWorldState(TimeValue) override { return {object.get()}; }
  Mtl* GetMtl() const override { return material.get(); }
  WireColor GetWireColor() const override { return wireColor; }
  bool IsHidden() const override { return hidden; }
  bool Selected() const override { return selected; }

  // The transform relative to the parent at t.
  Matrix3 LocalTM(TimeValue t) const { return track.Evaluate(t, rest); }
  HostNode& AddChild(std::string childName);

  std::string name;
  HostNode* parent = nullptr;
  std::vector<std::unique_ptr<HostNode>> children;
  Matrix3 rest;            // local transform without animation
  TransformTrack track;
  Matrix3 objectOffset;
  std::shared_ptr<Object> object;
  std::shared_ptr<Mtl> material;
  WireColor wireColor = 0;
  bool hidden = false, selected = false;
};

// A fixed colour for a node, chosen from its name so that it is the same in
// every run.
WireColor WireColorForName(const std::string& name);

// One loaded scene.
struct SceneContents {
  std::unique_ptr<HostNode> root = std::make_unique<HostNode>();
  Interval animRange;          // in ticks
  int ticksPerFrame = kDefaultTicksPerSecond / kDefaultFramesPerSecond;
  std::string filePath;        // empty for a scene made in memory
  std::vector<std::string> warnings;  // what the loader could not take
};

// The host interface over a scene. Loading goes through the loader given at
// construction, so the scene itself needs no file formats.
class HostInterface : public Interface {
 public:
  using Loader = std::function<bool(const std::string& path, SceneContents& scene, std::string& error)>;

  explicit HostInterface(Loader loader = {});

  INode* GetRootNode() override { return scene_.root.get(); }
  TimeValue GetTime() const override { return time_; }
  Interval GetAnimRange() const override { return scene_.animRange; }
  int GetTicksPerFrame() const override { return scene_.ticksPerFrame; }
  CStr GetCurFileName() const override;
  CStr GetCurFilePath() const override { return scene_.filePath; }
  bool LoadFromFile(const char* path) override;
  std::string GetTempDir() const override;
  void ReportMessage(MessageKind kind, const char* caption, const char* text) override;

  void SetTime(TimeValue t) { time_ = t; }
  void SetScene(SceneContents scene);
  SceneContents& Scene() { return scene_; }
  const std::string& LastLoadError() const { return loadError_; }

  // Messages of plug-ins (and of loading), oldest first; and who else hears them.
  struct Message {
    MessageKind kind;
    std::string caption, text;
  };
  std::vector<Message> messages;
  std::function<void(const Message&)> onMessage;
  // Told after the scene was replaced.
  std::function<void()> onSceneChanged;

 private:
  Loader loader_;
  SceneContents scene_;
  TimeValue time_ = 0;
  std::string loadError_;
};

}  // namespace maxhost
