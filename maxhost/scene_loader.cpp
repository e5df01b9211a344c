#include "maxhost/scene_loader.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "maxhost/messages.h"

namespace maxhost {
namespace {

constexpr int kMaxDepth = 1024;

Matrix3 ToMatrix3(const aiMatrix4x4& m) {
  // Assimp multiplies column vectors: its columns are our rows.
  return Matrix3(Point3(m.a1, m.b1, m.c1), Point3(m.a2, m.b2, m.c2), Point3(m.a3, m.b3, m.c3), Point3(m.a4, m.b4, m.c4));
}

float Clamp01(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }

Color GetColour(const aiMaterial& m, const char* key, unsigned type, unsigned index, Color fallback) {
  aiColor3D c;
  if (m.Get(key, type, index, c) != AI_SUCCESS) return fallback;
  return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
}

std::shared_ptr<PictureTexmap> PictureFromImage(QImage image) {
  if (image.isNull()) return nullptr;
  image = image.convertToFormat(QImage::Format_RGB888);
  auto map = std::make_shared<PictureTexmap>();
  map->width = image.width();
  map->height = image.height();
  map->pixels.resize(size_t(map->width) * size_t(map->height) * 3);
  for (int y = 0; y < map->height; ++y)
    std::copy_n(image.constScanLine(y), size_t(map->width) * 3, &map->pixels[size_t(y) * size_t(map->width) * 3]);
  return map;
}

std::shared_ptr<PictureTexmap> LoadPicture(const aiScene& ai, const std::string& scenePath, const std::string& file) {
  if (const aiTexture* embedded = ai.GetEmbeddedTexture(file.c_str())) {
    if (embedded->mHeight == 0)  // compressed: mWidth bytes of a picture file
      return PictureFromImage(QImage::fromData(reinterpret_cast<const uchar*>(embedded->pcData), int(embedded->mWidth)));
    QImage image(int(embedded->mWidth), int(embedded->mHeight), QImage::Format_RGB888);
    for (unsigned y = 0; y < embedded->mHeight; ++y)
      for (unsigned x = 0; x < embedded->mWidth; ++x) {
        const aiTexel& t = embedded->pcData[size_t(y) * embedded->mWidth + x];
        image.setPixel(int(x), int(y), qRgb(t.r, t.g, t.b));
      }
    return PictureFromImage(image);
  }
  std::string relative = file;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  const std::filesystem::path picture = std::filesystem::path(scenePath).parent_path() / relative;
  return PictureFromImage(QImage(QString::fromStdString(picture.string())));
}

std::shared_ptr<StdMat> ConvertMaterial(const aiScene& ai, const aiMaterial& m, const std::string& scenePath,
                                        std::vector<std::string>& warnings) {
  auto mat = std::make_shared<StdMat>();
  aiString name;
  if (m.Get(AI_MATKEY_NAME, name) == AI_SUCCESS) mat->name = name.C_Str();
  mat->diffuse = GetColour(m, AI_MATKEY_COLOR_DIFFUSE, {0.8f, 0.8f, 0.8f});
  mat->ambient = GetColour(m, AI_MATKEY_COLOR_AMBIENT, mat->diffuse);
  mat->specular = GetColour(m, AI_MATKEY_COLOR_SPECULAR, {0.2f, 0.2f, 0.2f});
  const Color emissive = GetColour(m, AI_MATKEY_COLOR_EMISSIVE, {});
  mat->selfIllum = std::max({emissive.r, emissive.g, emissive.b});
  float shininess = 0, strength = 1;
  if (m.Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS) mat->shininess = Clamp01(shininess / 128.0f);
  if (m.Get(AI_MATKEY_SHININESS_STRENGTH, strength) == AI_SUCCESS) mat->shinStrength = Clamp01(strength);
  else mat->shinStrength = mat->shininess > 0 ? 1.0f : 0.0f;

  aiString file;
  if (m.GetTexture(aiTextureType_DIFFUSE, 0, &file) == AI_SUCCESS ||
      m.GetTexture(aiTextureType_BASE_COLOR, 0, &file) == AI_SUCCESS) {
    mat->diffuseMap = LoadPicture(ai, scenePath, file.C_Str());
    if (!mat->diffuseMap) warnings.push_back(mat->name + ": " + msg::TextureNotFound + " (" + file.C_Str() + ")");
  }
  return mat;
}

// One mesh of all the node's meshes; several materials make a multi-material.
void BuildGeometry(const aiScene& ai, const aiNode& from, HostNode& node,
                   const std::vector<std::shared_ptr<StdMat>>& materials, std::vector<std::string>& warnings) {
  auto geom = std::make_shared<GeomObject>();
  std::vector<unsigned> used;  // scene material indices, in first use
  for (unsigned k = 0; k < from.mNumMeshes; ++k) {
    if (from.mMeshes[k] >= ai.mNumMeshes) continue;
    const unsigned mi = ai.mMeshes[from.mMeshes[k]]->mMaterialIndex;
    if (std::find(used.begin(), used.end(), mi) == used.end()) used.push_back(mi);
  }
  Mesh& mesh = geom->mesh;
  bool anyUv = false;
  for (unsigned k = 0; k < from.mNumMeshes; ++k)
    if (from.mMeshes[k] < ai.mNumMeshes && ai.mMeshes[from.mMeshes[k]]->HasTextureCoords(0)) anyUv = true;
  for (unsigned k = 0; k < from.mNumMeshes; ++k) {
    if (from.mMeshes[k] >= ai.mNumMeshes) continue;
    const aiMesh& am = *ai.mMeshes[from.mMeshes[k]];
    const uint32_t base = uint32_t(mesh.verts.size());
    const uint16_t number = uint16_t(std::find(used.begin(), used.end(), am.mMaterialIndex) - used.begin());
    for (unsigned v = 0; v < am.mNumVertices; ++v) {
      mesh.verts.emplace_back(am.mVertices[v].x, am.mVertices[v].y, am.mVertices[v].z);
      if (anyUv) {
        if (am.HasTextureCoords(0)) mesh.tVerts.emplace_back(am.mTextureCoords[0][v].x, am.mTextureCoords[0][v].y, 0.0f);
        else mesh.tVerts.emplace_back(0.0f, 0.0f, 0.0f);
      }
    }
    for (unsigned f = 0; f < am.mNumFaces; ++f) {
      const aiFace& af = am.mFaces[f];
      if (af.mNumIndices != 3) {
        // Points and lines have no surface to voxelize.
        if (geom->invalidReason.empty()) {
          geom->invalidReason = msg::FaceNotTriangle;
          warnings.push_back(node.name + ": " + msg::FaceNotTriangle);
        }
        continue;
      }
      Face face;
      TVFace tvFace;
      for (int c = 0; c < 3; ++c) face.v[c] = tvFace.t[c] = base + af.mIndices[c];
      face.mtlIndex = number;
      mesh.faces.push_back(face);
      if (anyUv) mesh.tvFaces.push_back(tvFace);
    }
  }
  node.object = geom;
  std::vector<std::shared_ptr<StdMat>> nodeMaterials;
  for (unsigned mi : used)
    if (mi < materials.size()) nodeMaterials.push_back(materials[mi]);
  if (nodeMaterials.size() == 1) {
    node.material = nodeMaterials[0];
  } else if (nodeMaterials.size() > 1) {
    auto multi = std::make_shared<MultiMtl>();
    multi->name = node.name + " materials";
    multi->subMtls.assign(nodeMaterials.begin(), nodeMaterials.end());
    node.material = multi;
  }
}

TimeValue ToTicks(double time, double ticksPerSecond) {
  const double ticks = time / ticksPerSecond * kDefaultTicksPerSecond;
  if (!std::isfinite(ticks)) return 0;
  return TimeValue(std::llround(std::clamp(ticks, -1e9, 1e9)));
}

void AddChannel(const aiNodeAnim& channel, double ticksPerSecond, TransformTrack& track) {
  for (unsigned k = 0; k < channel.mNumPositionKeys; ++k) {
    const aiVectorKey& key = channel.mPositionKeys[k];
    track.positions.push_back({ToTicks(key.mTime, ticksPerSecond), Point3(key.mValue.x, key.mValue.y, key.mValue.z)});
  }
  for (unsigned k = 0; k < channel.mNumRotationKeys; ++k) {
    const aiQuatKey& key = channel.mRotationKeys[k];
    track.rotations.push_back({ToTicks(key.mTime, ticksPerSecond), Quat{key.mValue.x, key.mValue.y, key.mValue.z, key.mValue.w}});
  }
  for (unsigned k = 0; k < channel.mNumScalingKeys; ++k) {
    const aiVectorKey& key = channel.mScalingKeys[k];
    track.scales.push_back({ToTicks(key.mTime, ticksPerSecond), Point3(key.mValue.x, key.mValue.y, key.mValue.z)});
  }
  auto byTime = [](const auto& a, const auto& b) { return a.time < b.time; };
  std::stable_sort(track.positions.begin(), track.positions.end(), byTime);
  std::stable_sort(track.rotations.begin(), track.rotations.end(), byTime);
  std::stable_sort(track.scales.begin(), track.scales.end(), byTime);
}

}  // namespace

bool LoadScene(const std::string& path, SceneContents& scene, std::string& error) {
  Assimp::Importer importer;
  const aiScene* ai = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure);
  if (!ai) {
    error = importer.GetErrorString();
    return false;
  }
  if (!ai->mRootNode) {
    error = msg::NoScene;
    return false;
  }
  SceneContents result;
  result.filePath = path;

