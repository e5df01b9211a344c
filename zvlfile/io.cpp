// The installed I/O functions, the error text, the default streams, and
// writing a file beside its target.
#include "zvlfile/io.h"

#include "zvlfile/messages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <fcntl.h>
#include <unistd.h>

namespace {

char errorText[ZvlErrorTextSize] = "";

ZvlStream* streamOf(ZvlHandle handle) { return reinterpret_cast<ZvlStream*>(handle); }

void* defaultAllocate(size_t count) { return std::malloc(count ? count : 1); }
void defaultFree(void* block) { std::free(block); }
long defaultRead(ZvlHandle h, void* buffer, long count) { return h ? streamOf(h)->read(buffer, count) : -1; }
long defaultWrite(ZvlHandle h, const void* buffer, long count) {
  return h ? streamOf(h)->write(buffer, count) : -1;
}
long defaultSeek(ZvlHandle h, long offset, int origin) { return h ? streamOf(h)->seek(offset, origin) : -1; }
long defaultTell(ZvlHandle h) { return h ? streamOf(h)->tell() : -1; }

constexpr ZvlIoFunctions defaultFunctions{defaultAllocate, defaultFree, defaultRead,
                                          defaultWrite,    defaultSeek, defaultTell};
ZvlIoFunctions installed = defaultFunctions;

}  // namespace

int ZvlInstallIoFunctions(const ZvlIoFunctions& functions) {
  if (!functions.allocate || !functions.free || !functions.read || !functions.write || !functions.seek ||
      !functions.tell)
    return ZvlFailure;
  installed = functions;
  return 0;
}

const ZvlIoFunctions& ZvlIo() { return installed; }
const ZvlIoFunctions& ZvlDefaultIoFunctions() { return defaultFunctions; }

const char* ZvlGetErrorText() { return errorText; }

void ZvlSetError(const char* message) {
  std::snprintf(errorText, sizeof errorText, "%s", message ? message : "");
}

void ZvlSetObjectError(const char* message, const char* objectName) {
  std::snprintf(errorText, sizeof errorText, "%s %s", message ? message : "", objectName ? objectName : "");
}

void ZvlClearError() { errorText[0] = 0; }

// ---- streams ----

bool ZvlFileStream::open(const std::string& path, const char* mode) {
  close();
  const std::string m = mode ? mode : "rb";
  int flags = O_RDONLY;
  if (m[0] == 'w') flags = O_RDWR | O_CREAT | O_TRUNC;
  if (m.find('+') != std::string::npos && m[0] == 'r') flags = O_RDWR;
  if (m.find('x') != std::string::npos) flags |= O_EXCL;
  fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd_ < 0) return false;
  const off_t end = ::lseek(fd_, 0, SEEK_END);
  size_ = end < 0 ? 0 : int64_t(end);
  position_ = 0;
  writeBuffer_.clear();
  readLength_ = 0;
  failed_ = false;
  return true;
}

bool ZvlFileStream::close() {
  if (fd_ < 0) return true;
  const bool flushed = flushWrites();
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return flushed && closed && !failed_;
}

bool ZvlFileStream::sync() {
  if (fd_ < 0) return false;
  const bool flushed = flushWrites();
  return ::fsync(fd_) == 0 && flushed && !failed_;
}

bool ZvlFileStream::writeAt(int64_t at, const uint8_t* bytes, size_t count) {
  while (count > 0) {
    const ssize_t n = ::pwrite(fd_, bytes, count, off_t(at));
    if (n <= 0) return false;
    bytes += n;
    at += n;
    count -= size_t(n);
  }
  return true;
}

bool ZvlFileStream::flushWrites() {
  bool ok = writeBuffer_.empty() || writeAt(writeStart_, writeBuffer_.data(), writeBuffer_.size());
  writeBuffer_.clear();
  // Patches lie before the buffered run, so the order of the two does not
  // matter; among themselves they go in the order they were made.
  for (const Patch& patch : patches_) ok = ok && writeAt(patch.position, patch.bytes, patch.length);
  patches_.clear();
  if (!ok) failed_ = true;
  return ok;
}

