#include "maxplugin/converter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "maxplugin/contents.h"
#include "maxplugin/messages.h"

namespace zvlplay {
namespace {

constexpr size_t kMaxFaces = size_t(1) << 24;
constexpr std::string_view kFixPointTag = "_FIXPOINT_";
// Surface values of a material made from a wire colour.
constexpr uint8_t kDefaultShading = 2;
constexpr uint8_t kDefaultSpecular = 208;
constexpr float kDefaultShininess = 0.2f, kDefaultShinStrength = 0.1f;

uint8_t ColourByte(float value) {
  if (!(value > 0)) return 0;
  return value >= 1 ? 255 : uint8_t(value * 255.0f);
}

void CopyColour(Color c, uint8_t out[3]) {
  out[0] = ColourByte(c.r);
  out[1] = ColourByte(c.g);
  out[2] = ColourByte(c.b);
}

bool IsGeometric(Object* obj) {
  return obj && obj->SuperClassID() == kGeomObjectClassID && obj->CanConvertToTriMesh();
}

bool IsFixPointHelper(INode& child, TimeValue t) {
  Object* obj = child.EvalWorldState(t).obj;
  return obj && obj->SuperClassID() == kHelperClassID && obj->ClassID().PartA() == kPointHelperClassID &&
         std::string_view(child.GetName()).find(kFixPointTag) != std::string_view::npos;
}

// The host's mesh of a node, released when the holder goes if the host made
// it for us.
struct HeldMesh {
  Mesh* mesh = nullptr;
  bool release = false;
  HeldMesh(INode& node, TimeValue t) {
    Object* obj = node.EvalWorldState(t).obj;
    if (IsGeometric(obj)) mesh = obj->ConvertToTriMesh(t, release);
  }
  ~HeldMesh() {
    if (release) delete mesh;
  }
  HeldMesh(const HeldMesh&) = delete;
  HeldMesh& operator=(const HeldMesh&) = delete;
};

}  // namespace

int HostMaterialRecord::PrepareTexture() {
  context_.ResetMinimal(time);
  if (map) map->Update(time);
  return 0;
}

void HostMaterialRecord::SampleColour(const float[3], const float uvw[3], uint8_t rgb[3]) const {
  if (!map) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    return;
  }
  context_.uvw = Point3(uvw[0], uvw[1], 0);
  const AColor c = map->EvalColor(context_);
  rgb[0] = ColourByte(c.r);
  rgb[1] = ColourByte(c.g);
  rgb[2] = ColourByte(c.b);
}

ZvlPlayConverter::ZvlPlayConverter(Interface& ip) : ip_(ip) {}

ZvlPlayConverter::~ZvlPlayConverter() = default;

TimeValue ZvlPlayConverter::EvaluationTime() const {
  return options.localFromFrame ? TimeValue(ip_.GetTicksPerFrame() * options.lcsFrame) : ip_.GetTime();
}

void ZvlPlayConverter::ReportError(const char* text) {
  lastError = text;
  if (onError) onError(text);
}

void ZvlPlayConverter::ReportInfo(const char* text) {
  infos.emplace_back(text);
  if (onInfo) onInfo(text);
}

int ZvlPlayConverter::ObjectError(const char* message, const char* name) {
  const std::string text = std::string(message) + " " + name;
  ReportError(text.c_str());
  return -1;
}

int ZvlPlayConverter::CollectNodes() {
  nodes_.clear();
  const TimeValue t = EvaluationTime();
  const bool useHidden = options.contents & kContentsUseHidden;
  const bool selectedOnly = options.contents & kContentsSelectedOnly;
  try {
    // Depth first, children in host order, without recursion so that deep
    // trees from files cannot exhaust the stack.
    std::vector<INode*> stack;
    if (INode* root = ip_.GetRootNode())
      for (int i = root->NumberOfChildren() - 1; i >= 0; --i) stack.push_back(root->GetChildNode(i));
    while (!stack.empty()) {
      INode* node = stack.back();
      stack.pop_back();
      if (!node) continue;
      const bool wanted = (useHidden || !node->IsHidden()) && (!selectedOnly || node->Selected());
      if (wanted && IsGeometric(node->EvalWorldState(t).obj)) nodes_.push_back(node);
      for (int i = node->NumberOfChildren() - 1; i >= 0; --i) stack.push_back(node->GetChildNode(i));
    }
  } catch (const std::bad_alloc&) {
    nodes_.clear();
    ReportError(msg::NoRoomForNodeArray);
    return -1;
  }
  if (nodes_.empty()) {
    ReportError(msg::NoObjectsToZorvelate);
    return -1;
  }
  return 0;
}

