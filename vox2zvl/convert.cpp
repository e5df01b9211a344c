// The whole conversion: read the VOX file, check and attach its chunks, and
// write the ZVL file of format version 7.0 with the chunk writer.
#include "vox2zvl/vox2zvl.h"

#include "vox2zvl/voxfile.h"
#include "vox2zvl/voxobject.h"
#include "zvlfile/chunk.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <filesystem>
#include <fstream>
#include <new>

namespace vox2zvl {
namespace {

// The chunk writer with the message of each chunk: every failure replaces the
// primitive's message by the one naming the chunk ("%s %s" with the object's
// name inside an object).
class ChunkOut {
 public:
  explicit ChunkOut(ZvlHandle handle) : handle_(handle) {}

  void setObject(const char* name) { object_ = name; }

  int open(uint32_t id, const char* message) {
    if (ZvlOpenChunk(handle_, id) < 0) return fail(message);
    return 0;
  }
  int write(const void* data, size_t count, const char* message) {
    static const uint8_t nothing = 0;
    if (count == 0) data = &nothing;  // an empty array may have no storage
    if (ZvlWriteChunkData(handle_, data, long(count)) < 0) return fail(message);
    return 0;
  }
  void close() { ZvlCloseChunk(); }

  // A chunk holding raw payload.
  int leaf(uint32_t id, const void* data, size_t count, const char* openMessage, const char* writeMessage) {
    if (open(id, openMessage) != 0 || write(data, count, writeMessage) != 0) return ZvlFailure;
    close();
    return 0;
  }
  int text(uint32_t id, const std::string& value, const char* openMessage, const char* writeMessage) {
    return leaf(id, value.data(), value.size(), openMessage, writeMessage);
  }
  int int32(uint32_t id, int32_t value, const char* openMessage, const char* writeMessage) {
    uint8_t bytes[4];
    zvl::le::putI32(bytes, value);
    return leaf(id, bytes, sizeof bytes, openMessage, writeMessage);
  }

 private:
  int fail(const char* message) {
    if (object_ != nullptr)
      ZvlSetObjectError(message, object_);
    else
      ZvlSetError(message);
    return ZvlFailure;
  }