long ZvlFileStream::read(void* buffer, long count) {
  if (fd_ < 0 || count < 0 || !flushWrites()) return -1;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t wanted = size_t(count), done = 0;
  while (wanted > 0) {
    // Served from the read buffer when it holds the position.
    if (position_ >= readStart_ && position_ < readStart_ + int64_t(readLength_)) {
      const size_t offset = size_t(position_ - readStart_);
      const size_t n = std::min(wanted, readLength_ - offset);
      std::memcpy(out + done, readBuffer_.data() + offset, n);
      done += n;
      wanted -= n;
      position_ += int64_t(n);
      continue;
    }
    if (wanted >= 64 * 1024) {  // large reads go straight to their destination
      const ssize_t n = ::pread(fd_, out + done, wanted, off_t(position_));
      if (n < 0) return done ? long(done) : -1;
      if (n == 0) break;
      done += size_t(n);
      wanted -= size_t(n);
      position_ += n;
      continue;
    }
    readBuffer_.resize(64 * 1024);
    const ssize_t n = ::pread(fd_, readBuffer_.data(), readBuffer_.size(), off_t(position_));
    if (n < 0) return done ? long(done) : -1;
    readStart_ = position_;
    readLength_ = size_t(n);
    if (n == 0) break;
  }
  return long(done);
}

long ZvlFileStream::write(const void* buffer, long count) {
  if (fd_ < 0 || count < 0 || failed_) return -1;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  const size_t n = size_t(count);
  readLength_ = 0;
  const int64_t bufferEnd = writeStart_ + int64_t(writeBuffer_.size());
  if (!writeBuffer_.empty() && position_ >= writeStart_ && position_ <= bufferEnd &&
      size_t(position_ - writeStart_) + n <= BufferSize) {
    // Inside or right after the buffered run: no system call.
    const size_t offset = size_t(position_ - writeStart_);
    if (offset + n > writeBuffer_.size()) writeBuffer_.resize(offset + n);
    std::memcpy(writeBuffer_.data() + offset, bytes, n);
  } else if (!writeBuffer_.empty() && position_ + int64_t(n) <= writeStart_ && n <= sizeof(Patch::bytes)) {
    // A small rewrite before the buffered run (an outer chunk header): kept
    // until the buffer goes out, the same place rewritten in memory.
    if (!patches_.empty() && patches_.back().position == position_ && patches_.back().length == n) {
      std::memcpy(patches_.back().bytes, bytes, n);
    } else {
      auto same = std::find_if(patches_.begin(), patches_.end(),
                               [&](const Patch& p) { return p.position == position_ && p.length == n; });
      if (same != patches_.end() && std::none_of(same + 1, patches_.end(), [&](const Patch& p) {
            return p.position < position_ + int64_t(n) && position_ < p.position + int64_t(p.length);
          })) {
        std::memcpy(same->bytes, bytes, n);
      } else {
        Patch patch;
        patch.position = position_;
        patch.length = n;
        std::memcpy(patch.bytes, bytes, n);
        patches_.push_back(patch);
      }
    }
  } else {
    if (!flushWrites()) return -1;
    if (n >= BufferSize) {
      if (!writeAt(position_, bytes, n)) return failed_ = true, -1;
    } else {
      writeBuffer_.reserve(BufferSize);
      writeBuffer_.assign(bytes, bytes + n);
      writeStart_ = position_;
    }
  }
  position_ += int64_t(n);
  size_ = std::max(size_, position_);
  return count;
}

long ZvlFileStream::seek(long offset, int origin) {
  if (fd_ < 0) return -1;
  const int64_t base = origin == 0 ? 0 : origin == 1 ? position_ : size_;
  if (int64_t(offset) < -base) return -1;
  position_ = base + offset;
  return long(position_);
}

long ZvlMemoryStream::read(void* buffer, long count) {
  if (count < 0) return -1;
  const size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const size_t n = std::min(available, size_t(count));
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return long(n);
}

