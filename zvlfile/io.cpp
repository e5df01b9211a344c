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
  file_ = std::fopen(path.c_str(), mode);
  return file_ != nullptr;
}

bool ZvlFileStream::close() {
  if (!file_) return true;
  const bool ok = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok && closed;
}

long ZvlFileStream::read(void* buffer, long count) {
  if (!file_ || count < 0) return -1;
  const size_t n = std::fread(buffer, 1, size_t(count), file_);
  if (n == 0 && std::ferror(file_)) return -1;
  return long(n);
}

long ZvlFileStream::write(const void* buffer, long count) {
  if (!file_ || count < 0) return -1;
  return long(std::fwrite(buffer, 1, size_t(count), file_));
}

long ZvlFileStream::seek(long offset, int origin) {
  if (!file_) return -1;
  const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  if (std::fseek(file_, offset, whence) != 0) return -1;
  return std::ftell(file_);
}

long ZvlFileStream::tell() { return file_ ? std::ftell(file_) : -1; }

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

int beginReplacing(const std::string& path, ReplacingFile& file) {
  file.target = path;
  // A name in the target's folder, so the final rename stays on one file system.
  std::random_device seed;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%d.%08x", int(getpid()), unsigned(seed()));
    file.temporary = path + suffix;
    // "x": fail rather than reuse a name that exists.
    if (file.stream.open(file.temporary, "w+bx")) return 0;
  }
  ZvlSetError(zvl::msg::CantOpenOutput);
  return ZvlFailure;
}

int finishReplacing(ReplacingFile& file, bool bodySucceeded) {
  const bool closed = file.stream.close();
  std::error_code ec;
  if (bodySucceeded && !closed) ZvlSetError(zvl::msg::WriteError);
  if (bodySucceeded && closed) {
    // Keep the permissions of a file being replaced.
    const auto status = std::filesystem::status(file.target, ec);
    if (!ec && std::filesystem::exists(status))
      std::filesystem::permissions(file.temporary, status.permissions(), ec);
    if (std::rename(file.temporary.c_str(), file.target.c_str()) == 0) return 0;
    ZvlSetError(zvl::msg::CantReplaceOutput);
  }
  std::filesystem::remove(file.temporary, ec);
  return ZvlFailure;
}

}  // namespace zvl::detail