  ZvlHandle handle_;
  const char* object_ = nullptr;
};

// Floats go into the file little-endian, one by one.
std::vector<uint8_t> FloatBytes(const std::vector<float>& values) {
  std::vector<uint8_t> bytes(values.size() * 4);
  for (size_t i = 0; i < values.size(); ++i) zvl::le::putF32(bytes.data() + 4 * i, values[i]);
  return bytes;
}

// One object chunk: the animation object's name, the geometry chunk with the
// converted VoxObject of its geometry object, and the animation chunk.
int WriteObject(ChunkOut& out, const VoxScene& scene, const VoxAnimationObject& track) {
  namespace id = zvl::id;
  namespace m = zvl::msg;
  const VoxGeometryObject& geometry = scene.geometry[track.geometry];

  const std::vector<uint8_t>& voxObject = geometry.converted;
  ObjectTrack animation;
  const bool rescale = geometry.version < VoxOldestVersion;
  if (ConvertTrack(track.frames, scene.frameCount, rescale, OldLocationScale(geometry.pixelSize), animation) != 0)
    return ZvlFailure;
  std::vector<uint8_t> locations, matrices;
  try {
    locations = FloatBytes(animation.locations);
    matrices = FloatBytes(animation.matrices);
  } catch (const std::bad_alloc&) {
    ZvlSetError(locations.empty() ? msg::NoRoomForLocation : msg::NoRoomForMatrix);
    return ZvlFailure;
  }

  out.setObject(track.name.c_str());
  if (out.open(id::Object, m::OpenObject) != 0) return ZvlFailure;
  if (out.text(id::ObjectName, track.name, m::OpenObjectName, m::WriteObjectName) != 0) return ZvlFailure;

  if (out.open(id::Geometry, m::OpenGeometry) != 0) return ZvlFailure;
  if (out.leaf(id::VoxObject, voxObject.data(), voxObject.size(), m::OpenVoxObject, m::WriteVoxObject) != 0)
    return ZvlFailure;
  out.close();

  if (out.open(id::Animation, m::OpenAnimation) != 0) return ZvlFailure;
  if (out.leaf(id::ObjectFlag, animation.flags.data(), animation.flags.size(), m::OpenObjectFlag,
               m::WriteObjectFlag) != 0 ||
      out.leaf(id::ObjectLocation, locations.data(), locations.size(), m::OpenObjectLocation,
               m::WriteObjectLocation) != 0 ||
      out.leaf(id::ObjectMatrix, matrices.data(), matrices.size(), m::OpenObjectMatrix, m::WriteObjectMatrix) != 0)
    return ZvlFailure;
  out.close();

  out.close();
  out.setObject(nullptr);
  return 0;
}

// The file in the 7.0 layout: version, database name (the scene name), the
// palette with its name and its 4866-byte entry, and the scene with its
// name, counters and one object chunk per animation object, in animation
// order.
int WriteZvl(ZvlHandle handle, const VoxScene& scene) {
  namespace id = zvl::id;
  namespace m = zvl::msg;
  if (ZvlBeginChunkWrite() != 0) return ZvlFailure;
  struct EndWrite {
    ~EndWrite() { ZvlEndChunkWrite(); }
  } endWrite;

  ChunkOut out(handle);
  if (out.open(id::Main, m::OpenMain) != 0) return ZvlFailure;

  uint8_t version[4];
  zvl::le::putF32(version, ZvlVersionValue(ZvlFormatVersion::V7_0));
  if (out.leaf(id::Version, version, sizeof version, m::OpenVersion, m::WriteVersion) != 0) return ZvlFailure;
  if (out.text(id::DatabaseName, scene.sceneName, m::OpenDatabaseName, m::WriteDatabaseName) != 0)
    return ZvlFailure;

  if (out.open(id::Palette, m::OpenPalette) != 0) return ZvlFailure;
  if (out.text(id::PaletteName, scene.paletteName, m::OpenPaletteName, m::WritePaletteName) != 0) return ZvlFailure;
  if (out.leaf(id::PaletteEntry, scene.palette.data(), scene.palette.size(), m::OpenPaletteEntry,
               m::WritePaletteEntry) != 0)
    return ZvlFailure;
  out.close();

  if (out.open(id::Scene, m::OpenScene) != 0) return ZvlFailure;
  if (out.text(id::SceneName, scene.sceneName, m::OpenSceneName, m::WriteSceneName) != 0) return ZvlFailure;
  if (out.int32(id::ObjectCounter, int32_t(scene.animation.size()), m::OpenObjectCounter, m::WriteObjectCounter) != 0)
    return ZvlFailure;
  if (out.int32(id::FrameCounter, scene.frameCount, m::OpenFrameCounter, m::WriteFrameCounter) != 0)
    return ZvlFailure;
  for (const VoxAnimationObject& track : scene.animation)
    if (WriteObject(out, scene, track) != 0) return ZvlFailure;
  out.close();

  out.close();
  return 0;
}

void Ignore(const std::string&) {}

Status Failed() { return Status{false, ZvlGetErrorText()}; }

// Reads the part of the file the conversion can use (VoxUsableLength): its
// chunk headers are looked at first, so a file that lies about its sizes
// is refused without reading, or holding, more than it really has. 0, or
// ZvlFailure with the reason.
int ReadVoxFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::error_code ec;
  const bool regular = std::filesystem::is_regular_file(path, ec);
  const uint64_t fileSize = regular ? uint64_t(std::filesystem::file_size(path, ec)) : 0;
  std::ifstream in;
  if (regular && !ec) in.open(path, std::ios::binary);
  if (!regular || ec || !in) {
    ZvlSetError(msg::CantOpenInput);
    return ZvlFailure;
  }
  const uint64_t usable = VoxUsableLength(fileSize, [&](uint64_t at, uint8_t* header) {
    in.seekg(std::streamoff(at));
    return bool(in.read(reinterpret_cast<char*>(header), VoxChunkHeaderSize));
  });
  try {
    bytes.resize(size_t(usable));
  } catch (const std::bad_alloc&) {
    ZvlSetError(zvl::msg::NoRoom);
    return ZvlFailure;
  }
  in.clear();
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) {
    ZvlSetError(zvl::msg::ReadingFile);
    return ZvlFailure;
  }
  return 0;
}

}  // namespace

std::string OutputPath(const std::string& inputPath) {
  const size_t slash = inputPath.find_last_of('/');
  const size_t nameLength = slash == std::string::npos ? inputPath.size() : inputPath.size() - slash - 1;
  if (nameLength < 3) return inputPath + "ZVL";
  return inputPath.substr(0, inputPath.size() - 3) + "ZVL";
}

Status ConvertBytes(std::span<const uint8_t> vox, const std::string& inputPath, ZvlHandle output,
                    const LogSink& log) {
  const LogSink& sink = log ? log : LogSink(Ignore);
  VoxScene scene;
  if (ReadVoxScene(vox, inputPath, sink, scene) != 0) return Failed();
  sink(msg::LogSaving);
  if (WriteZvl(output, scene) != 0) return Failed();
  sink(msg::LogCompleted);
  return Status{true, {}};
}

Status ConvertFile(const std::string& inputPath, const LogSink& log) {
  const LogSink& sink = log ? log : LogSink(Ignore);
  if (ZvlInstallIoFunctions(ZvlDefaultIoFunctions()) != 0) return Failed();

  std::vector<uint8_t> vox;
  if (ReadVoxFile(inputPath, vox) != 0) return Failed();
  VoxScene scene;
  if (ReadVoxScene(vox, inputPath, sink, scene) != 0) return Failed();

  sink(msg::LogSaving);
  const std::string outputPath = OutputPath(inputPath);
  if (outputPath == inputPath) {
    // Never replace the file being converted.
    ZvlSetError(zvl::msg::CantOpenOutput);
    return Failed();
  }
  if (ZvlWriteFileReplacing(outputPath, [&](ZvlHandle handle) { return WriteZvl(handle, scene); }) != 0)
    return Failed();
  sink(msg::LogCompleted);
  return Status{true, {}};
}

}  // namespace vox2zvl
