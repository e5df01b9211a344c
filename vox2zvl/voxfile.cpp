#include "vox2zvl/voxfile.h"

#include "vox2zvl/messages.h"
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace vox2zvl {

const char* const VoxChunkNames[4] = {"VOX_VER", "VOX_PAL", "VOX_GEO", "VOX_ANI"};

std::string FormatLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string line;
  if (length > 0) {
    line.resize(size_t(length) + 1);
    std::vsnprintf(line.data(), line.size(), format, again);
    line.resize(size_t(length));
  }
  va_end(again);
  return line;
}

namespace {

using zvl::le::i32;
using zvl::le::u16;
using zvl::le::u32;

int Fail(const char* message) {
  ZvlSetError(message);
  return ZvlFailure;
}

// A zero-terminated name of at most `width` bytes.
std::string NameAt(const uint8_t* bytes, size_t width) {
  size_t length = 0;
  while (length < width && bytes[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

// Reading the file's bytes in order, as the chunks come.
class VoxInput {
 public:
  explicit VoxInput(std::span<const uint8_t> file) : file_(file) {}

  // Peeks the next chunk header without moving on.
  int peek(const uint8_t*& header) const {
    if (file_.size() - position_ < VoxChunkHeaderSize) return Fail(zvl::msg::ReadingFile);
    header = file_.data() + position_;
    return 0;
  }
  // Takes the next `count` bytes.
  int read(size_t count, std::span<const uint8_t>& bytes) {
    if (count > file_.size() - position_) return Fail(zvl::msg::ReadingFile);
    bytes = file_.subspan(position_, count);
    position_ += count;
    return 0;
  }

 private:
  std::span<const uint8_t> file_;
  size_t position_ = 0;
};

// Peeks the next chunk header and checks that it is the chunk `expected`:
// a name that does not match its number, or a number above 3, is a bad file;
// another chunk than the expected one gets the expected chunk's message.
int PeekChunk(const VoxInput& input, VoxChunkNumber expected, const uint8_t*& header) {
  static const char* const missing[4] = {msg::NoVersionChunk, msg::NoPaletteChunk,
                                         msg::NoGeometryChunk, msg::NoAnimationChunk};
  if (input.peek(header) != 0) return ZvlFailure;
  const uint32_t number = u32(header + VoxChunkNumberAt);
  if (number > VoxAni) return Fail(zvl::msg::BadFileFormat);
  if (std::memcmp(header, VoxChunkNames[number], VoxChunkNameSize) != 0) return Fail(zvl::msg::BadFileFormat);
  if (number != expected) return Fail(missing[expected]);
  return 0;
}

int32_t ChunkSize(const uint8_t* header) { return i32(header + VoxChunkSizeAt); }

int ReadVersion(VoxInput& input, const std::string& inputPath, const LogSink& log, VoxScene& scene) {
  const uint8_t* header = nullptr;
  if (PeekChunk(input, VoxVer, header) != 0) return ZvlFailure;
  if (ChunkSize(header) != VoxVersionChunkSize) return Fail(zvl::msg::BadFileFormat);
  std::span<const uint8_t> chunk;
  if (input.read(VoxVersionChunkSize, chunk) != 0) return ZvlFailure;
  scene.version = i32(chunk.data() + VoxChunkHeaderSize);
  if (scene.version < VoxOldestVersion) return Fail(msg::FileVersionObsolete);
  scene.sceneName = NameAt(chunk.data() + VoxChunkTitleAt, VoxNameSize);
  log(FormatLine(msg::LogConverting, inputPath.c_str()));
  log(FormatLine(msg::LogFileVersion, int(scene.version)));
  log(FormatLine(msg::LogSceneName, scene.sceneName.c_str()));
  return 0;
}

int ReadPalette(VoxInput& input, const LogSink& log, VoxScene& scene) {
  const uint8_t* header = nullptr;
  if (PeekChunk(input, VoxPal, header) != 0) return ZvlFailure;
  if (ChunkSize(header) != VoxPaletteChunkSize) return Fail(zvl::msg::BadFileFormat);
  std::span<const uint8_t> chunk;
  if (input.read(VoxPaletteChunkSize, chunk) != 0) return ZvlFailure;
  scene.paletteName = NameAt(chunk.data() + VoxChunkTitleAt, VoxNameSize);
  scene.palette = chunk.subspan(VoxChunkHeaderSize, VoxPaletteSize);
  log(FormatLine(msg::LogPalette, scene.paletteName.c_str()));
  return 0;
}

// Indexes the geometry objects: a 16-byte name, the object after it, and the
// next name where offset 12 plus offset 16 of the object's first head say.
// Every object is walked and checked here, before anything follows it.
int IndexGeometry(std::span<const uint8_t> data, size_t count, VoxScene& scene) {
  scene.geometry.resize(count);
  size_t at = 0;
  for (VoxGeometryObject& object : scene.geometry) {
    if (data.size() - at < VoxNameSize + VoxPartHeadSize) return Fail(zvl::msg::BadFileFormat);
    object.name = NameAt(data.data() + at, VoxNameSize);
    at += VoxNameSize;
    const uint8_t* head = data.data() + at;
    const int64_t length = VoxObjectLength(head);
    if (length < int64_t(VoxPartHeadSize) || uint64_t(length) > data.size() - at)
      return Fail(zvl::msg::BadFileFormat);
    object.bytes = data.subspan(at, size_t(length));
    if (ConvertedObjectSize(object.bytes) == 0) return Fail(zvl::msg::BadFileFormat);
    // The converted object must pass the rules its readers apply (the file
    // reader and the renderer), or the file written would be refused.
    if (ConvertVoxObject(object.bytes, object.converted) != 0) return ZvlFailure;
    std::vector<VoxPartView> parts;
    if (!VoxListParts(object.converted.data(), object.converted.size(), parts) ||
        !std::all_of(parts.begin(), parts.end(), VoxCheckMoves))
      return Fail(zvl::msg::BadFileFormat);
    object.version = head[VoxPartVersionAt];
    object.pixelSize = zvl::le::f32(head + VoxPartPixelSizeAt);
    at += size_t(length);
  }
  return 0;
}

int ReadGeometry(VoxInput& input, const LogSink& log, VoxScene& scene) {
  const uint8_t* header = nullptr;
  if (PeekChunk(input, VoxGeo, header) != 0) return ZvlFailure;
  const int32_t size = ChunkSize(header);
  if (size < VoxGeometryHeaderSize) return Fail(zvl::msg::BadFileFormat);
  std::span<const uint8_t> head, data;
  if (input.read(VoxGeometryHeaderSize, head) != 0) return ZvlFailure;
  if (input.read(size_t(size - VoxGeometryHeaderSize), data) != 0) return ZvlFailure;
  const size_t count = u16(head.data() + VoxChunkHeaderSize);
  if (IndexGeometry(data, count, scene) != 0) return ZvlFailure;
  log(FormatLine(msg::LogGeometry, int(count)));
  return 0;
}

// Indexes the animation objects: a 16-byte name, then 25 bytes per frame.
int IndexAnimation(std::span<const uint8_t> data, size_t count, VoxScene& scene) {
  const size_t stride = VoxNameSize + size_t(scene.frameCount) * VoxFrameRecordSize;
  if (count > data.size() / stride) return Fail(zvl::msg::BadFileFormat);
  scene.animation.resize(count);
  size_t at = 0;
  for (VoxAnimationObject& object : scene.animation) {
    object.name = NameAt(data.data() + at, VoxNameSize);
    object.frames = data.subspan(at + VoxNameSize, stride - VoxNameSize);
    at += stride;
  }
  return 0;
}

int ReadAnimation(VoxInput& input, const LogSink& log, VoxScene& scene) {
  const uint8_t* header = nullptr;
  if (PeekChunk(input, VoxAni, header) != 0) return ZvlFailure;
  const int32_t size = ChunkSize(header);
  if (size < VoxAnimationHeaderSize) return Fail(zvl::msg::BadFileFormat);
  std::span<const uint8_t> head, data;
  if (input.read(VoxAnimationHeaderSize, head) != 0) return ZvlFailure;
  if (input.read(size_t(size - VoxAnimationHeaderSize), data) != 0) return ZvlFailure;
  const size_t count = u16(head.data() + VoxChunkHeaderSize);
  scene.frameCount = u16(head.data() + VoxChunkHeaderSize + 2);
  if (IndexAnimation(data, count, scene) != 0) return ZvlFailure;
  log(FormatLine(msg::LogAnimation, int(scene.frameCount)));
  return 0;
}

// Attaches each animation object, in animation order, to the first geometry
// object of exactly the same name.
int Attach(const LogSink& log, VoxScene& scene) {
  if (scene.animation.size() != scene.geometry.size()) return Fail(zvl::msg::NumberOfObjectsMismatch);
  for (VoxAnimationObject& track : scene.animation) {
    size_t found = 0;
    while (found < scene.geometry.size() && scene.geometry[found].name != track.name) ++found;
    if (found == scene.geometry.size()) return Fail(msg::ObjectNameMismatch);
    track.geometry = found;
  }
  log(msg::LogAttached);
  return 0;
}

}  // namespace

int ReadVoxScene(std::span<const uint8_t> file, const std::string& inputPath, const LogSink& log,
                 VoxScene& scene) {
  try {
    VoxInput input(file);
    if (ReadVersion(input, inputPath, log, scene) != 0) return ZvlFailure;
    if (ReadPalette(input, log, scene) != 0) return ZvlFailure;
    if (ReadGeometry(input, log, scene) != 0) return ZvlFailure;
    if (ReadAnimation(input, log, scene) != 0) return ZvlFailure;
    return Attach(log, scene);
  } catch (const std::bad_alloc&) {
    return Fail(zvl::msg::NoRoom);
  }
}

}  // namespace vox2zvl
