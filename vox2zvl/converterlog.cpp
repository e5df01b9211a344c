#include "vox2zvl/converterlog.h"

namespace vox2zvl {

void ConverterLog::add(const std::string& line) {
  if (lines_.size() == MaxLines) lines_.erase(lines_.begin());
  lines_.push_back(line.substr(0, MaxLineLength));
}

}  // namespace vox2zvl