  std::vector<std::shared_ptr<StdMat>> materials;
  for (unsigned i = 0; i < ai->mNumMaterials; ++i)
    materials.push_back(ConvertMaterial(*ai, *ai->mMaterials[i], path, result.warnings));

  // The file's root becomes the one child of the scene root; children keep
  // the file's order.
  std::map<std::string, HostNode*> byName;
  struct Pending {
    const aiNode* from;
    HostNode* parent;
    int depth;
  };
  std::vector<Pending> stack{{ai->mRootNode, result.root.get(), 0}};
  while (!stack.empty()) {
    const Pending p = stack.back();
    stack.pop_back();
    if (p.depth > kMaxDepth) {
      error = msg::TooDeep;
      return false;
    }
    HostNode& node = p.parent->AddChild(p.from->mName.C_Str());
    node.rest = ToMatrix3(p.from->mTransformation);
    byName.emplace(node.name, &node);
    if (p.from->mNumMeshes > 0) BuildGeometry(*ai, *p.from, node, materials, result.warnings);
    else node.object = std::make_shared<HelperObject>();
    for (unsigned c = p.from->mNumChildren; c-- > 0;) stack.push_back({p.from->mChildren[c], &node, p.depth + 1});
  }

  TimeValue end = 0;
  if (ai->mNumAnimations > 0) {
    const aiAnimation& anim = *ai->mAnimations[0];
    const double tps = anim.mTicksPerSecond > 0 ? anim.mTicksPerSecond : 25.0;
    for (unsigned c = 0; c < anim.mNumChannels; ++c) {
      const aiNodeAnim& channel = *anim.mChannels[c];
      auto it = byName.find(channel.mNodeName.C_Str());
      if (it == byName.end()) continue;
      AddChannel(channel, tps, it->second->track);
      end = std::max(end, it->second->track.End());
    }
  }
  const int lastFrame = int(std::ceil(double(end) / result.ticksPerFrame));
  result.animRange = {0, lastFrame * result.ticksPerFrame};
  scene = std::move(result);
  return true;
}

}  // namespace maxhost