int ZvlPlayConverter::FindNodeByName(const char* name) const {
  for (size_t i = 0; i < nodes_.size(); ++i)
    if (std::strcmp(nodes_[i]->GetName(), name) == 0) return int(i);
  return -1;
}

int ZvlPlayConverter::SceneSize(float& size) {
  size = 0;
  if (nodes_.empty()) {
    ReportError(msg::NoObjectsToConvert);
    return -1;
  }
  const TimeValue t = EvaluationTime();
  for (INode* node : nodes_) {
    HeldMesh held(*node, t);
    if (!held.mesh) return ObjectError(msg::CantGetMesh, node->GetName());
    const Matrix3 tm = node->GetObjectTM(t);
    const Box3 box = held.mesh->getBoundingBox(&tm);
    if (box.IsEmpty()) return ObjectError(msg::NoBoundingBox, node->GetName());
    const Point3 w = box.Width();
    for (int a = 0; a < 3; ++a)
      if (std::isfinite(w[a])) size = std::max(size, w[a]);
  }
  return 0;
}

int ZvlPlayConverter::AddStandardRecord(const Mtl& mtl, int& index) {
  for (const auto& record : materials_)
    if (record->key == &mtl) {
      index = record->position;
      return 0;
    }
  auto record = std::unique_ptr<HostMaterialRecord>(new (std::nothrow) HostMaterialRecord);
  if (!record) {
    ReportError(msg::NoRoomForSimpleMaterial);
    return -1;
  }
  const auto& std = static_cast<const StdMat&>(mtl);
  const TimeValue t = EvaluationTime();
  record->key = &mtl;
  record->name = static_cast<const char*>(mtl.GetName());
  record->shadingType = kDefaultShading;
  CopyColour(std.GetAmbient(t), record->ambient);
  CopyColour(std.GetDiffuse(t), record->diffuse);
  CopyColour(std.GetSpecular(t), record->specular);
  record->shininess = std.GetShininess(t);
  record->shininessStrength = std.GetShinStr(t);
  record->selfIllumination = std.GetSelfIllum(t);
  record->map = std.GetDiffuseMap();
  record->time = t;
  record->kind = uint8_t(record->map ? MaterialKind::Textured : MaterialKind::Flat);
  if (record->map) {
    // Records of one map are the same texture.
    int identity = 1;
    for (const auto& other : materials_) identity = std::max(identity, other->textureIdentity + 1);
    for (const auto& other : materials_)
      if (other->map == record->map) identity = other->textureIdentity;
    record->textureIdentity = identity;
  }
  record->position = int(materials_.size());
  index = record->position;
  materials_.push_back(std::move(record));
  return 0;
}

int ZvlPlayConverter::AddWireRecord(WireColor wire, int& index) {
  const WireColor key = wire | 0xFF000000u;
  for (const auto& record : materials_)
    if (!record->key && record->wireKey == key) {
      index = record->position;
      return 0;
    }
  auto record = std::unique_ptr<HostMaterialRecord>(new (std::nothrow) HostMaterialRecord);
  if (!record) {
    ReportError(msg::NoRoomForDefaultMaterial);
    return -1;
  }
  char name[32];
  std::snprintf(name, sizeof name, "Wire %06X", unsigned(wire & 0xFFFFFFu));
  record->name = name;
  record->wireKey = key;
  record->kind = uint8_t(MaterialKind::Flat);
  record->shadingType = kDefaultShading;
  const uint8_t rgb[3] = {uint8_t(wire), uint8_t(wire >> 8), uint8_t(wire >> 16)};
  std::memcpy(record->ambient, rgb, 3);
  std::memcpy(record->diffuse, rgb, 3);
  std::memset(record->specular, kDefaultSpecular, 3);
  record->shininess = kDefaultShininess;
  record->shininessStrength = kDefaultShinStrength;
  record->position = int(materials_.size());
  index = record->position;
  materials_.push_back(std::move(record));
  return 0;
}

