#include "import/word_reader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace importer {

namespace {
bool IsSeparator(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f'; }
}  // namespace

bool WordReader::Word(std::string& word) {
  word.clear();
  while (pos_ < text_.size() && IsSeparator(text_[pos_])) ++pos_;
  if (pos_ >= text_.size()) return false;
  while (pos_ < text_.size() && !IsSeparator(text_[pos_])) {
    if (word.size() < kMaxWordLength) word.push_back(char(text_[pos_]));
    ++pos_;
  }
  return true;
}

bool WordReader::Line(std::string& line) {
  line.clear();
  if (pos_ >= text_.size()) return false;
  while (pos_ < text_.size()) {
    const char c = char(text_[pos_++]);
    if (line.size() < kMaxWordLength) line.push_back(c);
    if (c == '\r' || c == '\n') break;
  }
  return true;
}

int WordToInt(const std::string& word) {
  errno = 0;
  const long value = std::strtol(word.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return int(value);
}

double WordToDouble(const std::string& word) { return std::strtod(word.c_str(), nullptr); }

}  // namespace importer
