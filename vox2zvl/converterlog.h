// The log of the converter's window: the lines of the current conversion,
// kept so the window can draw them again whenever it is repainted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vox2zvl {

class ConverterLog {
 public:
  static constexpr size_t MaxLineLength = 127;  // longer lines are cut
  static constexpr size_t MaxLines = 256;       // the oldest lines go first

  void clear() { lines_.clear(); }
  void add(const std::string& line);
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace vox2zvl
