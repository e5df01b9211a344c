// The six I/O functions through which the file layer reaches memory and
// files, the process-wide error text, and the streams of the default
// installation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A file as the layer sees it: an integer the layer passes through to the
// installed functions unchanged.
using ZvlHandle = intptr_t;

// Results of the layer: 0 for success, ZvlFailure (all ones in 16 bits) for
// failure, with the reason in the error text.
inline constexpr int ZvlFailure = 0xFFFF;

struct ZvlIoFunctions {
  void* (*allocate)(size_t count);                                // null when no memory
  void (*free)(void* block);                                      // null is accepted
  long (*read)(ZvlHandle handle, void* buffer, long count);       // bytes read, < 0 on error
  long (*write)(ZvlHandle handle, const void* buffer, long count);// bytes written
  long (*seek)(ZvlHandle handle, long offset, int origin);        // new position, < 0 on error
  long (*tell)(ZvlHandle handle);                                 // current position
};

// Installs the table. Every one of the six must be present; otherwise the
// previous installation stays and ZvlFailure is returned. Until a program
// installs its own, the default installation below is in force.
int ZvlInstallIoFunctions(const ZvlIoFunctions& functions);
const ZvlIoFunctions& ZvlIo();

// The default installation: the standard heap, and handles that are
// ZvlStream pointers (see ZvlStreamHandle).
const ZvlIoFunctions& ZvlDefaultIoFunctions();

// The error text: the message of the most recent failure of the file layer
// or the renderer. Long object names are cut so the text always fits.
inline constexpr size_t ZvlErrorTextSize = 512;
const char* ZvlGetErrorText();
void ZvlSetError(const char* message);
// "%s %s": a message about one object, followed by the object's name.
void ZvlSetObjectError(const char* message, const char* objectName);
void ZvlClearError();

// Streams of the default installation. A handle is the stream's address.
class ZvlStream {
 public:
  virtual ~ZvlStream() = default;
  virtual long read(void* buffer, long count) = 0;
  virtual long write(const void* buffer, long count) = 0;
  virtual long seek(long offset, int origin) = 0;
  virtual long tell() = 0;
};

inline ZvlHandle ZvlStreamHandle(ZvlStream& stream) { return reinterpret_cast<ZvlHandle>(&stream); }

// A stream over a file, buffered for the chunk writer's pattern: long runs of
// appends with small rewrites of recent headers, which land in the write
// buffer instead of costing a system call each.
class ZvlFileStream final : public ZvlStream {
 public:
  ZvlFileStream() = default;
  ~ZvlFileStream() override { close(); }
  ZvlFileStream(const ZvlFileStream&) = delete;
  ZvlFileStream& operator=(const ZvlFileStream&) = delete;

  // mode as for fopen: "rb" reads, "wb" creates or truncates, "r+b" updates,
  // a trailing "x" refuses an existing file. False when it cannot.
  bool open(const std::string& path, const char* mode);
  // Writes what is buffered and closes; false when any write failed.
  bool close();
  // Writes what is buffered and waits until the file's bytes are on the
  // disk (fsync); false when any write or the sync failed.
  bool sync();
  bool isOpen() const { return fd_ >= 0; }

  long read(void* buffer, long count) override;
  long write(const void* buffer, long count) override;
  long seek(long offset, int origin) override;
  long tell() override { return fd_ >= 0 ? long(position_) : -1; }

 private:
  bool flushWrites();
  bool writeAt(int64_t at, const uint8_t* bytes, size_t count);

  static constexpr size_t BufferSize = 1 << 20;
  int fd_ = -1;
  int64_t position_ = 0;
  int64_t size_ = 0;                // file length including what is buffered
  std::vector<uint8_t> writeBuffer_;  // bytes of [writeStart_, writeStart_ + size())
  int64_t writeStart_ = 0;
  struct Patch {
    int64_t position;
    size_t length;
    uint8_t bytes[8];
  };
  std::vector<Patch> patches_;        // small rewrites before the buffered run, not yet written
  std::vector<uint8_t> readBuffer_;   // bytes of [readStart_, readStart_ + readLength_)
  int64_t readStart_ = 0;
  size_t readLength_ = 0;
  bool failed_ = false;
};

// A stream over bytes in memory: reading from a copy of a buffer, or writing
// into a growing one.
class ZvlMemoryStream final : public ZvlStream {
 public:
  ZvlMemoryStream() = default;
  ZvlMemoryStream(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
  explicit ZvlMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  long read(void* buffer, long count) override;
  long write(const void* buffer, long count) override;
  long seek(long offset, int origin) override;
  long tell() override { return long(position_); }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // Makes every write after `limit` total bytes fall short (for testing
  // failures part way); negative means no limit.
  void failWritesAfter(long limit) { writeLimit_ = limit; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
  long writeLimit_ = -1;
};

// Allocates count bytes through the installed allocate function and fills
// them with zeros. 0, or ZvlFailure with "No room" (the pointer is then null).
int ZvlAllocZeroed(size_t count, void** block);
// Reads exactly count bytes: 0, or ZvlFailure with "Reading file".
int ZvlReadExact(ZvlHandle handle, void* buffer, long count);

// Writer-side I/O with result tests: each sets "Read error", "Write error"
// or "Seek error" on failure and passes the function's result through.
long ZvlCheckedRead(ZvlHandle handle, void* buffer, long count);
long ZvlCheckedWrite(ZvlHandle handle, const void* buffer, long count);
long ZvlCheckedSeek(ZvlHandle handle, long offset, int origin);

// Writes a whole file beside its target: `body` writes through the handle
// of a temporary file in the target's folder, which replaces the target only
// when body returned 0 and every byte reached the disk (the file is synced
// before the rename, its folder after). A target that exists and is not a
// regular file (a folder, a device) is refused. On failure the temporary
// file is removed, whatever stood at `path` is untouched, and the error text
// holds the reason. Returns 0 or ZvlFailure.
template <class Body>
int ZvlWriteFileReplacing(const std::string& path, Body&& body);

namespace zvl::detail {
struct ReplacingFile {
  std::string target, temporary;
  ZvlFileStream stream;
};
int beginReplacing(const std::string& path, ReplacingFile& file);
int finishReplacing(ReplacingFile& file, bool bodySucceeded);
}  // namespace zvl::detail

template <class Body>
int ZvlWriteFileReplacing(const std::string& path, Body&& body) {
  zvl::detail::ReplacingFile file;
  if (zvl::detail::beginReplacing(path, file) != 0) return ZvlFailure;
  const bool ok = body(ZvlStreamHandle(file.stream)) == 0;
  return zvl::detail::finishReplacing(file, ok);
}
