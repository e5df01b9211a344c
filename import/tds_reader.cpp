// The 3D Studio file: the cursor, the sub-chunk loop and the fixed order of
// the top level and the mesh data.
#include "import/tds_reader.h"

#include "import/messages.h"
#include "import/tds_chunk_ids.h"
#include "zvlfile/le.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace importer {

Reader3DS::Reader3DS(std::span<const uint8_t> bytes, const ImportCallbacks& callbacks)
    : bytes_(bytes), callbacks_(callbacks), limit_(bytes.size()) {}

bool Reader3DS::Seek(size_t position) {
  if (position > limit_) return false;
  pos_ = position;
  return true;
}

bool Reader3DS::U8(uint8_t& v) {
  if (Remaining() < 1) return false;
  v = bytes_[pos_++];
  return true;
}

bool Reader3DS::U16(uint16_t& v) {
  if (Remaining() < 2) return false;
  v = zvl::le::u16(bytes_.data() + pos_);
  pos_ += 2;
  return true;
}

bool Reader3DS::U32(uint32_t& v) {
  if (Remaining() < 4) return false;
  v = zvl::le::u32(bytes_.data() + pos_);
  pos_ += 4;
  return true;
}

bool Reader3DS::F32(float& v) {
  if (Remaining() < 4) return false;
  v = zvl::le::f32(bytes_.data() + pos_);
  pos_ += 4;
  return true;
}

bool Reader3DS::String(std::string& s, size_t maxLength) {
  s.clear();
  while (pos_ < limit_) {
    const char c = char(bytes_[pos_++]);
    if (c == '\0' || c == '\n') return true;
    if (s.size() < maxLength) s.push_back(c);
  }
  return false;  // no terminator before the end of the chunk
}

bool Reader3DS::Header(ChunkHeader3DS& h) { return U16(h.id) && U32(h.length); }

bool Reader3DS::ReadChunk(const ChunkHeader3DS& h, const std::function<bool(size_t, size_t)>& read) {
  if (h.length < 6 || h.length - 6 > Remaining()) return false;
  const size_t bodyStart = pos_, bodyLength = h.length - 6;
  const size_t outerLimit = limit_;
  limit_ = bodyStart + bodyLength;
  const bool ok = read(bodyStart, bodyLength);
  limit_ = outerLimit;
  pos_ = bodyStart + bodyLength;
  Progress(bodyStart);
  return ok && !stopped_;
}

bool Reader3DS::ReadChunk(Chunk3DS& chunk, const ChunkHeader3DS& h) {
  return ReadChunk(h, [&](size_t start, size_t length) { return chunk.Read(*this, start, length); });
}

bool Reader3DS::SkipChunk(const ChunkHeader3DS& h) {
  if (h.length < 6 || h.length - 6 > Remaining()) return false;
  pos_ += h.length - 6;
  return true;
}

void Reader3DS::Error(const std::string& text) { callbacks_.Error(text); }

bool Reader3DS::Fail(const std::string& text) {
  callbacks_.Error(text);
  failed_ = true;
  return false;
}

void Reader3DS::Progress(size_t bodyStart) {
  if (bytes_.empty()) return;
  const int percent = int(uint64_t(bodyStart) * 100 / bytes_.size());
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  if (!callbacks_.Step(percent)) stopped_ = true;
}

bool ReadSubChunks(Reader3DS& in, size_t bodyStart, size_t bodyLength,
                   const std::function<Dispatch3DS(const ChunkHeader3DS&)>& dispatch) {
  bool ok = true;
  const size_t end = bodyStart + bodyLength;
  while (in.Tell() < end) {
    ChunkHeader3DS h;
    if (!in.Header(h)) return false;
    if (!ok) {
      if (!in.SkipChunk(h)) return false;
      continue;
    }
    const size_t start = in.Tell();
    const Dispatch3DS result = dispatch(h);
    if (result == Dispatch3DS::Unknown) {
      if (!in.SkipChunk(h)) return false;
    } else if (result == Dispatch3DS::Failed) {
      ok = false;
      // A chunk that did not fit its parent leaves the cursor where it was:
      // nothing after it can be found.
      if (in.Tell() == start) return false;
    }
  }
  return ok;
}

