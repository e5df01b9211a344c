// Word reader of the Alias RTG files.
#include "import/rtg_words.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
}  // namespace

bool RtgWordReader::Next(std::string& word) {
  word.clear();
  while (position_ < text_.size() && IsSeparator(text_[position_])) ++position_;
  if (position_ >= text_.size()) return false;
  while (position_ < text_.size() && !IsSeparator(text_[position_])) {
    if (word.size() < kMaxWordLength) word += text_[position_];
    ++position_;
  }
  return true;
}

std::string RtgWordReader::RestOfLine() {
  std::string line;
  while (position_ < text_.size() && text_[position_] != '\n' && text_[position_] != '\r') {
    if (line.size() < kMaxWordLength) line += text_[position_];
    ++position_;
  }
  if (position_ < text_.size()) ++position_;
  // A leading blank separates the line from its keyword.
  const size_t start = line.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : line.substr(start);
}

int RtgInteger(std::string_view word) {
  size_t start = (!word.empty() && word[0] == '+') ? 1 : 0;
  long long value = 0;
  const auto result = std::from_chars(word.data() + start, word.data() + word.size(), value, 10);
  if (result.ec != std::errc()) return 0;
  return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : int(value);
}

double RtgNumber(std::string_view word) {
  size_t start = (!word.empty() && word[0] == '+') ? 1 : 0;
  double value = 0;
  const auto result = std::from_chars(word.data() + start, word.data() + word.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}