int ZvlPlayConverter::BuildMaterialTable() {
  materials_.clear();
  nodeMaterial_.assign(nodes_.size(), -1);
  renumber_.assign(nodes_.size(), {});
  const TimeValue t = EvaluationTime();
  for (size_t n = 0; n < nodes_.size(); ++n) {
    INode& node = *nodes_[n];
    const Mtl* mtl = node.GetMtl();
    if (!mtl) {
      if (AddWireRecord(node.GetWireColor(), nodeMaterial_[n]) != 0) return -1;
      continue;
    }
    const uint32_t cls = mtl->ClassID().PartA();
    if (cls == kStdMatClassID) {
      if (AddStandardRecord(*mtl, nodeMaterial_[n]) != 0) return -1;
    } else if (cls == kMultiMtlClassID) {
      const int count = mtl->NumSubMtls();
      if (count <= 0) {
        // Nothing to choose from: the node is shown in its wire colour.
        if (AddWireRecord(node.GetWireColor(), nodeMaterial_[n]) != 0) return -1;
        continue;
      }
      std::vector<int>& renum = renumber_[n];
      try {
        renum.assign(size_t(count), -1);
      } catch (const std::bad_alloc&) {
        ReportError(msg::NoRoomForRenumTable);
        return -1;
      }
      HeldMesh held(node, t);
      if (!held.mesh) return ObjectError(msg::CantGetMesh, node.GetName());
      for (int f = 0; f < held.mesh->getNumFaces(); ++f) {
        const int sub = held.mesh->getFaceMtlIndex(f) % count;
        if (renum[size_t(sub)] >= 0) continue;
        const Mtl* subMtl = mtl->GetSubMtl(sub);
        if (!subMtl || subMtl->ClassID().PartA() != kStdMatClassID) {
          ReportError(msg::TooComplexMaterial);
          return -1;
        }
        if (AddStandardRecord(*subMtl, renum[size_t(sub)]) != 0) return -1;
      }
    } else {
      const std::string text = std::string(msg::UnsupportedMaterial) + " " + static_cast<const char*>(mtl->GetName());
      ReportError(text.c_str());
      return -1;
    }
  }
  materialCount = int(materials_.size());
  return 0;
}

Material* ZvlPlayConverter::GetMaterial(int index) {
  return index >= 0 && size_t(index) < materials_.size() ? materials_[size_t(index)].get() : nullptr;
}

int ZvlPlayConverter::ReleaseMaterial(Material*) { return 0; }

int ZvlPlayConverter::FillFaces(int node, const Mesh& mesh, MeshObject& object) {
  const char* name = nodes_[size_t(node)]->GetName();
  const size_t vertexCount = mesh.verts.size();
  const Mtl* mtl = nodes_[size_t(node)]->GetMtl();
  const std::vector<int>& renum = renumber_[size_t(node)];
  const bool multi = mtl && mtl->ClassID().PartA() == kMultiMtlClassID && !renum.empty();
  object.faces.resize(mesh.faces.size());
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    const Face& face = mesh.faces[f];
    MeshFace& out = object.faces[f];
    for (int k = 0; k < 3; ++k) {
      if (face.v[k] >= vertexCount) return ObjectError(msg::InvalidFaces, name);
      out.v[k] = int32_t(face.v[k]);
    }
    out.material = multi ? renum[size_t(face.mtlIndex % renum.size())] : nodeMaterial_[size_t(node)];
    if (out.material < 0) return ObjectError(msg::MaterialNotInTable, name);
  }
  return 0;
}

int ZvlPlayConverter::FillFixPoints(INode& node, MeshObject& object) {
  const TimeValue t = EvaluationTime();
  std::vector<INode*> fixNodes;
  for (int i = 0; i < node.NumberOfChildren(); ++i) {
    INode* child = node.GetChildNode(i);
    if (child && IsFixPointHelper(*child, t)) fixNodes.push_back(child);
  }
  if (fixNodes.empty()) return 0;
  std::vector<INode*> slots;
  try {
    slots.assign(fixNodes.size(), nullptr);
  } catch (const std::bad_alloc&) {
    return ObjectError(msg::NoRoomForFixpoints, node.GetName());
  }
  for (INode* child : fixNodes) {
    const std::string_view name(child->GetName());
    size_t at = name.find(kFixPointTag) + kFixPointTag.size();
    long long number = -1;
    if (at < name.size() && name[at] >= '0' && name[at] <= '9') {
      number = 0;
      for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at)
        number = std::min<long long>(number * 10 + (name[at] - '0'), 1LL << 40);
    }
    if (number < 0) return ObjectError(msg::InvalidFixpointNumber, node.GetName());
    // A number at or past the count leaves a gap below it: the sequence
    // check below reports it.
    if (number >= (long long)slots.size()) continue;
    if (slots[size_t(number)]) return ObjectError(msg::InvalidFixpointNumber, node.GetName());
    slots[size_t(number)] = child;
  }
  for (INode* slot : slots)
    if (!slot) return ObjectError(msg::WrongFixpointSequence, node.GetName());
  const Matrix3 toLocal = Inverse(node.GetNodeTM(t));
  for (INode* slot : slots) {
    const Point3 p = slot->GetNodeTM(t).GetTrans() * toLocal;
    object.fixPoints.push_back({p.x, p.y, p.z});
  }
  return 0;
}

