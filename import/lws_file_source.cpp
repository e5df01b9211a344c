// Disk and memory file sources of the LightWave and RTG readers.
#include "import/lws_file_source.h"

#include "palette/palette.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

std::string_view PathFileName(std::string_view path) {
  const size_t cut = path.find_last_of(ScenePathSeparators);
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool DiskFileSource::Exists(const std::string& path) const {
  std::error_code error;
  return std::filesystem::is_regular_file(NativePath(path), error);
}

bool DiskFileSource::Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const {
  bytes.clear();
  if (!Exists(path)) return false;
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (!file) return false;
  uint8_t buffer[65536];
  bool ok = true;
  for (;;) {
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    if (got > maxBytes - bytes.size()) {
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (got < sizeof buffer) {
      ok = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  if (!ok) bytes.clear();
  return ok;
}

bool MemoryFileSource::Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const {
  const auto found = files.find(path);
  if (found == files.end() || found->second.size() > maxBytes) return false;
  bytes = found->second;
  return true;
}

std::string DiskFileSource::FindIgnoringCase(const std::string& path) const {
  return FindFileIgnoringCase(NativePath(path));
}

std::string MemoryFileSource::FindIgnoringCase(const std::string& path) const {
  if (files.count(path)) return path;
  const std::string_view name = PathFileName(path);
  const std::string_view folder = std::string_view(path).substr(0, path.size() - name.size());
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  // The map is sorted, so the first match is the first in sorted order.
  for (const auto& [stored, bytes] : files) {
    const std::string_view storedName = PathFileName(stored);
    if (std::string_view(stored).substr(0, stored.size() - storedName.size()) == folder &&
        std::equal(storedName.begin(), storedName.end(), name.begin(), name.end(),
                   [&](char a, char b) { return lower(a) == lower(b); }))
      return stored;
  }
  return {};
}