namespace {

// The next header of a section read in fixed order; id 0 once the section
// has no room for another header.
bool NextHeader(Reader3DS& in, ChunkHeader3DS& h) {
  if (in.Remaining() < 6) {
    h = ChunkHeader3DS{};
    return true;
  }
  return in.Header(h);
}

bool ReadMeshData(Reader3DS& in, Scene3DS& scene) {
  ChunkHeader3DS h;
  if (!NextHeader(in, h)) return false;
  if (h.id == id3ds::MeshVersion) {
    if (!in.ReadChunk(h, [&](size_t, size_t) { return in.U32(scene.meshVersion); }) ||
        !NextHeader(in, h))
      return false;
  } else {
    in.Error(msg::MissingMeshVersion);
  }
  while (h.id == id3ds::MaterialEntry) {
    scene.materials.emplace_back();
    if (!in.ReadChunk(scene.materials.back(), h) || !NextHeader(in, h)) return false;
  }
  if (h.id == id3ds::MasterScale) {
    if (!in.ReadChunk(h, [&](size_t, size_t) { return in.F32(scene.masterScale); }) ||
        !NextHeader(in, h))
      return false;
  } else {
    in.Error(msg::MissingMasterScale);
  }
  while (h.id != id3ds::NamedObject && h.id != 0) {
    if (!in.SkipChunk(h) || !NextHeader(in, h)) return false;
  }
  int32_t ordinal = 0;
  while (h.id == id3ds::NamedObject) {
    NamedObject3DS object;
    if (!in.ReadChunk(object, h)) return false;
    object.nodeIndex = ordinal++;
    if (object.kind == ObjectKind3DS::TriMesh)
      scene.meshes.push_back(std::move(object));
    else
      scene.otherObjects.push_back(std::move(object));
    if (!NextHeader(in, h)) return false;
  }
  // What follows the named objects is not read.
  return true;
}

bool ReadKeyframer(Reader3DS& in, size_t bodyStart, size_t bodyLength, Scene3DS& scene) {
  return ReadSubChunks(in, bodyStart, bodyLength, [&](const ChunkHeader3DS& h) {
    bool ok = true;
    switch (h.id) {
      case id3ds::KeyframerHeader:
        ok = in.ReadChunk(h, [&](size_t, size_t) {
          return in.U16(scene.keyframerRevision) && in.String(scene.keyframerFileName, 255) &&
                 in.U32(scene.animationLength);
        });
        break;
      case id3ds::Segment:
        ok = in.ReadChunk(h, [&](size_t, size_t) { return in.U32(scene.segmentStart) && in.U32(scene.segmentEnd); });
        break;
      case id3ds::CurrentTime:
        ok = in.ReadChunk(h, [&](size_t, size_t) { return in.U32(scene.currentTime); });
        break;
      case id3ds::ObjectNode: {
        auto node = std::make_unique<KeyframerNode3DS>();
        ok = in.ReadChunk(*node, h);
        scene.nodes.push_back(std::move(node));
        break;
      }
      default:
        if (h.id >= id3ds::CameraNode && h.id <= id3ds::SpotlightNode) {
          // Cameras, targets and lights keep their place in the numbering;
          // their own sub-chunks are then met at this level and skipped.
          scene.nodes.push_back(nullptr);
          break;
        }
        return Dispatch3DS::Unknown;
    }
    return ok ? Dispatch3DS::Ok : Dispatch3DS::Failed;
  });
}

void LinkMeshesToNodes(Scene3DS& scene) {
  for (size_t n = 0; n < scene.nodes.size(); ++n) {
    if (!scene.nodes[n]) continue;
    for (NamedObject3DS& mesh : scene.meshes) {
      if (mesh.name == scene.nodes[n]->name) {
        mesh.nodeIndex = int32_t(n);
        break;
      }
    }
  }
  // A parent index that names no object node leaves the node a root.
  for (size_t n = 0; n < scene.nodes.size(); ++n) {
    if (!scene.nodes[n]) continue;
    const int parent = scene.ParentNode(n);
    if (parent >= 0) scene.nodes[size_t(parent)]->children.push_back(int(n));
  }
}

}  // namespace

bool ParseScene3DS(std::span<const uint8_t> bytes, const std::string& path, Scene3DS& scene,
                   const ImportCallbacks& callbacks) {
  Reader3DS in(bytes, callbacks);
  const std::string damaged = std::string(msg::FileDamaged3dsBefore) + path + msg::FileDamaged3dsAfter;
  ChunkHeader3DS h;
  if (!in.Header(h) || h.id != id3ds::Magic) {
    in.Error(msg::ExpectedMagic);
    return false;
  }
  // The magic chunk's length is not used: its children follow directly.
  if (!in.Header(h) || h.id != id3ds::Version) {
    in.Error(msg::ExpectedVersion);
    return false;
  }
  if (!in.ReadChunk(h, [&](size_t, size_t) { return in.U32(scene.fileVersion); })) {
    if (!in.Explained()) in.Error(damaged);
    return false;
  }
  if (!in.Header(h) || h.id != id3ds::MeshData) {
    in.Error(msg::ExpectedMeshData);
    return false;
  }
  if (!in.ReadChunk(h, [&](size_t, size_t) { return ReadMeshData(in, scene); })) {
    if (!in.Explained()) in.Error(damaged);
    return false;
  }
  if (!in.Header(h) || h.id != id3ds::Keyframer) {
    in.Error(msg::ExpectedKeyframer);
    return false;
  }
  if (!in.ReadChunk(h, [&](size_t start, size_t length) { return ReadKeyframer(in, start, length, scene); })) {
    if (!in.Explained()) in.Error(damaged);
    return false;
  }
  LinkMeshesToNodes(scene);
  return true;
}

bool ReadScene3DS(const std::string& path, Scene3DS& scene, const ImportCallbacks& callbacks) {
  std::error_code ec;
  std::ifstream file;
  if (std::filesystem::is_regular_file(path, ec)) file.open(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  if (file.is_open()) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file.is_open() || file.bad()) {
    callbacks.Error(std::string(msg::FileDamaged3dsBefore) + path + msg::FileDamaged3dsAfter);
    return false;
  }
  return ParseScene3DS(bytes, path, scene, callbacks);
}

}  // namespace importer