long ZvlMemoryStream::write(const void* buffer, long count) {
  if (count < 0) return -1;
  size_t n = size_t(count);
  if (writeLimit_ >= 0) {
    const size_t room = position_ < size_t(writeLimit_) ? size_t(writeLimit_) - position_ : 0;
    n = std::min(n, room);
  }
  if (position_ + n > bytes_.size()) bytes_.resize(position_ + n);
  if (n) std::memcpy(bytes_.data() + position_, buffer, n);
  position_ += n;
  return long(n);
}

long ZvlMemoryStream::seek(long offset, int origin) {
  const long base = origin == 0 ? 0 : origin == 1 ? long(position_) : long(bytes_.size());
  if (offset < -base) return -1;
  position_ = size_t(base + offset);
  return long(position_);
}

// ---- reader helpers ----

int ZvlAllocZeroed(size_t count, void** block) {
  *block = installed.allocate(count);
  if (!*block) {
    ZvlSetError(zvl::msg::NoRoom);
    return ZvlFailure;
  }
  std::memset(*block, 0, count);
  return 0;
}

int ZvlReadExact(ZvlHandle handle, void* buffer, long count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const long n = installed.read(handle, bytes, count);
    if (n <= 0 || n > count) {
      ZvlSetError(zvl::msg::ReadingFile);
      return ZvlFailure;
    }
    bytes += n;
    count -= n;
  }
  return 0;
}

// ---- writer helpers ----

long ZvlCheckedRead(ZvlHandle handle, void* buffer, long count) {
  const long n = installed.read(handle, buffer, count);
  if (n < count) ZvlSetError(zvl::msg::ReadError);
  return n;
}

long ZvlCheckedWrite(ZvlHandle handle, const void* buffer, long count) {
  const long n = installed.write(handle, buffer, count);
  if (n < count) ZvlSetError(zvl::msg::WriteError);
  return n;
}

long ZvlCheckedSeek(ZvlHandle handle, long offset, int origin) {
  const long n = installed.seek(handle, offset, origin);
  if (n < 0) ZvlSetError(zvl::msg::SeekError);
  return n;
}

// ---- writing beside the target ----

namespace zvl::detail {

namespace {
// Makes a rename in the folder of `path` durable. Best effort: the new file
// is in place whatever the folder's sync says.
void syncFolderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
}  // namespace

int beginReplacing(const std::string& path, ReplacingFile& file) {
  file.target = path;
  // Only a regular file (or a new name) is replaced: renaming over a folder
  // fails late, and renaming over a device or pipe would unlink it.
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    ZvlSetError(zvl::msg::OutputNotRegularFile);
    return ZvlFailure;
  }
  // A name in the target's folder, so the final rename stays on one file system.
  std::random_device seed;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%d.%08x", int(getpid()), unsigned(seed()));
    file.temporary = path + suffix;
    // "x": fail rather than reuse a name that exists.
    if (file.stream.open(file.temporary, "wbx")) return 0;
  }
  ZvlSetError(zvl::msg::CantOpenOutput);
  return ZvlFailure;
}

int finishReplacing(ReplacingFile& file, bool bodySucceeded) {
  // Every byte on the disk before the rename makes the file the target.
  const bool synced = bodySucceeded && file.stream.sync();
  const bool closed = file.stream.close() && (synced || !bodySucceeded);
  std::error_code ec;
  if (bodySucceeded && !closed) ZvlSetError(zvl::msg::WriteError);
  if (bodySucceeded && closed) {
    // Keep the permissions of a file being replaced.
    const auto status = std::filesystem::status(file.target, ec);
    if (!ec && std::filesystem::exists(status))
      std::filesystem::permissions(file.temporary, status.permissions(), ec);
    if (std::rename(file.temporary.c_str(), file.target.c_str()) == 0) {
      syncFolderOf(file.target);
      return 0;
    }
    ZvlSetError(zvl::msg::CantReplaceOutput);
  }
  std::filesystem::remove(file.temporary, ec);
  return ZvlFailure;
}

}  // namespace zvl::detail
