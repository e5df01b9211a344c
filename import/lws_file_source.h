// Where the LightWave and Alias RTG readers get their files from: the scene
// names further files (object files, image maps, the materials .bin file,
// animation files) and the readers open them through a FileSource, so that
// tests and fuzz targets can hand them whole scenes held in memory.
//
// Paths in scene files may separate folders with "\" or "/"; both are
// separators everywhere (see ScenePathSeparators and NativePath).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* ScenePathSeparators = "\\/";

// The path with every "\" turned into "/", the separator the disk takes.
std::string NativePath(std::string_view path);

// The file name part of a path (after its last "\" or "/").
std::string_view PathFileName(std::string_view path);

class FileSource {
 public:
  virtual ~FileSource() = default;
  virtual bool Exists(const std::string& path) const = 0;
  // Reads the whole file into `bytes` (at most maxBytes; a larger file
  // fails). False when it cannot be opened or read.
  virtual bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const = 0;
  // The path of an existing file: path itself when it exists, else the file
  // in the same folder whose name equals path's file name ignoring letter
  // case (the first in sorted order), else "". Image maps named in upper
  // case are found beside files stored in lower case. A source that cannot
  // list its folders finds exact names only.
  virtual std::string FindIgnoringCase(const std::string& path) const { return Exists(path) ? path : std::string(); }
};

// Files on disk; scene paths are turned into native paths first.
class DiskFileSource final : public FileSource {
 public:
  bool Exists(const std::string& path) const override;
  bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const override;
  std::string FindIgnoringCase(const std::string& path) const override;
};

// Files held in memory under their exact path (tests, fuzz targets).
class MemoryFileSource final : public FileSource {
 public:
  std::map<std::string, std::vector<uint8_t>> files;

  void Add(const std::string& path, std::string_view text) { files[path].assign(text.begin(), text.end()); }
  bool Exists(const std::string& path) const override { return files.count(path) != 0; }
  bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const override;
  std::string FindIgnoringCase(const std::string& path) const override;
};

// No scene file of ours comes near this; a larger file is refused instead
// of being read into memory.
inline constexpr size_t kMaxSceneFileBytes = size_t(1) << 30;
