// The 3D Studio chunk reader: a strict, sequential reader over the file's
// bytes. The top-level chunks and the first chunks of the mesh data must
// come in their fixed order; everything else is skipped by its length.
// Every chunk length is checked against its parent, every count against the
// bytes that remain, and every read stays inside the chunk being read.
#pragma once

#include "import/imported_scene.h"
#include "import/tds_scene.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace importer {

struct ChunkHeader3DS {
  uint16_t id = 0;
  uint32_t length = 0;  // the whole chunk, header included
};

// A cursor over the file's bytes that never reads past the end of the chunk
// being read (its limit).
class Reader3DS {
 public:
  Reader3DS(std::span<const uint8_t> bytes, const ImportCallbacks& callbacks);

  size_t Tell() const { return pos_; }
  size_t Remaining() const { return limit_ - pos_; }
  bool Seek(size_t position);

  bool U8(uint8_t& v);
  bool U16(uint16_t& v);
  bool U32(uint32_t& v);
  bool F32(float& v);
  // A string ended by NUL or line feed, cut to `maxLength` characters.
  bool String(std::string& s, size_t maxLength);
  bool Name(std::string& s) { return String(s, kName3DSLength); }
  bool Header(ChunkHeader3DS& h);

  // Reads the body of the chunk whose header was just read with `read`
  // (body start, body length), then moves to the chunk's end whatever the
  // read consumed. Fails when the chunk does not fit its parent.
  bool ReadChunk(const ChunkHeader3DS& h, const std::function<bool(size_t, size_t)>& read);
  bool ReadChunk(Chunk3DS& chunk, const ChunkHeader3DS& h);
  // Moves past the body of the chunk whose header was just read.
  bool SkipChunk(const ChunkHeader3DS& h);

  // Reports a message after which reading goes on.
  void Error(const std::string& text);
  // Reports the message of a failure; returns false for the caller to pass on.
  bool Fail(const std::string& text);
  // The read failed with its own message, or was stopped through the callbacks.
  bool Explained() const { return stopped_ || failed_; }

 private:
  void Progress(size_t bodyStart);

  std::span<const uint8_t> bytes_;
  const ImportCallbacks& callbacks_;
  size_t pos_ = 0, limit_ = 0;
  int lastPercent_ = -1;
  bool stopped_ = false, failed_ = false;
};

// The sub-chunk loop of a container: while the position is inside the body,
// read a header and hand it to `dispatch`, which reads the chunk (returning
// its success) or returns Unknown to have it skipped. A failed read clears
// the result and the remaining chunks are skipped, not read.
enum class Dispatch3DS { Ok, Failed, Unknown };
bool ReadSubChunks(Reader3DS& in, size_t bodyStart, size_t bodyLength,
                   const std::function<Dispatch3DS(const ChunkHeader3DS&)>& dispatch);

// Reads a whole .3ds file into `scene`: false after a message through
// `callbacks` (the scene then holds what was read so far).
bool ReadScene3DS(const std::string& path, Scene3DS& scene, const ImportCallbacks& callbacks);
// The same over bytes in memory; `path` names the file in messages.
bool ParseScene3DS(std::span<const uint8_t> bytes, const std::string& path, Scene3DS& scene,
                   const ImportCallbacks& callbacks);

}  // namespace importer