void ZvlPlayConverter::FillMotion(int node, MeshObject& object) {
  INode& n = *nodes_[size_t(node)];
  const int ticks = ip_.GetTicksPerFrame();
  for (int frame : options.frames) {
    const Matrix3 tm = n.GetNodeTM(TimeValue(ticks * frame));
    const Point3 t = tm.GetTrans();
    object.locations.push_back({t.x, t.y, t.z});
    // Host row r becomes column r of the stored matrix.
    std::array<float, 9> m;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[size_t(c * 3 + r)] = tm.GetRow(r)[c];
    object.matrices.push_back(m);
    object.frameFlags.push_back(0);
  }
  if (conversionFlags & kFlagHierarchy) {
    const TimeValue t = EvaluationTime();
    INode* parent = n.GetParentNode();
    auto it = std::find(nodes_.begin(), nodes_.end(), parent);
    object.parent = parent && it != nodes_.end() ? int32_t(it - nodes_.begin()) : -1;
    const Point3 pivot = n.GetObjectTM(t).GetTrans() * Inverse(n.GetNodeTM(t));
    object.pivot = {pivot.x, pivot.y, pivot.z};
  }
}

MeshObject* ZvlPlayConverter::GetObject(int index) {
  if (index < 0 || size_t(index) >= nodes_.size()) return nullptr;
  INode& node = *nodes_[size_t(index)];
  const char* name = node.GetName();
  try {
    auto object = std::make_unique<MeshObject>();
    HeldMesh held(node, EvaluationTime());
    if (!held.mesh) {
      ObjectError(msg::CantGetMesh, name);
      return nullptr;
    }
    const Mesh& mesh = *held.mesh;
    object->name = name;
    if (mesh.verts.empty()) {
      ObjectError(msg::NoVertices, name);
      return nullptr;
    }
    if (mesh.faces.empty()) {
      ObjectError(msg::NoFaces, name);
      return nullptr;
    }
    if (mesh.faces.size() > kMaxFaces) {
      ObjectError(msg::TooManyFaces, name);
      return nullptr;
    }
    object->vertices.reserve(mesh.verts.size());
    for (const Point3& v : mesh.verts) {
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
        ObjectError(msg::InvalidVertices, name);
        return nullptr;
      }
      object->vertices.push_back({v.x, v.y, v.z});
    }
    if (!mesh.tVerts.empty()) {
      if (mesh.tvFaces.size() != mesh.faces.size()) {
        ObjectError(msg::InvalidTextureFaces, name);
        return nullptr;
      }
      for (const Point3& tv : mesh.tVerts) object->textureVertices.push_back({tv.x, tv.y, tv.z});
      for (const TVFace& tf : mesh.tvFaces) {
        std::array<int32_t, 3> out;
        for (int k = 0; k < 3; ++k) {
          if (tf.t[k] >= mesh.tVerts.size()) {
            ObjectError(msg::InvalidTextureFaces, name);
            return nullptr;
          }
          out[size_t(k)] = int32_t(tf.t[k]);
        }
        object->textureFaces.push_back(out);
      }
    }
    if (FillFaces(index, mesh, *object) != 0) return nullptr;
    if (FillFixPoints(node, *object) != 0) return nullptr;
    FillMotion(index, *object);
    LodParameters lod = options.lod;
    if (options.lodForObject && options.lodForObject(index, lod) != 0) return nullptr;
    if (lod.units.empty()) lod = PanelLodParameters(1.0f, 1, 0);
    object->gridSteps = lod.units;
    object->smoothing.assign(lod.smoothing.begin(), lod.smoothing.end());
    object->smoothing.resize(object->gridSteps.size(), 0);
    objectsOut_.push_back(std::move(object));
    return objectsOut_.back().get();
  } catch (const std::bad_alloc&) {
    ObjectError(msg::NoRoomToGetObject, name);
    return nullptr;
  }
}

void ZvlPlayConverter::ReleaseObject(MeshObject* object) {
  std::erase_if(objectsOut_, [object](const auto& held) { return held.get() == object; });
}

int ZvlPlayConverter::BeginProgress(int total, const char* text) {
  if (progress) {
    progress->SetTotalPosition(++totalPosition_);
    progress->ResetTask();
    progress->SetTaskText(text);
    progress->SetTaskRange(total);
  }
  return 0;
}

int ZvlPlayConverter::StepProgress(int step) {
  if (progress) progress->SetTaskPosition(step);
  return stopFlag.load();
}

int ZvlPlayConverter::EndProgress() {
  if (progress) progress->ResetTask();
  return 0;
}

}  // namespace zvlplay
