// LightWave scene grammar and object path resolution.
#include "import/lws_scene.h"

#include "import/lws_messages.h"
#include "import/lws_tokens.h"

#include <climits>

namespace {

constexpr size_t kNameLength = 16;

bool HasSeparator(const std::string& path) { return path.find_first_of(ScenePathSeparators) != std::string::npos; }

int ReadInt(LwsTokenReader& reader) {
  const long long value = reader.ReadInteger();
  if (value < INT_MIN || value > INT_MAX) throw LWSError(reader.line(), lws::msg::ExpectedInteger + std::string(" ") + std::to_string(value));
  return int(value);
}

// Loads the object file of a LoadObject entry; false with the reason.
bool LoadObjectFile(const std::string& scenePath, const std::string& path, const FileSource& files,
                    LwsObject& object, std::string& reason) {
  const std::string found = ResolveObjectPath(scenePath, path, files);
  std::vector<uint8_t> bytes;
  if (found.empty() || !files.Read(found, bytes, kMaxSceneFileBytes)) {
    reason = lws::msg::ObjectNotFound;
    return false;
  }
  object.path = found;
  return ReadLwob(bytes, object.mesh, reason);
}

void ReadMotion(LwsTokenReader& reader, LwsObject& object) {
  reader.Expect("ObjectMotion");
  reader.Expect("(unnamed)");
  reader.Expect("9");
  const int count = ReadInt(reader);
  if (count < 0) throw LWSError(reader.line(), lws::msg::NegativeKeyCount);
  // Keys are added as they are read: the count is not trusted for
  // reserving, and a key cut off by the end of the text is not kept.
  for (int k = 0; k < count; ++k) {
    LwsKey key;
    for (double& v : key.values) v = reader.ReadNumber();
    key.frame = ReadInt(reader);
    key.linear = reader.ReadInteger() == 0 ? 1 : 0;
    key.tension = reader.ReadNumber();
    key.continuity = reader.ReadNumber();
    key.bias = reader.ReadNumber();
    object.keys.push_back(key);
  }
}

// The options after the motion, up to and including ShadowOptions' value.
void ReadObjectOptions(LwsTokenReader& reader, LwsObject& object) {
  for (;;) {
    const LwsToken token = reader.Next();
    if (token.text == "ShadowOptions") {
      reader.Next();
      return;
    }
    if (token.text == "ParentObject") {
      const long long parent = reader.ReadInteger();
      object.parent = parent < INT_MIN || parent > INT_MAX ? INT_MIN : int(parent);
    } else if (token.text == "PivotPoint") {
      for (double& p : object.pivot) p = reader.ReadNumber();
    } else if (token.text == "EndBehavior") {
      object.endBehaviour = ReadInt(reader);
    }
  }
}

// Parent indices must name an object of the list, and following parents
// must end at a root.
bool CheckParents(const LwsScene& scene, std::string& error) {
  const int count = int(scene.objects.size());
  for (const LwsObject& object : scene.objects)
    if (object.parent < -1 || object.parent >= count) {
      error = std::string(lws::msg::ParentOutOfRange) + " " + object.name;
      return false;
    }
  for (int i = 0; i < count; ++i) {
    int at = scene.objects[size_t(i)].parent;
    for (int steps = 0; at >= 0; ++steps) {
      if (steps >= count) {
        error = std::string(lws::msg::ParentLoop) + " " + scene.objects[size_t(i)].name;
        return false;
      }
      at = scene.objects[size_t(at)].parent;
    }
  }
  return true;
}

}  // namespace

std::string ResolveObjectPath(const std::string& scenePath, const std::string& path, const FileSource& files) {
  std::string wanted = path;
  const bool hasDrive = path.find(':') != std::string::npos;
  if (hasDrive) {
    if (files.Exists(NativePath(path))) return NativePath(path);
    wanted = std::string(PathFileName(path));
  }
  if (wanted.empty()) return {};
  // The scene's path with its last component replaced, then one folder up
  // at a time.
  std::string folder = scenePath;
  if (!HasSeparator(folder)) {
    if (files.Exists(NativePath(wanted))) return NativePath(wanted);
  }
  for (;;) {
    const size_t cut = folder.find_last_of(ScenePathSeparators);
    if (cut == std::string::npos) break;
    folder.resize(cut);
    const std::string candidate = NativePath(folder + "/" + wanted);
    if (files.Exists(candidate)) return candidate;
  }
  if (!hasDrive) {
    const size_t cut = scenePath.find_last_of(ScenePathSeparators);
    const std::string name(PathFileName(wanted));
    const std::string candidate =
        NativePath(cut == std::string::npos ? name : scenePath.substr(0, cut) + "/" + name);
    if (files.Exists(candidate)) return candidate;
  }
  return {};
}

bool ParseLwsScene(std::string_view text, const std::string& scenePath, const FileSource& files,
                   LwsScene& scene, std::string& error, const std::function<void(const std::string&)>& warning) {
  scene = LwsScene{};
  LwsTokenReader reader(text);
  try {
    reader.Expect("LWSC");
    reader.Expect("1");
    reader.Expect("FirstFrame");
    scene.firstFrame = ReadInt(reader);
    reader.Expect("LastFrame");
    scene.lastFrame = ReadInt(reader);
    reader.Expect("FrameStep");
    scene.frameStep = ReadInt(reader);
    reader.Expect("FramesPerSecond");
    scene.framesPerSecond = reader.ReadNumber();
  } catch (const LWSException& e) {
    error = e.what();
    return false;
  }
  size_t geometry = 0;
  try {
    for (;;) {
      const LwsToken token = reader.Next();
      LwsObject object;
      if (token.text == "LoadObject") {
        const std::string path = reader.ReadPath();
        std::string reason;
        if (!LoadObjectFile(scenePath, path, files, object, reason)) {
          if (warning) warning(std::string(lws::msg::ObjectNotLoaded) + " " + path + ": " + reason);
          break;
        }
        object.name = std::string(PathFileName(path).substr(0, kNameLength));
        geometry += object.mesh.points.size() + object.mesh.triangles.size();
        if (geometry > kMaxLwsGeometry) {
          error = lws::msg::TooMuchGeometry;
          return false;
        }
      } else if (token.text == "AddNullObject") {
        object.name = std::string(reader.Next().text.substr(0, kNameLength));
        object.isNull = true;
      } else {
        break;
      }
      scene.objects.push_back(std::move(object));
      LwsObject& added = scene.objects.back();
      reader.Expect("ShowObject");
      added.show[0] = ReadInt(reader);
      added.show[1] = ReadInt(reader);
      ReadMotion(reader, added);
      ReadObjectOptions(reader, added);
    }
  } catch (const LWSEof&) {
    // The end of the text after the header ends the object list.
  } catch (const LWSException& e) {
    error = e.what();
    return false;
  }
  return CheckParents(scene, error);
}
